#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

// The ledger window's status line: what the sheet shows (period, card
// filter, number of entries) and which books, a short "저장됨" after each
// stored edit, and on books without any card company the first steps.
class LedgerStatusLine : public QObject {
    Q_OBJECT
public:
    LedgerStatusLine(QStatusBar* bar, const QString& ledgerPath);

    // `card` empty: all card companies.
    void showLoaded(const QString& from, const QString& to, const QString& card, int entries);
    void setEntries(int entries); // after an entry was added or deleted
    void flashSaved();
    // After the sale of a new entry and Enter: the cursor went on to the next new entry.
    void showNextEntry();
    static QString nextEntryText();
    void showFirstSteps(bool noCards);

    static QString firstStepsText();

private:
    QStatusBar* m_bar;
    QLabel* m_firstSteps;
    QLabel* m_loaded;
    QLabel* m_books;
    QString m_from, m_to, m_card;
};

#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

// The ledger window's status line: what the sheet shows (period, card
// filter, number of entries) and which books, a short "저장됨" after each
// stored edit, on books without any card company the first steps, and at
// start the card companies late with a pay-out.
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

    // Late pay-outs at start ("미입금 2곳 ..."), a link to the settlement
    // window until it is clicked; an empty text shows nothing.
    void showOverdue(const QString& text);
    QLabel* overdueLabel() const { return m_overdue; }

Q_SIGNALS:
    void overdueClicked();

private:
    QStatusBar* m_bar;
    QLabel* m_firstSteps;
    QLabel* m_overdue;
    QLabel* m_loaded;
    QLabel* m_books;
    QString m_from, m_to, m_card;
};

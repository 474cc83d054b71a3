#pragma once

#include <QWidget>

class QCheckBox;
class QToolButton;
class SpreadGrid;

// A small vertical two-arrow control: the upper arrow reports upClick, the
// lower one downClick (auto-repeating while held).
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

Q_SIGNALS:
    void upClick();
    void downClick();

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

// The period controls of the ledger and summary windows: two one-cell date
// boxes `spDate0` (first day) and `spDate1` (last day), each with its up-down
// control `udDateCng0/1` and calendar button `btnMonthView0/1`, and the check
// box `chkChain` that keeps both dates equal. The parts carry their index in
// the property "index".
class PeriodBar : public QWidget {
    Q_OBJECT
public:
    explicit PeriodBar(QWidget* parent = nullptr);

    SpreadGrid* spDate(int index) const;
    UpDown* udDateCng(int index) const;
    QToolButton* btnMonthView(int index) const;
    QCheckBox* chkChain() const { return m_chkChain; }

    QString dateText(int index) const;
    // Takes a date still being typed into either box (as leaving the box would).
    void finishEdit();
    void setDateText(int index, const QString& text);

    // SetupDateCell on both boxes; the first box shows the first of this month
    // when `firstOfMonthFirst` is on, the second box always today.
    void setupDateCells(bool firstOfMonthFirst);

    // The handlers of the controls, callable directly.
    void udDateCng_Change(int index, int days); // +1 later, -1 earlier
    void btnMonthView_Click(int index);
    void spDate_Edited(int index);

Q_SIGNALS:
    // A date box changed through one of these controls (not through setDateText).
    void periodChanged();
    // Enter in the last date box: the period is complete and the window shows
    // it. Without a receiver Enter goes on to the next control, as in the first box.
    void periodEntered();

private:
    SpreadGrid* makeDateBox(int index);
    QToolButton* makeMonthButton(int index);
    void connectDatePart(int index);

    SpreadGrid* m_spDate[2];
    UpDown* m_udDateCng[2];
    QToolButton* m_btnMonthView[2];
    QCheckBox* m_chkChain;
};

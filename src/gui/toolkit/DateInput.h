#pragma once

#include "data/base/DateParse.h"

#include <QDialog>
#include <QString>
#include <functional>

class QCalendarWidget;
class QCheckBox;
class SpreadGrid;

// Date entry (modDate): short typed forms, the calendar popup, the two linked
// date boxes of a period and the one-cell date grids.

// The calendar popup: a month calendar `MonthView1` that hands back the day
// clicked, or the day shown when Enter is pressed; Escape closes it as it was.
class FrmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit FrmCalendar(QWidget* parent = nullptr);

    // Takes a valid date only (stored exactly as given) and moves the calendar to it.
    void setText(const QString& value);
    QString text() const;

    QCalendarWidget* monthView() const { return MonthView1; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MonthView1_DateClick(const QDate& date);
    void acceptShownDate();
    void watchKeys(QWidget* w);

    QCalendarWidget* MonthView1;
    QString m_text;
    bool m_forwardingKey = false;
};

// Opens a calendar below `anchor`, modally, set to `dateText`; returns the
// picked day, or after Escape the text it was given when that was a date,
// else an empty text.
QString ShowCalendar(const QString& dateText, QWidget* anchor);

// Tests: called with every calendar ShowCalendar opens, once it is showing.
// A calendar still open when the hook returns is closed as with Escape; with
// the message hook enabled and no calendar hook set, the calendar is not shown
// and the call answers as after Escape.
using CalendarOpenHook = std::function<void(FrmCalendar*)>;
void SetCalendarOpenHook(CalendarOpenHook hook);

// When `chkChain` is ticked, copies the text of the date box that changed
// (`index` 0 or 1) into the other one, unchanged; another index shows "코딩누락".
void SyncChainDate(QCheckBox* chkChain, SpreadGrid* spDate0, SpreadGrid* spDate1, int index);

// The one cell of a date grid.
constexpr int kDateCellCol = 1;
constexpr int kDateCellRow = 1;

// Prepares a one-cell date grid: the cell fills the control and shows today
// (or the first of this month) in bold blue, size 10, left aligned.
void SetupDateCell(SpreadGrid* cell, bool firstOfMonth);

#pragma once

#include "data/settlement/Settlement.h"
#include "output/PrintComponent.h"

#include <QCoreApplication>

class SpreadGrid;

// The settlement sheet: one line per card company and a totals line, shown
// by the window and written by `--settlement`.

inline QString SettlementCaption()
{
    return QCoreApplication::translate("SettlementSheet", "정산 현황");
}

namespace SettlementCol {
enum : int {
    Name = 1,
    SetDay,
    Outstanding,
    DueToday,
    Overdue,
    OldestUnpaid,
    DaysLate,
    PaidAhead,
    CardRate,
    KeptRate,
    FeeDifference,
    FirstUpcoming, // the next 14 days, one column a day
    Count = FirstUpcoming + kUpcomingDays - 1
};
}

// What the sheet says besides its figures: the day, and the years the holiday file lacks.
QString SettlementNote(const Settlement& s);

PrintDescription SettlementPrintDescription(const Settlement& s);

// Columns, headers (the next 14 days named from `day`), widths and formats.
void DesignSettlementSheet(SpreadGrid* grid, const QDate& day);

// Writes the lines, then the totals row; a bare grid is designed first.
// Late amounts and fees off the card's rate are shown in red.
void FillSettlementSheet(SpreadGrid* grid, const Settlement& s);

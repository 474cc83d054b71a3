#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"
#include "data/ledger/LedgerOutput.h"
#include "data/ledger/LedgerRows.h"

#include <QColor>
#include <QString>

class SpreadGrid;

inline QColor BroughtForwardColor()
{
    return QColor::fromRgba(kBroughtForwardFore);
}

// The ledger sheet without its window: the column layout, the period query,
// the fill, the running balance and the hidden sum formulas. The window and
// the command-line export build the same sheet through these.
namespace LedgerCol {
enum : int {
    Code = 1,      // entry key (hidden)
    Date = 2,      // "일자"
    CardCode = 3,  // card code (hidden)
    CardName = 4,  // "카드명"
    NumSheet = 5,  // "건수"
    Sale = 6,      // "매출액"
    Fee = 7,       // "수수료"
    BillColl = 8,  // "카드사결제액"
    Balance = 9,   // "잔액", computed
    SumFirst = 10, // hidden row-1 sum formulas over columns 5..8 live in 10..13
    SumLast = 13,
    Count = 13,
};
}

// The largest amount and slip count a cell takes, either sign.
constexpr double kLedgerAmountLimit = 10000000000.0;
constexpr double kLedgerSlipLimit = 99999999.99;

// Headers, widths, hidden columns, number cells and identifiers of the sheet.
void DesignLedgerColumns(SpreadGrid* sheet);

// Writes the typed rows into the sheet: brought-forward row, the entries,
// the entry row dated `entryDate`, the running balance and the sum formulas.
// False with `error` when a balance or total leaves the range of money: the
// sheet then shows no figure (the brought-forward row without amount, and the entry row).
bool FillLedgerSheet(SpreadGrid* sheet, const LedgerRows& rows, const QString& entryDate, ErrorInfo* error);

// Rebuilds the whole sheet straight from the period query, in one pass:
// brought-forward row, the entries, the entry row, the running balance and
// the sum formulas. Entries whose date is no real day belong to no period.
// False with `error` when the query failed, an amount is no integer or a
// balance or total leaves the range of money: the sheet then shows no
// figure (the brought-forward row without amount, and the entry row).
bool LoadLedgerSheet(SpreadGrid* sheet, Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                     const Money& broughtForward, const QString& entryDate, ErrorInfo* error);

// The same with the brought-forward balance computed for the period: the
// sheet of the ledger window. When that balance cannot be computed, the
// sheet shows none (and no entries) and `error` says why.
bool BuildLedgerSheet(SpreadGrid* sheet, Database& ledger, const QString& firstDay, const QString& lastDay,
                      int cardCode, const QString& entryDate, ErrorInfo* error);

// Adds the empty entry row dated `entryDate` and rewrites the sum formulas.
void AppendEntryRow(SpreadGrid* sheet, const QString& entryDate);

// Recomputes column 9 from `startRow` down to the row above the entry row,
// starting from column 9 of the row above. False when a balance leaves the
// range of money: that cell and those below it are left empty.
bool CalcBalance(SpreadGrid* sheet, int startRow);

// Rewrites the four hidden sum formulas of row 1 over the whole sheet.
void SetTotalFormulas(SpreadGrid* sheet);

// The amount of a cell as the balance reads it: exact for a plain number, the
// leading number otherwise, 0 for an empty cell.
Money CellMoney(const SpreadGrid* sheet, int col, int row);

// Keeps the totals strip's columns 5..8 on the sums of the sheet's row 1,
// columns 10..13, and copies them once now.
void BindTotalStrip(SpreadGrid* sheet, SpreadGrid* strip);
void CopySumsToStrip(SpreadGrid* sheet, SpreadGrid* strip);

// Money as the sheet's cells hold it ("1234.5"); empty for 0 when `emptyZero`.
QString MoneyCellText(const Money& m, bool emptyZero);

#pragma once

#include "data/sheet/Sheet.h"
#include "data/summary/SumBillData.h"
#include "data/summary/SumBillOutput.h"

class SpreadGrid;

// The summary's grid: its columns, its fill from the typed lines and its printout.

// Column layout of the summary grid.
namespace SumBillCol {
enum : int { Name = 1, Slips, PrevBalance, Sales, Fees, Payouts, Balance, Count = Balance };
}

// Gives the grid the summary's seven columns (headers, widths, number formats).
void DesignSumBillSheet(SpreadGrid* grid);

// Writes the lines into the grid (previous rows are dropped), then the totals
// row with its sum formulas for columns 2 to 7. A grid without the summary's
// columns is designed first as the window designs its list.
void FillSumBillSheet(SpreadGrid* grid, const QList<SumBillLine>& lines);

// Loads the period and fills the grid (see FillSumBillSheet); on a failed
// query the grid stays without rows and false is returned with `error`.
bool BuildSumBillSheet(Database& ledger, SpreadGrid* grid, const QString& from, const QString& to,
                       ErrorInfo* error = nullptr);

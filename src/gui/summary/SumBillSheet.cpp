#include "gui/summary/SumBillSheet.h"
#include "data/summary/SumBillData.h"

#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"

#include <QCoreApplication>

void DesignSumBillSheet(SpreadGrid* grid)
{
    grid->setMaxCols(SumBillCol::Count);
    grid->setMaxRows(0);
    for (int c = 1; c <= SumBillCol::Count; ++c) {
        grid->setHeaderText(c, SumBillColumnTitle(c - 1));
        grid->setColWidth(c, SumBillColumnWidth(c - 1));
    }
    grid->setCellType(SumBillCol::Name, -1, SpreadGrid::CellType::Edit);
    SpreadGrid::NumberFormat count;
    count.decimals = 0;
    count.separators = true;
    grid->setCellType(SumBillCol::Slips, -1, SpreadGrid::CellType::Integer, count);
    // Amounts in whole won with separators, as on the ledger sheet.
    SpreadGrid::NumberFormat amount;
    amount.decimals = 0;
    amount.separators = true;
    amount.max = 999999999999.0;
    amount.min = -999999999999.0;
    for (int c = SumBillCol::PrevBalance; c <= SumBillCol::Balance; ++c)
        grid->setCellType(c, -1, SpreadGrid::CellType::Currency, amount);
}

void FillSumBillSheet(SpreadGrid* grid, const QList<SumBillLine>& lines)
{
    // A bare grid (the command line's) gets the window's design first.
    if (grid->maxCols() != SumBillCol::Count) {
        DesignSumBillSheet(grid);
        CommonSpreadDesign(grid, true, true, false, true);
    }
    const bool redraw = grid->reDraw();
    grid->setReDraw(false);
    grid->setMaxRows(0);
    grid->setMaxRows(int(lines.size()));
    int row = 0;
    for (const SumBillLine& line : lines) {
        ++row;
        grid->setText(SumBillCol::Name, row, line.name);
        grid->setText(SumBillCol::Slips, row, QString::number(line.slips));
        grid->setText(SumBillCol::PrevBalance, row, line.prevBalance.toPlainString());
        grid->setText(SumBillCol::Sales, row, line.sales.toPlainString());
        grid->setText(SumBillCol::Fees, row, line.fees.toPlainString());
        grid->setText(SumBillCol::Payouts, row, line.payouts.toPlainString());
        grid->setText(SumBillCol::Balance, row, line.balance().toPlainString());
    }
    AddTotalRow(grid, SumBillCol::Name);
    for (int c = SumBillCol::Slips; c <= SumBillCol::Balance; ++c)
        SetSumFormula(grid, c);
    grid->setReDraw(redraw);
}

bool BuildSumBillSheet(Database& ledger, SpreadGrid* grid, const QString& from, const QString& to, ErrorInfo* error)
{
    QList<SumBillLine> lines;
    if (!LoadSumBillLines(ledger, from, to, &lines, error)) {
        grid->setMaxRows(0);
        return false;
    }
    FillSumBillSheet(grid, lines);
    grid->setProperty(kExportCaptionProperty, CaptionLines(SumBillPrintDescription(from, to)));
    return true;
}

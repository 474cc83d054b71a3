#include "gui/grid/SpreadDesign.h"

#include "gui/grid/SpreadGrid.h"

#include <QScrollBar>
#include <algorithm>

namespace {
int resolveCol(SpreadGrid* grid, int col)
{
    return col == -2 ? grid->activeCol() : col;
}

int resolveRow(SpreadGrid* grid, int row)
{
    return row == -2 ? grid->activeRow() : row;
}
} // namespace

void CommonSpreadDesign(SpreadGrid* grid, bool lockAll, bool clearRows, bool sortOnHeader, bool rowMode)
{
    if (!grid)
        return;
    if (lockAll) {
        if (rowMode)
            grid->setOperationMode(SpreadGrid::OperationMode::RowMode);
        grid->viewport()->setCursor(Qt::ArrowCursor);
        grid->setLock(-1, -1, true);
    } else {
        grid->setEditModePermanent(true);
        grid->setEditModeReplace(true);
    }
    if (sortOnHeader)
        grid->setUserColActionSort(true);
    grid->setSelBackColor(SpreadSelBackColor());
    if (clearRows)
        grid->setMaxRows(0);
    grid->setOddEvenRowColor(SpreadOddBackColor(), QColor(0, 0, 0), SpreadEvenBackColor(), QColor(0, 0, 0));
}

QString GetCellText(SpreadGrid* grid, int col, int row)
{
    if (!grid)
        return QString();
    QString value;
    if (grid->getText(resolveCol(grid, col), resolveRow(grid, row), &value))
        return value;
    return QString();
}

void SetCurrencyCol(SpreadGrid* grid, int col, bool centerV)
{
    SpreadGrid::NumberFormat f;
    f.decimals = 0;
    f.separators = true;
    f.showSymbol = false;
    f.max = 999999999999.0;
    f.min = -999999999999.0;
    grid->setCellType(col, -1, SpreadGrid::CellType::Currency, f);
    if (centerV)
        grid->setTypeVAlign(col, -1, Qt::AlignVCenter);
}

void SyncStripToSheet(SpreadGrid* strip, const SpreadGrid* sheet)
{
    if (strip->cellsFontSize() != sheet->cellsFontSize() && sheet->cellsFontSize() > 0)
        strip->setFontSize(-1, -1, sheet->cellsFontSize());
    if (strip->rowHeight(-1) != sheet->rowHeight(-1))
        strip->setRowHeight(-1, sheet->rowHeight(-1));
    const int cols = std::min(strip->maxCols(), sheet->maxCols());
    for (int c = 1; c <= cols; ++c) {
        const bool hidden = sheet->colHidden(c);
        if (strip->colHidden(c) != hidden)
            strip->setColHidden(c, hidden);
        if (!hidden && strip->colWidth(c) != sheet->colWidth(c))
            strip->setColWidth(c, sheet->colWidth(c));
    }
    if (sheet->rowHeadersShow() && strip->colWidth(0) != sheet->colWidth(0))
        strip->setColWidth(0, sheet->colWidth(0));
}

void FollowSheetScrolling(SpreadGrid* strip, SpreadGrid* sheet)
{
    QScrollBar* from = sheet->horizontalScrollBar();
    QScrollBar* to = strip->horizontalScrollBar();
    // The strip shows no vertical scroll bar, so its view is wider than the
    // sheet's and would stop short: it may scroll as far as the sheet.
    auto follow = [from, to] {
        if (to->maximum() < from->maximum())
            to->setMaximum(from->maximum());
        to->setValue(from->value());
    };
    QObject::connect(from, &QScrollBar::valueChanged, to, follow);
    QObject::connect(from, &QScrollBar::rangeChanged, to, follow);
    QObject::connect(to, &QScrollBar::rangeChanged, to, follow);
}

void SetupTotalStrip(SpreadGrid* total, SpreadGrid* list, int labelCol)
{
    total->setMaxCols(list->maxCols());
    SyncStripToSheet(total, list);
    CommonSpreadDesign(total, true, false, true, true);
    total->setOperationMode(SpreadGrid::OperationMode::Normal);
    total->setText(labelCol, 1, SpreadTotalLabel());
    total->setActiveCell(0, 0);
    total->setBackColor(-1, total->maxRows(), SpreadTotalBackColor());
    total->setGrayAreaBackColor(SpreadTotalBackColor());
    if (list->rowHeadersShow()) {
        total->setRowHeadersShow(true);
        total->setColWidth(0, list->colWidth(0));
        total->setText(0, 1, QStringLiteral(" "));
    } else {
        total->setRowHeadersShow(false);
    }
}

void AddTotalRow(SpreadGrid* grid, int labelCol)
{
    grid->setMaxRows(grid->maxRows() + 1);
    const int row = grid->maxRows();
    grid->setText(labelCol, row, SpreadTotalLabel());
    grid->setBackColor(-1, row, SpreadTotalBackColor());
    grid->setLock(-1, row, true);
}

void SetSumFormula(SpreadGrid* grid, int col)
{
    const int row = grid->maxRows();
    const int last = std::max(1, row - 1);
    grid->setFormula(col, row, QStringLiteral("SUM(R1C%1:R%2C%1)").arg(col).arg(last));
}

void LockCol(SpreadGrid* grid, int col, bool grey)
{
    grid->setLock(col, -1, true);
    if (grey)
        grid->setBackColor(col, -1, SpreadLockedBackColor());
}

#pragma once

#include "data/sheet/Sheet.h"

#include <QColor>
#include <QCoreApplication>
#include <QString>

class SpreadGrid;

// The common look of every grid and the small grid routines that windows and
// sheet builders share. Rows and columns are 1-based; -1 means all, -2 the
// active row or column.

// Selection, odd/even rows, totals and greyed locked columns.
inline QColor SpreadSelBackColor()
{
    return QColor(254, 254, 186);
}
inline QColor SpreadOddBackColor()
{
    return QColor(255, 255, 255);
}
inline QColor SpreadEvenBackColor()
{
    return QColor(245, 245, 245);
}
inline QColor SpreadTotalBackColor()
{
    return QColor::fromRgba(kSheetTotalBack);
}
inline QColor SpreadLockedBackColor()
{
    return QColor(225, 225, 225);
}
// A grid's dynamic property (QStringList by column, entry 0 unused): column
// titles that an exported workbook carries instead of the shown ones.
inline constexpr const char* kExportTitlesProperty = "talloxExportTitles";
// A grid's dynamic property (QStringList): the lines above the column titles
// of an exported workbook, as a printout has them (title, card, period).
inline constexpr const char* kExportCaptionProperty = "talloxExportCaption";

inline QString SpreadTotalLabel()
{
    return SheetTotalLabel();
}

void CommonSpreadDesign(SpreadGrid* grid, bool lockAll, bool clearRows, bool sortOnHeader, bool rowMode);
QString GetCellText(SpreadGrid* grid, int col, int row);
void SetCurrencyCol(SpreadGrid* grid, int col, bool centerV);
void SetupTotalStrip(SpreadGrid* total, SpreadGrid* list, int labelCol);
// Gives a totals strip the sheet's sizes across: the cells' font size, the row
// height, every column's width and hidden state and the row-header width, so
// that each strip cell stands under its sheet column. Call after every change.
void SyncStripToSheet(SpreadGrid* strip, const SpreadGrid* sheet);
// The strip scrolls sideways with the sheet, as far as the sheet does.
void FollowSheetScrolling(SpreadGrid* strip, SpreadGrid* sheet);
void AddTotalRow(SpreadGrid* grid, int labelCol);
void SetSumFormula(SpreadGrid* grid, int col);
void LockCol(SpreadGrid* grid, int col, bool grey);

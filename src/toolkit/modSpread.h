#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class SpreadGrid;

// The common look and behaviour of every grid, the small grid routines the
// windows share and the grid menu (row height, font size, layout reset).
// Rows and columns are 1-based; -1 means all, -2 the active row or column.

// Selection, odd/even rows, totals and greyed locked columns.
inline QColor SpreadSelBackColor() { return QColor(254, 254, 186); }
inline QColor SpreadOddBackColor() { return QColor(255, 255, 255); }
inline QColor SpreadEvenBackColor() { return QColor(245, 245, 245); }
inline QColor SpreadTotalBackColor() { return QColor(224, 240, 224); }
inline QColor SpreadLockedBackColor() { return QColor(225, 225, 225); }
inline QString SpreadTotalLabel() { return QStringLiteral("[합 계]"); }

void CommonSpreadDesign(SpreadGrid* grid, bool lockAll, bool clearRows, bool sortOnHeader, bool rowMode);
QString GetCellText(SpreadGrid* grid, int col, int row);
void SetCurrencyCol(SpreadGrid* grid, int col, bool centerV);
void DeleteSheetRow(SpreadGrid* grid, int row, bool showNotice, bool shrink);
void SetupTotalStrip(SpreadGrid* total, SpreadGrid* list, int labelCol);
void AddTotalRow(SpreadGrid* grid, int labelCol);
void SetSumFormula(SpreadGrid* grid, int col);
void LockCol(SpreadGrid* grid, int col, bool grey);
void ShowGridMenu(QWidget* window, SpreadGrid* grid);

// Test hook for ShowGridMenu: while set, the menu is not shown; the function
// is called with the entry texts (separators as empty texts) and returns the
// command picked (0 = dismissed).
namespace GridMenuHook {
using Picker = std::function<int(const QStringList& entries)>;
void setPicker(Picker picker); // an empty picker shows the real menu again
}

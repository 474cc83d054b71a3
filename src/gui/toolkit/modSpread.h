#pragma once

#include "gui/grid/SpreadDesign.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class SpreadGrid;

// The grid routines that act for the user: deleting a row with its notice and
// the grid menu (row height, font size, layout reset). The plain grid
// routines come with SpreadDesign.h.

void DeleteSheetRow(SpreadGrid* grid, int row, bool showNotice, bool shrink);
void ShowGridMenu(QWidget* window, SpreadGrid* grid);

// The same menu for a view that is no grid: its name in the layout file, its
// sizes now, and how a new size is set.
struct GridMenuTarget {
    QString name;
    int rowHeight = 0;
    int fontSize = 0;
    std::function<void(double)> setRowHeight;
    std::function<void(double)> setFontSize;
};
void ShowGridMenu(QWidget* window, const GridMenuTarget& target);

// The commands of the grid menu; the hook below hands them back as numbers.
enum class GridMenuCommand { Dismissed = 0, RowHeight = 1, FontSize = 2, ResetLayout = 3 };

// Test hook for ShowGridMenu: while set, the menu is not shown; the function
// is called with the entry texts (separators as empty texts) and returns the
// command picked as its GridMenuCommand number (0 = dismissed).
namespace GridMenuHook {
using Picker = std::function<int(const QStringList& entries)>;
void setPicker(Picker picker); // an empty picker shows the real menu again
} // namespace GridMenuHook

#pragma once

#include "data/sheet/Sheet.h"

class SpreadGrid;

// A grid on screen as a sheet to print or write to a workbook: its shown
// columns, header rows and the rows it holds, with each cell's look. The
// caption and the workbook's titles come from the grid's export properties
// (kExportCaptionProperty, kExportTitlesProperty).
class GridSheet : public Sheet {
public:
    explicit GridSheet(const SpreadGrid& grid);

    QStringList caption() const override;
    int columnCount() const override { return int(m_cols.size()); }
    int columnsLeftOut() const override;
    double columnWidth(int col) const override;
    int headerRows() const override;
    QString headerText(int col, int headerRow) const override;
    QString exportTitle(int col, int headerRow) const override;
    int rowCountHint() const override;
    bool forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo* error) const override;

    // One cell of the grid (grid numbering).
    SheetCell cell(int gridCol, int gridRow) const;

private:
    const SpreadGrid& m_grid;
    QList<int> m_cols; // the grid's shown columns
};

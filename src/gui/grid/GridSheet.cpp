#include "gui/grid/GridSheet.h"

#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"

#include <QVariant>
#include <cmath>

namespace {

bool isNumericType(SpreadGrid::CellType type)
{
    return type == SpreadGrid::CellType::Float || type == SpreadGrid::CellType::Integer ||
           type == SpreadGrid::CellType::Currency || type == SpreadGrid::CellType::Number;
}

// Excel's number format for a grid number cell: "#,##0.00", "0", "₩#,##0", ...
QString excelNumFormat(SpreadGrid::CellType type, const SpreadGrid::NumberFormat& f)
{
    const int decimals = type == SpreadGrid::CellType::Integer ? 0 : qBound(0, f.decimals, 15);
    QString fmt = f.separators ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (decimals > 0)
        fmt += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    if (f.showSymbol)
        fmt.prepend(QStringLiteral("\"₩\""));
    return fmt;
}

// The number a numeric cell holds: its plain value, or for a formula cell the
// shown result without grouping.
std::optional<double> cellNumber(const SpreadGrid& grid, int col, int row)
{
    QString text = grid.text(col, row).trimmed();
    if (text.isEmpty() && !grid.formula(col, row).isEmpty())
        text = grid.displayText(col, row).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    text.remove(QLatin1Char(','));
    text.remove(QStringLiteral("₩"));
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

quint32 argb(const QColor& c)
{
    return c.isValid() ? quint32(c.rgba()) : 0;
}

} // namespace

GridSheet::GridSheet(const SpreadGrid& grid) : m_grid(grid)
{
    for (int c = 1; c <= grid.maxCols(); ++c) {
        if (!grid.colHidden(c))
            m_cols.append(c);
    }
}

QStringList GridSheet::caption() const
{
    return m_grid.property(kExportCaptionProperty).toStringList();
}

int GridSheet::columnsLeftOut() const
{
    return m_grid.maxCols() - int(m_cols.size());
}

double GridSheet::columnWidth(int col) const
{
    const double w = m_grid.colWidth(m_cols[col]);
    // Twips: 1440 per inch, 96 px per inch, ~7 px per character.
    return m_grid.unitType() == SpreadGrid::kUnitTwips ? w / 105.0 : w;
}

int GridSheet::headerRows() const
{
    return m_grid.colHeaderRows();
}

QString GridSheet::headerText(int col, int headerRow) const
{
    return m_grid.headerText(m_cols[col], headerRow);
}

QString GridSheet::exportTitle(int col, int headerRow) const
{
    const QStringList kept = m_grid.property(kExportTitlesProperty).toStringList();
    const int gridCol = m_cols[col];
    return headerRow == 0 && gridCol < kept.size() ? kept[gridCol] : headerText(col, headerRow);
}

int GridSheet::rowCountHint() const
{
    return m_grid.dataRowCnt();
}

SheetCell GridSheet::cell(int c, int r) const
{
    SheetCell cell;
    const SpreadGrid::CellType type = m_grid.cellType(c, r);
    cell.bold = m_grid.fontBold(c, r);
    cell.align = m_grid.alignment(c, r);
    cell.fore = argb(m_grid.foreColor(c, r));
    cell.back = argb(m_grid.backColor(c, r));
    if (isNumericType(type)) {
        cell.text = m_grid.displayText(c, r);
        cell.number = cellNumber(m_grid, c, r);
        cell.numberFormat = excelNumFormat(type, m_grid.numberFormat(c, r));
        // Numbers stand on the right in print, whatever the grid's own alignment.
        cell.align = (cell.align & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
    } else {
        cell.text = m_grid.text(c, r);
    }
    return cell;
}

bool GridSheet::forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo*) const
{
    const int rows = m_grid.dataRowCnt();
    SheetRow row(m_cols.size());
    for (int r = 1; r <= rows; ++r) {
        for (qsizetype i = 0; i < m_cols.size(); ++i)
            row[i] = cell(m_cols[i], r);
        if (!visit(row))
            return false;
    }
    return true;
}

// SpreadGrid::exportToExcel: the grid as an .xlsx workbook, written with libxlsxwriter.

#include "platform/SpreadGrid.h"

#include "base/Clock.h"
#include "platform/PartFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <xlsxwriter.h>

namespace {

constexpr int kExcelMaxRows = 1048576;
constexpr int kExcelMaxCols = 16384;

bool isNumericType(SpreadGrid::CellType type)
{
    switch (type) {
    case SpreadGrid::CellType::Float:
    case SpreadGrid::CellType::Integer:
    case SpreadGrid::CellType::Currency:
    case SpreadGrid::CellType::Number:
        return true;
    default:
        return false;
    }
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
bool cellNumber(const SpreadGrid& grid, int col, int row, double* value)
{
    QString text = grid.text(col, row).trimmed();
    if (text.isEmpty() && !grid.formula(col, row).isEmpty())
        text = grid.displayText(col, row).trimmed();
    if (text.isEmpty())
        return false;
    text.remove(QLatin1Char(','));
    text.remove(QStringLiteral("₩"));
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

// Worksheet names: at most 31 characters, none of []:*?/\ and not empty.
QString validSheetName(const QString& name)
{
    QString s = name;
    s.replace(QRegularExpression(QStringLiteral("[\\[\\]:*?/\\\\]")), QStringLiteral("_"));
    s = s.trimmed().left(31);
    if (s.startsWith(QLatin1Char('\'')) || s.endsWith(QLatin1Char('\'')))
        s.replace(QLatin1Char('\''), QLatin1Char('_'));
    return s.isEmpty() ? QStringLiteral("Sheet1") : s;
}

lxw_format_alignments excelAlign(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return LXW_ALIGN_CENTER;
    if (a & Qt::AlignRight)
        return LXW_ALIGN_RIGHT;
    if (a & Qt::AlignLeft)
        return LXW_ALIGN_LEFT;
    return LXW_ALIGN_NONE;
}

lxw_format_alignments excelVAlign(Qt::Alignment a)
{
    if (a & Qt::AlignVCenter)
        return LXW_ALIGN_VERTICAL_CENTER;
    if (a & Qt::AlignTop)
        return LXW_ALIGN_VERTICAL_TOP;
    if (a & Qt::AlignBottom)
        return LXW_ALIGN_VERTICAL_BOTTOM;
    return LXW_ALIGN_NONE;
}

// One lxw_format per distinct look; libxlsxwriter owns them.
class FormatCache {
public:
    explicit FormatCache(lxw_workbook* wb) : m_wb(wb) {}

    lxw_format* get(bool bold, const QString& numFormat, Qt::Alignment align)
    {
        const lxw_format_alignments h = excelAlign(align);
        const lxw_format_alignments v = excelVAlign(align);
        if (!bold && numFormat.isEmpty() && h == LXW_ALIGN_NONE && v == LXW_ALIGN_NONE)
            return nullptr;
        const QString key = QStringLiteral("%1|%2|%3|%4").arg(bold).arg(int(h)).arg(int(v)).arg(numFormat);
        auto it = m_formats.constFind(key);
        if (it != m_formats.constEnd())
            return it.value();
        lxw_format* f = workbook_add_format(m_wb);
        if (!f)
            return nullptr;
        if (bold)
            format_set_bold(f);
        if (!numFormat.isEmpty())
            format_set_num_format(f, numFormat.toUtf8().constData());
        if (h != LXW_ALIGN_NONE)
            format_set_align(f, h);
        if (v != LXW_ALIGN_NONE)
            format_set_align(f, v);
        m_formats.insert(key, f);
        return f;
    }

private:
    lxw_workbook* m_wb;
    QHash<QString, lxw_format*> m_formats;
};

// Widths as Excel counts them (characters of the default font).
double excelColumnWidth(const SpreadGrid& grid, int col)
{
    double w = grid.colWidth(col);
    if (grid.unitType() == SpreadGrid::kUnitTwips)
        w = w / 105.0; // twips: 1440 per inch, 96 px per inch, ~7 px per character
    return qBound(0.0, w, 255.0);
}

// What the export did, written to the log file (when one is named) once it is over.
struct ExportLog {
    QString path;
    QString* why = nullptr; // the caller's copy of a failure's reason
    QStringList lines;

    void add(const QString& line) { lines.append(line); }

    void begin(const QString& file, const QString& sheet)
    {
        add(QStringLiteral("Tallox Excel export"));
        add(QStringLiteral("Time: %1").arg(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        add(QStringLiteral("File: %1").arg(QDir::toNativeSeparators(file)));
        add(QStringLiteral("Sheet: %1").arg(sheet));
    }

    bool fail(const QString& why)
    {
        add(QStringLiteral("Result: failed (%1)").arg(why));
        if (this->why)
            *this->why = why;
        write();
        return false;
    }

    void write() const
    {
        if (path.isEmpty())
            return;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            return;
        QTextStream out(&f);
        for (const QString& line : lines)
            out << line << '\n';
    }
};

// Hidden columns stay out of the workbook.
QList<int> exportedColumns(const SpreadGrid& grid)
{
    QList<int> cols;
    for (int c = 1; c <= grid.maxCols(); ++c) {
        if (!grid.colHidden(c))
            cols.append(c);
    }
    return cols;
}

struct CellCounts {
    qint64 numbers = 0;
    qint64 texts = 0;
    bool stopped = false; // the progress asked to stop
};

// One cell: a number cell that holds a number as a number, anything else as its text.
lxw_error writeCell(const SpreadGrid& grid, lxw_worksheet* ws, FormatCache& formats, int c, int r, lxw_col_t to,
                    CellCounts* counts)
{
    const SpreadGrid::CellType type = grid.cellType(c, r);
    const bool bold = grid.fontBold(c, r);
    const Qt::Alignment align = grid.alignment(c, r);
    double number = 0;
    if (isNumericType(type) && cellNumber(grid, c, r, &number)) {
        lxw_format* f = formats.get(bold, excelNumFormat(type, grid.numberFormat(c, r)), align);
        ++counts->numbers;
        return worksheet_write_number(ws, lxw_row_t(r - 1), to, number, f);
    }
    const QString shown = isNumericType(type) ? grid.displayText(c, r) : grid.text(c, r);
    if (shown.isEmpty())
        return LXW_NO_ERROR;
    ++counts->texts;
    return worksheet_write_string(ws, lxw_row_t(r - 1), to, shown.toUtf8().constData(),
                                  formats.get(bold, QString(), align));
}

// Column widths, then rows 1..rows in order (the workbook keeps little in memory and wants them so).
lxw_error writeSheet(const SpreadGrid& grid, lxw_workbook* wb, lxw_worksheet* ws, const QList<int>& cols, int rows,
                     CellCounts* counts, const Progress& progress)
{
    for (int i = 0; i < cols.size(); ++i)
        worksheet_set_column(ws, lxw_col_t(i), lxw_col_t(i), excelColumnWidth(grid, cols[i]), nullptr);
    FormatCache formats(wb);
    lxw_error err = LXW_NO_ERROR;
    for (int r = 1; r <= rows && err == LXW_NO_ERROR; ++r) {
        for (int i = 0; i < cols.size() && err == LXW_NO_ERROR; ++i)
            err = writeCell(grid, ws, formats, cols[i], r, lxw_col_t(i), counts);
        if (r % 500 == 0 && !Report(progress, r, rows)) {
            counts->stopped = true;
            return LXW_ERROR_PARAMETER_VALIDATION; // any error: the workbook is dropped
        }
    }
    return err;
}

// Writes the workbook under a temporary name and renames it when complete, so
// that no half-written workbook remains. Returns why it failed, empty on success.
QString writeWorkbook(const SpreadGrid& grid, const QString& file, const QString& sheet, const QList<int>& cols,
                      int rows, CellCounts* counts, const Progress& progress)
{
    const QString temp = PartFileFor(file);
    RemoveStalePartFiles(QFileInfo(file).absolutePath());
    QFile::remove(temp);
    const QByteArray tempPath = QFile::encodeName(temp);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE; // rows go out in order; a big sheet does not sit in memory twice
    lxw_workbook* wb = workbook_new_opt(tempPath.constData(), &options);
    if (!wb)
        return QStringLiteral("cannot create the workbook");
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.toUtf8().constData());
    if (!ws) {
        workbook_close(wb);
        QFile::remove(temp);
        return QStringLiteral("cannot add the worksheet");
    }
    lxw_error err = writeSheet(grid, wb, ws, cols, rows, counts, progress);
    if (err != LXW_NO_ERROR) {
        workbook_close(wb);
        QFile::remove(temp);
        return counts->stopped ? QStringLiteral("stopped") : QString::fromUtf8(lxw_strerror(err));
    }
    err = workbook_close(wb);
    if (err != LXW_NO_ERROR) {
        QFile::remove(temp);
        return QString::fromUtf8(lxw_strerror(err));
    }
    // rename(2) replaces an older file of the same name in one step.
    if (std::rename(tempPath.constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(temp);
        return QStringLiteral("cannot rename the finished workbook");
    }
    return QString();
}

} // namespace

bool SpreadGrid::exportToExcel(const QString& file, const QString& sheetName, const QString& logFile, QString* why,
                               const Progress& progress)
{
    ExportLog log;
    log.path = logFile;
    log.why = why;
    const QString sheet = validSheetName(sheetName);
    log.begin(file, sheet);
    if (file.isEmpty())
        return log.fail(QStringLiteral("no file name"));

    const QList<int> cols = exportedColumns(*this);
    const int rows = dataRowCnt();
    if (rows > kExcelMaxRows)
        return log.fail(QStringLiteral("%1 rows exceed Excel's %2").arg(rows).arg(kExcelMaxRows));
    if (cols.size() > kExcelMaxCols)
        return log.fail(QStringLiteral("%1 columns exceed Excel's %2").arg(cols.size()).arg(kExcelMaxCols));

    CellCounts counts;
    const QString failure = writeWorkbook(*this, file, sheet, cols, rows, &counts, progress);
    if (!failure.isEmpty())
        return log.fail(failure);

    log.add(QStringLiteral("Rows: %1").arg(rows));
    log.add(QStringLiteral("Columns: %1 of %2 (hidden columns left out)").arg(cols.size()).arg(maxCols()));
    log.add(QStringLiteral("Cells: %1 numbers, %2 texts").arg(counts.numbers).arg(counts.texts));
    log.add(QStringLiteral("Result: written"));
    log.write();
    return true;
}

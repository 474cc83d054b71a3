#include "data/sheet/Workbook.h"

#include "data/base/Clock.h"
#include "data/db/PartFile.h"

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

// One lxw_format per distinct look; libxlsxwriter owns them. A sheet has a
// handful of looks and asks for one per cell: a short list beats building a key.
class FormatCache {
public:
    explicit FormatCache(lxw_workbook* wb) : m_wb(wb) {}

    lxw_format* get(bool bold, const QString& numFormat, Qt::Alignment align)
    {
        const lxw_format_alignments h = excelAlign(align);
        const lxw_format_alignments v = excelVAlign(align);
        if (!bold && numFormat.isEmpty() && h == LXW_ALIGN_NONE && v == LXW_ALIGN_NONE)
            return nullptr;
        const quint32 look = quint32(bold) | quint32(h) << 1 | quint32(v) << 9;
        for (const Entry& e : m_formats) {
            if (e.look == look && e.numFormat == numFormat)
                return e.format;
        }
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
        m_formats.append({look, numFormat, f});
        return f;
    }

private:
    struct Entry {
        quint32 look;
        QString numFormat;
        lxw_format* format;
    };
    lxw_workbook* m_wb;
    QList<Entry> m_formats;
};

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

    bool fail(const QString& reason)
    {
        add(QStringLiteral("Result: failed (%1)").arg(reason));
        if (why)
            *why = reason;
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

// Writes rows one after the other, as constant-memory mode wants them.
class RowWriter {
public:
    RowWriter(lxw_workbook* wb, lxw_worksheet* ws) : m_ws(ws), m_formats(wb) {}

    lxw_error write(const SheetRow& row)
    {
        if (m_row >= kExcelMaxRows)
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        lxw_error err = LXW_NO_ERROR;
        for (qsizetype c = 0; c < row.size() && err == LXW_NO_ERROR; ++c)
            err = writeCell(row[c], lxw_col_t(c));
        ++m_row;
        return err;
    }

    int rows() const { return m_row; }
    qint64 numbers = 0;
    qint64 texts = 0;

private:
    lxw_error writeCell(const SheetCell& cell, lxw_col_t col)
    {
        if (cell.number && std::isfinite(*cell.number)) {
            ++numbers;
            return worksheet_write_number(m_ws, lxw_row_t(m_row), col, *cell.number,
                                          m_formats.get(cell.bold, cell.numberFormat, cell.align));
        }
        if (cell.text.isEmpty())
            return LXW_NO_ERROR;
        ++texts;
        return worksheet_write_string(m_ws, lxw_row_t(m_row), col, cell.text.toUtf8().constData(),
                                      m_formats.get(cell.bold, QString(), cell.align));
    }

    lxw_worksheet* m_ws;
    FormatCache m_formats;
    int m_row = 0;
};

// The caption (a blank row under it), then the column titles.
QList<SheetRow> titleRows(const Sheet& sheet)
{
    QList<SheetRow> rows;
    const int cols = sheet.columnCount();
    const QStringList caption = sheet.caption();
    for (const QString& line : caption) {
        SheetRow row(qMax(1, cols));
        row[0] = SheetCell{line, std::nullopt, QString(), Qt::AlignLeft | Qt::AlignVCenter, true};
        rows.append(row);
    }
    if (!caption.isEmpty())
        rows.append(SheetRow());
    for (int h = 0; h < sheet.headerRows(); ++h) {
        SheetRow row(cols);
        for (int c = 0; c < cols; ++c)
            row[c] =
                SheetCell{sheet.exportTitle(c, h), std::nullopt, QString(), Qt::AlignHCenter | Qt::AlignVCenter, true};
        rows.append(row);
    }
    return rows;
}

struct Outcome {
    QString failure; // empty when written
    ErrorInfo readError;
    int rows = 0;
    int dataRows = 0;
    qint64 numbers = 0;
    qint64 texts = 0;
};

Outcome writeWorkbook(const Sheet& sheet, const QString& file, const QString& name, const Progress& progress)
{
    Outcome out;
    const QString temp = PartFileFor(file);
    RemoveStalePartFiles(QFileInfo(file).absolutePath());
    QFile::remove(temp);
    const QByteArray tempPath = QFile::encodeName(temp);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(tempPath.constData(), &options);
    if (!wb) {
        out.failure = QStringLiteral("cannot create the workbook");
        return out;
    }
    const auto drop = [&](const QString& why) {
        workbook_close(wb);
        QFile::remove(temp);
        out.failure = why;
        return out;
    };
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.toUtf8().constData());
    if (!ws)
        return drop(QStringLiteral("cannot add the worksheet"));
    for (int c = 0; c < sheet.columnCount(); ++c)
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), qBound(0.0, sheet.columnWidth(c), 255.0), nullptr);

    RowWriter writer(wb, ws);
    lxw_error err = LXW_NO_ERROR;
    for (const SheetRow& row : titleRows(sheet)) {
        if ((err = writer.write(row)) != LXW_NO_ERROR)
            return drop(QString::fromUtf8(lxw_strerror(err)));
    }
    const int hint = sheet.rowCountHint();
    bool stopped = false;
    int dataRows = 0;
    ErrorInfo readError;
    const bool read = sheet.forEachRow(
        [&](const SheetRow& row) {
            err = writer.write(row);
            if (err != LXW_NO_ERROR)
                return false;
            if (++dataRows % 500 == 0 && !Report(progress, dataRows, qMax(hint, dataRows))) {
                stopped = true;
                return false;
            }
            return true;
        },
        &readError);
    if (stopped)
        return drop(QStringLiteral("stopped"));
    if (err == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
        return drop(QStringLiteral("more rows than Excel's %1").arg(kExcelMaxRows));
    if (err != LXW_NO_ERROR)
        return drop(QString::fromUtf8(lxw_strerror(err)));
    if (!read) {
        out.readError = readError;
        return drop(readError.isSet() ? ErrorLine(readError) : QStringLiteral("the rows could not be read"));
    }
    out.rows = writer.rows();
    out.dataRows = dataRows;
    out.numbers = writer.numbers;
    out.texts = writer.texts;
    err = workbook_close(wb);
    if (err != LXW_NO_ERROR) {
        QFile::remove(temp);
        out.failure = QString::fromUtf8(lxw_strerror(err));
        return out;
    }
    // rename(2) replaces an older file of the same name in one step.
    if (std::rename(tempPath.constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(temp);
        out.failure = QStringLiteral("cannot rename the finished workbook");
    }
    return out;
}

} // namespace

bool WriteWorkbook(const Sheet& sheet, const QString& file, const QString& sheetName, QString* why,
                   const QString& logFile, const Progress& progress, ErrorInfo* readError, int* rows)
{
    ExportLog log;
    log.path = logFile;
    log.why = why;
    const QString name = validSheetName(sheetName);
    log.begin(file, name);
    if (file.isEmpty())
        return log.fail(QStringLiteral("no file name"));
    const int cols = sheet.columnCount();
    if (cols > kExcelMaxCols)
        return log.fail(QStringLiteral("%1 columns exceed Excel's %2").arg(cols).arg(kExcelMaxCols));
    const Outcome out = writeWorkbook(sheet, file, name, progress);
    if (readError)
        *readError = out.readError;
    if (rows)
        *rows = out.dataRows;
    if (!out.failure.isEmpty())
        return log.fail(out.failure);
    log.add(QStringLiteral("Rows: %1").arg(out.rows));
    log.add(QStringLiteral("Columns: %1 of %2 (hidden columns left out)").arg(cols).arg(cols + sheet.columnsLeftOut()));
    log.add(QStringLiteral("Cells: %1 numbers, %2 texts").arg(out.numbers).arg(out.texts));
    log.add(QStringLiteral("Result: written"));
    log.write();
    return true;
}

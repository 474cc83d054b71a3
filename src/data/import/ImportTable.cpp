#include "data/import/ImportTable.h"

#include "data/import/CsvReader.h"
#include "data/import/WorkbookReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

QString ImportRows::textOf(const Cell& c) const
{
    return QString::fromUtf8(m_text.constData() + c.offset, c.bytes);
}

ImportRows::Row ImportRows::operator[](qsizetype row) const
{
    return Row(this, firstCell(row), m_rowEnd[row], m_width[row]);
}

QString ImportRows::Row::value(int col) const
{
    const Cell* first = m_rows->m_cells.constData() + m_first;
    const Cell* last = m_rows->m_cells.constData() + m_end;
    const Cell* c = std::lower_bound(first, last, col, [](const Cell& a, int b) { return a.col < b; });
    return c != last && c->col == col ? m_rows->textOf(*c) : QString();
}

bool ImportRows::Row::isBlank() const
{
    for (qsizetype i = m_first; i < m_end; ++i) {
        if (!m_rows->textOf(m_rows->m_cells[i]).trimmed().isEmpty())
            return false;
    }
    return true;
}

QStringList ImportRows::Row::toList() const
{
    QStringList list(m_width);
    for (qsizetype i = m_first; i < m_end; ++i)
        list[m_rows->m_cells[i].col] = m_rows->textOf(m_rows->m_cells[i]);
    return list;
}

QStringList ImportRows::value(qsizetype row) const
{
    return row >= 0 && row < size() ? (*this)[row].toList() : QStringList();
}

QString ImportRows::cell(qsizetype row, int col) const
{
    return row >= 0 && row < size() && col >= 0 ? (*this)[row].value(col) : QString();
}

ImportRows::Text ImportRows::addText(QByteArrayView utf8)
{
    const qsizetype bytes = std::min<qsizetype>(utf8.size(), 0xFFFF);
    if (bytes == 0 || m_over != Over::Nothing)
        return {};
    if (m_text.size() + bytes > ImportLimits::kMaxTextBytes) {
        m_over = Over::Text;
        return {};
    }
    const Text t{quint32(m_text.size()), quint16(bytes)};
    m_text.append(utf8.first(bytes));
    return t;
}

void ImportRows::addCell(int col, Text text)
{
    if (col < 0 || col >= ImportLimits::kMaxColumns || m_over != Over::Nothing)
        return;
    m_rowWidth = std::max(m_rowWidth, col + 1);
    if (text.bytes == 0)
        return;
    if (m_cells.size() >= ImportLimits::kMaxCells) {
        m_over = Over::Cells;
        return;
    }
    m_cells.append({text.offset, text.bytes, quint8(col)});
}

void ImportRows::widen(int width)
{
    m_rowWidth = std::clamp(width, m_rowWidth, ImportLimits::kMaxColumns);
}

bool ImportRows::endRow()
{
    if (m_over == Over::Nothing && m_rowEnd.size() >= ImportLimits::kMaxRows)
        m_over = Over::Rows;
    if (m_over != Over::Nothing)
        return false;
    // A workbook may give a row's cells out of order or twice: by column, the last one given.
    const auto first = m_cells.begin() + firstCell(size());
    if (std::adjacent_find(first, m_cells.end(), [](const Cell& a, const Cell& b) { return a.col >= b.col; }) !=
        m_cells.end()) {
        std::stable_sort(first, m_cells.end(), [](const Cell& a, const Cell& b) { return a.col < b.col; });
        std::reverse(first, m_cells.end()); // the last given of a column first
        m_cells.erase(std::unique(first, m_cells.end(), [](const Cell& a, const Cell& b) { return a.col == b.col; }),
                      m_cells.end());
        std::reverse(m_cells.begin() + firstCell(size()), m_cells.end());
    }
    m_rowEnd.append(quint32(m_cells.size()));
    m_width.append(quint16(m_rowWidth));
    m_columns = std::max(m_columns, m_rowWidth);
    m_rowWidth = 0;
    return true;
}

qsizetype ImportRows::storageBytes() const
{
    return m_text.capacity() + m_cells.capacity() * qsizetype(sizeof(Cell)) +
           m_rowEnd.capacity() * qsizetype(sizeof(quint32)) + m_width.capacity() * qsizetype(sizeof(quint16));
}

void ImportRows::squeeze()
{
    m_text.squeeze();
    m_cells.squeeze();
    m_rowEnd.squeeze();
    m_width.squeeze();
}

bool IsBlankRow(const QStringList& row)
{
    return std::all_of(row.cbegin(), row.cend(), [](const QString& c) { return c.trimmed().isEmpty(); });
}

bool ReadImportFile(const QString& path, ImportTable* table, ErrorInfo* error, const QString& sheet)
{
    using namespace ImportLimits;
    const QFileInfo info(path);
    if (!info.isFile())
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate("ImportTable", "파일이 없습니다: %1").arg(path)));
    if (info.size() == 0)
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate("ImportTable", "빈 파일입니다: %1").arg(path)));
    if (info.size() > kMaxFileBytes)
        return fail(error, ErrorInfo::notice(QCoreApplication::translate(
                                                 "ImportTable", "파일이 너무 큽니다 (%1MB까지 가져올 수 있습니다): %2")
                                                 .arg(kMaxFileBytes / (1024 * 1024))
                                                 .arg(path)));
    const bool ok = WorkbookReader::LooksLikeWorkbook(path) ? WorkbookReader::ReadFile(path, sheet, table, error)
                                                            : CsvReader::ReadFile(path, table, error);
    if (!ok)
        return false;
    QString over;
    switch (table->rows.over()) {
    case ImportRows::Over::Rows:
        over = QCoreApplication::translate("ImportTable", "행이 너무 많습니다 (%1행까지 가져올 수 있습니다): %2")
                   .arg(kMaxRows);
        break;
    case ImportRows::Over::Cells:
        over = QCoreApplication::translate("ImportTable", "채워진 칸이 너무 많습니다 (%1칸까지 가져올 수 있습니다): %2")
                   .arg(kMaxCells);
        break;
    case ImportRows::Over::Text:
        over = QCoreApplication::translate("ImportTable", "글자가 너무 많습니다 (%1MB까지 가져올 수 있습니다): %2")
                   .arg(kMaxTextBytes / (1024 * 1024));
        break;
    case ImportRows::Over::Nothing:
        break;
    }
    if (!over.isEmpty()) {
        *table = ImportTable();
        return fail(error, ErrorInfo::notice(over.arg(path)));
    }
    if (table->openQuoteRow > 0) {
        const int row = table->openQuoteRow, line = table->openQuoteLine;
        *table = ImportTable();
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate(
                                          "ImportTable", "따옴표가 닫히지 않았습니다: %1행(파일의 %2번째 줄)에서 "
                                                         "연 따옴표가 파일 끝까지 이어집니다: %3")
                                          .arg(row)
                                          .arg(line)
                                          .arg(path)));
    }
    table->rows.squeeze();
    bool blank = true;
    for (qsizetype r = 0; blank && r < table->rows.size(); ++r)
        blank = table->rows[r].isBlank();
    if (blank)
        return fail(
            error, ErrorInfo::notice(QCoreApplication::translate("ImportTable", "가져올 행이 없습니다: %1").arg(path)));
    return true;
}

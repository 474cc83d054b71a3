#pragma once

#include "data/base/Error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace ImportLimits {
// A file beyond this size is refused before it is read: a ledger's year of
// card sales is a few megabytes. With the limits below, an import of any file
// that is read stays well within 200 MB.
constexpr qint64 kMaxFileBytes = 32LL * 1024 * 1024;
// A cell beyond this is cut and its row refused; no amount, date or card name is that long.
constexpr int kMaxCellChars = 4096;
// Cells beyond this column are left out: no profile maps them.
constexpr int kMaxColumns = 256;
// A file beyond these is refused as soon as the reader gets there.
constexpr int kMaxRows = 200'000;
constexpr qsizetype kMaxCells = 3'000'000;      // cells that hold text
constexpr qsizetype kMaxTextBytes = 48LL << 20; // their text, UTF-8
} // namespace ImportLimits

// The rows of a file to import, kept compactly: the text of the cells that
// are not empty in one UTF-8 buffer, 8 bytes per such cell, 6 per row. An
// empty cell costs nothing, so a sheet of a million rows of one far-right
// empty cell stays small.
class ImportRows {
public:
    // A place in the text buffer (shared strings are stored once).
    struct Text {
        quint32 offset = 0;
        quint16 bytes = 0;
    };

    // One row, read in place; valid while its rows are.
    class Row {
    public:
        // The cells up to the last one the file gave, empty ones included.
        int size() const { return m_width; }
        QString value(int col) const;
        // All cells empty or blank.
        bool isBlank() const;
        QStringList toList() const;
        operator QStringList() const { return toList(); }

    private:
        friend class ImportRows;
        Row(const ImportRows* rows, qsizetype first, qsizetype end, int width)
            : m_rows(rows), m_first(first), m_end(end), m_width(width)
        {
        }
        const ImportRows* m_rows;
        qsizetype m_first;
        qsizetype m_end;
        int m_width;
    };

    class const_iterator {
    public:
        const_iterator(const ImportRows* rows, qsizetype i) : m_rows(rows), m_i(i) {}
        Row operator*() const { return (*m_rows)[m_i]; }
        const_iterator& operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return m_i != o.m_i; }

    private:
        const ImportRows* m_rows;
        qsizetype m_i;
    };

    // What a file went beyond (ImportLimits); nothing more is taken then.
    enum class Over { Nothing, Rows, Cells, Text };

    qsizetype size() const { return m_rowEnd.size(); }
    bool isEmpty() const { return m_rowEnd.isEmpty(); }
    Row operator[](qsizetype row) const;
    QStringList value(qsizetype row) const; // empty for a row the file does not have
    QString cell(qsizetype row, int col) const;
    int columnCount() const { return m_columns; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Building, row by row: the cells of the row in progress, then endRow.
    // Text goes into the buffer once and may be given to many cells.
    Text addText(QByteArrayView utf8);
    void addCell(int col, Text text);
    void addCell(int col, QByteArrayView utf8) { addCell(col, addText(utf8)); }
    // The row in progress is at least `width` cells wide (its empty cells are not stored).
    void widen(int width);
    // False, taking nothing, once a limit is reached (see over()).
    bool endRow();
    Over over() const { return m_over; }
    // A reader met a limit of its own (a workbook's shared strings).
    void stop(Over why)
    {
        if (m_over == Over::Nothing)
            m_over = why;
    }
    // Bytes held by the buffers (for the tests that bound it).
    qsizetype storageBytes() const;
    // Gives back what the buffers hold beyond their contents.
    void squeeze();

private:
    struct Cell {
        quint32 offset;
        quint16 bytes;
        quint8 col;
        quint8 unused = 0;
    };
    static_assert(sizeof(Cell) == 8);
    static_assert(ImportLimits::kMaxColumns <= 256 && ImportLimits::kMaxCellChars * 3 < 65536);
    qsizetype firstCell(qsizetype row) const { return row == 0 ? 0 : m_rowEnd[row - 1]; }
    QString textOf(const Cell& c) const;

    QByteArray m_text;
    QList<Cell> m_cells;
    QList<quint32> m_rowEnd; // one past each row's last cell in m_cells
    QList<quint16> m_width;
    int m_columns = 0;
    int m_rowWidth = 0; // of the row in progress
    Over m_over = Over::Nothing;
};

// The cells of a file to import, as text, row by row, whatever it was
// (CSV, tab-separated text or a workbook's sheet). Dates that a workbook
// stores as serial numbers with a date format arrive as "YYYY-MM-DD".
struct ImportTable {
    ImportRows rows;
    QSet<int> oversizedRows; // 0-based rows with a cell cut at kMaxCellChars
    QString format;          // how the file was read ("CSV, UTF-8, 쉼표"), for the window
    QStringList sheets;      // a workbook's sheet names
    QString sheet;           // the sheet that was read
    // A quoted CSV field that never closed: the 1-based row and line of the file where it opened.
    int openQuoteRow = 0;
    int openQuoteLine = 0;

    QString cell(int row, int col) const { return rows.cell(row, col); }
    int columnCount() const { return rows.columnCount(); }
};

// A row whose cells are all empty or blank.
bool IsBlankRow(const QStringList& row);
inline bool IsBlankRow(const ImportRows::Row& row)
{
    return row.isBlank();
}

// Reads a .csv/.txt or .xlsx file (by its content, not its name); `sheet`
// chooses a workbook's sheet by name (empty: the first). False with a Korean
// message in `error` for a file that cannot be read as a table, or one that
// goes beyond ImportLimits.
bool ReadImportFile(const QString& path, ImportTable* table, ErrorInfo* error, const QString& sheet = QString());

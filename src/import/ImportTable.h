#pragma once

#include "base/Error.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The cells of a file to import, as text, row by row, whatever it was
// (CSV, tab-separated text or a workbook's sheet). Dates that a workbook
// stores as serial numbers with a date format arrive as "YYYY-MM-DD".
struct ImportTable {
    QList<QStringList> rows;
    QSet<int> oversizedRows;  // 0-based rows with a cell cut at kMaxCellChars
    QString format;           // how the file was read ("CSV, UTF-8, 쉼표"), for the window
    QStringList sheets;       // a workbook's sheet names
    QString sheet;            // the sheet that was read
    bool tooManyRows = false; // rows beyond ImportLimits::kMaxRows were left out

    QString cell(int row, int col) const { return rows.value(row).value(col); }
    int columnCount() const;
};

namespace ImportLimits {
// A file beyond this size is refused before it is read: a ledger's year of
// card sales is a few megabytes.
constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;
// A cell beyond this is cut and its row refused; no amount, date or card name is that long.
constexpr int kMaxCellChars = 4096;
constexpr int kMaxColumns = 256;
constexpr int kMaxRows = 1'000'000;
} // namespace ImportLimits

// Reads a .csv/.txt or .xlsx file (by its content, not its name); `sheet`
// chooses a workbook's sheet by name (empty: the first). False with a Korean
// message in `error` for a file that cannot be read as a table.
// A row whose cells are all empty or blank.
bool IsBlankRow(const QStringList& row);

bool ReadImportFile(const QString& path, ImportTable* table, ErrorInfo* error, const QString& sheet = QString());

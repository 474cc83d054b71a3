#include "import/ImportTable.h"

#include "import/CsvReader.h"
#include "import/WorkbookReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

int ImportTable::columnCount() const
{
    qsizetype n = 0;
    for (const QStringList& row : rows)
        n = std::max(n, row.size());
    return int(n);
}

bool IsBlankRow(const QStringList& row)
{
    return std::all_of(row.cbegin(), row.cend(), [](const QString& c) { return c.trimmed().isEmpty(); });
}

bool ReadImportFile(const QString& path, ImportTable* table, ErrorInfo* error, const QString& sheet)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate("ImportTable", "파일이 없습니다: %1").arg(path)));
    if (info.size() == 0)
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate("ImportTable", "빈 파일입니다: %1").arg(path)));
    const bool ok = WorkbookReader::LooksLikeWorkbook(path) ? WorkbookReader::ReadFile(path, sheet, table, error)
                                                            : CsvReader::ReadFile(path, table, error);
    if (!ok)
        return false;
    if (table->tooManyRows)
        return fail(error, ErrorInfo::notice(QCoreApplication::translate("ImportTable", "행이 너무 많습니다 (%1행까지 "
                                                                                        "가져올 수 있습니다): %2")
                                                 .arg(ImportLimits::kMaxRows)
                                                 .arg(path)));
    const bool blank = std::all_of(table->rows.cbegin(), table->rows.cend(), IsBlankRow);
    if (blank)
        return fail(
            error, ErrorInfo::notice(QCoreApplication::translate("ImportTable", "가져올 행이 없습니다: %1").arg(path)));
    return true;
}

#pragma once

#include "data/import/ImportTable.h"

// The cells of one sheet of an .xlsx workbook: the zip container through
// libzip, its XML parts through QXmlStreamReader. Shared and inline strings,
// numbers as written (whole numbers without ".0"), booleans, and numbers
// formatted as dates as "YYYY-MM-DD". Formulas give their cached value.
namespace WorkbookReader {

// True when the file starts as a zip container does.
bool LooksLikeWorkbook(const QString& path);

// `sheet`: the sheet's name; empty for the first sheet.
bool ReadFile(const QString& path, const QString& sheet, ImportTable* table, ErrorInfo* error);

} // namespace WorkbookReader

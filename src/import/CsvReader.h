#pragma once

#include "import/ImportTable.h"

#include <QByteArray>
#include <QString>

// Delimited text as card terminals and card companies write it.
namespace CsvReader {

// The bytes as text: UTF-8 (with or without byte-order mark), UTF-16 with
// its mark, otherwise the Korean Windows code page CP949 (a superset of
// EUC-KR), decoded with iconv since Qt may not know it. `encoding` names
// what was found. False with a message for binary data or undecodable bytes.
bool Decode(const QByteArray& bytes, QString* text, QString* encoding, ErrorInfo* error);

// Comma, semicolon or tab: the one that splits the first lines into the
// same number of fields most consistently (quoted separators do not count).
QChar DetectSeparator(const QString& text);

// Splits the text into rows of fields: quoted fields may hold separators,
// doubled quotes and line breaks; rows may differ in length. Cells are cut
// at ImportLimits::kMaxCellChars (their rows are listed as oversized), extra
// columns and rows beyond the limits are dropped.
void Parse(const QString& text, QChar separator, ImportTable* table);

bool ReadFile(const QString& path, ImportTable* table, ErrorInfo* error);

} // namespace CsvReader

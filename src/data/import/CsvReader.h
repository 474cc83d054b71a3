#pragma once

#include "data/import/ImportTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Delimited text as card terminals and card companies write it.
namespace CsvReader {

// The bytes as UTF-8 text: UTF-8 (with or without byte-order mark), UTF-16
// with its mark, otherwise the Korean Windows code page CP949 (a superset of
// EUC-KR), converted with iconv since Qt may not know it. `encoding` names
// what was found. False with a message for binary data or undecodable bytes.
bool Decode(QByteArray bytes, QByteArray* utf8, QString* encoding, ErrorInfo* error);

// Comma, semicolon or tab: the one that splits the first lines into the
// same number of fields most consistently (quoted separators do not count).
char DetectSeparator(QByteArrayView utf8);

// Splits UTF-8 text into rows of fields: quoted fields may hold separators,
// doubled quotes and line breaks; rows may differ in length. Cells are cut
// at ImportLimits::kMaxCellChars (their rows are listed as oversized), extra
// columns are dropped; it stops at a limit of ImportRows. A quote left open
// at the end is noted in the table (openQuoteRow, openQuoteLine).
void Parse(QByteArrayView utf8, char separator, ImportTable* table);

bool ReadFile(const QString& path, ImportTable* table, ErrorInfo* error);

} // namespace CsvReader

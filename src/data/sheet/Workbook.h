#pragma once

#include "data/base/Progress.h"
#include "data/sheet/Sheet.h"

#include <QString>

// Writes a sheet to an .xlsx workbook: the caption in bold (a blank row under
// it), the column titles bold and centred, then the rows in order, streamed
// (libxlsxwriter's constant-memory mode: a big sheet never sits in memory).
// A number cell goes in as a number with its format, anything else as its
// text. The workbook is written under a temporary name and renamed when
// complete, so that no half-written one remains. What the export did goes to
// `logFile` when one is named. False with the reason in `why` when the
// workbook could not be written, the rows could not be read (then also in
// `readError`) or `progress` stopped it. `rows`: the sheet's rows written.
bool WriteWorkbook(const Sheet& sheet, const QString& file, const QString& sheetName, QString* why = nullptr,
                   const QString& logFile = QString(), const Progress& progress = {}, ErrorInfo* readError = nullptr,
                   int* rows = nullptr);

#pragma once

#include "data/base/Error.h"

#include <QString>

// Turns a short typed form into "YYYY-MM-DD" (today from Clock):
//   1 or 2 digits: that day of the current month;  3 or 4 digits: MMDD of this year;
//   6 digits: YYMMDD in the 2000s;  8 digits: YYYYMMDD;  otherwise a full date
//   ("YYYY-MM-DD", "YYYY/MM/DD").
// On failure the text stays as typed and `error` holds the accepted forms (DateFormsMessage).
bool ParseDateInput(QString& text, ErrorInfo* error = nullptr);
// The message for a typed text that is no date (lines joined by CR LF).
QString DateFormsMessage(const QString& typed);

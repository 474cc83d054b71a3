#pragma once

#include <QDate>
#include <QDateTime>

// The one source of "today" and "now". Tests set a fixed day; the program
// uses the computer's clock (so faketime can move it for end-to-end runs).
namespace Clock {
QDate today();
QDateTime now();
// Fixes today (and now, at noon of that day unless a time is given); an invalid date returns to the real clock.
void setToday(const QDate& day);
void setNow(const QDateTime& moment);
} // namespace Clock

// "YYYY-MM-DD", "YYYY-MM": the text forms in which days and months are stored and compared.
namespace DateText {
QString day(const QDate& d);                          // "YYYY-MM-DD"
QString month(const QDate& d);                        // "YYYY-MM"
QString monthOf(const QString& dayText);              // first seven characters
QString firstOfMonth(const QString& dayText);         // "YYYY-MM-01"
QString previousMonth(const QString& monthOrDayText); // month before, "YYYY-MM"
QString firstDayAfterMonth(const QString& monthText); // first day of the next month
QString dayBefore(const QString& dayText);
// Reads "YYYY-MM-DD" or "YYYY/MM/DD" (one-digit month or day allowed); invalid QDate otherwise.
QDate parse(const QString& text);
bool isValidDay(const QString& text);
QString todayText();
QString currentMonth();
} // namespace DateText

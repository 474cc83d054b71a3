#include "data/base/Clock.h"

#include <QRegularExpression>

namespace {
QDateTime g_fixedNow;
}

namespace Clock {
QDate today()
{
    return g_fixedNow.isValid() ? g_fixedNow.date() : QDate::currentDate();
}

QDateTime now()
{
    return g_fixedNow.isValid() ? g_fixedNow : QDateTime::currentDateTime();
}

void setToday(const QDate& day)
{
    g_fixedNow = day.isValid() ? QDateTime(day, QTime(12, 0)) : QDateTime();
}

void setNow(const QDateTime& moment)
{
    g_fixedNow = moment;
}
} // namespace Clock

namespace DateText {
QString day(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString month(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-MM"));
}

QString monthOf(const QString& dayText)
{
    return dayText.left(7);
}

QString firstOfMonth(const QString& dayText)
{
    return dayText.left(7) + QStringLiteral("-01");
}

QString previousMonth(const QString& monthOrDayText)
{
    const QDate d = parse(monthOrDayText.left(7) + QStringLiteral("-01"));
    return d.isValid() ? month(d.addMonths(-1)) : QString();
}

QString firstDayAfterMonth(const QString& monthText)
{
    const QDate d = parse(monthText.left(7) + QStringLiteral("-01"));
    return d.isValid() ? day(d.addMonths(1)) : QString();
}

QString dayBefore(const QString& dayText)
{
    const QDate d = parse(dayText);
    return d.isValid() ? day(d.addDays(-1)) : QString();
}

QDate parse(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

bool isValidDay(const QString& text)
{
    return parse(text).isValid();
}

QString todayText()
{
    return day(Clock::today());
}

QString currentMonth()
{
    return month(Clock::today());
}
} // namespace DateText

#include "data/import/ImportValues.h"

#include "data/base/Clock.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace ImportValues {

namespace {
// The number of an amount cell without currency signs, unit word and
// brackets ("(1,000)" is negative); empty when it has no amount's form.
QString amountNumber(const QString& text, bool* negative)
{
    QString t = text.trimmed();
    // Currency signs and the unit word around the number ("₩", full-width "￦", "원").
    for (const QChar c : {QChar(0x20A9), QChar(0xFFE6), QChar(0xC6D0), QChar(u'\\')})
        t.remove(c);
    t.remove(QChar(0x00A0)); // a space that a spreadsheet keeps inside numbers
    t = t.trimmed();
    *negative = false;
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        *negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    // Grouping commas only between groups of three digits: "1,2,3" is no amount.
    static const QRegularExpression form(QStringLiteral("^[+-]?(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d+)?$"));
    if (!form.match(t).hasMatch())
        return {};
    if (*negative && (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))))
        return {};
    return t;
}
} // namespace

std::optional<Money> ParseAmount(const QString& text)
{
    bool negative = false;
    const QString t = amountNumber(text, &negative);
    if (t.isEmpty() || FinerThanMoney(text))
        return std::nullopt;
    const std::optional<Money> m = Money::parse(t);
    if (!m)
        return std::nullopt;
    return negative ? -*m : *m;
}

bool FinerThanMoney(const QString& text)
{
    bool negative = false;
    const QString t = amountNumber(text, &negative);
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    if (point < 0)
        return false;
    const QStringView beyond = QStringView(t).sliced(std::min(point + 1 + 4, t.size()));
    return std::any_of(beyond.begin(), beyond.end(), [](QChar c) { return c != QLatin1Char('0'); });
}

QString ParseDay(const QString& text)
{
    // Year, month and day with one separator kind, an optional dot after the
    // day ("2026. 12. 7.") and an optional time of day after a blank.
    static const QRegularExpression separated(
        QStringLiteral("^(\\d{4}|\\d{2})([-./])\\s*(\\d{1,2})\\2\\s*(\\d{1,2})\\.?(\\s+\\d{1,2}:\\d{2}(:\\d{2})?)?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    const QString t = text.trimmed();
    int year = 0, month = 0, day = 0;
    if (const QRegularExpressionMatch m = separated.match(t); m.hasMatch()) {
        year = m.captured(1).toInt();
        if (m.captured(1).size() == 2)
            year += 2000;
        month = m.captured(3).toInt();
        day = m.captured(4).toInt();
    } else if (const QRegularExpressionMatch c = compact.match(t); c.hasMatch()) {
        year = c.captured(1).toInt();
        month = c.captured(2).toInt();
        day = c.captured(3).toInt();
    } else {
        return {};
    }
    const QDate date(year, month, day);
    return date.isValid() && year >= 1900 ? DateText::day(date) : QString();
}

QString DayFromSerial(double serial, bool base1904)
{
    if (!std::isfinite(serial) || serial < 1 || serial > 2958465) // up to 9999-12-31
        return {};
    const QDate base = base1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    return DateText::day(base.addDays(qint64(std::floor(serial))));
}

} // namespace ImportValues

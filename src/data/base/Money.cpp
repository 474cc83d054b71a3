#include "data/base/Money.h"

#include <cmath>

Money Money::fromDouble(double value)
{
    const double scaled = value * kScale;
    return Money(qint64(scaled >= 0 ? std::floor(scaled + 0.5) : std::ceil(scaled - 0.5)));
}

std::optional<Money> Money::add(Money a, Money b)
{
    qint64 r = 0;
    if (__builtin_add_overflow(a.m_units, b.m_units, &r))
        return std::nullopt;
    return Money(r);
}

std::optional<Money> Money::sub(Money a, Money b)
{
    qint64 r = 0;
    if (__builtin_sub_overflow(a.m_units, b.m_units, &r))
        return std::nullopt;
    return Money(r);
}

bool Money::addTo(Money& total, Money o)
{
    const std::optional<Money> r = add(total, o);
    if (r)
        total = *r;
    return r.has_value();
}

std::optional<Money> Money::parse(const QString& text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    if (t.isEmpty())
        return std::nullopt;
    bool negative = false;
    int i = 0;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    qint64 whole = 0;
    qint64 frac = 0;
    int fracDigits = 0;
    int digits = 0;
    bool point = false;
    bool roundUp = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') && !point) {
            point = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
        const int d = c.unicode() - '0';
        ++digits;
        if (!point) {
            if (whole > (std::numeric_limits<qint64>::max() / kScale - 9) / 10)
                return std::nullopt;
            whole = whole * 10 + d;
        } else if (fracDigits < 4) {
            frac = frac * 10 + d;
            ++fracDigits;
        } else if (fracDigits == 4) {
            roundUp = d >= 5;
            ++fracDigits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    qint64 units = whole * kScale + frac + (roundUp ? 1 : 0);
    return Money(negative ? -units : units);
}

Money Money::fromLeading(const QString& text)
{
    const double v = leadingNumber(text);
    return fromDouble(v);
}

QString Money::toPlainString() const
{
    const quint64 a = magnitude();
    QString s = QString::number(a / kScale);
    const quint64 frac = a % kScale;
    if (frac != 0) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return m_units < 0 ? QLatin1Char('-') + s : s;
}

QString Money::toDisplayString(int decimals, bool separators) const
{
    decimals = qBound(0, decimals, 4);
    quint64 div = 1;
    for (int i = decimals; i < 4; ++i)
        div *= 10;
    quint64 a = magnitude();
    // Round half away from zero to the shown places.
    a = (a + div / 2) / div;
    quint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    QString whole = QString::number(a / scale);
    if (separators) {
        for (int pos = whole.size() - 3; pos > 0; pos -= 3)
            whole.insert(pos, QLatin1Char(','));
    }
    QString s = whole;
    if (decimals > 0)
        s += QLatin1Char('.') + QString::number(a % scale).rightJustified(decimals, QLatin1Char('0'));
    return (m_units < 0 && a != 0) ? QLatin1Char('-') + s : s;
}

double leadingNumber(const QString& text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QString num;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        num += text[i++];
    bool point = false;
    bool anyDigit = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            num += c;
            anyDigit = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            num += c;
        } else if (c == QLatin1Char(',') && anyDigit && !point && i + 1 < n && text[i + 1].isDigit()) {
            continue;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok ? v : 0.0;
}

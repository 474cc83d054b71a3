#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// An exact currency amount: a signed count of ten-thousandths, the same
// representation the ledger stores in its INTEGER money columns.
class Money {
public:
    static constexpr qint64 kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { return Money(units); }
    static constexpr Money fromWon(qint64 won) { return Money(won * kScale); }
    // Rounds half away from zero to the nearest ten-thousandth.
    static Money fromDouble(double value);
    // Strict conversion of a whole text ("1234", "-12.5", "1,234.50", blanks
    // around): nullopt for an empty text or anything that is not a number.
    static std::optional<Money> parse(const QString& text);
    // The leading number of a text, 0 when there is none (see leadingNumber).
    static Money fromLeading(const QString& text);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / kScale; }
    bool isZero() const { return m_units == 0; }

    // Plain decimal form without grouping and without trailing zeros: "1234.5", "-3", "0".
    QString toPlainString() const;
    // With thousands separators and exactly `decimals` places (rounded half away from zero).
    QString toDisplayString(int decimals = 0, bool separators = true) const;

    // Checked sums for money accumulated across rows: nullopt when the result
    // leaves the range, never a wrapped number.
    static std::optional<Money> add(Money a, Money b);
    static std::optional<Money> sub(Money a, Money b);
    // Adds `o` to `total`; false, with `total` unchanged, when it would overflow.
    [[nodiscard]] static bool addTo(Money& total, Money o);

    friend constexpr Money operator+(Money a, Money b) { return Money(a.m_units + b.m_units); }
    friend constexpr Money operator-(Money a, Money b) { return Money(a.m_units - b.m_units); }
    constexpr Money operator-() const { return Money(-m_units); }
    Money& operator+=(Money o)
    {
        m_units += o.m_units;
        return *this;
    }
    Money& operator-=(Money o)
    {
        m_units -= o.m_units;
        return *this;
    }
    friend constexpr bool operator==(Money a, Money b) = default;
    friend constexpr auto operator<=>(Money a, Money b) = default;

private:
    explicit constexpr Money(qint64 units) : m_units(units) {}
    // The absolute value, exact even for the most negative amount.
    constexpr quint64 magnitude() const { return m_units < 0 ? 0 - quint64(m_units) : quint64(m_units); }
    qint64 m_units = 0;
};

// The leading number of a text as the ledger reads amounts typed into cells:
// blanks are skipped, an optional sign and digits with one decimal point are
// read up to the first character that cannot continue the number; grouping
// commas between digits are skipped. Empty or non-numeric text gives 0.
double leadingNumber(const QString& text);

#include "data/summary/SumBillMonthly.h"

#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/summary/SumBillData.h"

#include <QDate>
#include <QSqlQuery>

#include <utility>

namespace {
// Sums per month and card over the date index, ordered as the summary orders
// its lines (registered cards by name then code, then deleted ones by code),
// so that each card's months come together.
QString MonthlySql()
{
    return QStringLiteral("SELECT s.m, s.cardcode, b.code IS NULL, b.name, s.sales, s.fees"
                          " FROM (SELECT substr(sdate, 1, 7) AS m, cardcode, SUM(sale) AS sales, SUM(fee) AS fees"
                          " FROM Tallox WHERE sdate BETWEEN ? AND ? AND %2 GROUP BY m, cardcode) AS s"
                          " LEFT JOIN %1.Plastra AS b ON b.code = s.cardcode"
                          " ORDER BY b.code IS NULL, b.name, s.cardcode, s.m")
        .arg(CardAlias(), RealDaySql());
}

// A month counted from the year 0, so that a bar of N months is a plain division.
int MonthIndex(int year, int month)
{
    return year * 12 + month - 1;
}

// The bars of the period: one per month while they are few enough, else the
// narrowest of years, decades, centuries, ... that keeps them at kMaxChartBars.
void LayBars(const QString& from, const QString& to, MonthlySummary* m)
{
    const QDate first = QDate::fromString(from, Qt::ISODate);
    const QDate last = QDate::fromString(to, Qt::ISODate);
    if (!first.isValid() || !last.isValid() || last < first)
        return;
    const int low = MonthIndex(first.year(), first.month());
    const int high = MonthIndex(last.year(), last.month());
    int width = 1;
    while (high / width - low / width + 1 > kMaxChartBars)
        width = width == 1 ? 12 : width * 10;
    m->monthsPerBar = width;
    const auto year = [](int index) { return QStringLiteral("%1").arg(index / 12, 4, 10, QLatin1Char('0')); };
    for (int bar = low / width; bar <= high / width; ++bar) {
        const int start = bar * width;
        if (width == 1)
            m->months.append(year(start) + QStringLiteral("-%1").arg(start % 12 + 1, 2, 10, QLatin1Char('0')));
        else if (width == 12)
            m->months.append(year(start));
        else
            m->months.append(year(start) + QLatin1Char('~') + year(start + width - 12));
    }
}

// Adds the query's current row (one month of one card) to its bar of the card
// it belongs to (a new one when the code changes).
bool ReadRow(const QSqlQuery& q, const MonthlySummary& m, QList<MonthlyCardFigures>* cards, ErrorInfo* error)
{
    const int code = q.value(1).toInt();
    if (cards->isEmpty() || cards->constLast().cardCode != code) {
        MonthlyCardFigures card;
        card.cardCode = code;
        card.name = q.value(2).toBool() ? MissingCardName(code) : q.value(3).toString();
        card.sales.fill(Money(), m.months.size());
        card.fees.fill(Money(), m.months.size());
        cards->append(card);
    }
    const QString month = q.value(0).toString();
    const QDate from = QDate::fromString(m.from, Qt::ISODate);
    const qsizetype bar = MonthIndex(month.left(4).toInt(), month.mid(5, 2).toInt()) / m.monthsPerBar -
                          MonthIndex(from.year(), from.month()) / m.monthsPerBar;
    MonthlyCardFigures& card = cards->last();
    Money sales, fees;
    if (bar < 0 || bar >= m.months.size() || !ReadMoney(q.value(4), &sales) || !ReadMoney(q.value(5), &fees))
        return fail(error, NotAnAmount());
    return (Money::addTo(card.sales[bar], sales) && Money::addTo(card.fees[bar], fees)) || fail(error, MoneyOverflow());
}

// Leaves out cards with neither sales nor fees (only pay-outs, or sums of 0)
// and totals each month; false when a total leaves the range of money.
bool Finish(MonthlySummary* m)
{
    m->monthSales.fill(Money(), m->months.size());
    QList<MonthlyCardFigures> kept;
    for (const MonthlyCardFigures& card : std::as_const(m->cards)) {
        bool any = false;
        for (qsizetype i = 0; i < m->months.size(); ++i) {
            any = any || !card.sales[i].isZero() || !card.fees[i].isZero();
            if (!Money::addTo(m->monthSales[i], card.sales[i]))
                return false;
        }
        if (any)
            kept.append(card);
    }
    m->cards = std::move(kept);
    return true;
}
} // namespace

std::optional<double> FeeRatePercent(Money fees, Money sales)
{
    if (sales.isZero())
        return std::nullopt;
    return double(fees.units()) / double(sales.units()) * 100.0;
}

bool LoadMonthlySummary(Database& ledger, const QString& from, const QString& to, MonthlySummary* out, ErrorInfo* error)
{
    *out = MonthlySummary();
    MonthlySummary m;
    m.from = from;
    m.to = to;
    LayBars(from, to, &m);
    const ReadSnapshot snapshot(ledger);
    if (!snapshot.ok(error))
        return false;
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, MonthlySql(), {from, to}, error))
        return false;
    ErrorInfo bad;
    bool amounts = true;
    while (amounts && rs.next())
        amounts = ReadRow(rs, m, &m.cards, &bad);
    ErrorInfo e;
    if (!FinishRead(rs, &e))
        return fail(error, e.at(ErrorPlace::MonthlySummary));
    if (!amounts)
        return fail(error, bad);
    if (!Finish(&m))
        return fail(error, MoneyOverflow());
    *out = std::move(m);
    return true;
}

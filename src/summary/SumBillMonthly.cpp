#include "summary/SumBillMonthly.h"

#include "core/DbAccess.h"
#include "core/LedgerSql.h"
#include "summary/SumBillData.h"

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

QStringList MonthsOf(const QString& from, const QString& to)
{
    QStringList months;
    const QDate last = QDate::fromString(to, Qt::ISODate);
    for (QDate d = QDate::fromString(from, Qt::ISODate); d.isValid() && d <= last; d = d.addMonths(1)) {
        d.setDate(d.year(), d.month(), 1);
        months.append(d.toString(QStringLiteral("yyyy-MM")));
    }
    return months;
}

// Adds the query's current row to the card it belongs to (a new one when the
// code changes); false for an amount that is no integer.
bool ReadRow(const QSqlQuery& q, const QStringList& months, QList<MonthlyCardFigures>* cards)
{
    const int code = q.value(1).toInt();
    if (cards->isEmpty() || cards->constLast().cardCode != code) {
        MonthlyCardFigures card;
        card.cardCode = code;
        card.name = q.value(2).toBool() ? MissingCardName(code) : q.value(3).toString();
        card.sales.fill(Money(), months.size());
        card.fees.fill(Money(), months.size());
        cards->append(card);
    }
    const qsizetype month = months.indexOf(q.value(0).toString());
    MonthlyCardFigures& card = cards->last();
    return month >= 0 && ReadMoney(q.value(4), &card.sales[month]) && ReadMoney(q.value(5), &card.fees[month]);
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
    m.months = MonthsOf(from, to);
    const ReadSnapshot snapshot(ledger);
    if (!snapshot.ok(error))
        return false;
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, MonthlySql(), {from, to}, error))
        return false;
    bool amounts = true;
    while (amounts && rs.next())
        amounts = ReadRow(rs, m.months, &m.cards);
    ErrorInfo e;
    if (!FinishRead(rs, &e))
        return fail(error, e.inProcedure(QStringLiteral("LoadMonthlySummary"), QStringLiteral("modSumBill")));
    if (!amounts)
        return fail(error, NotAnAmount());
    if (!Finish(&m))
        return fail(error, MoneyOverflow());
    *out = std::move(m);
    return true;
}

#include "data/summary/SumBillData.h"

#include "data/base/Clock.h"
#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/books/SharedQueries.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// The card list is every card code of the ledger (one index seek per card),
// with the card's name when it is still registered, and the period's sums
// per card from one pass over the date index: reaching each card's rows
// through the (cardcode, sdate) index would visit every table page of the
// period once per card.
QString LinesSql()
{
    return QStringLiteral("WITH RECURSIVE codes(c) AS (SELECT MIN(cardcode) FROM Tallox"
                          " UNION ALL SELECT (SELECT MIN(cardcode) FROM Tallox WHERE cardcode > c) FROM codes"
                          " WHERE c IS NOT NULL)"
                          " SELECT codes.c, b.code IS NULL, b.name, s.slips, s.sales, s.fees, s.payouts"
                          " FROM codes LEFT JOIN %1.Plastra AS b ON b.code = codes.c"
                          " LEFT JOIN (SELECT cardcode, SUM(numsheet) AS slips, SUM(sale) AS sales, SUM(fee) AS fees,"
                          " SUM(billcoll) AS payouts FROM Tallox WHERE sdate BETWEEN ? AND ? AND %2"
                          " GROUP BY cardcode) AS s ON s.cardcode = codes.c"
                          " WHERE codes.c IS NOT NULL ORDER BY b.code IS NULL, b.name, codes.c")
        .arg(CardAlias(), RealDaySql());
}

// One line from the query's current record; false for an amount that is no integer.
bool ReadLine(const QSqlQuery& q, const QHash<int, Money>& prev, SumBillLine* line)
{
    line->cardCode = q.value(0).toInt();
    line->name = q.value(1).toBool() ? MissingCardName(line->cardCode) : q.value(2).toString();
    line->slips = q.value(3).toLongLong();
    line->prevBalance = prev.value(line->cardCode);
    return ReadMoney(q.value(4), &line->sales) && ReadMoney(q.value(5), &line->fees) &&
           ReadMoney(q.value(6), &line->payouts);
}

// Whether every line's balance and the totals of every column stay in the range of money.
bool FiguresFit(const QList<SumBillLine>& lines)
{
    Money prev, sales, fees, payouts, balances;
    for (const SumBillLine& l : lines) {
        std::optional<Money> balance = Money::add(l.prevBalance, l.sales);
        balance = balance ? Money::sub(*balance, l.fees) : balance;
        balance = balance ? Money::sub(*balance, l.payouts) : balance;
        if (!balance || !Money::addTo(prev, l.prevBalance) || !Money::addTo(sales, l.sales) ||
            !Money::addTo(fees, l.fees) || !Money::addTo(payouts, l.payouts) || !Money::addTo(balances, *balance))
            return false;
    }
    return true;
}
} // namespace

QString MissingCardName(int code)
{
    return QCoreApplication::translate("SumBillData", "(삭제된 카드 %1)").arg(code);
}

bool LoadSumBillLines(Database& ledger, const QString& from, const QString& to, QList<SumBillLine>* lines,
                      ErrorInfo* error)
{
    lines->clear();
    // The balances brought forward and the period's sums as of one moment.
    const ReadSnapshot snapshot(ledger);
    if (!snapshot.ok(error))
        return false;
    QHash<int, Money> prev;
    if (!PrevBalancesByCard(ledger, from, &prev, error))
        return false;
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, LinesSql(), {from, to}, error))
        return false;
    QList<SumBillLine> result;
    bool amounts = true;
    while (amounts && rs.next()) {
        SumBillLine line;
        amounts = ReadLine(rs, prev, &line);
        result.append(line);
    }
    ErrorInfo e;
    if (!FinishRead(rs, &e))
        return fail(error, e.at(ErrorPlace::SummaryLines));
    if (!amounts)
        return fail(error, NotAnAmount());
    if (!FiguresFit(result))
        return fail(error, MoneyOverflow());
    *lines = std::move(result);
    return true;
}

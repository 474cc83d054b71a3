#include "summary/SumBillData.h"

#include "base/Clock.h"
#include "core/DbAccess.h"
#include "core/SharedQueries.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// The card list (cards with an entry at any date) with the period's sums,
// in one statement. The period is summed per card first, in one pass over
// the date index: reaching each card's rows through the (cardcode, sdate)
// index visits every table page of the period once per card.
QString LinesSql() {
    return QStringLiteral("SELECT b.code, b.name, s.slips, s.sales, s.fees, s.payouts"
                          " FROM %1.Plastra AS b"
                          " LEFT JOIN (SELECT cardcode, SUM(numsheet) AS slips, SUM(sale) AS sales, SUM(fee) AS fees,"
                          " SUM(billcoll) AS payouts FROM Tallox WHERE sdate BETWEEN ? AND ? GROUP BY cardcode) AS s"
                          " ON s.cardcode = b.code"
                          " WHERE EXISTS (SELECT 1 FROM Tallox AS t WHERE t.cardcode = b.code)"
                          " ORDER BY b.name, b.code")
        .arg(CardAlias());
}

// One line from the query's current record; false for an amount that is no integer.
bool ReadLine(const QSqlQuery& q, const QHash<int, Money>& prev, SumBillLine* line) {
    line->cardCode = q.value(0).toInt();
    line->name = q.value(1).toString();
    line->slips = q.value(2).toLongLong();
    line->prevBalance = prev.value(line->cardCode);
    return ReadMoney(q.value(3), &line->sales) && ReadMoney(q.value(4), &line->fees) &&
           ReadMoney(q.value(5), &line->payouts);
}

// Whether every line's balance and the totals of every column stay in the range of money.
bool FiguresFit(const QList<SumBillLine>& lines) {
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

bool LoadSumBillLines(Database& ledger, const QString& from, const QString& to, QList<SumBillLine>* lines,
                      ErrorInfo* error) {
    lines->clear();
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
        return fail(error, e.inProcedure(QStringLiteral("LoadSumBillLines"), QStringLiteral("modSumBill")));
    if (!amounts)
        return fail(error, NotAnAmount());
    if (!FiguresFit(result))
        return fail(error, MoneyOverflow());
    *lines = std::move(result);
    return true;
}

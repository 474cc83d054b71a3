#include "summary/SumBillData.h"

#include "base/Clock.h"
#include "core/DbAccess.h"
#include "core/SharedQueries.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
Money moneyOf(const QVariant& v) {
    return v.isNull() ? Money() : Money::fromUnits(v.toLongLong());
}
} // namespace

bool LoadSumBillLines(Database& ledger, const QString& from, const QString& to, QList<SumBillLine>* lines,
                      ErrorInfo* error) {
    lines->clear();
    QHash<int, Money> prev;
    if (!PrevBalancesByCard(ledger, from, &prev, error))
        return false;

    // The card list (cards with an entry at any date) with the period's sums,
    // in one statement. The period is summed per card first, in one pass over
    // the date index: reaching each card's rows through the (cardcode, sdate)
    // index visits every table page of the period once per card.
    const QString card = CardAlias();
    const QString sql =
        QStringLiteral("SELECT b.code, b.name, s.slips, s.sales, s.fees, s.payouts"
                       " FROM %1.Plastra AS b"
                       " LEFT JOIN (SELECT cardcode, SUM(numsheet) AS slips, SUM(sale) AS sales, SUM(fee) AS fees,"
                       " SUM(billcoll) AS payouts FROM Tallox WHERE sdate BETWEEN ? AND ? GROUP BY cardcode) AS s"
                       " ON s.cardcode = b.code"
                       " WHERE EXISTS (SELECT 1 FROM Tallox AS t WHERE t.cardcode = b.code)"
                       " ORDER BY b.name, b.code")
            .arg(card);
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, sql, {from, to}, error))
        return false;
    QList<SumBillLine> result;
    while (rs.next()) {
        const QSqlQuery& q = rs;
        SumBillLine line;
        line.cardCode = q.value(0).toInt();
        line.name = q.value(1).toString();
        line.slips = q.value(2).toLongLong();
        line.sales = moneyOf(q.value(3));
        line.fees = moneyOf(q.value(4));
        line.payouts = moneyOf(q.value(5));
        line.prevBalance = prev.value(line.cardCode);
        result.append(line);
    }
    ErrorInfo e;
    if (!FinishRead(rs, &e))
        return fail(error, e.inProcedure(QStringLiteral("LoadSumBillLines"), QStringLiteral("modSumBill")));
    *lines = std::move(result);
    return true;
}

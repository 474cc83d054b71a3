#include "summary/SumBillData.h"

#include "core/Clock.h"
#include "core/DbAccess.h"
#include "toolkit/Messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>

namespace {
const QString kModule = QStringLiteral("modSumBill");

Money moneyOf(const QVariant& v) {
    return v.isNull() ? Money() : Money::fromUnits(v.toLongLong());
}

// Reads every row of an open query; a stepping error is shown and gives false.
template <typename RowFn> bool readAll(QSqlQuery& rs, const QString& procedure, RowFn&& onRow) {
    while (rs.next())
        onRow(rs);
    const QSqlError error = rs.lastError();
    CloseRs(rs);
    if (error.isValid()) {
        MsgProcError(Database::errorOf(error), procedure, kModule);
        return false;
    }
    return true;
}
} // namespace

bool PrevBalancesByCard(Database& ledger, const QString& periodStart, QHash<int, Money>* balances) {
    const QString procedure = QStringLiteral("PrevBalancesByCard");
    balances->clear();
    const QString end = DateText::dayBefore(periodStart);
    if (end.isEmpty()) {
        MsgProcError({13, QStringLiteral("invalid date: %1").arg(periodStart)}, procedure, kModule);
        return false;
    }

    // Each card's latest carry-over row before the period's month.
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs,
                      QStringLiteral("SELECT t.cardcode, t.sMonth, t.amount FROM transfer AS t"
                                     " JOIN (SELECT cardcode, MAX(sMonth) AS m FROM transfer"
                                     " WHERE sMonth < ? GROUP BY cardcode) AS x"
                                     " ON t.cardcode = x.cardcode AND t.sMonth = x.m"),
                      {DateText::monthOf(periodStart)}))
        return false;

    // The entries between the month after that row and the period's start are
    // summed for all cards by one statement; their ranges travel as one JSON
    // value so that each card keeps its own range. The range is computed
    // exactly as the single-card routine does.
    QJsonArray ranges;
    bool nullAmount = false;
    const bool read = readAll(rs, procedure, [&](QSqlQuery& q) {
        const int card = q.value(0).toInt();
        if (q.value(2).isNull()) {
            nullAmount = true;
            return;
        }
        (*balances)[card] += Money::fromUnits(q.value(2).toLongLong());
        const QString start = DateText::firstDayAfterMonth(q.value(1).toString());
        if (!start.isEmpty() && start <= end)
            ranges.append(QJsonArray{card, start, end});
    });
    if (!read)
        return false;
    if (nullAmount) {
        MsgProcError({94, QStringLiteral("Invalid use of Null")}, procedure, kModule);
        return false;
    }
    if (ranges.isEmpty())
        return true;

    if (!OpenSnapshot(ledger, rs,
                      QStringLiteral("SELECT r.card, (SELECT SUM(sale - billcoll - fee) FROM Tallox"
                                     " WHERE cardcode = r.card AND sdate BETWEEN r.s AND r.e)"
                                     " FROM (SELECT json_extract(value, '$[0]') AS card,"
                                     " json_extract(value, '$[1]') AS s, json_extract(value, '$[2]') AS e"
                                     " FROM json_each(?)) AS r"),
                      {QString::fromUtf8(QJsonDocument(ranges).toJson(QJsonDocument::Compact))}))
        return false;
    return readAll(rs, procedure, [&](QSqlQuery& q) { (*balances)[q.value(0).toInt()] += moneyOf(q.value(1)); });
}

bool LoadSumBillLines(Database& ledger, const QString& from, const QString& to, QList<SumBillLine>* lines) {
    lines->clear();
    QHash<int, Money> prev;
    if (!PrevBalancesByCard(ledger, from, &prev))
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
    if (!OpenSnapshot(ledger, rs, sql, {from, to}))
        return false;
    QList<SumBillLine> result;
    const bool read = readAll(rs, QStringLiteral("LoadSumBillLines"), [&](QSqlQuery& q) {
        SumBillLine line;
        line.cardCode = q.value(0).toInt();
        line.name = q.value(1).toString();
        line.slips = q.value(2).toLongLong();
        line.sales = moneyOf(q.value(3));
        line.fees = moneyOf(q.value(4));
        line.payouts = moneyOf(q.value(5));
        line.prevBalance = prev.value(line.cardCode);
        result.append(line);
    });
    if (!read)
        return false;
    *lines = std::move(result);
    return true;
}

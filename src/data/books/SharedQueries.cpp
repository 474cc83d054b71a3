#include "data/books/SharedQueries.h"

#include "data/base/Clock.h"
#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

bool isIdentifier(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

// Adds an amount read from the database to a card's balance: false, with
// `error`, for a value that is no amount or a sum out of range.
bool addAmount(QHash<int, Money>* balances, int card, const QVariant& v, ErrorInfo* error)
{
    Money m;
    if (!ReadMoney(v, &m))
        return fail(error, NotAnAmount());
    if (!Money::addTo((*balances)[card], m))
        return fail(error, MoneyOverflow());
    return true;
}

// Each card's latest carry-over row before the period's month: its amount
// goes into `balances`, the entries between the month after it and the day
// before the period become one range to sum.
bool latestCarryOverRows(Database& ledger, const QString& periodStart, int cardCode, QHash<int, Money>* balances,
                         QJsonArray* ranges, ErrorInfo* error)
{
    const QString end = DateText::dayBefore(periodStart);
    QString sql = QStringLiteral("SELECT t.cardcode, t.sMonth, t.amount FROM transfer AS t"
                                 " JOIN (SELECT cardcode, MAX(sMonth) AS m FROM transfer WHERE sMonth < ?");
    QVariantList binds{DateText::monthOf(periodStart)};
    if (cardCode > 0) {
        sql += QStringLiteral(" AND cardcode = ?");
        binds << cardCode;
    }
    sql += QStringLiteral(" GROUP BY cardcode) AS x ON t.cardcode = x.cardcode AND t.sMonth = x.m");
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, sql, binds, error))
        return false;
    bool nullAmount = false;
    ErrorInfo badAmount;
    while (rs.next()) {
        const int card = rs.value(0).toInt();
        nullAmount = nullAmount || rs.value(2).isNull();
        if (!badAmount.isSet())
            addAmount(balances, card, rs.value(2), &badAmount);
        const QString start = DateText::firstDayAfterMonth(rs.value(1).toString());
        if (!start.isEmpty() && start <= end)
            ranges->append(QJsonArray{card, start, end});
    }
    if (!FinishRead(rs, error))
        return false;
    if (nullAmount)
        return fail(error, ErrorInfo(ErrorCode::MissingValue));
    return !badAmount.isSet() || fail(error, badAmount);
}
} // namespace

bool ListCardNames(Database& card, QList<CardName>* cards, ErrorInfo* error)
{
    cards->clear();
    QSqlQuery rs;
    if (!OpenSnapshot(card, rs, QStringLiteral("SELECT name, code FROM Plastra ORDER BY name, code"), {}, error))
        return false;
    while (rs.next())
        cards->append({rs.value(1).toInt(), rs.value(0).toString()});
    ErrorInfo e;
    if (!FinishRead(rs, &e))
        return fail(error, e.at(ErrorPlace::CardNames));
    return true;
}

int GetNextCode(Database& db, const QString& table, const QString& field, ErrorInfo* error)
{
    if (!isIdentifier(table) || !isIdentifier(field)) {
        fail(error,
             ErrorInfo(ErrorCode::BadName, QStringLiteral("invalid table or field name: %1.%2").arg(table, field))
                 .at(ErrorPlace::NextCode));
        return -1;
    }
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, QStringLiteral("SELECT MAX(%1) FROM %2").arg(db.quoted(field), db.quoted(table)), {},
                      error))
        return -1;
    int next = 1;
    if (rs.next() && !rs.value(0).isNull())
        next = rs.value(0).toInt() + 1;
    return FinishRead(rs, error) ? next : -1;
}

bool PrevBalancesByCard(Database& ledger, const QString& periodStart, QHash<int, Money>* balances, ErrorInfo* error,
                        int cardCode)
{
    balances->clear();
    const auto failed = [&](const ErrorInfo& e) {
        balances->clear();
        const bool placed = e.kind == ErrorInfo::Kind::Query || e.kind == ErrorInfo::Kind::Engine;
        return fail(error, placed ? e : e.at(ErrorPlace::PrevBalances));
    };
    if (DateText::dayBefore(periodStart).isEmpty())
        return failed(ErrorInfo(ErrorCode::TypeMismatch, QStringLiteral("invalid date: %1").arg(periodStart)));

    // The carry-over rows and the entries after them as of one moment.
    const ReadSnapshot snapshot(ledger);
    QJsonArray ranges;
    ErrorInfo e;
    if (!snapshot.ok(&e))
        return failed(e);
    if (!latestCarryOverRows(ledger, periodStart, cardCode, balances, &ranges, &e))
        return failed(e);
    if (ranges.isEmpty())
        return true;

    // The entries of every card's range are summed by one statement; the
    // ranges travel as one VALUES list (its columns are column1.. on both
    // engines) so that each card keeps its own.
    QStringList rows;
    QVariantList binds;
    for (const QJsonValue& range : std::as_const(ranges)) {
        const QJsonArray r = range.toArray();
        rows << QStringLiteral("(CAST(? AS INTEGER), ?, ?)");
        binds << r.at(0).toInt() << r.at(1).toString() << r.at(2).toString();
    }
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs,
                      QStringLiteral("SELECT r.column1, (SELECT SUM(sale - billcoll - fee) FROM Tallox"
                                     " WHERE cardcode = r.column1 AND sdate BETWEEN r.column2 AND r.column3 AND %1)"
                                     " FROM (VALUES %2) AS r")
                          .arg(RealDaySql(), rows.join(QLatin1Char(','))),
                      binds, &e))
        return failed(e);
    ErrorInfo sumError;
    while (!sumError.isSet() && rs.next())
        addAmount(balances, rs.value(0).toInt(), rs.value(1), &sumError);
    if (!FinishRead(rs, &e))
        return failed(e);
    return !sumError.isSet() || failed(sumError);
}

Money GetPrevBalance(Database& ledger, const QString& periodStart, int cardCode, ErrorInfo* error)
{
    QHash<int, Money> balances;
    ErrorInfo e;
    if (!PrevBalancesByCard(ledger, periodStart, &balances, &e, cardCode)) {
        if (e.kind == ErrorInfo::Kind::Procedure)
            e.place = ErrorPlace::PrevBalance;
        fail(error, e);
        return Money();
    }
    Money total;
    for (const Money& m : std::as_const(balances)) {
        if (!Money::addTo(total, m)) {
            fail(error, MoneyOverflow());
            return Money();
        }
    }
    return total;
}

double GetFee(Database& card, int cardCode, ErrorInfo* error)
{
    QSqlQuery rs;
    if (!OpenSnapshot(card, rs, QStringLiteral("SELECT fee FROM Plastra WHERE code = ?"), {cardCode}, error))
        return 0.0;
    double rate = 0.0;
    bool ok = true;
    if (rs.next() && !rs.value(0).isNull())
        rate = rs.value(0).toDouble(&ok);
    if (!FinishRead(rs, error))
        return 0.0;
    if (!ok) {
        fail(error, ErrorInfo(ErrorCode::TypeMismatch).at(ErrorPlace::Fee));
        return 0.0;
    }
    return rate;
}

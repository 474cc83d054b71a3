#include "ledger/LedgerRows.h"

#include "base/Clock.h"
#include "core/DbAccess.h"
#include "core/LedgerSql.h"
#include "core/SharedQueries.h"
#include "summary/SumBillData.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlQuery>

QString BroughtForwardLabel()
{
    return QCoreApplication::translate("LedgerSheet", "[전기이월]");
}

QColor BroughtForwardColor()
{
    return QColor(0, 80, 250);
}

std::optional<Money> LedgerEntryRow::net() const
{
    std::optional<Money> n = Money::sub(sale, fee);
    return n ? Money::sub(*n, billcoll) : n;
}

bool LedgerRows::shows(const QString& date, int cardCode) const
{
    return date >= firstDay && date <= lastDay && (card <= 0 || card == cardCode) && DateText::isValidDay(date);
}

bool LoadLedgerEntries(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                       QList<LedgerEntryRow>* entries, ErrorInfo* error)
{
    entries->clear();
    QVariantList binds{firstDay, lastDay};
    QString sql =
        QStringLiteral("SELECT a.code, a.sdate, a.cardcode, b.code IS NULL, b.name, a.numsheet, a.sale, a.fee,"
                       " a.billcoll FROM Tallox AS a LEFT JOIN %1.Plastra AS b ON a.cardcode = b.code"
                       " WHERE a.sdate BETWEEN ? AND ?")
            .arg(CardAlias());
    if (cardCode > 0) {
        sql += QStringLiteral(" AND a.cardcode = ?");
        binds << cardCode;
    }
    sql +=
        QStringLiteral(" AND ") + RealDaySql(QStringLiteral("a.sdate")) + QStringLiteral(" ORDER BY a.sdate, a.code");
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, sql, binds, error))
        return false;
    // Dates and card names repeat down the sheet: each row shares the text of
    // the row before or of the card, so a long period holds one copy of each.
    QHash<int, QString> names;
    ErrorInfo amountError;
    while (rs.next()) {
        LedgerEntryRow row;
        row.key = rs.value(0).toInt();
        const QString date = rs.value(1).toString();
        row.date = !entries->isEmpty() && entries->constLast().date == date ? entries->constLast().date : date;
        row.card = rs.value(2).toInt();
        auto name = names.constFind(row.card);
        if (name == names.cend())
            name = names.insert(row.card, rs.value(3).toBool() ? MissingCardName(row.card) : rs.value(4).toString());
        row.cardName = *name;
        if (const QVariant slips = rs.value(5); !slips.isNull())
            row.slips = slips.toLongLong();
        if (!ReadMoney(rs.value(6), &row.sale) || !ReadMoney(rs.value(7), &row.fee) ||
            !ReadMoney(rs.value(8), &row.billcoll)) {
            amountError = NotAnAmount();
            break;
        }
        entries->append(std::move(row));
    }
    ErrorInfo readError;
    const bool read = FinishRead(rs, &readError);
    if (read && !amountError.isSet())
        return true;
    entries->clear();
    if (!read)
        return fail(error, readError.at(ErrorPlace::LedgerRows));
    return fail(error, amountError);
}

bool LoadLedgerRows(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode, LedgerRows* rows,
                    ErrorInfo* error)
{
    *rows = LedgerRows{firstDay, lastDay, cardCode, Money(), {}};
    // The balance brought forward and the entries after it as of one moment.
    const ReadSnapshot snapshot(ledger);
    ErrorInfo e;
    const Money broughtForward = snapshot.ok(&e) ? GetPrevBalance(ledger, firstDay, cardCode, &e) : Money();
    if (e.isSet())
        return fail(error, e);
    rows->broughtForward = broughtForward;
    return LoadLedgerEntries(ledger, firstDay, lastDay, cardCode, &rows->entries, error);
}

QList<std::optional<Money>> RunningBalances(const Money& start, const QList<LedgerEntryRow>& entries)
{
    QList<std::optional<Money>> balances;
    balances.reserve(entries.size());
    std::optional<Money> balance = start;
    for (const LedgerEntryRow& row : entries) {
        // Step by step, as the sheet has always added: a sale, less its fee and pay-out.
        balance = balance ? Money::add(*balance, row.sale) : balance;
        balance = balance ? Money::sub(*balance, row.fee) : balance;
        balance = balance ? Money::sub(*balance, row.billcoll) : balance;
        balances.append(balance);
    }
    return balances;
}

std::optional<LedgerTotals> SumEntries(const QList<LedgerEntryRow>& entries)
{
    LedgerTotals t;
    for (const LedgerEntryRow& row : entries) {
        if (!Money::addTo(t.sale, row.sale) || !Money::addTo(t.fee, row.fee) || !Money::addTo(t.billcoll, row.billcoll))
            return std::nullopt;
        t.slips += row.slips.value_or(0);
    }
    return t;
}

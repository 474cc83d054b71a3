#include "data/ledger/LedgerRows.h"

#include "data/base/Clock.h"
#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/books/SharedQueries.h"
#include "data/summary/SumBillData.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlQuery>

QString BroughtForwardLabel()
{
    return QCoreApplication::translate("LedgerSheet", "[전기이월]");
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

bool ForEachLedgerEntry(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                        const std::function<bool(const LedgerEntryRow&)>& visit, ErrorInfo* error)
{
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
    bool stopped = false;
    LedgerEntryRow row;
    while (rs.next()) {
        row.key = rs.value(0).toInt();
        const QString date = rs.value(1).toString();
        if (row.date != date)
            row.date = date;
        row.card = rs.value(2).toInt();
        auto name = names.constFind(row.card);
        if (name == names.cend())
            name = names.insert(row.card, rs.value(3).toBool() ? MissingCardName(row.card) : rs.value(4).toString());
        row.cardName = *name;
        row.slips.reset();
        if (const QVariant slips = rs.value(5); !slips.isNull())
            row.slips = slips.toLongLong();
        if (!ReadMoney(rs.value(6), &row.sale) || !ReadMoney(rs.value(7), &row.fee) ||
            !ReadMoney(rs.value(8), &row.billcoll)) {
            amountError = NotAnAmount();
            break;
        }
        if (!visit(row)) {
            stopped = true;
            break;
        }
    }
    ErrorInfo readError;
    const bool read = FinishRead(rs, &readError);
    if (!read)
        return fail(error, readError.at(ErrorPlace::LedgerRows));
    if (amountError.isSet())
        return fail(error, amountError);
    return !stopped;
}

bool LoadLedgerEntries(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                       QList<LedgerEntryRow>* entries, ErrorInfo* error)
{
    entries->clear();
    const bool read = ForEachLedgerEntry(
        ledger, firstDay, lastDay, cardCode,
        [entries](const LedgerEntryRow& row) {
            entries->append(row);
            return true;
        },
        error);
    if (!read)
        entries->clear();
    return read;
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

#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The ledger sheet as typed rows, without any grid: what the window's model,
// the sheet builders and the command line read from the books.

// The brought-forward row's label and colour (ARGB).
QString BroughtForwardLabel();
inline constexpr quint32 kBroughtForwardFore = 0xff0050fa;

// One entry of the period.
struct LedgerEntryRow {
    int key = 0;
    QString date; // "YYYY-MM-DD", always a real day
    int card = 0;
    QString cardName;            // MissingCardName(card) when the card company is gone
    std::optional<qint64> slips; // none when never typed
    Money sale;
    Money fee;
    Money billcoll;
    // What the entry adds to the balance; none when it leaves the range of money.
    std::optional<Money> net() const;
};

// The sums of the entries' columns.
struct LedgerTotals {
    qint64 slips = 0;
    Money sale;
    Money fee;
    Money billcoll;
};

// The sheet of one period and card filter (0: all cards).
struct LedgerRows {
    QString firstDay;
    QString lastDay;
    int card = 0;
    Money broughtForward;
    QList<LedgerEntryRow> entries; // by date and key
    // Whether an entry of this date and card belongs on this sheet.
    bool shows(const QString& date, int cardCode) const;
};

// Hands the period's entries whose date is a real day to `visit`, by date and
// key, from one forward-only query, until it returns false. False with
// `error` when the query failed or an amount is no integer; false without
// one when `visit` stopped.
bool ForEachLedgerEntry(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                        const std::function<bool(const LedgerEntryRow&)>& visit, ErrorInfo* error);

// The period's entries whose date is a real day, in one query. False with
// `error` (and no entries) when the query failed or an amount is no integer.
bool LoadLedgerEntries(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                       QList<LedgerEntryRow>* entries, ErrorInfo* error);

// Reads the brought-forward balance (PrevBalancesByCard) and the period's
// entries whose date is a real day, as of one moment, in one query for the
// entries. False with `error` (and `rows` without entries) when a query
// failed, an amount is no integer or the balance leaves the range of money.
bool LoadLedgerRows(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode, LedgerRows* rows,
                    ErrorInfo* error);

// The balance after each entry, in the order given, from `start`; from the
// first that leaves the range of money on, none.
QList<std::optional<Money>> RunningBalances(const Money& start, const QList<LedgerEntryRow>& entries);

// The column sums; none when one leaves the range of money.
std::optional<LedgerTotals> SumEntries(const QList<LedgerEntryRow>& entries);

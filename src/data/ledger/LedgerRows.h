#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The ledger sheet as typed rows, without any grid: what the window's model,
// the sheet builders and the command line read from the books.

// The brought-forward row's label and colour (ARGB).
QString BroughtForwardLabel();
inline constexpr quint32 kBroughtForwardFore = 0xff0050fa;

// One entry of the period, kept small: a sheet may hold a million of them.
// The card's name is the sheet's (LedgerRows::cardName), one per card.
struct LedgerEntryRow {
    int key = 0;
    int day = 0; // Julian day number, always a real day
    int card = 0;
    bool hasSlips = false; // false when never typed
    qint64 slips = 0;
    Money sale;
    Money fee;
    Money billcoll;
    QDate date() const { return QDate::fromJulianDay(day); }
    QString dateText() const; // "YYYY-MM-DD"
    std::optional<qint64> slipCount() const { return hasSlips ? std::optional<qint64>(slips) : std::nullopt; }
    // What the entry adds to the balance; none when it leaves the range of money.
    std::optional<Money> net() const;
};

// The day number of a "YYYY-MM-DD" text; 0 when it is no real day.
int DayNumber(const QString& date);

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
    QHash<int, QString> cardNames; // card code -> name; MissingCardName(code) when the company is gone
    // Whether an entry of this date and card belongs on this sheet.
    bool shows(const QString& date, int cardCode) const;
    QString cardName(int cardCode) const;
};

// Hands the period's entries whose date is a real day to `visit` with their
// card company's name, by date and key, from one forward-only query, until it
// returns false. False with
// `error` when the query failed or an amount is no integer; false without
// one when `visit` stopped.
bool ForEachLedgerEntry(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                        const std::function<bool(const LedgerEntryRow&, const QString& cardName)>& visit,
                        ErrorInfo* error);

// The period's entries whose date is a real day, in one query. False with
// `error` (and no entries) when the query failed or an amount is no integer.
bool LoadLedgerEntries(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                       QList<LedgerEntryRow>* entries, QHash<int, QString>* cardNames, ErrorInfo* error);

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

// The running balances of entries in date order without one figure per entry:
// each block of kBlock entries keeps the sum of its steps and how far they
// swing, so a balance is the blocks before it plus a walk inside its own
// block, and a stored edit recomputes one block's sums. Exact and checked as
// RunningBalances: from the first step out of the range of money on, none.
class LedgerBalances {
public:
    static constexpr int kBlock = 1024;
    void reset(const Money& start, const QList<LedgerEntryRow>* entries);
    void setStart(const Money& start);
    // Entries from..to changed (to -1: every entry from `from` on, as after an insert or removal).
    void changed(int from, int to = -1);
    std::optional<Money> at(int index) const;
    // Every balance in one pass (for sorting by balance).
    std::vector<std::optional<Money>> all() const;

private:
    struct Block {
        __int128 net = 0, low = 0, high = 0; // the steps' sum and the lowest and highest partial sums
        bool dirty = true;
    };
    void summarize(int b) const;
    void walk(int b) const;

    const QList<LedgerEntryRow>* m_entries = nullptr;
    Money m_start;
    mutable std::vector<Block> m_blocks;
    mutable std::vector<std::optional<Money>> m_starts; // each block's opening balance, known for the first m_known
    mutable int m_known = 0;
    mutable int m_walked = -1; // the block whose balances are cached
    mutable std::vector<std::optional<Money>> m_walk;
};

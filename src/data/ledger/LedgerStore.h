#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/base/Progress.h"
#include "data/books/History.h"
#include "data/db/Database.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

// A stored carry-over row that disagrees with the ledger.
struct CarryOverMismatch {
    QString month; // "YYYY-MM"
    int card = 0;
    Money stored;
    Money expected; // net of the card's entries up to the end of the month
};

// A card whose entries start before (or without) any carry-over row: its
// entries never reach a brought-forward balance.
struct CarryOverUncovered {
    int card = 0;
    QString firstMonth; // month of the card's first entry
};

// An entry whose date is no real day written YYYY-MM-DD (stored by another
// program): it belongs to no period and no month, so no balance counts it.
struct CarryOverBadDate {
    int code = 0;
    QString date;
};

struct CarryOverCheck {
    bool ok = false; // false: the check itself could not run (see error)
    ErrorInfo error;
    QList<CarryOverMismatch> rows;
    QList<CarryOverUncovered> uncovered;
    QList<CarryOverBadDate> badDates; // by key
    bool clean() const { return ok && rows.isEmpty() && uncovered.isEmpty() && badDates.isEmpty(); }
};

// Storing ledger entries and keeping the month-end carry-over table
// (`transfer`) in step with them. No widgets: the ledger window asks its
// questions and shows its notices around these calls.
//
// Every stored `transfer` row (month M, card C) holds the net of all of C's
// entries dated up to the end of M, and every card's first carry-over row
// lies before its first entry. Each change of an entry is one transaction
// that keeps both true; "today" comes from Clock.
class LedgerStore {
public:
    explicit LedgerStore(Database& ledger);

    // The fields of an entry that the carry-over table follows.
    struct Entry {
        QString date;
        int card = 0;
        Money sale;
        Money fee;
        Money billcoll;
        Money net() const { return sale - billcoll - fee; }
    };

    // An entry as the sheet shows it (the card name through the attached card database).
    struct EntryView : Entry {
        QString cardName;
        QVariant numsheet; // null when never typed
    };
    // nullopt with `error` when the query failed or there is no such entry.
    std::optional<EntryView> ReadEntry(int code, ErrorInfo* error);

    // A whole stored entry, as the history keeps a deleted or added one.
    struct StoredEntry : Entry {
        int code = 0;
        QVariant numsheet; // null when never typed
        QVariantMap toMap() const;
        static bool fromMap(const QVariantMap& map, StoredEntry* entry);
    };

    // Every routine below returns false with `error` set when it did not
    // complete; nothing of a failed store remains in the files.

    // Makes sure the card has its carry-over row for the month before the
    // date's month. Remembers the last month/card handled and skips a repeat.
    bool CheckPrevBalance(const QString& date, int card, ErrorInfo* error = nullptr);
    void ResetPrevBalanceMemory();

    // Moves every carry-over row of the card from the date's month on by `change`.
    bool CalcPrevBaln(const QString& date, Money change, int card, ErrorInfo* error = nullptr);

    // Throws the carry-over table away and rebuilds it from the ledger, all or nothing.
    // `progress` may stop it: the table is then left as it was, with a notice.
    bool ReBaln(ErrorInfo* error = nullptr, const Progress& progress = {});

    // Writes one field (sdate, cardcode, sale, fee, billcoll, numsheet; any
    // letter case) of the entry `code`, shifting the carry-over rows with it.
    bool RecordEditCol(int code, const QString& colName, const QVariant& newValue, ErrorInfo* error = nullptr);
    // Inserts an entry with date and card (amounts 0); `key` receives its code.
    bool InsertRecord(const QString& date, int card, int* key, ErrorInfo* error = nullptr);
    bool DeleteRecord(int key, ErrorInfo* error = nullptr);
    // Stores a whole entry again, under its own key when that key is free;
    // `key` receives the key it got.
    bool RestoreRecord(const StoredEntry& entry, int* key, ErrorInfo* error = nullptr);

    // Stores many entries at once (an import): the entries, the shifts of the
    // carry-over rows they join and the month-before rows they need, and one
    // history row of kind import holding `note`, in one transaction, leaving
    // the carry-over table as storing them one by one would. `beforeCommit`
    // runs last inside the transaction; returning false rolls everything back.
    bool ImportEntries(const QList<StoredEntry>& entries, const QString& note, ErrorInfo* error = nullptr,
                       const std::function<bool()>& beforeCommit = {});

    // Every store above writes its history row in its own transaction. The
    // next store's row is marked as an undo or redo of row `target`...
    void TagNextChange(History::Origin origin, qint64 target);
    // ...or joins the step of the last row written (a typed sale and the fee
    // computed from it are undone together).
    void JoinNextToLastChange();
    // The last successful store's history row (0 when it changed nothing) and
    // the carry-over rows it created ("YYYY-MM/card,...").
    qint64 LastHistoryId() const { return m_last.id; }
    QString LastCarryRows() const { return m_last.carryRows; }

    // The automatic fee of a sale at a fee rate in percent, in whole won
    // (rate / 100 x sale, halves away from zero), computed exactly.
    static Money AutoFee(double ratePercent, Money sale);
    // The same for the text typed into the sales cell (its leading number; none counts as 0).
    static Money AutoFee(double ratePercent, const QString& saleText);

    // Compares every stored carry-over row with the ledger and lists the cards
    // whose entries are not preceded by any carry-over row, and the entries
    // whose date is no real day. One grouped pass over the ledger.
    CarryOverCheck CheckCarryOver();

    // How many entries, carry-over rows and cards with carry-over rows the books hold.
    struct Counts {
        qint64 entries = 0;
        qint64 carryOverRows = 0;
        qint64 carryOverCards = 0;
    };
    bool CountRows(Counts* counts, ErrorInfo* error = nullptr);

    // The largest amount an entry field may hold (the sheet's range, both signs).
    static constexpr qint64 kMaxAmountWon = 10'000'000'000LL;

private:
    // The stores above, each run by StoreWithRetry (again when a server gave way to another computer).
    bool checkPrevBalance(const QString& date, int card, ErrorInfo* error);
    bool calcPrevBaln(const QString& date, Money change, int card, ErrorInfo* error);
    bool reBaln(ErrorInfo* error, const Progress& progress);
    bool recordEditCol(int code, const QString& colName, const QVariant& newValue, ErrorInfo* error);
    bool insertRecord(const QString& date, int card, int* key, ErrorInfo* error);
    bool deleteRecord(int key, ErrorInfo* error);
    bool restoreRecord(const StoredEntry& entry, int* key, ErrorInfo* error);
    bool importEntries(const QList<StoredEntry>& entries, const QString& note, ErrorInfo* error,
                       const std::function<bool()>& beforeCommit);
    template <typename Store> bool retrying(ErrorInfo* error, Store store);
    struct Memory {
        QString month;
        int card = 0;
    };
    bool ensurePrevMonthRow(const QString& date, int card, ErrorInfo* error);
    bool shiftCarryOver(const QString& date, Money change, int card, ErrorInfo* error);
    bool moveCarryOver(const Entry& stored, const Entry& next, ErrorInfo* error);
    bool executeOneRow(const QString& sql, const QVariantList& binds, ErrorInfo* error);
    bool insertWhole(const StoredEntry& entry, int* key, ErrorInfo* error);
    bool insertMany(const QList<StoredEntry>& entries, ErrorInfo* error);
    bool addMissingPrevRows(const QList<std::pair<int, QString>>& cardMonths, ErrorInfo* error);
    // A store that failed half-way: neither the file nor the memory keeps any of it.
    bool abandon(Transaction& tx, const Memory& saved, ErrorInfo e, const QString& text, ErrorInfo* error);
    // Appends the history row of the store in progress (inside its transaction).
    bool appendHistory(History::Row row, ErrorInfo* error);
    // A store ends: its tag is used up, and on success it becomes the last change.
    void endChange(bool stored);

    class ChangeScope;
    struct Tag {
        History::Origin origin = History::Origin::Change;
        qint64 target = 0;
        bool joinLast = false;
    };
    struct LastChange {
        qint64 id = 0;
        qint64 step = 0;
        QString carryRows;
    };

    Database& m_db;
    Memory m_memory;
    Tag m_tag;
    QStringList m_createdRows; // carry-over rows made by the store in progress
    LastChange m_pending;
    LastChange m_last;
};

// True when the text is a real day written "YYYY-MM-DD".
bool IsStoredDayText(const QString& text);

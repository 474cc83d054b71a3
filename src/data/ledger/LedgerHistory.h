#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/books/History.h"
#include "data/db/Database.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class LedgerStore;

// Undo and redo of the stored entry changes, read from the history table so
// that they reach across restarts. A typed change is one row (a typed sale
// and the fee computed from it share a step and go together). Each computer
// and user has their own chain: Ctrl+Z takes back their newest step still in
// place, Ctrl+Y applies again their oldest step undone. Both go through the
// same LedgerStore routines as typing, marked as undo or redo in their own
// history rows, and set the step's rows' state in the same transaction. A
// later change of the same entry that is still in place (someone else's)
// refuses the step. A newer typed change cuts its typist's redo chain; a
// rebuild, an import or a restore cuts everyone's and is as far back as undo
// reaches.
class LedgerHistory {
public:
    LedgerHistory(LedgerStore& store, Database& ledger);

    // One history row of an entry change.
    struct Change {
        qint64 id = 0;
        History::Kind kind = History::Kind::FieldChanged;
        int key = 0;
        QString entryDate;
        int card = 0;
        QString field;
        QVariant oldValue;
        QVariant newValue;
        QString carryRows;
    };
    // The rows of one step, newest first for an undo, oldest first for a redo.
    struct Step {
        QList<Change> rows;
        QString text; // what it does, e.g. "2026-12-07 BC카드 매출액 120,000 → 1,200,000"
    };
    // Where the sheet goes after an undo or redo: the entry (0 when it is
    // gone), its date and the field changed (empty for a whole entry).
    struct Landing {
        int key = 0;
        QString date;
        QString field;
    };

    // The step an undo or redo would take; nullopt with `error` unset when
    // there is none (or the books keep no history yet).
    std::optional<Step> NextUndo(ErrorInfo* error = nullptr);
    std::optional<Step> NextRedo(ErrorInfo* error = nullptr);

    // Takes back the newest step / applies again the oldest undone step. False
    // with `error` when there is none, when it is refused (a Notice saying
    // why) or when a store failed; nothing is changed then.
    bool Undo(Landing* landing = nullptr, ErrorInfo* error = nullptr);
    bool Redo(Landing* landing = nullptr, ErrorInfo* error = nullptr);

    // Why the last Undo or Redo was refused; None when it ran or a store failed.
    enum class Refusal {
        None,
        NoStep,       // nothing to undo or redo
        LaterChange,  // a later change of the entry (someone else's) is still in place
        EntryGone,    // the entry is no longer in the books
        Unreadable,   // the history row's entry cannot be read
        CardDeleted,  // the entry's card company was deleted after the change
        CardReplaced, // ... and its code now belongs to another card company
    };
    Refusal lastRefusal() const { return m_refusal; }

    // The field's name in the sheet's words ("매출액", ...).
    static QString FieldLabel(const QString& field);
    // A stored field value as the user reads it (amounts with separators, card names).
    static QString ValueText(Database& ledger, const QString& field, const QVariant& value);
    static QString CardName(Database& ledger, int card);
    // One change in words, e.g. "2026-12-07 BC카드 매출액 120,000 → 1,200,000".
    static QString Describe(Database& ledger, const Change& change);
    // An amount in won as the sheet shows it ("1,200,000"; decimals only when there are any).
    static QString AmountText(const Money& m);

private:
    std::optional<Step> readStep(bool undo, ErrorInfo* error);
    bool apply(const Change& c, bool undo, int* key, ErrorInfo* error);
    // Refuses (a Notice) when a later change still in place touched the entry,
    // or when it must exist and is gone.
    bool checkEntry(const Change& c, bool undo, bool mustExist, ErrorInfo* error);
    // Refuses (a Notice) when a card company the change names was deleted
    // after it: the step would file the entry under a code that no longer
    // means that company.
    bool checkCards(const Change& c, bool undo, ErrorInfo* error);
    bool refuse(Refusal why, bool undo, const QString& reason, ErrorInfo* error);
    bool run(bool undo, Landing* landing, ErrorInfo* error);
    bool dropCarryRows(const QString& rows, ErrorInfo* error);

    LedgerStore& m_store;
    Database& m_db;
    Refusal m_refusal = Refusal::None;
};

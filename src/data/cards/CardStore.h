#pragma once

#include "data/db/Database.h"

#include <QList>
#include <QString>

// One row of the card-company master (Plastra).
struct CardRecord {
    int code = 0;
    QString name;
    QVariant fee;    // REAL, may be null in a file other programs wrote
    QVariant setday; // INTEGER, may be null
};

// The card windows' queries and stores on the card database. A failure comes
// back in `error` for the window to show. Search texts are always bound: they are matched literally.
namespace CardStore {

// A LIKE pattern (for "LIKE ? ESCAPE '\'") that finds `part` anywhere in a
// name, with %, _ and the escape character itself taken as plain characters.
QString ContainsPattern(const QString& part);

// Card companies whose name contains `part` (all for an empty text), by name.
bool ListByName(Database& db, const QString& part, QList<CardRecord>* rows, ErrorInfo* error);
// Card companies whose code is the leading number of `text` or whose name
// contains `text` (all for an empty text), by name.
bool ListByCodeOrName(Database& db, const QString& text, QList<CardRecord>* rows, ErrorInfo* error);
// One card company; `found` false (and true returned) when there is none.
bool Fetch(Database& db, int code, CardRecord* card, bool* found, ErrorInfo* error);

// Stores a card: a new one (code 0) gets the next free code (past every
// code the ledger beside or its history ever used, so that no old entry or
// undo step lands on the new card), an existing one is overwritten. One
// transaction. `code` receives the stored code (-1 when a new card failed).
bool Save(Database& db, const CardRecord& card, int* code, ErrorInfo* error);

enum class DeleteOutcome { Deleted, NotFound, InUse, Failed };
DeleteOutcome Delete(Database& db, int code, ErrorInfo* error);

// The ledger database that lies next to a card database.
QString LedgerFileBeside(const QString& cardDbPath);
// How many ledger entries use the card code (0 without a ledger beside);
// false with `error` when the ledger cannot be read.
bool LedgerEntriesUsing(const QString& cardDbPath, int code, int* count, ErrorInfo* error);
// The largest card code the books still name, read through `db` whose
// `schema` holds the ledger's tables: entries, carry-over rows and every
// history row (a card's own rows, an entry's card, a card field's old and new
// value). 0 when there is none; false with `error` when it cannot be read.
bool LargestLedgerCardCode(Database& db, const QString& schema, int* largest, ErrorInfo* error);

} // namespace CardStore

#pragma once

#include "data/base/Error.h"
#include "data/db/Database.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

// The change history of the books: one row per stored change, in the ledger
// database, written inside the change's own transaction so that a change and
// its row are stored together or not at all.
namespace History {

enum class Kind {
    EntryAdded,
    FieldChanged,
    EntryDeleted,
    CardAdded,
    CardChanged,
    CardDeleted,
    CarryOver, // a carry-over row made or moved on its own
    Rebuild,
    Import,
    Restore,
};

// The kind as stored ("entry-added", ...), and back (false for an unknown text).
QString KindText(Kind kind);
bool KindFromText(const QString& text, Kind* kind);
// The kind in the user's words ("입력", "수정", ...).
QString KindLabel(Kind kind);

// How a row came about: typed (or called) by the user, or written by an undo or a redo.
enum class Origin { Change, Undo, Redo };

// Undo state of a typed change: in place, undone (can be redone), or undone
// and followed by a newer change (the redo chain is cut).
enum UndoState : int { InPlace = 0, Undone = 1, Dropped = 2 };

struct Row {
    Row() = default;
    explicit Row(Kind k, qint64 entryKey = 0, const QString& date = QString(), int cardCode = 0,
                 const QString& fieldName = QString())
        : kind(k), key(entryKey), entryDate(date), card(cardCode), field(fieldName)
    {
    }
    Kind kind = Kind::FieldChanged;
    qint64 key = 0;    // entry or card key; 0 when the change has none
    QString entryDate; // the entry's date after the change (before it, for a deletion)
    int card = 0;      // the entry's card after the change, or the card itself
    QString field;     // a field change: the stored field's name
    QVariant oldValue; // the old value; for a deletion the whole row as key=value text
    QVariant newValue; // the new value; for an addition the whole row
    QString carryRows; // carry-over rows the change created ("YYYY-MM/card,...")
    qint64 step = 0;   // with another row: the id of the first row of the same step
    Origin origin = Origin::Change;
    qint64 target = 0; // an undo or redo row: the row it takes back or applies again
    QString note;      // free text (what an import or restore brought)
};

// Creates the table in `schema` ("main" or an attached alias) when it is missing.
bool EnsureTable(Database& db, const QString& schema, ErrorInfo* error);
bool TableExists(Database& db, const QString& schema);

// Appends one row stamped with the program's clock and this computer's and
// user's names. Call it inside the transaction of the change it describes.
// A typed entry change cuts its typist's redo chain; a rebuild, an import or
// a restore cuts everyone's. `id` receives the row's key.
bool Append(Database& db, const Row& row, qint64* id = nullptr, ErrorInfo* error = nullptr,
            const QString& schema = QStringLiteral("main"));

// A whole row as compact JSON text, and back (an empty map for no JSON object).
QString RowJson(const QVariantMap& fields);
QVariantMap ParseRowJson(const QString& text);

QString ComputerName();
// The system account the program runs as (its login name), never a folder's name.
QString UserName();
// Tests stand in for another user with a name of their own; empty: the account again.
void SetUserNameOverride(const QString& name);

} // namespace History

#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"
#include "data/import/ImportProfile.h"
#include "data/import/ImportTable.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

// One row of the file as it will be stored, or why not.
struct ImportRow {
    enum class Status {
        Ready,     // stored
        Duplicate, // looks already present: stored only when chosen
        Refused,   // cannot be stored (reason)
        Skipped,   // no entry (blank row, a row without date where the profile says so)
        Merged,    // added into the entry of its day and card company (reason: which row)
    };
    int line = 0; // 1-based row of the file
    Status status = Status::Ready;
    QString reason;
    QString date;
    QString cardText; // the card name as the file has it
    int card = 0;     // a card company to be registered with the import: kNewCardCode - its index
    QString cardName; // the card's name in the books
    QVariant slips;   // null when the file has none
    Money sale;
    Money fee;
    Money payout;
    bool chosen = false; // a duplicate the user wants stored all the same

    bool stored() const { return status == Status::Ready || (status == Status::Duplicate && chosen); }
};

struct ImportCounts {
    int ready = 0;
    int duplicates = 0;
    int refused = 0;
    int skipped = 0;
    int merged = 0;
};

// Rows of a card company that is registered only when the import is stored
// carry this code less the company's index in the names given to Build.
constexpr int kNewCardCode = -1;

// How one [cards] line of the profile reads against the books' cards. A
// name that matches no card or several maps nothing: its rows are refused.
struct ImportCardMatch {
    enum class Kind {
        Exact,   // the name of one card
        Part,    // a part of the name of one card only
        Code,    // the older form, a card code: mapped, with a warning
        None,    // no card has that name (or code)
        Several, // several cards have it
    };
    QString fileName; // the card name of the file
    QString target;   // what the profile maps it to
    Kind kind = Kind::None;
    int card = 0; // the card mapped to; 0 when none
    QString cardName;
    QStringList candidates; // Several: the names that have it

    // Why the rows of this card name are refused (empty when mapped).
    QString refusal() const;
    // What the user should know of a mapped line (the older form), else empty.
    QString warning() const;
};

struct ImportPlan {
    QList<ImportRow> rows;
    QList<ImportCardMatch> cardMatches; // one per [cards] line of the profile
    ImportCounts counts() const;
    // The first and last day of the rows that will be stored (empty when none).
    QString firstDay() const;
    QString lastDay() const;
    // Names of the file that no card of the books or of the profile matches.
    QStringList unknownCards() const;
    // The warnings of the profile's card lines.
    QStringList warnings() const;
};

namespace ImportPlanner {

// The books' cards by name, for the mapping.
bool ReadCards(Database& ledger, QMap<QString, int>* byName, QMap<int, QString>* byCode, ErrorInfo* error);

// Reads `target`, what a profile maps the file's `fileName` to, against the
// books' cards: a card's whole name first, then a part of one card's name
// only (as the ledger's card search, ignoring case), or a card code when it is
// all digits (the older form).
ImportCardMatch MatchCard(const QMap<int, QString>& byCode, const QString& fileName, const QString& target);

// Every data row of the table as it will be stored, refused or skipped. A row
// is a duplicate (same date, card and amounts) only as many times as the
// ledger already holds it: alike rows of one file are separate sales. With the
// profile's mergeDayCard the rows of a day and card are first summed into one.
// `newCards`: card names of the file to be registered with the import.
bool Build(Database& ledger, const ImportTable& table, const ImportProfile& profile, ImportPlan* plan, ErrorInfo* error,
           const QStringList& newCards = {});

} // namespace ImportPlanner

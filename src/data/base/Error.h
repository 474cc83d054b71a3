#pragma once

#include <QString>

// The program's own kinds of failure. An engine's refusal is `Engine`, its
// own code in `ErrorInfo::engineCode` (a SQLite result code, a server's
// SQLSTATE as a number, or one of Database's ServerFault codes).
enum class ErrorCode {
    None,
    Engine,
    NoConnection,    // a statement on a handle that is not open
    NoRecord,        // the entry or row asked for is not there
    NoSuchField,     // a field name that is not one of the table's
    BadName,         // a table or field name that is no identifier
    TypeMismatch,    // a value of the wrong type (a date, a rate, a non-integer amount)
    Overflow,        // a figure out of range
    MissingValue,    // an amount that is NULL where one is needed
    NoResult,        // a query that gave no row where one was sure
    CarryOverFailed, // the carry-over row of a month could not be written
    FileAccess,      // a file that could not be written
    PathNotFound,    // a folder that could not be made
    Exception,       // a library threw; the description is its text
};

// Where a data routine failed, for the errors worded as a routine's failure
// (ErrorInfo::Kind::Procedure). The routine and form names the user reads are
// looked up from it by the wording (ErrorPlaceWording), not kept in data code.
enum class ErrorPlace {
    None,
    AddField,
    UpgradeSchema,
    ReadUpgraded,
    CardNames,
    NextCode,
    PrevBalances,
    PrevBalance,
    Fee,
    SummaryLines,
    MonthlySummary,
    LedgerRows,
    CarryOverCheck,
    CarryOverShift,
    Rebuild,
};

// What went wrong in a store, query or parser, handed back to the caller.
// Data code never shows anything: windows turn the value into a message box
// (ShowError in toolkit/Messages.h), the command line prints one line of it
// (ErrorLine) and exits non-zero.
struct ErrorInfo {
    // How the failure is worded for the user; the box follows from it.
    enum class Kind {
        Plain,     // only number and description (a low-level failure not yet placed)
        Engine,    // `what`, then the number and description (the "오류" box)
        Procedure, // "Error N (description) in procedure P of Module/Form O", P and O from `place`
        Notice,    // `what` alone, as a warning
        Info,      // `what` alone, as information
        Query,     // a statement that could not run: the engine's text and `sql`
    };

    ErrorInfo() = default;
    // The engine's refusal: its code and text (none at all: no error).
    ErrorInfo(int engine, const QString& text)
        : code(engine != 0 || !text.isEmpty() ? ErrorCode::Engine : ErrorCode::None), engineCode(engine),
          description(text)
    {
    }
    // One of the program's own; without a text, the one the boxes have always shown for it.
    explicit ErrorInfo(ErrorCode c, const QString& text = QString());

    ErrorCode code = ErrorCode::None;
    int engineCode = 0;  // ErrorCode::Engine: the engine's code
    QString description; // the engine's text, or the detail of the program's own error
    Kind kind = Kind::Plain;
    QString what; // what failed, in the user's words
    ErrorPlace place = ErrorPlace::None;
    QString sql; // Kind::Query: the statement

    bool isSet() const { return code != ErrorCode::None || !description.isEmpty() || !what.isEmpty(); }
    // The number the boxes and the command line show: the engine's code, or
    // the number the program has always shown for its own kind (13 type mismatch, ...).
    int shownNumber() const;

    // The same error placed: worded as "what failed" with the engine's details.
    ErrorInfo asEngine(const QString& whatFailed) const;
    ErrorInfo at(ErrorPlace where) const;
    ErrorInfo asQuery(const QString& statement) const;
    static ErrorInfo notice(const QString& text, ErrorCode c = ErrorCode::None);
    static ErrorInfo info(const QString& text);
};

// The routine and module or form a place is named by in the "in procedure" texts.
struct ErrorPlaceWording {
    QString procedure;
    QString owner;
    bool ownerIsForm = false;
};
ErrorPlaceWording WordingOf(ErrorPlace place);

// "Error N (description) in procedure P of Module M" (or "of Form F").
QString ProcErrorText(const ErrorInfo& error, const QString& procedure, const QString& owner, bool ownerIsForm = false);

// The error as one line of text for the command line (no line breaks).
QString ErrorLine(const ErrorInfo& error);

// Sets `*out` when the caller asked for the error, and returns false so that
// a routine can `return fail(error, e);`.
inline bool fail(ErrorInfo* out, const ErrorInfo& e)
{
    if (out)
        *out = e;
    return false;
}

#pragma once

#include <QString>

// What went wrong in a store, query or parser, handed back to the caller.
// Data code never shows anything: windows turn the value into a message box
// (ShowError in toolkit/Messages.h), the command line prints one line of it
// (ErrorLine) and exits non-zero.
struct ErrorInfo {
    // How the failure is worded for the user; the box follows from it.
    enum class Kind {
        Plain,     // only number and description (a low-level failure not yet placed)
        Engine,    // `what`, then the number and description (the "오류" box)
        Procedure, // "Error N (description) in procedure P of Module/Form O"
        Notice,    // `what` alone, as a warning
        Info,      // `what` alone, as information
        Query,     // a statement that could not run: the engine's text and `sql`
    };

    ErrorInfo() = default;
    ErrorInfo(int code, const QString& text) : number(code), description(text) {}

    int number = 0;      // the engine's code, or the code of a refused value (13 type mismatch, ...)
    QString description; // the engine's text
    Kind kind = Kind::Plain;
    QString what;      // what failed, in the user's words
    QString procedure; // Kind::Procedure: where it happened
    QString owner;
    bool ownerIsForm = false;
    QString sql; // Kind::Query: the statement

    bool isSet() const { return number != 0 || !description.isEmpty() || !what.isEmpty(); }

    // The same error placed: worded as "what failed" with the engine's details.
    ErrorInfo asEngine(const QString& whatFailed) const;
    ErrorInfo inProcedure(const QString& proc, const QString& ownerName, bool isForm = false) const;
    ErrorInfo asQuery(const QString& statement) const;
    static ErrorInfo notice(const QString& text);
    static ErrorInfo info(const QString& text);
};

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

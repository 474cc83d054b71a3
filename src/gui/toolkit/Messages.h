#pragma once

#include "data/base/Error.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;
class QLineEdit;

// Every message and input box of Tallox goes through here, so that icons,
// buttons and titles are uniform and tests can script answers and read back
// every box shown.

enum class MsgIcon { None, Information, Warning, Question };
enum class MsgAnswer { Ok, Yes, No };

void MsgInfo(const QString& text, const QString& title = QString());
void MsgWarn(const QString& text, const QString& title = QString());
MsgAnswer MsgQuestion(const QString& text, const QString& title = QString(), bool yesDefault = true);
// Exclamation box titled "오류": the text, then the error's number and description.
void MsgError(const QString& text, const ErrorInfo& error);
// Plain OK box without icon.
void MsgPlain(const QString& text, const QString& title = QString());
// "Error N (desc) in procedure P of Module M" (or "of Form F"), plain OK box.
void MsgProcError(const ErrorInfo& error, const QString& procedure, const QString& owner, bool ownerIsForm = false);
// The box for an error handed back by a store, query or parser, worded by its kind.
void ShowError(const ErrorInfo& error);

// Input box: returns false when the user cancelled; `answer` holds the text typed.
bool InputBox(const QString& prompt, const QString& title, const QString& proposed, QString* answer);

// True when the input is missing (and says so, focusing the control when it can take the focus).
bool CheckRequired(QLineEdit* input, const QString& fieldName, bool zeroIsEmpty);

// The test hook: once enabled, no box is shown. Questions and input boxes take
// the next scripted answer; a box that needs an answer nobody scripted is
// recorded as unscripted and answered No / cancelled.
namespace MessageHook {
struct Shown {
    MsgIcon icon = MsgIcon::None;
    QString title;
    QString text;
    QString kind;                            // "info", "warn", "question", "error", "plain", "input"
    MsgAnswer defaultAnswer = MsgAnswer::Ok; // a question's preselected button: Yes or No
};
void enable();
void disable();
bool enabled();
void reset(); // forget answers and recorded boxes
void answer(MsgAnswer a);
void answerInput(const QString& text); // an input box answered with OK and this text
void cancelInput();                    // an input box answered with Cancel
const QList<Shown>& shown();
// Called with each box as it is shown (while the caller still waits for it); empty: none.
void setObserver(std::function<void(const Shown&)> observer);
QStringList unscripted();
int pendingAnswers();
} // namespace MessageHook

// The save-file dialog: asks where to write a file, starting at `proposed`
// (a full path). Returns false when the user cancelled; `chosen` then stays as it was.
bool AskSaveFile(const QString& title, const QString& proposed, const QString& filter, QString* chosen);

// The test hook of the file dialogs, as MessageHook for the boxes: once
// enabled, no dialog is shown; each takes the next scripted answer and is
// recorded; one nobody scripted is recorded as unscripted and cancelled.
namespace FileDialogHook {
struct Shown {
    QString title;
    QString proposed; // the path the dialog started at
    QString filter;
};
void enable();
void disable();
bool enabled();
void reset(); // forget answers and recorded dialogs
// The next dialog is answered with this path; a relative path is taken in the proposed folder.
void answer(const QString& path);
void answerProposed(); // the next dialog is answered with the path it proposed
void cancel();
const QList<Shown>& shown();
QStringList unscripted();
} // namespace FileDialogHook

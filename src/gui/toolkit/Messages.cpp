#include "gui/toolkit/Messages.h"

#include "data/books/AppInfo.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QQueue>

namespace {
struct ScriptedAnswer {
    enum Kind { Button, Input, Cancel } kind;
    MsgAnswer answer = MsgAnswer::Ok;
    QString text;
};

struct HookState {
    bool enabled = false;
    QQueue<ScriptedAnswer> answers;
    QList<MessageHook::Shown> shown;
    QStringList unscripted;
    std::function<void(const MessageHook::Shown&)> observer;
};

HookState& hook()
{
    static HookState s;
    return s;
}

QString titleOr(const QString& title)
{
    return title.isEmpty() ? AppTitle() : title;
}

void record(MsgIcon icon, const QString& title, const QString& text, const QString& kind,
            MsgAnswer defaultAnswer = MsgAnswer::Ok)
{
    hook().shown.append({icon, title, text, kind, defaultAnswer});
    if (hook().observer)
        hook().observer(hook().shown.last());
}

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

void showOkBox(QMessageBox::Icon qicon, MsgIcon icon, const QString& text, const QString& title, const QString& kind)
{
    const QString t = titleOr(title);
    if (hook().enabled) {
        record(icon, t, text, kind);
        return;
    }
    QMessageBox box(qicon, t, text, QMessageBox::Ok, dialogParent());
    box.exec();
}
} // namespace

void MsgInfo(const QString& text, const QString& title)
{
    showOkBox(QMessageBox::Information, MsgIcon::Information, text, title, QStringLiteral("info"));
}

void MsgWarn(const QString& text, const QString& title)
{
    showOkBox(QMessageBox::Warning, MsgIcon::Warning, text, title, QStringLiteral("warn"));
}

void MsgPlain(const QString& text, const QString& title)
{
    showOkBox(QMessageBox::NoIcon, MsgIcon::None, text, title, QStringLiteral("plain"));
}

MsgAnswer MsgQuestion(const QString& text, const QString& title, bool yesDefault)
{
    const QString t = titleOr(title);
    if (hook().enabled) {
        record(MsgIcon::Question, t, text, QStringLiteral("question"), yesDefault ? MsgAnswer::Yes : MsgAnswer::No);
        if (!hook().answers.isEmpty() && hook().answers.head().kind == ScriptedAnswer::Button)
            return hook().answers.dequeue().answer;
        hook().unscripted.append(text);
        return MsgAnswer::No;
    }
    QMessageBox box(QMessageBox::Question, t, text, QMessageBox::Yes | QMessageBox::No, dialogParent());
    box.setDefaultButton(yesDefault ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void MsgError(const QString& text, const ErrorInfo& error)
{
    const QString full = text + QCoreApplication::translate("Messages", "\r\n오류번호 : ") +
                         QString::number(error.shownNumber()) +
                         QCoreApplication::translate("Messages", "\r\n오류내용 : ") + error.description;
    showOkBox(QMessageBox::Warning, MsgIcon::Warning, full, QCoreApplication::translate("Messages", "오류"),
              QStringLiteral("error"));
}

void MsgProcError(const ErrorInfo& error, const QString& procedure, const QString& owner, bool ownerIsForm)
{
    MsgPlain(ProcErrorText(error, procedure, owner, ownerIsForm));
}

void ShowError(const ErrorInfo& error)
{
    const QString cr = QStringLiteral("\r");
    switch (error.kind) {
    case ErrorInfo::Kind::Engine:
        MsgError(error.what, error);
        break;
    case ErrorInfo::Kind::Procedure: {
        const ErrorPlaceWording w = WordingOf(error.place);
        MsgProcError(error, w.procedure, w.owner, w.ownerIsForm);
    } break;
    case ErrorInfo::Kind::Notice:
        MsgWarn(error.what);
        break;
    case ErrorInfo::Kind::Info:
        MsgInfo(error.what);
        break;
    case ErrorInfo::Kind::Query: {
        // A closed handle, a missing table or column, anything else: the three open-routine boxes.
        const bool notFound = error.description.contains(QStringLiteral("no such table"), Qt::CaseInsensitive) ||
                              error.description.contains(QStringLiteral("no such column"), Qt::CaseInsensitive);
        if (error.code == ErrorCode::NoConnection)
            MsgInfo(QCoreApplication::translate("Messages", "Data Base MDB가 선언되지 않았습니다.") + cr + error.sql,
                    QCoreApplication::translate("Messages", "MDB 오류"));
        else if (notFound)
            MsgInfo(QCoreApplication::translate("Messages", "Jet Data Base Engine의 식을 확인하세요.") + cr + error.sql,
                    QStringLiteral("Query"));
        else
            MsgInfo(error.description + cr + error.sql, QStringLiteral("ERROR"));
        break;
    }
    case ErrorInfo::Kind::Plain:
        MsgError(error.what.isEmpty()
                     ? QCoreApplication::translate("Messages", "프로그램 수행도중 오류가 발생했습니다.")
                     : error.what,
                 error);
        break;
    }
}

bool InputBox(const QString& prompt, const QString& title, const QString& proposed, QString* answer)
{
    const QString t = titleOr(title);
    if (hook().enabled) {
        record(MsgIcon::None, t, prompt, QStringLiteral("input"));
        if (!hook().answers.isEmpty() && hook().answers.head().kind != ScriptedAnswer::Button) {
            const ScriptedAnswer a = hook().answers.dequeue();
            if (a.kind == ScriptedAnswer::Cancel)
                return false;
            *answer = a.text;
            return true;
        }
        hook().unscripted.append(prompt);
        return false;
    }
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), t, prompt, QLineEdit::Normal, proposed, &ok);
    if (!ok)
        return false;
    *answer = text;
    return true;
}

bool CheckRequired(QLineEdit* input, const QString& fieldName, bool zeroIsEmpty)
{
    const QString text = input->text();
    const bool missing = text.isEmpty() || (zeroIsEmpty && text == QStringLiteral("0"));
    if (!missing)
        return false;
    if (!fieldName.isEmpty())
        MsgInfo(QCoreApplication::translate("Messages", "[%1]은(는) 필수 입력 사항입니다.").arg(fieldName),

                QCoreApplication::translate("Messages", "필수입력"));
    else
        MsgInfo(QCoreApplication::translate("Messages", "필수 입력사항을 입력하지 않았습니다."),
                QCoreApplication::translate("Messages", "필수입력"));
    if (input->isEnabled() && input->isVisible())
        input->setFocus();
    return true;
}

namespace MessageHook {
void enable()
{
    hook().enabled = true;
}
void disable()
{
    hook().enabled = false;
}
bool enabled()
{
    return hook().enabled;
}
void reset()
{
    hook().answers.clear();
    hook().shown.clear();
    hook().unscripted.clear();
    hook().observer = nullptr;
}
void answer(MsgAnswer a)
{
    hook().answers.enqueue({ScriptedAnswer::Button, a, {}});
}
void answerInput(const QString& text)
{
    hook().answers.enqueue({ScriptedAnswer::Input, MsgAnswer::Ok, text});
}
void cancelInput()
{
    hook().answers.enqueue({ScriptedAnswer::Cancel, MsgAnswer::Ok, {}});
}
void setObserver(std::function<void(const Shown&)> observer)
{
    hook().observer = std::move(observer);
}
const QList<Shown>& shown()
{
    return hook().shown;
}
QStringList unscripted()
{
    return hook().unscripted;
}
int pendingAnswers()
{
    return int(hook().answers.size());
}
} // namespace MessageHook

namespace {
struct FileAnswer {
    enum Kind { Path, Proposed, Cancel } kind;
    QString path;
};

struct FileHookState {
    bool enabled = false;
    QQueue<FileAnswer> answers;
    QList<FileDialogHook::Shown> shown;
    QStringList unscripted;
};

FileHookState& fileHook()
{
    static FileHookState s;
    return s;
}
} // namespace

bool AskSaveFile(const QString& title, const QString& proposed, const QString& filter, QString* chosen)
{
    if (fileHook().enabled) {
        fileHook().shown.append({title, proposed, filter});
        if (fileHook().answers.isEmpty()) {
            fileHook().unscripted.append(title);
            return false;
        }
        const FileAnswer a = fileHook().answers.dequeue();
        if (a.kind == FileAnswer::Cancel)
            return false;
        *chosen = a.kind == FileAnswer::Proposed ? proposed
                                                 : QDir::cleanPath(QFileInfo(proposed).dir().absoluteFilePath(a.path));
        return true;
    }
    // The dialog asks before it replaces a file that is there.
    const QString file = QFileDialog::getSaveFileName(dialogParent(), title, proposed, filter);
    if (file.isEmpty())
        return false;
    *chosen = file;
    return true;
}

namespace FileDialogHook {
void enable()
{
    fileHook().enabled = true;
}
void disable()
{
    fileHook().enabled = false;
}
bool enabled()
{
    return fileHook().enabled;
}
void reset()
{
    fileHook().answers.clear();
    fileHook().shown.clear();
    fileHook().unscripted.clear();
}
void answer(const QString& path)
{
    fileHook().answers.enqueue({FileAnswer::Path, path});
}
void answerProposed()
{
    fileHook().answers.enqueue({FileAnswer::Proposed, {}});
}
void cancel()
{
    fileHook().answers.enqueue({FileAnswer::Cancel, {}});
}
const QList<Shown>& shown()
{
    return fileHook().shown;
}
QStringList unscripted()
{
    return fileHook().unscripted;
}
} // namespace FileDialogHook

#include "gui/toolkit/ModalRun.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QQueue>
#include <QWidget>

namespace {
struct HookState {
    bool enabled = false;
    QQueue<ModalHook::Handler> handlers;
    QStringList shown;
    QStringList unhandled;
};

HookState& state()
{
    static HookState s;
    return s;
}
} // namespace

namespace {
int runModal(QDialog* dialog)
{
    HookState& s = state();
    if (!s.enabled)
        return dialog->exec();

    s.shown.append(dialog->objectName());
    dialog->setResult(QDialog::Rejected);
    if (s.handlers.isEmpty()) {
        s.unhandled.append(dialog->objectName());
        return QDialog::Rejected;
    }
    const ModalHook::Handler handler = s.handlers.dequeue();
    dialog->show();
    dialog->activateWindow();
    handler(dialog);
    if (dialog->isVisible()) {
        s.unhandled.append(dialog->objectName());
        dialog->reject();
    }
    return dialog->result();
}
} // namespace

int ExecModal(QDialog* dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    // The control that had the focus gets it back, in the window that opened
    // the dialog: otherwise no window may have it and keys go nowhere.
    QPointer<QWidget> before = QApplication::focusWidget();
    if (!before && dialog->parentWidget())
        before = dialog->parentWidget()->window();
    const int result = runModal(dialog);
    if (before && before->isVisible() && before->window() != dialog)
        ReturnFocusTo(before);
    return result;
}

void ReturnFocusTo(QWidget* target)
{
    if (!target)
        return;
    QWidget* window = target->window();
    window->raise();
    window->activateWindow();
    if (target != window)
        target->setFocus(Qt::ActiveWindowFocusReason);
}

namespace ModalHook {
void enable()
{
    state().enabled = true;
}
void disable()
{
    state().enabled = false;
}
bool enabled()
{
    return state().enabled;
}
void push(Handler handler)
{
    state().handlers.enqueue(std::move(handler));
}
void reset()
{
    state().handlers.clear();
    state().shown.clear();
    state().unhandled.clear();
}
int pending()
{
    return int(state().handlers.size());
}
const QStringList& shown()
{
    return state().shown;
}
const QStringList& unhandled()
{
    return state().unhandled;
}
} // namespace ModalHook

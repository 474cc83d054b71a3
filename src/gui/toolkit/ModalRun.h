#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

// Shows a dialog modally and returns its result (QDialog::Accepted or
// Rejected); the focus then returns to the control that had it before, in the
// window that opened the dialog. Every modal window that a caller opens and
// waits for goes through here, so that tests can drive it without a nested
// event loop.
int ExecModal(QDialog* dialog);

// After a dialog has closed: activates and raises the window of `target` and
// puts the focus on `target` (unless it is that window itself). Window
// managers do not always hand the activation back to the owner when a dialog
// closes, and keys typed next would go nowhere.
void ReturnFocusTo(QWidget* target);

// The test hook. Once enabled, ExecModal shows the dialog (not modally), hands
// it to the next queued handler, which drives it as a user would, and returns
// its result. A dialog still open after its handler, or one for which nobody
// queued a handler, is recorded and rejected instead of waiting for input.
namespace ModalHook {
using Handler = std::function<void(QDialog*)>;
void enable();
void disable();
bool enabled();
void push(Handler handler);
void reset(); // forget queued handlers and recorded dialogs
int pending();
// Object names of the dialogs that were shown through the hook, in order.
const QStringList& shown();
// Object names of dialogs nobody handled, or that their handler left open.
const QStringList& unhandled();
} // namespace ModalHook

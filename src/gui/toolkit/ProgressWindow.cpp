#include "gui/toolkit/ProgressWindow.h"

#include <QApplication>
#include <QProgressDialog>

ProgressWindow::ProgressWindow(const QString& label, bool cancellable, QWidget* parent)
    : m_dialog(std::make_unique<QProgressDialog>(
          label, cancellable ? QCoreApplication::translate("ProgressWindow", "취소") : QString(), 0, 100, parent))
{
    m_dialog->setObjectName(QStringLiteral("frmProgress"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(1000);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
    m_sinceEvents.start();
}

ProgressWindow::~ProgressWindow() = default;

Progress ProgressWindow::progress()
{
    return [this](qint64 done, qint64 total) { return step(done, total); };
}

bool ProgressWindow::step(qint64 done, qint64 total)
{
    // Once the work is through, later calls (a print preview painting its
    // pages again) show nothing.
    if (m_finished)
        return true;
    if (done >= total) {
        m_finished = true;
        m_dialog->close();
        return !m_cancelled;
    }
    // A few times a second is enough to paint and to see 취소.
    if (m_sinceEvents.elapsed() < 50)
        return !m_cancelled;
    m_sinceEvents.restart();
    m_dialog->setValue(total > 0 ? int(qBound(qint64(0), done * 100 / total, qint64(100))) : 0);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QApplication::processEvents(); // the dialog's own 취소 click
    m_cancelled = m_cancelled || m_dialog->wasCanceled();
    return !m_cancelled;
}

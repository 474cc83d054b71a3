#pragma once

#include "data/base/Progress.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// A progress window for work in the window's own thread: it shows only when
// the work takes longer than a second, keeps the screen painted and, where
// stopping is safe, offers 취소.
class ProgressWindow {
public:
    ProgressWindow(const QString& label, bool cancellable, QWidget* parent);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    Progress progress();
    bool cancelled() const { return m_cancelled; }

private:
    bool step(qint64 done, qint64 total);

    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceEvents;
    bool m_cancelled = false;
    bool m_finished = false;
};

// A Qt generic plugin for timing start-up of the real program: loaded with
// QT_QPA_GENERIC_PLUGINS=talloxstartprobe (and QT_PLUGIN_PATH pointing at its
// folder), it ends the process as soon as the ledger sheet `spList` is painted
// after the main window's first activation, which loads the first sheet.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGenericPlugin>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {
class Probe : public QObject {
public:
    Probe() { m_clock.start(); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate && qobject_cast<QMainWindow*>(watched)) {
            m_activated = true;
        } else if (m_activated && e->type() == QEvent::Paint && isSheet(watched)) {
            // Let the paint happen, then report and end without any tear-down.
            QTimer::singleShot(0, [this] {
                std::fprintf(stderr, "TALLOX_FIRST_SHEET_SHOWN %.1f ms after the platform came up\n",
                             double(m_clock.nsecsElapsed()) / 1e6);
                std::fflush(stderr);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    static bool isSheet(QObject* o)
    {
        for (int depth = 0; o && depth < 2; ++depth, o = o->parent())
            if (o->objectName() == QLatin1String("spList"))
                return true;
        return false;
    }
    QElapsedTimer m_clock;
    bool m_activated = false;
};
} // namespace

class StartProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startprobe.json")
public:
    QObject* create(const QString& key, const QString&) override
    {
        if (key.compare(QLatin1String("talloxstartprobe"), Qt::CaseInsensitive) != 0)
            return nullptr;
        auto* probe = new Probe;
        QCoreApplication::instance()->installEventFilter(probe);
        // Never hang a benchmark run.
        QTimer::singleShot(60000, [] { std::_Exit(3); });
        return probe;
    }
};

#include "StartProbe.moc"

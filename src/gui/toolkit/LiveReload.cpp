#include "gui/toolkit/LiveReload.h"

#include "data/db/Database.h"

#include <QSqlDriver>

namespace {
// A burst of stores (a rebuild, another clerk typing fast) becomes one reload.
constexpr int kSettleMs = 150;
constexpr int kTypingRetryMs = 400;
} // namespace

QString LiveReload::Channel()
{
    return QStringLiteral("tallox_books");
}

LiveReload::LiveReload(Database& db, QObject* parent, std::function<bool()> typing, std::function<void()> reload)
    : QObject(parent), m_typing(std::move(typing)), m_reload(std::move(reload))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &LiveReload::fire);
    if (!db.isServer())
        return;
    QSqlDriver* driver = db.handle().driver();
    if (!driver || !driver->subscribeToNotification(Channel()))
        return;
    m_connection = db.connectionName();
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString& name, QSqlDriver::NotificationSource source, const QVariant&) {
                changed(name, int(source));
            });
}

LiveReload::~LiveReload()
{
    if (m_connection.isEmpty() || !QSqlDatabase::contains(m_connection))
        return;
    if (QSqlDriver* driver = QSqlDatabase::database(m_connection, false).driver())
        driver->unsubscribeFromNotification(Channel());
}

void LiveReload::changed(const QString& name, int source)
{
    // The window's own stores already show; only other connections' count.
    if (name == Channel() && source != int(QSqlDriver::SelfSource) && !m_timer.isActive())
        m_timer.start(kSettleMs);
}

void LiveReload::fire()
{
    if (m_typing && m_typing()) {
        m_timer.start(kTypingRetryMs);
        return;
    }
    if (m_reload)
        m_reload();
}

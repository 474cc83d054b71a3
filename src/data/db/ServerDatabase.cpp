// The server half of Database: connecting to PostgreSQL and naming why it failed.
#include "data/db/Database.h"
#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>

namespace {
// libpq words its faults in English; these are the ones a user can act on.
ErrorInfo connectFault(const QSqlError& e, const QString& where)
{
    const QString detail = e.databaseText().isEmpty() ? e.text() : e.databaseText().trimmed();
    const QString lower = detail.toLower();
    if (lower.contains(QLatin1String("password")) || lower.contains(QLatin1String("authentication")) ||
        (lower.contains(QLatin1String("role")) && lower.contains(QLatin1String("does not exist"))))
        return {Database::ServerLoginRefused,
                QCoreApplication::translate(
                    "Database",
                    "서버가 사용자 또는 암호를 받아들이지 않습니다 (~/.pgpass, PGPASSWORD를 확인하세요): %1\n%2")
                    .arg(where, detail)};
    if (lower.contains(QLatin1String("database")) && lower.contains(QLatin1String("does not exist")))
        return {
            Database::ServerNoDatabase,
            QCoreApplication::translate("Database", "서버에 그 데이터베이스가 없습니다: %1\n%2").arg(where, detail)};
    return {Database::ServerUnreachable,
            QCoreApplication::translate("Database",
                                        "서버에 연결할 수 없습니다 (서버가 꺼져 있거나 주소에 닿지 않습니다): %1\n%2")
                .arg(where, detail)};
}
} // namespace

bool Database::openServer(const QString& address, ErrorInfo* error, bool readOnly, bool needSchema)
{
    ServerAddress a;
    QString why;
    if (!a.parse(address, &why))
        return fail(error, {ServerUnreachable, why});
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return fail(error, {ServerUnreachable,
                            QCoreApplication::translate(
                                "Database", "PostgreSQL 드라이버(libqt6sql6-psql)가 설치되어 있지 않습니다.")});
    ErrorInfo fault;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(a.host);
        db.setPort(a.port);
        db.setDatabaseName(a.dbname);
        db.setUserName(a.user);
        db.setConnectOptions(a.connectOptions());
        if (!db.open())
            fault = connectFault(db.lastError(), a.display());
    }
    if (fault.isSet()) {
        QSqlDatabase::removeDatabase(m_name);
        return fail(error, fault);
    }
    m_engine = Engine::Server;
    m_path = a.display();
    m_serverReadOnly = readOnly;
    ErrorInfo e;
    if (!prepareServer(readOnly, &e)) {
        close();
        return fail(error, e);
    }
    if (needSchema && !checkServerSchema(error)) {
        close();
        return false;
    }
    return true;
}

// The session settings every new connection to the server needs.
bool Database::prepareServer(bool readOnly, ErrorInfo* error)
{
    // The ledger's tables and Tallox's SQL helpers live in "main", the cards in
    // "card"; "main" comes before pg_catalog so that its integer SUM stays an integer.
    return execute(QStringLiteral("SET search_path = main, card, pg_catalog"), {}, error) >= 0 &&
           (!readOnly || execute(QStringLiteral("SET default_transaction_read_only = on"), {}, error) >= 0);
}

bool Database::reconnect(bool* reopened, ErrorInfo* error)
{
    *reopened = false;
    if (!isServer() || m_depth > 0 || scalar(QStringLiteral("SELECT 1")).isValid())
        return true;
    {
        // The same connection object opens again, so that whoever listens to
        // its driver keeps listening; the server forgot the subscriptions.
        QSqlDatabase db = handle();
        const QStringList channels = db.driver()->subscribedToNotifications();
        db.close();
        if (!db.open())
            return fail(error, connectFault(db.lastError(), m_path));
        for (const QString& channel : channels)
            db.driver()->subscribeToNotification(channel);
    }
    *reopened = true;
    ++m_reopens;
    return prepareServer(m_serverReadOnly, error);
}

bool Database::settleLostCommit(qint64 xid, qint64 pid, const ErrorInfo& lost, ErrorInfo* error)
{
    const ErrorInfo unknown{ServerCommitUnknown,
                            QCoreApplication::translate("Database",
                                                        "저장하는 중에 서버와의 연결이 끊겨 저장되었는지 알 수 "
                                                        "없습니다. 서버에 다시 연결되면 조회해서 확인하세요.\n%1")
                                .arg(lost.description.trimmed())};
    // A server that restarts takes a few seconds before it takes connections again.
    QDeadlineTimer deadline(20000);
    bool reopened = false;
    while (!reconnect(&reopened)) {
        if (deadline.hasExpired())
            return fail(error, unknown);
        QThread::msleep(250);
    }
    bool ended = false;
    for (;;) {
        const QString status = scalar(QStringLiteral("SELECT txid_status(?)"), {xid}).toString();
        if (status == QLatin1String("committed"))
            return true;
        if (status == QLatin1String("aborted"))
            return fail(error, {ServerStoreLost, lost.description});
        if (status != QLatin1String("in progress") || deadline.hasExpired())
            return fail(error, unknown);
        // The old session may still wait for the client that is gone: ending it
        // ends its transaction one way or the other (a COMMIT under way completes).
        if (!ended)
            ended = scalar(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                                          " WHERE pid = ? AND backend_xid = (?::bigint % 4294967296)::text::xid"),
                           {pid, xid})
                        .isValid();
        QThread::msleep(20);
    }
}

bool Database::checkServerSchema(ErrorInfo* error)
{
    if (!tableExists(QStringLiteral("main"), QStringLiteral("tallox_version")))
        return fail(error, {ServerNoSchema,
                            QCoreApplication::translate(
                                "Database", "서버의 데이터베이스에 Tallox 장부가 없습니다. 'tallox --init-server "
                                            "%1'로 만드세요.")
                                .arg(m_path)});
    const int version = userVersion();
    if (version > kServerSchemaVersion)
        return fail(error,
                    {ServerNewerSchema,
                     QCoreApplication::translate("Database", "서버의 장부는 더 새로운 Tallox가 만든 것입니다 (판 %1).")
                         .arg(version)});
    if (version < 1)
        return fail(error,
                    {ServerNoSchema,
                     QCoreApplication::translate("Database", "서버의 장부에 판 번호가 없습니다: %1").arg(m_path)});
    return true;
}

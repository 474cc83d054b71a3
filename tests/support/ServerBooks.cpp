#include "ServerBooks.h"

#include "data/books/ServerSchema.h"
#include "data/db/Database.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

bool TestsOnServer()
{
    return qEnvironmentVariable("TALLOX_TEST_ENGINE") == QLatin1String("postgres");
}

namespace {
// The address of the server's own database, then of this process's database on it.
QUrl serverUrl()
{
    QFile file(qEnvironmentVariable("TALLOX_TEST_PG_FILE"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no test server: cannot read TALLOX_TEST_PG_FILE '%s'", qPrintable(file.fileName()));
    return QUrl(QString::fromUtf8(file.readAll()).trimmed());
}

QString processBooks()
{
    static QString address;
    if (!address.isEmpty())
        return address;
    QUrl url = serverUrl();
    const QString name = QStringLiteral("tallox_%1").arg(QCoreApplication::applicationPid());
    Database admin;
    ErrorInfo e;
    if (!admin.open(url.toString(), &e, false, false, false) ||
        admin.execute(QStringLiteral("DROP DATABASE IF EXISTS ") + name, {}, &e) < 0 ||
        admin.execute(QStringLiteral("CREATE DATABASE ") + name, {}, &e) < 0)
        qFatal("test server: %s", qPrintable(e.description));
    url.setPath(QLatin1Char('/') + name);
    address = url.toString();
    return address;
}
} // namespace

QString FreshServerBooks()
{
    const QString address = processBooks();
    Database db;
    ErrorInfo e;
    if (!db.open(address, &e, false, false, false) ||
        db.execute(QStringLiteral("DROP SCHEMA IF EXISTS main, card CASCADE"), {}, &e) < 0 ||
        !CreateServerSchema(db, &e))
        qFatal("test server: %s", qPrintable(e.description));
    return address;
}

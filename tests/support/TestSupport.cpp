#include "TestSupport.h"

#include "ServerBooks.h"
#include "app/CommandLine.h"
#include "data/base/Clock.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "output/PrintComponent.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSysInfo>
#include <QTextStream>

TestEnv::TestEnv(const QDate& today, bool createDatabases)
{
    m_oldHome = qgetenv("TALLOX_HOME");
    qputenv("TALLOX_HOME", m_dir.path().toUtf8() + "/app");
    QDir().mkpath(appFolder());
    Clock::setToday(today);
    MessageHook::enable();
    MessageHook::reset();
    FileDialogHook::enable();
    FileDialogHook::reset();
    m_ctx = std::make_unique<AppContext>();
    if (TestsOnServer())
        m_server = FreshServerBooks();
    if (createDatabases) {
        ErrorInfo e;
        if (!TestsOnServer() && !CreateDatabaseFiles(dbFolder(), &e))
            qFatal("cannot create test databases: %s", qPrintable(e.description));
        if (!m_ctx->openFolder(dbFolder()))
            qFatal("cannot open test databases");
        m_ctx->print = std::make_unique<PrintComponent>();
    }
}

TestEnv::~TestEnv()
{
    m_ctx->closeAll();
    m_ctx.reset();
    Clock::setToday(QDate());
    if (m_oldHome.isNull())
        qunsetenv("TALLOX_HOME");
    else
        qputenv("TALLOX_HOME", m_oldHome);
}

QString TestEnv::appFolder() const
{
    return m_dir.path() + QStringLiteral("/app");
}

QString TestEnv::dbFolder() const
{
    if (!m_server.isEmpty())
        return m_server;
    return appFolder() + QStringLiteral("/dbs");
}

void TestEnv::addCard(int code, const QString& name, double feeRate, int setday)
{
    ErrorInfo e;
    if (m_ctx->card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee, setday) VALUES (?, ?, ?, ?)"),
                            {code, name, feeRate, setday}, &e) != 1)
        qFatal("addCard: %s", qPrintable(e.description));
}

int TestEnv::addEntry(const QString& date, int card, double sale, double fee, double billcoll, int numsheet)
{
    ErrorInfo e;
    if (m_ctx->ledger.execute(
            QStringLiteral(
                "INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet) VALUES (?, ?, ?, ?, ?, ?)"),
            {date, card, Money::fromDouble(sale).units(), Money::fromDouble(fee).units(),
             Money::fromDouble(billcoll).units(), numsheet},
            &e) != 1)
        qFatal("addEntry: %s", qPrintable(e.description));
    return m_ctx->ledger.scalar(QStringLiteral("SELECT MAX(code) FROM Tallox")).toInt();
}

void TestEnv::addTransfer(const QString& month, int card, double amount)
{
    ErrorInfo e;
    if (m_ctx->ledger.execute(QStringLiteral("INSERT INTO transfer (sMonth, amount, cardcode) VALUES (?, ?, ?)"),
                              {month, Money::fromDouble(amount).units(), card}, &e) != 1)
        qFatal("addTransfer: %s", qPrintable(e.description));
}

Money TestEnv::transferAmount(const QString& month, int card, bool* exists)
{
    const QVariant v = m_ctx->ledger.scalar(
        QStringLiteral("SELECT amount FROM transfer WHERE sMonth = ? AND cardcode = ?"), {month, card});
    if (exists)
        *exists = v.isValid();
    return Money::fromUnits(v.toLongLong());
}

int TestEnv::count(const QString& table)
{
    return m_ctx->ledger.scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
}

QByteArray LockFileContent(const QString& owner, QProcess* other)
{
    const auto lines = [](qint64 pid, const QString& program) {
        return QByteArray::number(pid) + '\n' + program.toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    };
    if (owner == QLatin1String("empty"))
        return QByteArray();
    if (owner == QLatin1String("garbage"))
        return QByteArray("\x01\x02 not a lock\n\xff\xfe", 16);
    if (owner == QLatin1String("gone")) {
        QProcess ended;
        ended.start(QStringLiteral("true"));
        ended.waitForStarted();
        const qint64 pid = ended.processId();
        ended.waitForFinished();
        return lines(pid, QStringLiteral("tallox"));
    }
    if (owner == QLatin1String("other")) {
        other->start(QStringLiteral("sleep"), {QStringLiteral("60")});
        other->waitForStarted();
        return lines(other->processId(), QStringLiteral("tallox"));
    }
    return lines(QCoreApplication::applicationPid(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

QByteArray FileChecksum(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5) : QByteArray();
}

CommandRun RunTallox(const QStringList& args)
{
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = RunCommandLine(ParseCommandLine(args), out, err);
    out.flush();
    err.flush();
    MessageHook::enable(); // the test keeps scripting boxes
    return r;
}

bool AddTestTrigger(Database& db, const QString& name, const QString& spec, const QString& when, const QString& action)
{
    if (!db.isServer()) {
        const QString body = action.isEmpty() ? QStringLiteral("SELECT RAISE(ABORT, 'blocked')") : action;
        return db.execute(QStringLiteral("CREATE TRIGGER %1 %2 %3 BEGIN %4; END")
                              .arg(name, spec, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when, body)) >= 0;
    }
    const QString body = action.isEmpty() ? QStringLiteral("RAISE EXCEPTION 'blocked'") : action;
    return db.execute(QStringLiteral("CREATE FUNCTION main.%1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN %2;"
                                     " RETURN NEW; END $$")
                          .arg(name, body)) >= 0 &&
           db.execute(QStringLiteral("CREATE TRIGGER %1 %2 FOR EACH ROW %3 EXECUTE FUNCTION main.%1()")
                          .arg(name, spec, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when))) >= 0;
}

bool DropTestTrigger(Database& db, const QString& name)
{
    return db.execute(db.isServer() ? QStringLiteral("DROP FUNCTION main.%1() CASCADE").arg(name)
                                    : QStringLiteral("DROP TRIGGER %1").arg(name)) >= 0;
}

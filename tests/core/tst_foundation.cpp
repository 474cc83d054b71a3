#include "TestSupport.h"

#include "app/Main.h"
#include "data/base/Clock.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/books/Startup.h"
#include "data/db/ServerAddress.h"
#include "gui/ledger/BackupDialog.h"
#include "gui/ledger/frmMain.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlQuery>

class TestFoundation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void money_parseAndFormat();
    void money_leadingNumber();
    void dateText_months();
    void serverAddress_fieldsOrRefused_data();
    void serverAddress_fieldsOrRefused();
    void folderChoice_commandLineNeverStored();
    void folderChoice_missingStoredReplacedByDefault();
    void folderChoice_defaultItselfMissing();
    void firstRun_createsBothFilesInDefaultOnly();
    void openFolder_missingDamagedOrForeignFile();
    void openFolder_doesNotWriteIntoBadFile();
    void openForWindow_stopsAtAFailedStep_data();
    void openForWindow_stopsAtAFailedStep();
    void openForWriting_onlyWithTheWriteAheadLog();
    void checkpoints_deferredUntilAsked();
    void addField_cases();
    void upgradeSchema_twiceOnOldFile();
    void addField_readOnlyReportsAndContinues();
    void openSnapshot_messages();
    void messageBoxes_textsAndIcons();
    void errorCodes_wordedAsBefore_data();
    void errorCodes_wordedAsBefore();
    void checkRequired_zeroAndFocus();
    void instanceLock_secondRefusedStaleRecovered();
    void lock_garbageRecoveredUnwritableReported_data();
    void lock_garbageRecoveredUnwritableReported();
    void caption_hasVersionAndPath();
    void qtTranslations_koreanButtons();
};

void TestFoundation::money_parseAndFormat()
{
    QCOMPARE(Money::parse(QStringLiteral("1234"))->units(), 12340000);
    QCOMPARE(Money::parse(QStringLiteral(" -12.5 "))->toPlainString(), QStringLiteral("-12.5"));
    QCOMPARE(Money::parse(QStringLiteral("1,234.56"))->toPlainString(), QStringLiteral("1234.56"));
    QVERIFY(!Money::parse(QString()).has_value());
    QVERIFY(!Money::parse(QStringLiteral("abc")).has_value());
    QVERIFY(!Money::parse(QStringLiteral("12a")).has_value());
    QVERIFY(!Money::parse(QStringLiteral("-")).has_value());
    QCOMPARE(Money::fromWon(1234567).toDisplayString(0), QStringLiteral("1,234,567"));
    QCOMPARE(Money::fromWon(-1000).toDisplayString(0), QStringLiteral("-1,000"));
    QCOMPARE(Money::fromDouble(22.5).toDisplayString(0), QStringLiteral("23"));
    QCOMPARE(Money::fromDouble(-0.4).toDisplayString(0), QStringLiteral("0"));
    QCOMPARE(Money::fromDouble(0.075).toPlainString(), QStringLiteral("0.075"));
    // Ten billion, the sheet's limit, is exact.
    QCOMPARE(Money::parse(QStringLiteral("10000000000"))->toPlainString(), QStringLiteral("10000000000"));
}

void TestFoundation::money_leadingNumber()
{
    QCOMPARE(leadingNumber(QStringLiteral("  12.5abc")), 12.5);
    QCOMPARE(leadingNumber(QStringLiteral("abc")), 0.0);
    QCOMPARE(leadingNumber(QString()), 0.0);
    QCOMPARE(leadingNumber(QStringLiteral("-7")), -7.0);
    QCOMPARE(leadingNumber(QStringLiteral("3.25.1")), 3.25);
}

void TestFoundation::dateText_months()
{
    QCOMPARE(DateText::previousMonth(QStringLiteral("2005-03-31")), QStringLiteral("2005-02"));
    QCOMPARE(DateText::previousMonth(QStringLiteral("2005-01-15")), QStringLiteral("2004-12"));
    QCOMPARE(DateText::firstDayAfterMonth(QStringLiteral("2004-12")), QStringLiteral("2005-01-01"));
    QCOMPARE(DateText::dayBefore(QStringLiteral("2004-03-01")), QStringLiteral("2004-02-29"));
    QCOMPARE(DateText::parse(QStringLiteral("2004/2/9")), QDate(2004, 2, 9));
    QVERIFY(!DateText::isValidDay(QStringLiteral("2004-02-30")));
}

// An address reaches libpq only as checked fields: anything that could carry
// another setting (a password, another host) is refused with a reason.
void TestFoundation::serverAddress_fieldsOrRefused_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("parsed"); // user|host|port|dbname|sslmode, or empty when refused
    QTest::addColumn<QString>("why");    // part of the reason when refused
    const QString refused;
    QTest::newRow("plain") << "postgresql://clerk@dbhost:5433/tallox?sslmode=verify-full"
                           << "clerk|dbhost|5433|tallox|verify-full" << QString();
    QTest::newRow("no user, v6") << " postgres://[::1]/books_2.x "
                                 << "|::1|-1|books_2.x|" << QString();
    QTest::newRow("sslmode ; password") << "postgresql://h/db?sslmode=disable%3Bpassword%3Dx" << refused << "sslmode";
    QTest::newRow("sslmode ; host") << "postgresql://h/db?sslmode=disable%3Bhost%3Devil" << refused << "sslmode";
    QTest::newRow("sslmode space host") << "postgresql://h/db?sslmode=disable%20host=evil" << refused << "sslmode";
    QTest::newRow("bad sslmode") << "postgresql://h/db?sslmode=maybe" << refused << "sslmode";
    QTest::newRow("empty sslmode") << "postgresql://h/db?sslmode=" << refused << "sslmode";
    QTest::newRow("sslmode twice") << "postgresql://h/db?sslmode=disable&sslmode=require" << refused << "두 번";
    QTest::newRow("password=") << "postgresql://h/db?password=x" << refused << "알 수 없는 설정";
    QTest::newRow("host=") << "postgresql://h/db?host=evil" << refused << "알 수 없는 설정";
    QTest::newRow("unknown") << "postgresql://h/db?options=-c%20x" << refused << "알 수 없는 설정";
    QTest::newRow("dbname ; host") << "postgresql://h/db%3Bhost%3Devil" << refused << "데이터베이스 이름";
    QTest::newRow("dbname space") << "postgresql://h/my%20db" << refused << "데이터베이스 이름";
    QTest::newRow("dbname quote") << "postgresql://h/db'x" << refused << "데이터베이스 이름";
    QTest::newRow("dbname backslash") << "postgresql://h/db%5C" << refused << "데이터베이스 이름";
    QTest::newRow("dbname =") << "postgresql://h/host%3Devil" << refused << "데이터베이스 이름";
    QTest::newRow("user password") << "postgresql://clerk:secret@h/db" << refused << "암호";
    QTest::newRow("user empty password") << "postgresql://clerk:@h/db" << refused << "암호";
    QTest::newRow("user encoded colon") << "postgresql://clerk%3Asecret@h/db" << refused << "사용자";
    QTest::newRow("user quote") << "postgresql://o%27brien@h/db" << refused << "사용자";
    QTest::newRow("user ; password") << "postgresql://a%20password%3Dx@h/db" << refused << "사용자";
    QTest::newRow("host ;") << "postgresql://h%3Bhost%3Devil/db" << refused << "";
    QTest::newRow("space") << "postgresql://h/my db" << refused << "";
    QTest::newRow("port 0") << "postgresql://h:0/db" << refused << "포트";
    QTest::newRow("no dbname") << "postgresql://h/" << refused << "데이터베이스 이름이 없습니다";
    QTest::newRow("fragment") << "postgresql://h/db#x" << refused << "꼴로";
}

void TestFoundation::serverAddress_fieldsOrRefused()
{
    QFETCH(QString, address);
    QFETCH(QString, parsed);
    QFETCH(QString, why);
    ServerAddress a;
    QString reason;
    const bool ok = a.parse(address, &reason);
    QVERIFY2(ok == !parsed.isEmpty(), qPrintable(reason));
    if (!ok) {
        QVERIFY2(!reason.isEmpty() && reason.contains(why), qPrintable(reason));
        return;
    }
    QCOMPARE(QStringList({a.user, a.host, QString::number(a.port), a.dbname, a.sslmode}).join(QLatin1Char('|')),
             parsed);
    QCOMPARE(a.connectOptions(), QStringLiteral("connect_timeout=5;application_name=tallox") +
                                     (a.sslmode.isEmpty() ? QString() : QStringLiteral(";sslmode=") + a.sslmode));
    // What is shown reads back as the same fields.
    ServerAddress again;
    QVERIFY(again.parse(a.display(), nullptr));
    QCOMPARE(again.display(), a.display());
}

void TestFoundation::folderChoice_commandLineNeverStored()
{
    TestEnv env;
    QSettings s(env.appFolder() + QStringLiteral("/s.ini"), QSettings::IniFormat);
    s.setValue(QStringLiteral("General/dbPath"), env.dbFolder());
    const QString other = env.appFolder() + QStringLiteral("/other");
    QDir().mkpath(other);
    QCOMPARE(Startup::ChooseDbFolder(other, s, QStringLiteral("/x/dbs")), other);
    QCOMPARE(s.value(QStringLiteral("General/dbPath")).toString(), env.dbFolder());
    // A command-line folder that does not exist is ignored: the stored one is used.
    QCOMPARE(Startup::ChooseDbFolder(QStringLiteral("/no/such/folder"), s, QStringLiteral("/x/dbs")), env.dbFolder());
}

void TestFoundation::folderChoice_missingStoredReplacedByDefault()
{
    TestEnv env;
    QSettings s(env.appFolder() + QStringLiteral("/s.ini"), QSettings::IniFormat);
    s.setValue(QStringLiteral("General/dbPath"), QStringLiteral("/no/longer/there"));
    const QString def = env.appFolder() + QStringLiteral("/dbs");
    QCOMPARE(Startup::ChooseDbFolder(QString(), s, def), def);
    QCOMPARE(s.value(QStringLiteral("General/dbPath")).toString(), def);
    // Nothing stored: the default, and it is stored.
    s.remove(QStringLiteral("General/dbPath"));
    QCOMPARE(Startup::ChooseDbFolder(QString(), s, def), def);
    QCOMPARE(s.value(QStringLiteral("General/dbPath")).toString(), def);
}

void TestFoundation::folderChoice_defaultItselfMissing()
{
    TestEnv env(QDate(2005, 6, 15), false);
    QSettings s(env.appFolder() + QStringLiteral("/s.ini"), QSettings::IniFormat);
    const QString def = env.appFolder() + QStringLiteral("/missing-dbs");
    s.setValue(QStringLiteral("General/dbPath"), def);
    // The stored value already is the default: kept, and opening it then fails.
    QCOMPARE(Startup::ChooseDbFolder(QString(), s, def), def);
    AppContext ctx;
    QVERIFY(!OpenBooksOrSay(ctx, def));
    QCOMPARE(MessageHook::shown().size(), 2);
    QCOMPARE(MessageHook::shown()[0].kind, QStringLiteral("error"));
    QCOMPARE(MessageHook::shown()[0].title, QStringLiteral("오류"));
    QVERIFY(MessageHook::shown()[0].text.startsWith(
        QStringLiteral("프로그램 수행도중 오류가 발생했습니다.\r\n오류번호 : ")));
    TALLOX_COMPARE_LAST_BOX("info", "Tallox",
                            QStringLiteral("데이터 베이스를 열 수 없습니다.\r\n\r\n") + def + "/dbTallox.db");
}

void TestFoundation::firstRun_createsBothFilesInDefaultOnly()
{
    TestEnv env(QDate(2005, 6, 15), false);
    const QString def = env.appFolder() + QStringLiteral("/dbs");
    const QString other = env.appFolder() + QStringLiteral("/other");
    QDir().mkpath(other);
    QVERIFY(Startup::EnsureDefaultDatabases(other, def));
    QVERIFY(!QFile::exists(other + "/dbTallox.db"));
    QVERIFY(Startup::EnsureDefaultDatabases(def, def));
    QVERIFY(QFile::exists(def + "/dbTallox.db"));
    QVERIFY(QFile::exists(def + "/Plastra.db"));
    AppContext ctx;
    QVERIFY(ctx.openFolder(def));
    // The schema: defaults 0 for the amounts, generated keys, the join through the attached card file.
    QCOMPARE(ctx.ledger.execute("INSERT INTO Tallox (sdate, cardcode) VALUES (?, ?)", {"2005-03-07", 3}), 1);
    QCOMPARE(ctx.ledger.scalar("SELECT sale + fee + billcoll FROM Tallox").toInt(), 0);
    QCOMPARE(ctx.card.execute("INSERT INTO Plastra (code, name, fee) VALUES (3, 'BC카드', 2.5)"), 1);
    QCOMPARE(
        ctx.ledger.scalar("SELECT b.name FROM Tallox a LEFT JOIN card.Plastra b ON a.cardcode = b.code").toString(),
        QStringLiteral("BC카드"));
    QCOMPARE(ctx.ledger.execute("INSERT INTO transfer (sMonth, amount, cardcode) VALUES ('2005-02', 0, 3)"), 1);
    QCOMPARE(ctx.ledger.execute("INSERT INTO transfer (sMonth, amount, cardcode) VALUES ('2005-02', 5, 3)"), -1);
}

void TestFoundation::openFolder_missingDamagedOrForeignFile()
{
    TestEnv env;
    env.ctx().closeAll();
    // A missing card database stops start-up just as a missing ledger does.
    QFile::remove(env.dbFolder() + "/Plastra.db");
    AppContext ctx;
    QVERIFY(!OpenBooksOrSay(ctx, env.dbFolder()));
    TALLOX_COMPARE_LAST_BOX("info", "Tallox",
                            QStringLiteral("데이터 베이스를 열 수 없습니다.\r\n\r\n") + env.dbFolder() + "/Plastra.db");
    QVERIFY(!ctx.ledger.isOpen());

    // A file that is not a database.
    QFile f(env.dbFolder() + "/Plastra.db");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    MessageHook::reset();
    QVERIFY(!OpenBooksOrSay(ctx, env.dbFolder()));
    QCOMPARE(MessageHook::shown().first().kind, QStringLiteral("error"));
    QVERIFY(MessageHook::shown().first().text.contains(QStringLiteral("오류번호 : 26")));

    // An empty ledger file (a database without Tallox's table) is named as such, not as an engine error.
    QVERIFY(QFile::remove(env.dbFolder() + "/Plastra.db") &&
            QFile::copy(env.dbFolder() + "/dbTallox.db", env.dbFolder() + "/Plastra.db"));
    QFile empty(env.dbFolder() + "/dbTallox.db");
    QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    MessageHook::reset();
    QVERIFY(OpenBooksOrSay(ctx, env.dbFolder()));
    QVERIFY(!UpgradeBooksOrSay(ctx));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("Tallox 원장 파일이 아닙니다.")));
    ctx.closeAll();
    Database look; // nothing was created in it
    QVERIFY(look.open(empty.fileName(), nullptr, false, true));
    QCOMPARE(look.scalar("SELECT count(*) FROM sqlite_master").toInt(), 0);
}

void TestFoundation::openForWindow_stopsAtAFailedStep_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("says");
    QTest::newRow("default folder cannot be made") << "default"
                                                   << "데이터베이스를 만들 수 없습니다";
    QTest::newRow("restore cannot be finished") << "restore"
                                                << "복원을 마칠 수 없습니다";
}

// Start-up stops, saying why, when the first run's databases cannot be made
// or a committed restore cannot be finished: no window on missing or old books.
void TestFoundation::openForWindow_stopsAtAFailedStep()
{
    QFETCH(QString, fault);
    QFETCH(QString, says);
    TestEnv env(QDate(2005, 6, 15), fault == "restore");
    QString folder = env.dbFolder();
    if (fault == "default") { // under a file: no folder can be made there
        QFile file(env.appFolder() + "/file");
        QVERIFY(file.open(QIODevice::WriteOnly));
        folder = file.fileName() + "/dbs";
    } else { // a restore's copy that cannot be renamed over the ledger
        env.ctx().closeAll();
        QVERIFY(QDir().mkpath(folder + "/dbTallox.db.restoring/x"));
        QFile mark(folder + "/tallox-restore.pending");
        QVERIFY(mark.open(QIODevice::WriteOnly));
    }
    BackupTask daily;
    QVERIFY(!OpenForWindow(folder, folder, &daily));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY2(MessageHook::shown()[0].text.contains(says), qPrintable(MessageHook::shown()[0].text));
}

void TestFoundation::openFolder_doesNotWriteIntoBadFile()
{
    TestEnv env;
    env.ctx().closeAll();
    const QString path = env.dbFolder() + "/dbTallox.db";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("not a database at all, but a shop's note");
    f.close();
    const QByteArray before = [&] {
        QFile r(path);
        r.open(QIODevice::ReadOnly);
        return r.readAll();
    }();
    AppContext ctx;
    QVERIFY(!ctx.openFolder(env.dbFolder()));
    QFile r(path);
    QVERIFY(r.open(QIODevice::ReadOnly));
    QCOMPARE(r.readAll(), before);
}

// Books that cannot be switched to the write-ahead log (here: another
// program holds a read on a file in rollback mode) are not opened for writing.
void TestFoundation::openForWriting_onlyWithTheWriteAheadLog()
{
    TestEnv env;
    env.ctx().closeAll();
    const QString path = env.dbFolder() + "/dbTallox.db";
    Database db;
    QVERIFY(db.open(path));
    QCOMPARE(db.scalar("PRAGMA journal_mode = DELETE").toString(), QString("delete"));
    db.close();
    Database reader;
    QVERIFY(reader.open(path, nullptr, false, true));
    QVERIFY(reader.execute("BEGIN") >= 0 && reader.scalar("SELECT count(*) FROM Tallox").isValid());
    ErrorInfo e;
    QVERIFY(!db.open(path, &e));
    QVERIFY(!db.isOpen());
    QCOMPARE(e.code, ErrorCode::Engine);
    QCOMPARE(e.engineCode, 5); // SQLITE_BUSY
    reader.close();
    QVERIFY(db.open(path));
    QCOMPARE(db.scalar("PRAGMA journal_mode").toString(), QString("wal"));
}

// Commits that fill the log past SQLite's automatic checkpoint (1000 pages)
// leave it to the caller once deferred; a passive checkpoint then copies it.
void TestFoundation::checkpoints_deferredUntilAsked()
{
    for (const bool deferred : {false, true}) {
        TestEnv env;
        Database& db = env.ctx().ledger;
        if (db.isServer())
            QSKIP("a server keeps no write-ahead log of its books");
        if (deferred)
            QVERIFY(db.deferCheckpoints());
        for (int i = 0; i < 1200; ++i)
            QVERIFY(db.execute("INSERT INTO Tallox (sdate, cardcode, sale) VALUES ('2005-05-01', 1, ?)", {i}) >= 0);
        // (busy, frames in the log, frames copied): a log copied along the way holds few frames.
        QSqlQuery q(db.handle());
        QVERIFY(q.exec("PRAGMA main.wal_checkpoint(PASSIVE)") && q.next());
        QCOMPARE(q.value(1).toInt() > 1100, deferred);
        QVERIFY(db.checkpointLog());
        QCOMPARE(db.scalar("SELECT count(*) FROM Tallox").toInt(), 1200);
    }
}

void TestFoundation::addField_cases()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    QVERIFY(!AddField_Dao(db, "NoSuchTable", "x", 4, 0, false, QString()));
    QVERIFY(MessageHook::shown().isEmpty());
    QVERIFY(!AddField_Dao(db, "tallox", "NUMSHEET", 4, 0, false, QString())); // present, any letter case
    db.execute("INSERT INTO Tallox (sdate, cardcode) VALUES ('2005-01-01', 1)");
    QVERIFY(AddField_Dao(db, "TALLOX", "memo", 10, 50, true, "UPDATE Tallox SET memo = 'x'"));
    QCOMPARE(db.scalar("SELECT memo FROM Tallox").toString(), QStringLiteral("x"));
    QVERIFY(!AddField_Dao(db, "Tallox", "Memo", 10, 50, true, "UPDATE Tallox SET memo = 'y'"));
    QCOMPARE(db.scalar("SELECT memo FROM Tallox").toString(), QStringLiteral("x"));
}

void TestFoundation::upgradeSchema_twiceOnOldFile()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    // An old ledger without the slip count.
    QVERIFY(db.execute("DROP TABLE Tallox") >= 0);
    QVERIFY(db.execute("CREATE TABLE Tallox (code INTEGER PRIMARY KEY AUTOINCREMENT, sdate TEXT, cardcode INTEGER,"
                       " sale INTEGER DEFAULT 0, fee INTEGER DEFAULT 0, billcoll INTEGER DEFAULT 0)") >= 0);
    db.execute("INSERT INTO Tallox (sdate, cardcode) VALUES ('2005-01-01', 1)");
    db.execute("INSERT INTO Tallox (sdate, cardcode) VALUES ('2005-01-02', 1)");
    UpgradeSchema(db);
    QCOMPARE(db.scalar("SELECT count(*) FROM Tallox WHERE numsheet = 1").toInt(), 2);
    db.execute("UPDATE Tallox SET numsheet = 5 WHERE code = 1");
    UpgradeSchema(db);
    QCOMPARE(db.scalar("SELECT numsheet FROM Tallox WHERE code = 1").toInt(), 5);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestFoundation::addField_readOnlyReportsAndContinues()
{
    TestEnv env;
    env.ctx().closeAll();
    Database& db = env.ctx().ledger;
    QVERIFY(db.open(env.dbFolder() + "/dbTallox.db"));
    QVERIFY(db.execute("DROP TABLE Tallox") >= 0);
    QVERIFY(db.execute("CREATE TABLE Tallox (code INTEGER PRIMARY KEY, sdate TEXT)") >= 0);
    db.close();
    QVERIFY(db.open(env.dbFolder() + "/dbTallox.db"));
    QVERIFY(db.execute("PRAGMA query_only = ON") >= 0); // every write now fails as on a read-only file
    ErrorInfo e;
    QVERIFY(!Say(AddField_Dao(db, "Tallox", "numsheet", 4, 0, false, "UPDATE Tallox SET numsheet = 1", &e), e));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown()[0].text.startsWith("Error "));
    QVERIFY(MessageHook::shown()[0].text.endsWith(") in procedure AddField_Dao of Module modMain"));
}

void TestFoundation::openSnapshot_messages()
{
    TestEnv env;
    QSqlQuery rs;
    ErrorInfo e;
    QVERIFY(Say(OpenSnapshot(env.ctx().ledger, rs, "SELECT count(*) FROM Tallox", {}, &e), e));
    QVERIFY(rs.next());
    QVERIFY(MessageHook::shown().isEmpty());

    QVERIFY(!Say(OpenSnapshot(env.ctx().ledger, rs, "SELECT * FROM NoTable", {}, &e), e));
    TALLOX_COMPARE_LAST_BOX("info", "Query", "Jet Data Base Engine의 식을 확인하세요.\rSELECT * FROM NoTable");
    QVERIFY(!Say(OpenSnapshot(env.ctx().ledger, rs, "SELECT nofield FROM Tallox", {}, &e), e));
    TALLOX_COMPARE_LAST_BOX("info", "Query", "Jet Data Base Engine의 식을 확인하세요.\rSELECT nofield FROM Tallox");
    QVERIFY(!Say(OpenSnapshot(env.ctx().ledger, rs, "SELEC 1", {}, &e), e));
    QCOMPARE(MessageHook::shown().last().title, QStringLiteral("ERROR"));
    QVERIFY(MessageHook::shown().last().text.endsWith("\rSELEC 1"));
    Database closed;
    QVERIFY(!Say(OpenSnapshot(closed, rs, "SELECT 1", {}, &e), e));
    TALLOX_COMPARE_LAST_BOX("info", "MDB 오류", "Data Base MDB가 선언되지 않았습니다.\rSELECT 1");
}

void TestFoundation::messageBoxes_textsAndIcons()
{
    TestEnv env;
    MsgInfo("a");
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "a");
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::Information);
    MsgWarn("b", "제목");
    TALLOX_COMPARE_LAST_BOX("warn", "제목", "b");
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::Warning);
    MsgError("c", {3022, "duplicate"});
    TALLOX_COMPARE_LAST_BOX("error", "오류", "c\r\n오류번호 : 3022\r\n오류내용 : duplicate");
    MsgProcError({5, "bad"}, "GetFee", "modMain");
    TALLOX_COMPARE_LAST_BOX("plain", "Tallox", "Error 5 (bad) in procedure GetFee of Module modMain");
    MsgProcError({5, "bad"}, "CalcBalance", "frmMain", true);
    TALLOX_COMPARE_LAST_BOX("plain", "Tallox", "Error 5 (bad) in procedure CalcBalance of Form frmMain");
    MessageHook::answer(MsgAnswer::Yes);
    QCOMPARE(MsgQuestion("q?", "삭제", true), MsgAnswer::Yes);
    TALLOX_COMPARE_LAST_BOX("question", "삭제", "q?");
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::Question);
    QVERIFY(MessageHook::unscripted().isEmpty());
    QCOMPARE(MsgQuestion("unasked"), MsgAnswer::No);
    QCOMPARE(MessageHook::unscripted(), QStringList{"unasked"});
    MessageHook::reset();
    QString answer;
    MessageHook::answerInput("12");
    QVERIFY(InputBox("p", "t", "10", &answer));
    QCOMPARE(answer, QStringLiteral("12"));
    MessageHook::cancelInput();
    QVERIFY(!InputBox("p", "t", "10", &answer));
}

void TestFoundation::errorCodes_wordedAsBefore_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("line");
    const auto row = [](const char* name, ErrorCode code, ErrorPlace place, const char* line) {
        QTest::newRow(name) << int(code) << int(place) << QString::fromUtf8(line);
    };
    using C = ErrorCode;
    using P = ErrorPlace;
    row("engine", C::Engine, P::None, "오류번호 5: x");
    row("no connection", C::NoConnection, P::None, "오류번호 91: Object variable or With block variable not set");
    row("no record", C::NoRecord, P::None, "오류번호 3021: No current record.");
    row("no such field", C::NoSuchField, P::None, "오류번호 3265: Item not found in this collection.");
    row("overflow", C::Overflow, P::None, "오류번호 6: Overflow");
    row("missing value", C::MissingValue, P::None, "오류번호 94: Invalid use of Null");
    row("no result", C::NoResult, P::None, "오류번호 5: no result");
    row("file access", C::FileAccess, P::None, "오류번호 75: Path/File access error");
    row("path", C::PathNotFound, P::None, "오류번호 76: Path not found");
    row("fee", C::TypeMismatch, P::Fee, "Error 13 (Type mismatch) in procedure GetFee of Module modMain");
    row("card names", C::Engine, P::CardNames, "Error 5 (x) in procedure FillPlastra of Module modMain_SQL");
    row("balances", C::TypeMismatch, P::PrevBalances,
        "Error 13 (Type mismatch) in procedure PrevBalancesByCard of Module modMain");
    row("balance", C::Engine, P::PrevBalance, "Error 5 (x) in procedure GetPrevBalance of Module modMain");
    row("next code", C::BadName, P::NextCode,
        "Error 1 (invalid table or field name) in procedure GetNextCode of Module modMain");
    row("add field", C::Engine, P::AddField, "Error 5 (x) in procedure AddField_Dao of Module modMain");
    row("upgrade", C::Engine, P::UpgradeSchema, "Error 5 (x) in procedure UpgradeSchema of Module modMain");
    row("read upgraded", C::Engine, P::ReadUpgraded, "Error 5 (x) in procedure ReadAsUpgraded of Module modMain");
    row("summary", C::Engine, P::SummaryLines, "Error 5 (x) in procedure LoadSumBillLines of Module modSumBill");
    row("monthly", C::Engine, P::MonthlySummary, "Error 5 (x) in procedure LoadMonthlySummary of Module modSumBill");
    row("ledger rows", C::Engine, P::LedgerRows, "Error 5 (x) in procedure RefreshSheet of Form frmMain");
    row("carry-over check", C::NoResult, P::CarryOverCheck,
        "Error 5 (no result) in procedure CheckPrevBalance of Form frmMain");
    row("carry-over shift", C::Engine, P::CarryOverShift, "Error 5 (x) in procedure CalcPrevBaln of Form frmMain");
    row("rebuild", C::Engine, P::Rebuild, "Error 5 (x) in procedure mnuTool_ReBaln_Click of Form frmMain");
}

// The program's own codes and the places of data routines are worded as the
// boxes and the command line have always worded them.
void TestFoundation::errorCodes_wordedAsBefore()
{
    QFETCH(int, code);
    QFETCH(int, place);
    QFETCH(QString, line);
    TestEnv env;
    ErrorInfo e = ErrorCode(code) == ErrorCode::Engine ? ErrorInfo(5, "x") : ErrorInfo(ErrorCode(code));
    QCOMPARE(e.code, ErrorCode(code));
    if (ErrorPlace(place) != ErrorPlace::None)
        e = e.at(ErrorPlace(place));
    QCOMPARE(ErrorLine(e), line);
    ShowError(e);
    QVERIFY(MessageHook::shown().last().text.contains(ErrorPlace(place) == ErrorPlace::None ? e.description : line));
}

void TestFoundation::checkRequired_zeroAndFocus()
{
    TestEnv env;
    QLineEdit edit;
    edit.setText("0");
    QVERIFY(!CheckRequired(&edit, "카드명", false));
    QVERIFY(CheckRequired(&edit, "카드명", true));
    TALLOX_COMPARE_LAST_BOX("info", "필수입력", "[카드명]은(는) 필수 입력 사항입니다.");
    edit.clear();
    edit.setEnabled(false);
    QVERIFY(CheckRequired(&edit, QString(), false));
    TALLOX_COMPARE_LAST_BOX("info", "필수입력", "필수 입력사항을 입력하지 않았습니다.");
    QVERIFY(!edit.hasFocus());
}

void TestFoundation::lock_garbageRecoveredUnwritableReported_data()
{
    QTest::addColumn<QString>("owner"); // what the lock file names (LockFileContent); "-": unwritable folder
    QTest::addColumn<bool>("books");    // the books lock, else the application folder's tallox.lock
    QTest::addColumn<int>("status");
    using S = Startup::LockStatus;
    for (const bool books : {false, true}) {
        const char* file = books ? "books lock" : "tallox.lock";
        for (const char* owner : {"empty", "garbage", "gone", "other"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(file, owner))) << owner << books << int(S::Acquired);
        QTest::newRow(qPrintable(QStringLiteral("%1, live").arg(file))) << "live" << books << int(S::HeldByOther);
        QTest::newRow(qPrintable(QStringLiteral("%1, unwritable").arg(file))) << "-" << books << int(S::CannotWrite);
    }
}

// The locks the window takes at start-up: one that names no live owner is
// taken at once, however fresh the file.
void TestFoundation::lock_garbageRecoveredUnwritableReported()
{
    QFETCH(QString, owner);
    QFETCH(bool, books);
    QFETCH(int, status);
    TestEnv env;
    const QString folder = env.appFolder() + (books ? QStringLiteral("/books") : QStringLiteral("/app2"));
    QVERIFY(QDir().mkpath(folder));
    const QString file = books ? Startup::BooksLockFile(folder) : Startup::InstanceLockFile(folder);
    QProcess other;
    if (owner == QLatin1String("-")) {
        // A file where the folder should be: nothing can be created in it, even as root.
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(LockFileContent(owner, &other));
        old.close();
    }
    std::unique_ptr<QLockFile> lock;
    QCOMPARE(int(Startup::AcquireLock(file, &lock)), status);
    QCOMPARE(bool(lock), status == int(Startup::LockStatus::Acquired));
    QCOMPARE(QFileInfo::exists(file), owner != QLatin1String("-"));
    // A live owner is never broken.
    std::unique_ptr<QLockFile> second;
    if (lock)
        QCOMPARE(int(Startup::AcquireLock(file, &second)), int(Startup::LockStatus::HeldByOther));
    other.kill();
    other.waitForFinished();
}

void TestFoundation::instanceLock_secondRefusedStaleRecovered()
{
    TestEnv env;
    std::unique_ptr<QLockFile> first(Startup::AcquireInstanceLock(env.appFolder()));
    QVERIFY(first);
    std::unique_ptr<QLockFile> second(Startup::AcquireInstanceLock(env.appFolder()));
    QVERIFY(!second);
    first.reset();
    // A lock left by a run that crashed: its process no longer exists.
    QFile stale(env.appFolder() + "/tallox.lock");
    QVERIFY(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
    stale.write("999999\ntallox\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    std::unique_ptr<QLockFile> third(Startup::AcquireInstanceLock(env.appFolder()));
    QVERIFY(third);
}

void TestFoundation::caption_hasVersionAndPath()
{
    // The product once, without the maker.
    QCOMPARE(frmMain::Caption("/d/dbTallox.db"), QStringLiteral("Tallox Ver.1.0.0 (/d/dbTallox.db)"));
    // The maker's name does not move the settings file.
    QVERIFY2(UserSettings()->fileName().endsWith(QStringLiteral("/Tallox/Tallox.conf")),
             qPrintable(UserSettings()->fileName()));
}

void TestFoundation::qtTranslations_koreanButtons()
{
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ko.qm");
    if (!QFile::exists(qm))
        QSKIP(qPrintable(qm + QStringLiteral(" is missing (Debian package qt6-translations-l10n)")));
    QVERIFY(InstallQtTranslations());
    // The standard buttons of every message box and dialog box.
    for (const char* text : {"&Yes", "&No", "OK", "Cancel"}) {
        const QString shown = QCoreApplication::translate("QPlatformTheme", text);
        QVERIFY2(shown != QLatin1String(text), text);
        QVERIFY2(shown.contains(QRegularExpression(QStringLiteral("[\\x{AC00}-\\x{D7A3}]"))), qPrintable(shown));
    }
}

QTEST_MAIN(TestFoundation)
#include "tst_foundation.moc"

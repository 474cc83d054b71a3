#include "TestSupport.h"

#include "app/CommandLine.h"
#include "data/base/Clock.h"
#include "data/books/AppPaths.h"
#include "data/books/Backup.h"
#include "data/ledger/LedgerStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSqlQuery>
#include <QThread>
#include <atomic>

namespace {
QByteArray checksum(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5) : QByteArray();
}

// Stores entries through LedgerStore on a connection of its own until told to stop.
class Writer : public QThread {
public:
    explicit Writer(const QString& folder) : m_folder(folder) {}
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};

protected:
    void run() override
    {
        AppContext ctx;
        if (!ctx.openFolder(m_folder))
            return;
        LedgerStore store(ctx.ledger);
        for (int i = 0; !stop; ++i) {
            int key = 0;
            const QString day = QStringLiteral("2005-%1-%2")
                                    .arg(3 + i % 4, 2, 10, QLatin1Char('0'))
                                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
            if (!store.InsertRecord(day, 1 + i % 2, &key) ||
                !store.RecordEditCol(key, QStringLiteral("sale"), QString::number(1000 + i)))
                return;
            ++written;
        }
    }

private:
    QString m_folder;
};

struct Books {
    qint64 entries;
    QByteArray sum;
};

// A folder as rotation finds a backup: named for its moment, with a description.
bool fakeBackup(const QString& path)
{
    QFile d(path + "/tallox-backup.ini");
    return QDir().mkpath(path) && d.open(QIODevice::WriteOnly) && d.write("[backup]\n[rows]\nledger.Tallox=0\n") > 0;
}

// The entry itself, a link whether or not its target is there.
bool present(const QString& path)
{
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void takenWhileWriting_isConsistent();
    void editWhileSnapshotHeld_goesThroughAndStaysOut();
    void rotation_keepsThePromisedSet_data();
    void rotation_keepsThePromisedSet();
    void rotation_neverLeavesTheBackupFolder_data();
    void rotation_neverLeavesTheBackupFolder();
    void rotation_trustsNoClock_data();
    void rotation_trustsNoClock();
    void restore_roundTrip();
    void restore_overDamagedBooks();
    void restore_refusesWhatIsNoWholeBackup_data();
    void restore_refusesWhatIsNoWholeBackup();
    void killed_leavesOldOrNew_data();
    void killed_leavesOldOrNew();
    void killedRestore_thenCommand_data();
    void killedRestore_thenCommand();
    void kinds_saidInTheList_data();
    void kinds_saidInTheList();
    void unwritableFolders_warnAndListNothingHalf_data();
    void unwritableFolders_warnAndListNothingHalf();

private:
    QString root() const { return Backup::DefaultRoot(); }
    QStringList liveFiles() const
    {
        return {AppPaths::ledgerDbFile(m_env->dbFolder()), AppPaths::cardDbFile(m_env->dbFolder())};
    }
    Books books();
    BackupInfo take();
    std::unique_ptr<TestEnv> m_env;
};

void TestBackup::init()
{
    m_env = std::make_unique<TestEnv>();
    m_env->addCard(1, QStringLiteral("BC카드"));
    m_env->addCard(2, QStringLiteral("신한카드"));
    m_env->addEntry("2005-03-10", 1, 1000);
    m_env->addEntry("2005-05-03", 2, 500);
    QVERIFY(LedgerStore(m_env->ctx().ledger).ReBaln());
    Backup::SetStopAt(QString());
}

void TestBackup::cleanup()
{
    Backup::SetStopAt(QString());
    m_env.reset();
}

// The entries and a checksum of both files, read with the books closed.
Books TestBackup::books()
{
    m_env->ctx().closeAll();
    AppContext look;
    Books b{-1, {}};
    if (look.openFolder(m_env->dbFolder(), nullptr, true))
        b.entries = look.ledger.scalar("SELECT count(*) FROM Tallox").toLongLong();
    look.closeAll();
    b.sum = checksum(liveFiles()[0]) + checksum(liveFiles()[1]);
    return b;
}

BackupInfo TestBackup::take()
{
    BackupInfo made;
    ErrorInfo e;
    if (!Backup::Take(m_env->dbFolder(), root(), true, &made, &e))
        qWarning("backup failed: %s", qPrintable(ErrorLine(e)));
    return made;
}

void TestBackup::takenWhileWriting_isConsistent()
{
    Writer writer(m_env->dbFolder());
    writer.start();
    QTRY_VERIFY(writer.written > 20);
    const BackupInfo made = take();
    const int during = writer.written;
    QTRY_VERIFY(writer.written > during + 20); // the writer was never blocked for good
    writer.stop = true;
    writer.wait();
    QVERIFY(!made.path.isEmpty());
    QVERIFY(made.entries > 2);
    BackupInfo verified;
    ErrorInfo e;
    QVERIFY2(Backup::Verify(made.path, &verified, &e), qPrintable(ErrorLine(e)));
    AppContext copy;
    QVERIFY(copy.openFolder(made.path, nullptr, true));
    QVERIFY(LedgerStore(copy.ledger).CheckCarryOver().clean());
    QCOMPARE(copy.ledger.scalar("SELECT count(*) FROM Tallox").toLongLong(), made.entries);
}

// An edit stored while the backup holds its snapshot does not wait for it
// (with a rollback journal it would wait out the busy timeout and fail), and
// is not in the backup.
void TestBackup::editWhileSnapshotHeld_goesThroughAndStaysOut()
{
    bool stored = false;
    qint64 tookMs = -1;
    BackupInfo made;
    QVERIFY(Backup::Take(m_env->dbFolder(), root(), true, &made, nullptr, [&] {
        QElapsedTimer t;
        t.start();
        stored = m_env->ctx().ledger.execute("UPDATE Tallox SET sale = sale + 10000 WHERE sdate = '2005-03-10'") == 1;
        tookMs = t.elapsed();
    }));
    QVERIFY(stored);
    QVERIFY2(tookMs < 1000, qPrintable(QString::number(tookMs)));
    AppContext copy;
    QVERIFY(copy.openFolder(made.path, nullptr, true));
    QCOMPARE(copy.ledger.scalar("SELECT sale FROM Tallox WHERE sdate = '2005-03-10'").toLongLong(),
             Money::fromWon(1000).units());
}

void TestBackup::rotation_keepsThePromisedSet_data()
{
    QTest::addColumn<int>("days");       // simulated days from 2024-01-01, two backups each (09:00, 18:30)
    QTest::addColumn<int>("kept");       // backups left after the last day's rotation
    QTest::addColumn<QString>("oldest"); // the oldest one left
    QTest::newRow("1 day") << 1 << 2 << "20240101-090000";
    QTest::newRow("7 days: all") << 7 << 14 << "20240101-090000";
    QTest::newRow("8 days") << 8 << 15 << "20240101-183000";
    QTest::newRow("31 days") << 31 << 38 << "20240101-183000";
    QTest::newRow("200 days") << 200 << 63 << "20240107-183000";
    QTest::newRow("800 days") << 800 << 79 << "20240131-183000";
}

// Each simulated day takes two backups and rotates; what is left must be what
// the rule keeps of all backups ever taken: every one of the last 7 days; the
// newest of its day until its week is 30 days old; then the newest of its week
// (the last day of the week) until its month is 6 months old; then the newest
// of its month (its last day) for 5 years.
void TestBackup::rotation_keepsThePromisedSet()
{
    QFETCH(int, days);
    QFETCH(int, kept);
    QFETCH(QString, oldest);
    const QDate first(2024, 1, 1);
    const QDate last = first.addDays(days - 1);
    QDir().mkpath(root());
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        for (const char* time : {"090000", "183000"})
            QVERIFY(fakeBackup(root() + "/" + d.toString("yyyyMMdd-") + time));
        Clock::setNow(QDateTime(d, QTime(18, 30))); // after the day's last backup
        QVERIFY(Backup::Rotate(root()));
    }
    QStringList left;
    for (const BackupInfo& b : Backup::List(root()))
        left.prepend(b.name);
    QCOMPARE(left.size(), kept);
    QCOMPARE(left.constFirst(), oldest);

    const auto monthEnd = [](const QDate& d) { return QDate(d.year(), d.month(), d.daysInMonth()); };
    const auto weekEnd = [&](const QDate& d) { return d.day() > 21 ? monthEnd(d) : d.addDays(6 - (d.day() - 1) % 7); };
    QStringList expected;
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        if (d.daysTo(last) < 7)
            expected << d.toString("yyyyMMdd-090000");
        const bool daily = weekEnd(d).daysTo(last) < 30;
        const bool weekly = !daily && monthEnd(d) > last.addMonths(-6) && d == weekEnd(d);
        const bool monthly = monthEnd(d) <= last.addMonths(-6) && monthEnd(d) > last.addYears(-5) && d == monthEnd(d);
        if (daily || weekly || monthly)
            expected << d.toString("yyyyMMdd-183000");
    }
    QCOMPARE(left, expected);
}

void TestBackup::rotation_neverLeavesTheBackupFolder_data()
{
    QTest::addColumn<QString>("entry"); // beside 10 newer backups, so that rotation would take a backup of its age
    QTest::addColumn<QString>("kind");  // link: to a folder outside; folder: someone's; file; backup: holding a
                                        // link outside; part: a leftover of a version that wrote no mark
    QTest::addColumn<bool>("second");   // in the second backup folder
    QTest::addColumn<bool>("removed");
    const auto row = [](const char* name, const char* entry, const char* kind, bool removed) {
        for (const bool second : {false, true})
            QTest::newRow(qPrintable(QString(name) + (second ? ", second folder" : "")))
                << QString(entry) << QString(kind) << second << removed;
    };
    row("link named like a backup", "20100101-000000", "link", false);
    row("link named like a leftover", ".part-x", "link", false);
    row("folder without description", "20100101-000000", "folder", false);
    row("someone's .part- folder", ".part-x", "folder", false);
    row("file named like a backup", "20100101-000000", "file", false);
    row("old backup holding a link", "20100101-000000", "backup", true);
    row("leftover of an older version", ".part-20100101-000000", "part", true);
}

// Rotation and the clean-up of leftovers take only what Tallox made: never a
// link, never through one, never anything outside the backup folder.
void TestBackup::rotation_neverLeavesTheBackupFolder()
{
    QFETCH(QString, entry);
    QFETCH(QString, kind);
    QFETCH(bool, second);
    QFETCH(bool, removed);
    Clock::setToday(QDate(2024, 6, 1));
    const QString outside = m_env->appFolder() + "/outside";
    const QString where = second ? m_env->appFolder() + "/second" : root();
    const QString path = where + "/" + entry;
    QFile keep(outside + "/keep.txt");
    QVERIFY(QDir().mkpath(outside) && QDir().mkpath(where) && keep.open(QIODevice::WriteOnly));
    keep.write("shop");
    keep.close();
    for (int i = 0; i < 10; ++i)
        QVERIFY(fakeBackup(where + QString("/20240520-1000%1").arg(i, 2, 10, QLatin1Char('0'))));
    if (kind == "link")
        QVERIFY(QFile::link(outside, path));
    if (kind == "backup")
        QVERIFY(fakeBackup(path) && QFile::link(outside, path + "/outside"));
    QFile file(kind == "file" ? path : path + (kind == "part" ? "/dbTallox.db" : "/notes.txt"));
    QVERIFY(kind == "link" || kind == "backup" ||
            (QDir().mkpath(kind == "file" ? where : path) && file.open(QIODevice::WriteOnly) && file.write("x") == 1));
    file.close();

    Backup::SetSecondRoot(m_env->appFolder() + "/second");
    QVERIFY(QDir().mkpath(Backup::SecondRoot()));
    const BackupRun run = Backup::TakeEverywhere(m_env->dbFolder());
    Backup::SetSecondRoot(QString());
    QVERIFY2(run.ok(), qPrintable(run.problems.join("; ")));
    QCOMPARE(run.made.size(), 2);
    QVERIFY(keep.open(QIODevice::ReadOnly));
    QCOMPARE(keep.readAll(), QByteArray("shop"));
    QCOMPARE(present(path), !removed);
    for (const BackupInfo& b : Backup::List(where))
        QVERIFY(b.name != entry || kind == "folder");
}

void TestBackup::rotation_trustsNoClock_data()
{
    QTest::addColumn<QDate>("first"); // one backup a day at 09:00 from here
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("extra"); // one more; empty: none
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("rotated"); // false: nothing removed, and a warning
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("oldest");
    const QDateTime june(QDate(2024, 6, 1), QTime(12, 0));
    const QDate may18(2024, 5, 18);
    const QDate y2010(2010, 1, 1);
    QTest::newRow("clock 6 years ahead") << may18 << 15 << "20300601-120000" << june.addYears(6) << true << 10
                                         << "20240524-090000";
    QTest::newRow("clock before the newest backup")
        << may18 << 15 << "" << june.addDays(-3) << false << 15 << "20240518-090000";
    QTest::newRow("a future backup among others")
        << QDate(2024, 4, 3) << 60 << "20300601-120000" << june << false << 61 << "20240403-090000";
    QTest::newRow("12 backups older than 5 years") << y2010 << 12 << "" << june << true << 10 << "20100103-090000";
    QTest::newRow("named a second ahead (two in one second)")
        << y2010 << 12 << "20240601-120001" << june << true << 10 << "20100104-090000";
}

// The newest 10 outlive any clock, and a backup dated after the clock stops
// rotation: the clock is wrong now or was then, so no age can be trusted.
void TestBackup::rotation_trustsNoClock()
{
    QFETCH(QDate, first);
    QFETCH(int, days);
    QFETCH(QString, extra);
    QFETCH(QDateTime, now);
    QFETCH(bool, rotated);
    QFETCH(int, left);
    QFETCH(QString, oldest);
    for (int i = 0; i < days; ++i)
        QVERIFY(fakeBackup(root() + first.addDays(i).toString("/yyyyMMdd-090000")));
    QVERIFY(extra.isEmpty() || fakeBackup(root() + "/" + extra));
    Clock::setNow(now);
    ErrorInfo e;
    QCOMPARE(Backup::Rotate(root(), &e), rotated);
    QCOMPARE(ErrorLine(e).contains("시계"), !rotated);
    const QList<BackupInfo> all = Backup::List(root());
    QCOMPARE(all.size(), left);
    QCOMPARE(all.constLast().name, oldest);
    QCOMPARE(Backup::InFuture(all.constFirst()), !rotated);
}

void TestBackup::restore_roundTrip()
{
    const BackupInfo before = take();
    QCOMPARE(before.entries, 2);
    QCOMPARE(before.lastEntry, QString("2005-05-03"));
    m_env->addEntry("2005-06-01", 1, 700);
    m_env->ctx().closeAll();
    ErrorInfo e;
    QVERIFY2(Backup::RestoreWithBackup(m_env->dbFolder(), before.path, &e), qPrintable(ErrorLine(e)));
    QCOMPARE(books().entries, 2);
    // The state it replaced was backed up first.
    const QList<BackupInfo> all = Backup::List(root());
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.constFirst().entries, 3);
    QVERIFY(Backup::Verify(all.constFirst().path, nullptr, &e));
    for (const QString& live : liveFiles())
        QVERIFY(!QFileInfo::exists(live + ".restoring"));
}

// Damaged books cannot be backed up: they are kept as found, then replaced.
void TestBackup::restore_overDamagedBooks()
{
    const BackupInfo good = take();
    m_env->ctx().closeAll();
    QFile ledger(liveFiles()[0]);
    QVERIFY(ledger.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ledger.write(QByteArray(8192, 'x'));
    ledger.close();
    const QByteArray damaged = checksum(liveFiles()[0]);
    ErrorInfo e;
    QVERIFY2(Backup::RestoreWithBackup(m_env->dbFolder(), good.path, &e), qPrintable(ErrorLine(e)));
    QCOMPARE(books().entries, 2);
    const QStringList kept = QDir(root()).entryList({"*-as-found"}, QDir::Dirs);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(checksum(root() + "/" + kept[0] + "/dbTallox.db"), damaged);
    QCOMPARE(Backup::List(root()).size(), 1);
}

void TestBackup::restore_refusesWhatIsNoWholeBackup_data()
{
    QTest::addColumn<QString>("damage"); // "ledger: SQL" or "card: SQL": run on that copy, then the description
                                         // written anew to match, as a hand-made folder would have it
    QTest::addColumn<QString>("says");
    const auto row = [](const char* name, const char* damage, const char* says) {
        QTest::newRow(name) << QString::fromUtf8(damage) << QString::fromUtf8(says);
    };
    row("damaged page", "page", "손상");
    row("truncated ledger", "truncate", "dbTallox.db");
    row("rows missing", "rows", "자료 수");
    row("no description", "description", "Tallox 백업이 아닙니다");
    row("ledger is no SQLite file", "foreign", "열 수 없습니다");
    row("card file is no SQLite file", "foreignCard", "Plastra.db");
    row("card file missing", "card", "Plastra.db");
    row("another program's ledger table", "ledger: DROP TABLE Tallox; CREATE TABLE Tallox (x)",
        "Tallox 원장 파일이 아닙니다");
    row("no carry-over table", "ledger: DROP TABLE transfer", "transfer 표가 없습니다");
    row("card table lacks a column", "card: ALTER TABLE Plastra DROP COLUMN setday", "setday");
    row("newer ledger", "ledger: PRAGMA user_version = 2", "버전 2");
    row("newer card file", "card: PRAGMA user_version = 9", "버전 9");
    row("history of another shape", "ledger: DROP TABLE history; CREATE TABLE history (id INTEGER PRIMARY KEY)",
        "history 표에 at 열이 없습니다");
}

// A folder that is no whole backup of books Tallox can use is refused by
// --restore before anything is done: the books stay byte for byte, and no
// backup of them, copy or mark is left.
void TestBackup::restore_refusesWhatIsNoWholeBackup()
{
    QFETCH(QString, damage);
    QFETCH(QString, says);
    for (int i = 0; i < 300; ++i) // a few pages, so that a page in the middle can be damaged
        m_env->addEntry("2005-04-01", 1, 10 + i);
    const BackupInfo made = take();
    const QString ledger = AppPaths::ledgerDbFile(made.path);
    QFile f(ledger);
    if (damage == "page" && f.open(QIODevice::ReadWrite)) { // every page but the schema's
        for (qint64 page = 4096; page < f.size(); page += 4096) {
            f.seek(page + 8);
            f.write(QByteArray(400, '\x5a'));
        }
        f.close();
    }
    if (damage == "truncate")
        QVERIFY(f.resize(f.size() / 2));
    if (damage == "rows") {
        Database db;
        QVERIFY(db.open(ledger));
        QVERIFY(db.execute("DELETE FROM Tallox WHERE code = 1") == 1);
    }
    if (damage == "description")
        QVERIFY(QFile::remove(made.path + "/tallox-backup.ini"));
    for (const QString& file : {ledger, AppPaths::cardDbFile(made.path)}) {
        QFile other(file);
        if (damage == (file == ledger ? "foreign" : "foreignCard") && other.open(QIODevice::WriteOnly)) {
            other.write(QByteArray(8192, 'x'));
            other.close();
        }
    }
    if (damage == "card")
        QVERIFY(QFile::remove(AppPaths::cardDbFile(made.path)));
    if (damage.contains(':')) {
        const QString file = damage.section(':', 0, 0);
        QSettings ini(made.path + "/tallox-backup.ini", QSettings::IniFormat);
        ini.beginGroup("rows");
        ini.remove("");
        for (const QString& path : {ledger, AppPaths::cardDbFile(made.path)}) {
            const QString prefix = path == ledger ? "ledger" : "card";
            Database db;
            QVERIFY(db.open(path));
            for (const QString& sql : damage.section(':', 1).split(';'))
                QVERIFY2(prefix != file || db.execute(sql) >= 0, qPrintable(sql));
            QSqlQuery q = db.newQuery();
            q.exec("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'");
            while (q.next())
                ini.setValue(prefix + "." + q.value(0).toString(),
                             db.scalar("SELECT count(*) FROM " + q.value(0).toString()));
        }
    }
    const Books before = books();
    const CommandRun r = RunTallox({m_env->dbFolder(), "--restore", made.path});
    QCOMPARE(r.status, int(ExitDatabase));
    QVERIFY2(r.err.contains(says), qPrintable(r.err));
    QCOMPARE(books().sum, before.sum);
    for (const QString& live : liveFiles())
        QVERIFY(!QFileInfo::exists(live + ".restoring"));
    QVERIFY(!Backup::RestorePending(m_env->dbFolder()));
    QCOMPARE(Backup::List(root()).size(), 1);
}

void TestBackup::killed_leavesOldOrNew_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("restoring");
    QTest::addColumn<bool>("replaced"); // after the next start the books are the backup's
    QTest::newRow("backup: copied") << "copied" << false << false;
    QTest::newRow("backup: checked") << "checked" << false << false;
    QTest::newRow("restore: copies beside") << "beside" << true << false;
    QTest::newRow("restore: committed") << "committed" << true << true;
    QTest::newRow("restore: ledger renamed") << "ledger" << true << true;
}

// A backup or restore stopped at a step as if killed there, then what the next
// start does: the books are whole, either as they were or as the backup had
// them, and no unfinished backup is listed or left.
void TestBackup::killed_leavesOldOrNew()
{
    QFETCH(QString, step);
    QFETCH(bool, restoring);
    QFETCH(bool, replaced);
    const BackupInfo old = take();
    m_env->addEntry("2005-06-01", 1, 700);
    const Books now = books();
    Backup::SetStopAt(step);
    ErrorInfo e;
    if (restoring)
        QVERIFY(!Backup::Restore(m_env->dbFolder(), old.path, &e));
    else
        QVERIFY(!Backup::Take(m_env->dbFolder(), root(), true, nullptr, &e));
    Backup::SetStopAt(QString());
    QCOMPARE(Backup::List(root()).size(), 1);

    QVERIFY(Backup::FinishPendingRestore(m_env->dbFolder(), &e));
    QCOMPARE(books().entries, replaced ? old.entries : now.entries);
    for (const QString& live : liveFiles()) {
        Database db;
        QVERIFY(db.open(live, nullptr, false, true));
        QCOMPARE(db.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        QVERIFY(!QFileInfo::exists(live + ".restoring"));
    }
    QVERIFY(!take().path.isEmpty());
    QCOMPARE(QDir(root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
}

void TestBackup::killedRestore_thenCommand_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("command"); // SALES: a file to import, OUT: an output file
    for (const char* step : {"beside", "committed", "ledger"}) {
        for (const char* command :
             {"--import SALES", "--rebuild", "--check", "--export-summary 0101 1231 OUT", "--backup"})
            QTest::newRow(qPrintable(QStringLiteral("%1, then %2").arg(step, QString(command).section(' ', 0, 0))))
                << QString(step) << QString(command);
    }
}

// A restore killed before its copies were checked ("beside"), after its
// commit mark, or between its two renames; then a command. A writer finishes
// or undoes the restore first, and what it stores stays after the next start.
// A reader reads whole books, or refuses and says how to finish, reading and
// writing nothing. The ledger and the card file are always of one state.
void TestBackup::killedRestore_thenCommand()
{
    QFETCH(QString, step);
    QFETCH(QString, command);
    const BackupInfo old = take();
    // The books move on in both files, so that files of two states can be told apart.
    m_env->addEntry("2005-06-01", 1, 700);
    QCOMPARE(m_env->ctx().card.execute("UPDATE Plastra SET name = 'BC카드 new' WHERE code = 1"), 1);
    m_env->ctx().closeAll();
    Backup::SetStopAt(step);
    ErrorInfo e;
    QVERIFY(!Backup::Restore(m_env->dbFolder(), old.path, &e));
    Backup::SetStopAt(QString());
    const bool committed = step != "beside";
    const bool writer = command == "--rebuild" || command.startsWith("--import");

    QFile sales(m_env->appFolder() + "/sales.csv");
    QVERIFY(sales.open(QIODevice::WriteOnly));
    sales.write("일자,카드명,매출액\n2005-06-14,신한카드,4000\n");
    sales.close();
    const QString out = m_env->appFolder() + "/out.xlsx";
    command.replace("SALES", sales.fileName()).replace("OUT", out);
    const QByteArray files = FileChecksum(liveFiles()[0]) + FileChecksum(liveFiles()[1]);
    const int backups = Backup::List(root()).size();
    const CommandRun r = RunTallox(QStringList{m_env->dbFolder()} + command.split(' '));
    if (writer || !committed) {
        QVERIFY2(r.status == ExitOk, qPrintable(r.out + r.err));
    } else {
        QVERIFY(r.status != ExitOk);
        QVERIFY2(r.err.contains("복원이 끝나지 않은") && r.err.contains("--rebuild"), qPrintable(r.err));
        QCOMPARE(FileChecksum(liveFiles()[0]) + FileChecksum(liveFiles()[1]), files);
        QVERIFY(!QFileInfo::exists(out));
        QCOMPARE(Backup::List(root()).size(), backups);
    }

    QVERIFY2(Backup::FinishPendingRestore(m_env->dbFolder(), &e), qPrintable(ErrorLine(e))); // the next start
    AppContext look;
    QVERIFY2(look.openFolder(m_env->dbFolder(), &e, true), qPrintable(ErrorLine(e)));
    for (Database* db : {&look.ledger, &look.card})
        QCOMPARE(db->scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(look.ledger.scalar("SELECT count(*) FROM Tallox WHERE sdate = '2005-06-01'").toInt(), committed ? 0 : 1);
    QCOMPARE(look.card.scalar("SELECT name FROM Plastra WHERE code = 1").toString(),
             committed ? QString("BC카드") : QString("BC카드 new"));
    if (command.startsWith("--import"))
        QCOMPARE(look.ledger.scalar("SELECT count(*) FROM Tallox WHERE sdate = '2005-06-14'").toInt(), 1);
    if (writer)
        QVERIFY(LedgerStore(look.ledger).CheckCarryOver().clean());
    for (const QString& live : liveFiles())
        QVERIFY(!QFileInfo::exists(live + ".restoring"));
}

void TestBackup::unwritableFolders_warnAndListNothingHalf_data()
{
    QTest::addColumn<QString>("second"); // the second folder, under the test folder
    QTest::addColumn<QString>("says");
    QTest::newRow("missing") << "usb/stick"
                             << "백업 폴더가 없습니다";
    QTest::newRow("a file") << "file"
                            << "폴더가 아닙니다";
}

// The second folder cannot take the copy: the default folder still gets its
// backup, the round names the folder, and the folder holds nothing half made.
void TestBackup::unwritableFolders_warnAndListNothingHalf()
{
    QFETCH(QString, second);
    QFETCH(QString, says);
    const QString path = m_env->appFolder() + "/" + second;
    QFile file(m_env->appFolder() + "/file");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Backup::SetSecondRoot(path);
    const BackupRun run = Backup::TakeEverywhere(m_env->dbFolder());
    Backup::SetSecondRoot(QString());
    QCOMPARE(run.made.size(), 1);
    QCOMPARE(run.problems.size(), 1);
    QVERIFY2(run.problems[0].contains(says) && run.problems[0].contains(path), qPrintable(run.problems[0]));
    QVERIFY(Backup::List(path).isEmpty());
    QCOMPARE(Backup::List(root()).size(), 1);
    QCOMPARE(Backup::List(root(), m_env->dbFolder() + "/").size(), 1);
    QVERIFY(Backup::List(root(), m_env->appFolder()).isEmpty()); // other books
    QVERIFY(!Backup::DueToday(m_env->dbFolder()));
    QVERIFY(Backup::DueToday(m_env->appFolder()));
    // A named folder for the whole round: nothing is made anywhere.
    QVERIFY(!Backup::TakeEverywhere(m_env->dbFolder(), path).ok());
    QCOMPARE(Backup::List(root()).size(), 1);
}

// Every way a backup is taken says its kind, which the list shows; an older
// description without one still lists, without a kind.
void TestBackup::kinds_saidInTheList_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("manual") << "manual" << int(BackupKind::Manual) << "직접 백업";
    QTest::newRow("daily") << "daily" << int(BackupKind::Daily) << "매일 백업";
    QTest::newRow("--rebuild") << "--rebuild" << int(BackupKind::BeforeRebuild) << "잔액 재정리 전";
    QTest::newRow("--restore") << "--restore" << int(BackupKind::BeforeRestore) << "복원 전";
    QTest::newRow("--import") << "--import" << int(BackupKind::BeforeImport) << "자료 가져오기 전";
    QTest::newRow("older description") << "older" << int(BackupKind::Unknown) << "자료 2건 · 마지막 자료 2005-05-03";
}

void TestBackup::kinds_saidInTheList()
{
    QFETCH(QString, how);
    QFETCH(int, kind);
    QFETCH(QString, said);
    const QString folder = m_env->dbFolder();
    const BackupInfo first = take(); // a manual one, for the restore
    QThread::sleep(1);               // backups are named by the second
    m_env->ctx().closeAll();
    const QString csv = m_env->appFolder() + "/in.csv";
    QFile in(csv);
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write("일자,카드명,매출액\n2005-06-01,BC카드,100\n") > 0);
    in.close();
    if (how == "daily")
        QVERIFY(Backup::TakeEverywhere(folder, QString(), true, {}, BackupKind::Daily).ok());
    else if (how == "older")
        QVERIFY(QSettings(first.path + "/tallox-backup.ini", QSettings::IniFormat).value("backup/kind").isValid());
    else if (how != "manual") {
        const QStringList args = how == "--restore"  ? QStringList{folder, how, first.path}
                                 : how == "--import" ? QStringList{folder, how, csv}
                                                     : QStringList{folder, how};
        const CommandRun r = RunTallox(args);
        QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
    }
    if (how == "older") { // as an older version wrote it
        QFile ini(first.path + "/tallox-backup.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll().replace("kind=manual\n", "");
        ini.close();
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write(text) == text.size());
    }
    const QList<BackupInfo> list = Backup::List(root(), folder);
    QVERIFY(!list.isEmpty());
    const BackupInfo& newest = list.constFirst();
    QCOMPARE(int(newest.kind), kind);
    const CommandRun listed = RunTallox({folder, "--list-backups"});
    QVERIFY2(listed.status == 0 && listed.out.contains(newest.name + "  " + Backup::TakenInWords(newest.taken)),
             qPrintable(listed.out + listed.err));
    QVERIFY2(Backup::Describe(newest).contains(said), qPrintable(Backup::Describe(newest)));
    QVERIFY2(listed.out.contains(said), qPrintable(listed.out));
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"

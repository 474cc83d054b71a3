#include "TestSupport.h"
#include "XlsxReader.h"

#include "app/CommandLine.h"
#include "data/books/AppPaths.h"
#include "data/books/Backup.h"
#include "data/books/SharedQueries.h"
#include "data/books/Startup.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerModel.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/ledger/LedgerView.h"
#include "gui/ledger/frmMain.h"
#include "gui/summary/SumBillChart.h"
#include "gui/toolkit/PeriodBar.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTextStream>

namespace {
using Run = CommandRun;
constexpr auto tallox = &RunTallox;
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        seed();
    }
    void cleanup() { m_env.reset(); }

    void usageErrors();
    void refusedArguments_data();
    void refusedArguments();
    void damagedBooks_failWithoutOutput_data();
    void damagedBooks_failWithoutOutput();
    void exportSheet_equalsTheWindowsSheet();
    void exportSummary_hasCardLinesAndTotals();
    void printSheetAndSummary_writePdfs();
    void chartSummary_writesPngOfItsSize();
    void check_findsTamperingAndRebuildMendsIt();
    void badDatesCardsFoldersAndFiles();
    void existingOutput_keptUnlessForced_data();
    void existingOutput_keptUnlessForced();
    void demo_writesAnOpenableFolder();
    void backupCommands_data();
    void backupCommands();
    void locks_leftoverTakenLiveRefused_data();
    void locks_leftoverTakenLiveRefused();
    void helpAndVersion();
    void dataCommands_needNoGui_data();
    void dataCommands_needNoGui();

private:
    void seed();
    QString folder() const { return m_env->dbFolder(); }
    std::unique_ptr<TestEnv> m_env;
};

void TestCommandLine::seed()
{
    TestEnv& env = *m_env;
    env.addCard(1, QStringLiteral("BC카드"), 2.5);
    env.addCard(2, QStringLiteral("신한카드"), 3.0);
    env.addEntry("2005-03-10", 1, 1000);
    env.addEntry("2005-05-03", 1, 500, 10, 0, 2);
    env.addEntry("2005-05-20", 2, 0, 0, 700, 1);
    env.addEntry("2005-06-02", 2, 300, 9, 0, 3);
    env.addTransfer("2005-02", 1, 0);
    env.addTransfer("2005-03", 1, 1000);
    env.addTransfer("2005-04", 2, 0);
}

void TestCommandLine::usageErrors()
{
    Run r = tallox({"--export-sheet", "2005-05-01"});
    QCOMPARE(r.status, int(ExitUsage));
    QVERIFY(r.err.startsWith("tallox: "));
    r = tallox({"--frobnicate"});
    QCOMPARE(r.status, int(ExitUsage));
    QVERIFY(r.err.contains("--frobnicate"));
    r = tallox({folder(), "--export-sheet", "0501", "0531", "out.csv"});
    QCOMPARE(r.status, int(ExitUsage));
    r = tallox({folder(), "--export-summary", "0501", "0531", "--card", "1", "x.xlsx"});
    QCOMPARE(r.status, int(ExitUsage));
    r = tallox({folder(), "--check", "--rebuild"});
    QCOMPARE(r.status, int(ExitUsage));
    QCOMPARE(r.err.count('\n'), 1); // one line
}

void TestCommandLine::refusedArguments_data()
{
    QTest::addColumn<QString>("args"); // split at spaces
    QTest::addColumn<QString>("says"); // part of the one line on stderr
    const auto row = [](const char* name, const char* args, const char* says) {
        QTest::newRow(name) << QString(args) << QString(says);
    };
    row("folder, then no FROM", "dbs --export-sheet 0531 x.xlsx", "인자가 부족합니다");
    row("--card twice", "--export-sheet 0501 0531 --card 1 --card 2 x.xlsx", "--card");
    row("--check twice", "--check --check", "--check");
    row("--card with --rebuild", "--rebuild --card 1", "--card");
    row("--seed with --export-sheet", "--export-sheet 0501 0531 --seed 3 x.xlsx", "--seed");
    row("--cards with --check", "--check --cards 5", "--cards");
    row("--card without its code", "--export-sheet 0501 0531 x.xlsx --card", "--card");
    row("--card 0", "--print-sheet 0501 0531 --card 0 x.pdf", "--card");
    row("--check given a value", "--check=1", "--check=1");
    row("--card without a command", "--card 1", "--card");
    row("--demo too many years", "--demo d --years 2147483647", "--years");
    row("--demo too many entries", "--demo d --entries 50000000", "--entries");
    row("--demo too many cards", "--demo d --cards 99999", "--cards");
    row("--force with --check", "--check --force", "--force");
    row("--force twice", "--export-sheet 0501 0531 --force --force x.xlsx", "--force");
    row("--restore without its backup", "--restore", "인자가 부족합니다");
    row("--backup into two folders", "dbs --backup a b", "인자가 너무 많습니다");
    row("--card with --backup", "--backup --card 1", "--card");
    row("--card with --chart-summary", "--chart-summary 0501 0531 --card 1 x.png", "--card");
    row("chart not a PNG", "--chart-summary 0501 0531 x.pdf", ".png");
    row("chart without TO", "--chart-summary 0501 x.png", "인자가 부족합니다");
}

// Each mistake is refused before any database is opened, with one line.
void TestCommandLine::refusedArguments()
{
    QFETCH(QString, args);
    QFETCH(QString, says);
    const Run r = tallox(args.split(' '));
    QCOMPARE(r.status, int(ExitUsage));
    QVERIFY2(r.err.startsWith("tallox: ") && r.err.contains(says), qPrintable(r.err));
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(r.out.isEmpty());
}

// An error anywhere in what a command runs ends it with a non-zero status, one
// line on stderr and no output file.
void TestCommandLine::damagedBooks_failWithoutOutput_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("file");
    const QString noTransfer = "DROP TABLE transfer";
    // Another program's table, without the NOT NULL of Tallox's own.
    const QString nullAmount =
        "DROP TABLE transfer; CREATE TABLE transfer (sMonth TEXT, amount INTEGER, cardcode INTEGER);"
        " INSERT INTO transfer VALUES ('2005-03', NULL, 1)";
    const QString noLedger = "ALTER TABLE Tallox RENAME TO Other";
    QTest::newRow("sheet, no carry-over table") << noTransfer << "--export-sheet"
                                                << "a.xlsx";
    QTest::newRow("sheet, null carry-over amount") << nullAmount << "--export-sheet"
                                                   << "a.xlsx";
    QTest::newRow("print, null carry-over amount") << nullAmount << "--print-sheet"
                                                   << "a.pdf";
    QTest::newRow("summary, no carry-over table") << noTransfer << "--export-summary"
                                                  << "a.xlsx";
    QTest::newRow("summary print, no ledger table") << noLedger << "--print-summary"
                                                    << "a.pdf";
    QTest::newRow("sheet, no ledger table") << noLedger << "--export-sheet"
                                            << "a.xlsx";
    // A sale so large that the running balance leaves the range of money.
    const QString hugeSale = "UPDATE Tallox SET sale = 9223372036854775000 WHERE sdate = '2005-05-03'";
    QTest::newRow("sheet, a balance out of range") << hugeSale << "--export-sheet"
                                                   << "a.xlsx";
    QTest::newRow("print, a balance out of range") << hugeSale << "--print-sheet"
                                                   << "a.pdf";
    QTest::newRow("chart, no ledger table") << noLedger << "--chart-summary"
                                            << "a.png";
    QTest::newRow("chart, an amount no integer") << "UPDATE Tallox SET sale = 1.5 WHERE sdate = '2005-05-03'"
                                                 << "--chart-summary"
                                                 << "a.png";
}

void TestCommandLine::damagedBooks_failWithoutOutput()
{
    QFETCH(QString, damage);
    QFETCH(QString, option);
    QFETCH(QString, file);
    if (m_env->ctx().ledger.isServer() && damage.contains("1.5"))
        QSKIP("a BIGINT column on the server holds no fraction");
    for (const QString& statement : damage.split(';'))
        QVERIFY(m_env->ctx().ledger.execute(statement) >= 0);
    const QString out = m_env->appFolder() + "/" + file;
    const Run r = tallox({folder(), option, "0501", "0531", out});
    QCOMPARE(r.status, int(ExitDatabase));
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY2(r.err.startsWith("tallox: "), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(out));
}

void TestCommandLine::exportSheet_equalsTheWindowsSheet()
{
    const QString file = m_env->appFolder() + "/may.xlsx";
    Run r = tallox({folder(), "--export-sheet", "0501", "0531", file});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains(file), qPrintable(r.out));
    XlsxReader x(file);
    QVERIFY(x.isValid());

    // What the ledger window shows for the same period and filter.
    auto ctx = std::make_unique<AppContext>();
    QVERIFY(ctx->openFolder(folder()));
    frmMain window(std::move(ctx));
    window.findChild<PeriodBar*>()->setDateText(0, "2005-05-01");
    window.findChild<PeriodBar*>()->setDateText(1, "2005-05-31");
    window.RefreshSheet();
    const LedgerModel& sheet = *window.sheetView()->ledgerModel();

    // The printout's title and period, a blank row, the header row, brought
    // forward 1000, two entries, then the totals row.
    QCOMPARE(x.text(1, 1), QStringLiteral("신용카드 명세서(매출)"));
    QCOMPARE(x.text(2, 1), QStringLiteral("( 검색기간: 2005-05-01 - 2005-05-31 )"));
    QCOMPARE(x.text(4, 1), QStringLiteral("일자"));
    QCOMPARE(x.text(5, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(x.text(6, 1), QStringLiteral("2005-05-03"));
    QCOMPARE(x.text(6, 2), QStringLiteral("BC카드"));
    QCOMPARE(x.text(7, 2), QStringLiteral("신한카드"));
    QCOMPARE(x.text(8, 1), QStringLiteral("[합 계]"));
    // Visible columns: date, name, slips, sale, fee, pay-out, balance.
    const int balanceCol = 7;
    QCOMPARE(x.cell(5, balanceCol).type, QStringLiteral("n"));
    QCOMPARE(x.text(5, balanceCol).toDouble(), 1000.0);
    QCOMPARE(x.text(6, balanceCol).toDouble(), sheet.index(1, LedgerModel::Balance).data(Qt::EditRole).toDouble());
    QCOMPARE(x.text(6, balanceCol).toDouble(), 1490.0);
    QCOMPARE(x.text(7, balanceCol).toDouble(), 790.0);
    QCOMPARE(x.text(8, 4).toDouble(), 500.0); // total sales
    QCOMPARE(x.text(8, 6).toDouble(), 700.0); // total pay-outs
    QCOMPARE(x.text(8, 3).toDouble(), 3.0);   // total slips

    // One card only: card 2 has no carry-over before May, so nothing is brought forward.
    const QString file2 = m_env->appFolder() + "/may2.xlsx";
    r = tallox({folder(), "--export-sheet", "2005-05-01", "2005-05-31", "--card", "2", file2});
    QCOMPARE(r.status, 0);
    XlsxReader y(file2);
    QCOMPARE(y.text(2, 1), QStringLiteral("신한카드")); // the card under the title
    QCOMPARE(y.text(7, 2), QStringLiteral("신한카드"));
    QCOMPARE(y.text(8, 1), QStringLiteral("[합 계]"));
    QCOMPARE(y.text(7, balanceCol).toDouble(), -700.0);
}

void TestCommandLine::exportSummary_hasCardLinesAndTotals()
{
    const QString file = m_env->appFolder() + "/sum.xlsx";
    Run r = tallox({folder(), "--export-summary", "0501", "0531", file});
    QCOMPARE(r.status, 0);
    XlsxReader x(file);
    QVERIFY(x.isValid());
    QCOMPARE(x.text(1, 1), QStringLiteral("카드사별 집계"));
    QCOMPARE(x.text(2, 1), QStringLiteral("( 검색기간: 2005-05-01 - 2005-05-31 )"));
    QCOMPARE(x.text(4, 1), QStringLiteral("카드명"));
    QCOMPARE(x.text(5, 1), QStringLiteral("BC카드"));
    QCOMPARE(x.text(5, 3).toDouble(), 1000.0); // brought forward
    QCOMPARE(x.text(5, 7).toDouble(), 1490.0); // closing balance
    QCOMPARE(x.text(6, 1), QStringLiteral("신한카드"));
    QCOMPARE(x.text(7, 1), QStringLiteral("[합 계]"));
    QCOMPARE(x.text(7, 7).toDouble(), 790.0);
}

void TestCommandLine::printSheetAndSummary_writePdfs()
{
    const QString pdf = m_env->appFolder() + "/may.pdf";
    Run r = tallox({folder(), "--print-sheet", "0301", "0630", pdf});
    QCOMPARE(r.status, 0);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    const QString pdf2 = m_env->appFolder() + "/sum.pdf";
    r = tallox({folder(), "--print-summary", "0301", "0630", pdf2});
    QCOMPARE(r.status, 0);
    QVERIFY(QFileInfo(pdf2).size() > 1000);
}

void TestCommandLine::chartSummary_writesPngOfItsSize()
{
    const QString png = m_env->appFolder() + "/spring.png";
    const QByteArray ledgerBefore = FileChecksum(AppPaths::ledgerDbFile(folder()));
    const Run r = tallox({folder(), "--chart-summary", "0301", "0630", png});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains(png) && r.out.contains("4개월"), qPrintable(r.out));
    const QImage image(png);
    QCOMPARE(image.size(), kSumBillChartSize);
    QCOMPARE(FileChecksum(AppPaths::ledgerDbFile(folder())), ledgerBefore); // read-only
    QCOMPARE(QDir(m_env->appFolder()).entryList({".*.part"}, QDir::Files | QDir::Hidden), QStringList());
}

void TestCommandLine::check_findsTamperingAndRebuildMendsIt()
{
    Run r = tallox({folder(), "--rebuild"});
    QCOMPARE(r.status, 0);
    r = tallox({folder(), "--check"});
    QCOMPARE(r.status, 0);
    // A carry-over amount changed behind the program's back.
    QCOMPARE(m_env->ctx().ledger.execute(
                 "UPDATE transfer SET amount = amount + 50000 WHERE sMonth = '2005-03' AND cardcode = 1"),
             1);
    r = tallox({folder(), "--check"});
    QCOMPARE(r.status, int(ExitFindings));
    QVERIFY2(r.out.contains("2005-03"), qPrintable(r.out));
    // Books held by a window under another application folder are not rebuilt
    // (on a server, where many computers work at once, an advisory lock keeps rebuilds apart).
    if (!m_env->ctx().ledger.isServer()) {
        std::unique_ptr<QLockFile> otherWindow;
        QCOMPARE(int(Startup::AcquireLock(Startup::BooksLockFile(folder()), &otherWindow)),
                 int(Startup::LockStatus::Acquired));
        QCOMPARE(tallox({folder(), "--rebuild"}).status, int(ExitDatabase));
    }
    r = tallox({folder(), "--rebuild"});
    QCOMPARE(r.status, 0);
    r = tallox({folder(), "--check"});
    QCOMPARE(r.status, 0);
}

void TestCommandLine::badDatesCardsFoldersAndFiles()
{
    const QString file = m_env->appFolder() + "/x.xlsx";
    Run r = tallox({folder(), "--export-sheet", "0231", "0531", file});
    QCOMPARE(r.status, int(ExitUsage));
    QVERIFY(r.err.contains("0231"));
    QCOMPARE(r.err.count('\n'), 1);
    r = tallox({folder(), "--export-sheet", "0531", "0501", file});
    QCOMPARE(r.status, int(ExitUsage));
    r = tallox({folder(), "--export-sheet", "0501", "0531", "--card", "77", file});
    QCOMPARE(r.status, int(ExitUsage));
    QVERIFY(r.err.contains("77"));
    QVERIFY(!QFile::exists(file));

    const QString empty = m_env->appFolder() + "/empty";
    QDir().mkpath(empty);
    r = tallox({empty, "--check"});
    QCOMPARE(r.status, int(ExitDatabase));
    r = tallox({m_env->appFolder() + "/nowhere", "--check"});
    QCOMPARE(r.status, int(ExitDatabase));

    const QString unwritable = m_env->appFolder() + "/no/such/dir/x.xlsx";
    r = tallox({folder(), "--export-sheet", "0501", "0531", unwritable});
    QCOMPARE(r.status, int(ExitOutput));
    QVERIFY(!QFile::exists(unwritable));
    r = tallox({folder(), "--print-sheet", "0501", "0531", m_env->appFolder() + "/no/such/dir/x.pdf"});
    QCOMPARE(r.status, int(ExitOutput));
}

void TestCommandLine::existingOutput_keptUnlessForced_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("name");
    QTest::newRow("export") << "--export-sheet"
                            << "out.xlsx";
    QTest::newRow("print") << "--print-summary"
                           << "out.pdf";
    QTest::newRow("chart") << "--chart-summary"
                           << "out.png";
}

// A user's file is never replaced unasked, and nothing is written beside it
// but the output; what a killed run left hidden there is cleared away.
void TestCommandLine::existingOutput_keptUnlessForced()
{
    QFETCH(QString, option);
    QFETCH(QString, name);
    const QString dir = m_env->appFolder() + "/out";
    QVERIFY(QDir().mkpath(dir));
    const QString file = dir + "/" + name;
    const QString userLog = dir + "/outLOG.TXT";
    const QString stale = dir + "/.other.xlsx.part";
    const QString fresh = dir + "/.running.pdf.part";
    for (const QString& f : {file, userLog, stale, fresh}) {
        QFile w(f);
        QVERIFY(w.open(QIODevice::WriteOnly));
        w.write("the user's own");
    }
    QFile old(stale);
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();

    Run r = tallox({folder(), option, "0501", "0531", file});
    QCOMPARE(r.status, int(ExitOutput));
    QVERIFY2(r.err.contains("--force") && r.err.count('\n') == 1, qPrintable(r.err));
    QCOMPARE(FileChecksum(file), FileChecksum(userLog));

    r = tallox({folder(), option, "0501", "0531", "--force", file});
    QCOMPARE(r.status, int(ExitOk));
    QVERIFY(FileChecksum(file) != FileChecksum(userLog));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), (QStringList{".running.pdf.part", name, "outLOG.TXT"}));
    const QStringList logs = QDir(AppPaths::expExcelFolder()).entryList({"*LOG.TXT"});
    QCOMPARE(logs.size(), name.endsWith(".xlsx") ? 1 : 0);
}

void TestCommandLine::demo_writesAnOpenableFolder()
{
    const QString demo = m_env->appFolder() + "/demo";
    Run r = tallox({"--demo", demo, "--cards", "5", "--years", "1", "--entries", "300"});
    QCOMPARE(r.status, 0);
    QVERIFY(QFile::exists(AppPaths::ledgerDbFile(demo)));
    AppContext ctx;
    QVERIFY(ctx.openFolder(demo));
    QCOMPARE(ctx.card.scalar("SELECT count(*) FROM Plastra").toInt(), 5);
    QCOMPARE(ctx.ledger.scalar("SELECT count(*) FROM Tallox").toInt(), 300);
    QVERIFY(ctx.ledger.scalar("SELECT count(*) FROM transfer").toInt() > 0);
    ctx.closeAll();
    r = tallox({demo, "--check"});
    QCOMPARE(r.status, 0);
    // Never over an existing one.
    r = tallox({"--demo", demo});
    QCOMPARE(r.status, int(ExitDatabase));
}

void TestCommandLine::backupCommands_data()
{
    QTest::addColumn<QString>("args"); // split at spaces; BACKUP: a backup of the seeded books, NAME: its name,
                                       // ROOT: an empty folder
    QTest::addColumn<bool>("window");  // a window holds the books
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::addColumn<int>("entries"); // in the books afterwards
    QTest::addColumn<bool>("future"); // a copy of the backup named 2999-12-31 as well
    const auto row = [](const char* name, const char* args, bool window, int status, const char* says, int entries,
                        bool future = false) {
        QTest::newRow(name) << QString(args) << window << status << QString(says) << entries << future;
    };
    row("backup", "--backup", false, ExitOk, "백업했습니다", 5);
    row("backup into a folder", "--backup ROOT", false, ExitOk, "ROOT", 5);
    row("backup into a missing folder", "--backup ROOT/none", false, ExitOutput, "백업 폴더가 없습니다", 5);
    row("backup beside a window", "--backup", true, ExitOk, "백업했습니다", 5);
    row("list", "--list-backups", false, ExitOk, " · 직접 백업 · 자료 4건 · 마지막 자료 2005-06-02\n", 5);
    row("list marks a backup in the future", "--list-backups", false, ExitOk,
        "29991231-000000  2999년 12월 31일 (화) 오전 12:00:00 · 직접 백업 · 자료 4건 · 마지막 자료 2005-06-02"
        "  (미래의 날짜: 시계를 확인하세요)\n  NAME  ",
        5, true);
    row("list beside a window", "--list-backups", true, ExitOk, " · 직접 백업 · 자료 4건", 5);
    row("restore", "--restore BACKUP", false, ExitOk, "복원했습니다", 4);
    row("restore by name", "--restore NAME", false, ExitOk, "복원했습니다", 4);
    row("restore beside a window", "--restore BACKUP", true, ExitDatabase, "Tallox가 실행중입니다", 5);
    row("restore of no folder", "--restore ROOT/none", false, ExitUsage, "백업 폴더가 없습니다", 5);
    row("restore of no backup", "--restore ROOT", false, ExitDatabase, "Tallox 백업이 아닙니다", 5);
}

void TestCommandLine::backupCommands()
{
    QFETCH(QString, args);
    QFETCH(bool, window);
    QFETCH(int, status);
    QFETCH(QString, says);
    QFETCH(int, entries);
    QFETCH(bool, future);
    if (m_env->ctx().ledger.isServer())
        QSKIP("file backups only: books on a server are backed up with the server's tools");
    BackupInfo backup;
    QVERIFY(Backup::Take(folder(), Backup::DefaultRoot(), true, &backup, nullptr));
    const QString ahead = Backup::DefaultRoot() + "/29991231-000000";
    for (const char* file : {"dbTallox.db", "Plastra.db", "tallox-backup.ini"})
        QVERIFY(!future || (QDir().mkpath(ahead) && QFile::copy(backup.path + "/" + file, ahead + "/" + file)));
    m_env->addEntry("2005-06-20", 1, 100);
    m_env->ctx().closeAll();
    const QString root = m_env->appFolder() + "/elsewhere";
    QVERIFY(QDir().mkpath(root));
    args.replace("BACKUP", backup.path).replace("NAME", backup.name).replace("ROOT", root);
    says.replace("NAME", backup.name).replace("ROOT", root);
    std::unique_ptr<QLockFile> otherWindow;
    if (window)
        QVERIFY(Startup::AcquireLock(Startup::BooksLockFile(folder()), &otherWindow) == Startup::LockStatus::Acquired);
    const Run r = tallox(QStringList{folder()} + args.split(' '));
    QCOMPARE(r.status, status);
    QVERIFY2((r.out + r.err).contains(says), qPrintable(r.out + r.err));
    QCOMPARE(r.err.isEmpty(), status == ExitOk);
    AppContext look;
    QVERIFY(look.openFolder(folder(), nullptr, true));
    QCOMPARE(look.ledger.scalar("SELECT count(*) FROM Tallox").toInt(), entries);
}

void TestCommandLine::locks_leftoverTakenLiveRefused_data()
{
    QTest::addColumn<QString>("lock");  // "tallox.lock", "books" (beside the books) or "backups" (the backup folder's)
    QTest::addColumn<QString>("owner"); // what the file names (LockFileContent)
    for (const char* lock : {"tallox.lock", "books", "backups"}) {
        // A live owner of the backup folder is waited for (two minutes): not here.
        for (const char* owner : {"empty", "garbage", "gone", "other", "live"})
            if (QByteArray(lock) != "backups" || QByteArray(owner) != "live")
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(lock, owner))) << lock << owner;
    }
}

// The commands take the same locks as the window, through the same routine.
void TestCommandLine::locks_leftoverTakenLiveRefused()
{
    QFETCH(QString, lock);
    QFETCH(QString, owner);
    if (m_env->ctx().ledger.isServer())
        QSKIP("a folder's locks: the commands on server books take none");
    const QString file = lock == QLatin1String("books")     ? Startup::BooksLockFile(folder())
                         : lock == QLatin1String("backups") ? Backup::DefaultRoot() + "/.tallox-backup.lock"
                                                            : Startup::InstanceLockFile(AppPaths::appFolder());
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    QProcess other;
    QFile left(file);
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write(LockFileContent(owner, &other));
    left.close();
    const Run r = tallox({folder(), lock == QLatin1String("backups") ? "--backup" : "--rebuild"});
    other.kill();
    other.waitForFinished();
    if (owner == QLatin1String("live")) {
        QCOMPARE(r.status, int(ExitDatabase));
        QVERIFY2(r.err.contains("Tallox가 실행중입니다"), qPrintable(r.err));
        QVERIFY(QFileInfo::exists(file));
    } else {
        QVERIFY2(r.status == ExitOk, qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(file)); // taken, then let go
    }
}

void TestCommandLine::helpAndVersion()
{
    Run r = tallox({"--help"});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.contains("--export-sheet") && r.out.contains("--chart-summary"));
    r = tallox({"--version"});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.startsWith("tallox 1."));
}

QTEST_MAIN(TestCommandLine)
// The real program, telling which plugins it loads: a command that only
// reads or writes the books runs on a QCoreApplication and loads no platform
// plugin; a command that draws does (which shows that the check bites).
void TestCommandLine::dataCommands_needNoGui_data()
{
    // FOLDER and OUT stand for the books and an output file of the test's own.
    QTest::addColumn<QString>("args");
    QTest::addColumn<bool>("onCore");
    QTest::newRow("--export-sheet") << "FOLDER --export-sheet 0501 0531 OUT.xlsx" << true;
    QTest::newRow("--export-summary") << "FOLDER --export-summary 0501 0531 OUT.xlsx" << true;
    QTest::newRow("--check") << "FOLDER --check" << true;
    QTest::newRow("--overdue") << "FOLDER --overdue" << true;
    QTest::newRow("--print-sheet draws") << "FOLDER --print-sheet 0501 0531 OUT.pdf" << false;
}

void TestCommandLine::dataCommands_needNoGui()
{
    QFETCH(QString, args);
    QFETCH(bool, onCore);
    m_env->ctx().closeAll(); // the books are the command's
    const QString out = m_env->appFolder() + "/nogui";
    QStringList argv = args.split(' ');
    for (QString& a : argv)
        a.replace("FOLDER", folder()).replace("OUT", out);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_DEBUG_PLUGINS", "1");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TALLOX_EXE), argv);
    QVERIFY(p.waitForFinished(60000));
    const QByteArray err = p.readAllStandardError();
    // --check and --overdue say what they found with 0 or 1.
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QVERIFY2(p.exitCode() == 0 || p.exitCode() == 1, err.constData());
    QCOMPARE(err.contains("/platforms"), !onCore);
    if (args.contains("OUT.xlsx"))
        QVERIFY(QFileInfo::exists(out + ".xlsx"));
}

#include "tst_commandline.moc"

#include "TestSupport.h"

#include "app/CommandLine.h"
#include "data/base/Clock.h"
#include "data/books/AppPaths.h"
#include "data/books/SharedQueries.h"
#include "data/ledger/LedgerStore.h"
#include "data/summary/SumBillData.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/CarryOverCheckDialog.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/summary/SumBillSheet.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>

// A figure Tallox shows, prints or exports is either right or not given, and a
// command that did not fully succeed never exits 0. Each row builds a book with
// one fault and runs what must not go wrong on it.
namespace {
using Run = CommandRun;
constexpr auto tallox = &RunTallox;

// Runs statements separated by ';', each of which must succeed.
void exec(Database& db, const QString& statements)
{
    for (const QString& s : statements.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        ErrorInfo e;
        if (db.execute(s, {}, &e) < 0)
            qFatal("%s: %s", qPrintable(s), qPrintable(e.description));
    }
}

// The carry-over rows, then the schema of the ledger file.
QStringList carryOverAndSchema(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT sMonth, cardcode, quote(amount) FROM transfer UNION ALL"
                          " SELECT type, name, sql FROM main.sqlite_master ORDER BY 1, 2, 3"));
    while (q.next())
        rows << q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString() + QLatin1Char(' ') +
                    q.value(2).toString();
    return rows;
}

// The net of every entry whose date is a real day up to `to`, summed in C++.
Money realDayNet(Database& db, const QString& to)
{
    Money total;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT sdate, sale - billcoll - fee FROM Tallox"));
    while (q.next()) {
        if (IsStoredDayText(q.value(0).toString()) && q.value(0).toString() <= to)
            total += Money::fromUnits(q.value(1).toLongLong());
    }
    return total;
}

const char* kBulk = "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < "
                    "%1)"
                    " INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                    " SELECT date('2004-01-01', '+' || (i % %2) || ' days'), %3, %4, %5, 0, 1 "
                    "FROM n";
} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_env = std::make_unique<TestEnv>(); }
    void cleanup() { m_env.reset(); }

    void commands_data();
    void commands();
    void sheetShowsNoWrongFigure_data();
    void sheetShowsNoWrongFigure();
    void figuresAgree_data();
    void figuresAgree();
    void storeRefusesOverflow_data();
    void storeRefusesOverflow();
    void checkEqualsPlainSums();
    void checkDialogListsBadDates();
    void moneySums();

private:
    Database& ledger() { return m_env->ctx().ledger; }
    void build(const QString& book);
    void seed();
    void damagePage(bool registered);
    void rebuild();
    std::unique_ptr<TestEnv> m_env;
};

void TestFaults::seed()
{
    m_env->addCard(1, QStringLiteral("BC카드"));
    m_env->addCard(2, QStringLiteral("신한카드"));
    m_env->addEntry("2005-03-10", 1, 1000);
    m_env->addEntry("2005-05-03", 1, 500, 10, 0, 2);
    m_env->addEntry("2005-05-20", 2, 0, 0, 700, 1);
    m_env->addEntry("2005-06-02", 2, 300, 9, 0, 3);
    m_env->addTransfer("2005-02", 1, 0);
    m_env->addTransfer("2005-03", 1, 1000);
    m_env->addTransfer("2005-04", 2, 0);
}

void TestFaults::rebuild()
{
    ErrorInfo e;
    QVERIFY2(LedgerStore(ledger()).ReBaln(&e), qPrintable(ErrorLine(e)));
}

// One leaf page of the ledger table overwritten with random bytes, as a disk
// fault would.
void TestFaults::damagePage(bool registered)
{
    for (int card = 1; registered && card <= 4; ++card)
        m_env->addCard(card, QStringLiteral("카드%1").arg(card));
    exec(ledger(), QString::fromLatin1(kBulk).arg(2999).arg(500).arg("1 + i % 4").arg("10000 * (1000 + i)").arg("0"));
    rebuild();
    const int pageSize = ledger().scalar("PRAGMA page_size").toInt();
    QSqlQuery q = ledger().newQuery();
    QVERIFY(q.exec("SELECT pageno FROM dbstat WHERE name = 'Tallox' AND pagetype "
                   "= 'leaf' ORDER BY pageno"));
    QList<int> pages;
    while (q.next())
        pages << q.value(0).toInt();
    q.finish();
    QVERIFY(pages.size() > 10);
    m_env->ctx().closeAll();
    QFile f(m_env->ctx().ledgerPath);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(qint64(pages[pages.size() / 2] - 1) * pageSize));
    QByteArray noise(pageSize, '\0');
    QRandomGenerator rng(7);
    for (char& c : noise)
        c = char(rng.bounded(256));
    QCOMPARE(f.write(noise), qint64(pageSize));
}

void TestFaults::build(const QString& book)
{
    Database& db = ledger();
    const QString noSlips = "DROP TABLE Tallox; CREATE TABLE Tallox (code INTEGER PRIMARY KEY "
                            "AUTOINCREMENT,"
                            " sdate TEXT NOT NULL DEFAULT '', cardcode INTEGER NOT NULL DEFAULT 0,"
                            " sale INTEGER NOT NULL DEFAULT 0, fee INTEGER NOT NULL DEFAULT 0,"
                            " billcoll INTEGER NOT NULL DEFAULT 0); INSERT INTO Tallox (sdate, "
                            "cardcode, sale)"
                            " VALUES ('2005-03-10', 1, 10000000)";
    if (book.startsWith("damaged"))
        return damagePage(book == "damagedPage");
    seed();
    if (book == "overflowYear") // 108,000 entries of 10,000,000,000 won in 2004
        exec(db, QString::fromLatin1(kBulk).arg(107999).arg(360).arg(1).arg("100000000000000").arg("0"));
    if (book == "realSale")
        exec(db, "INSERT INTO Tallox (sdate, cardcode, sale) VALUES ('2005-05-10', "
                 "1, 1e20)");
    if (book == "int64Sale")
        exec(db, "INSERT INTO Tallox (sdate, cardcode, sale) VALUES ('2005-05-10', "
                 "1, 9223372036854775807)");
    if (book == "realCarryOver")
        exec(db, "UPDATE transfer SET amount = 1e20 WHERE sMonth = '2005-03'");
    if (book == "badDates") {
        rebuild();
        exec(db, "INSERT INTO Tallox (sdate, cardcode, sale) VALUES ('2005-02-30', "
                 "1, 5000000), ('', 2, 700000),"
                 " ('2005-2-5', 1, 90000)");
    }
    if (book == "noSlipCount")
        exec(db, noSlips);
    if (book == "foreignLedger")
        exec(db, "DROP TABLE Tallox; CREATE TABLE Tallox (code INTEGER PRIMARY "
                 "KEY, sdate TEXT, cardcode INTEGER)");
    if (book == "walCards")
        QCOMPARE(m_env->ctx().card.scalar("PRAGMA journal_mode = WAL").toString(), QStringLiteral("wal"));
    m_env->ctx().closeAll(); // the command alone holds the files
}

void TestFaults::commands_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("args");   // commands run in turn, split at " ; "; OUT is the output file
    QTest::addColumn<int>("status");     // of the last command; the ones before must succeed
    QTest::addColumn<QString>("says");   // in its stdout or stderr
    QTest::addColumn<QString>("absent"); // not in it
    QTest::addColumn<int>("keeps");      // 1: the carry-over table and the schema are
                                         // unchanged, 2: both files
    const auto row = [](const char* name, const char* book, const char* args, int status, const char* says = "",
                        int keeps = 0, const char* absent = "") {
        QTest::newRow(name) << book << args << status << says << absent << keeps;
    };
    row("damaged page: sheet", "damagedPage", "--export-sheet 2004-01-01 2005-12-31 OUT.xlsx", ExitDatabase);
    row("damaged page: summary", "damagedPage", "--export-summary 2004-01-01 2005-12-31 OUT.xlsx", ExitDatabase);
    // Before, a summary of cards none of which was registered never read the ledger, and exported an empty sheet.
    row("damaged page, no card rows: summary", "damagedUnregistered", "--export-summary 2004-01-01 2005-12-31 OUT.xlsx",
        ExitDatabase);
    row("damaged page: check", "damagedPage", "--check", ExitDatabase);
    row("damaged page: rebuild", "damagedPage", "--rebuild", ExitDatabase);
    row("overflowing year: rebuild", "overflowYear", "--rebuild", ExitDatabase, "Overflow", 1);
    row("overflowing year: sheet", "overflowYear", "--export-sheet 2004-01-01 2004-12-31 OUT.xlsx", ExitDatabase);
    row("overflowing year: summary", "overflowYear", "--print-summary 2004-01-01 2004-12-31 OUT.pdf", ExitDatabase);
    row("overflowing year: check", "overflowYear", "--check", ExitDatabase, "Overflow");
    row("REAL sale: sheet", "realSale", "--export-sheet 0501 0531 OUT.xlsx", ExitDatabase, "Type mismatch");
    row("REAL sale: summary", "realSale", "--export-summary 0501 0531 OUT.xlsx", ExitDatabase, "Type mismatch");
    row("REAL sale: check", "realSale", "--check", ExitDatabase, "Type mismatch");
    row("largest sale: sheet", "int64Sale", "--print-sheet 0501 0531 OUT.pdf", ExitDatabase, "Overflow");
    row("REAL carry-over: sheet", "realCarryOver", "--export-sheet 0501 0531 OUT.xlsx", ExitDatabase);
    row("REAL carry-over: summary", "realCarryOver", "--export-summary 0501 0531 OUT.xlsx", ExitDatabase);
    row("check writes nothing", "plain", "--check", ExitOk, "", 2);
    row("sheet writes nothing", "plain", "--export-sheet 0301 0630 OUT.xlsx", ExitOk, "", 2);
    row("summary print writes nothing", "plain", "--print-summary 0301 0630 OUT.pdf", ExitOk, "", 2);
    row("old ledger: check", "noSlipCount", "--check", ExitOk, "", 2);
    row("old ledger: sheet", "noSlipCount", "--export-sheet 0301 0331 OUT.xlsx", ExitOk, "", 2);
    row("old ledger: rebuild upgrades", "noSlipCount", "--rebuild ; --export-sheet 0301 0331 OUT.xlsx", ExitOk);
    row("WAL card file: check", "walCards", "--check", ExitOk, "", 2);
    row("another program's ledger: rebuild", "foreignLedger", "--rebuild", ExitDatabase, "", 1);
    row("bad dates: check", "badDates", "--check", ExitFindings, "잘못된 날짜: 코드 5, 일자 '2005-02-30'", 2,
        "불일치:");
    row("bad dates: rebuild, check", "badDates", "--rebuild ; --check", ExitFindings, "잘못된 날짜: 코드 6, 일자 ''", 0,
        "이월 없음:");
}

void TestFaults::commands()
{
    QFETCH(QString, book);
    QFETCH(QString, args);
    QFETCH(int, status);
    QFETCH(QString, says);
    QFETCH(QString, absent);
    QFETCH(int, keeps);
    build(book);
    const QString folder = m_env->dbFolder();
    const QStringList files = {AppPaths::ledgerDbFile(folder), AppPaths::cardDbFile(folder)};
    const QByteArray before = FileChecksum(files[0]) + FileChecksum(files[1]);
    AppContext look;
    QVERIFY(book.startsWith("damaged") || look.openFolder(folder, nullptr, true));
    const QStringList transfer = look.ledger.isOpen() ? carryOverAndSchema(look.ledger) : QStringList();
    look.closeAll();

    const QStringList commands = args.split(QStringLiteral(" ; "));
    Run r;
    QString out;
    for (QString command : commands) {
        const bool last = command == commands.constLast();
        command.replace("OUT", m_env->appFolder() + "/out");
        out = command.section(' ', -1);
        r = tallox(QStringList{folder} + command.split(' '));
        QVERIFY2(last ? r.status == status : r.status == 0, qPrintable(r.out + r.err));
    }
    const QString said = r.out + r.err;
    QVERIFY2(said.contains(says, Qt::CaseInsensitive), qPrintable(said));
    QVERIFY2(absent.isEmpty() || !said.contains(absent), qPrintable(said));
    QCOMPARE(QFileInfo::exists(out), status == ExitOk && args.contains("OUT"));
    if (keeps == 2)
        QCOMPARE(FileChecksum(files[0]) + FileChecksum(files[1]), before);
    if (keeps == 1) {
        QVERIFY(look.openFolder(folder, nullptr, true));
        QCOMPARE(carryOverAndSchema(look.ledger), transfer);
    }
    if (book == "walCards") {
        QFile card(files[1]);
        QVERIFY(card.open(QIODevice::ReadOnly));
        QCOMPARE(card.read(20).mid(18), QByteArray("\x02\x02")); // still WAL
        QVERIFY(!QFileInfo::exists(files[1] + "-journal"));
    }
}

// The ledger sheet of the window and of the exports: when the brought-forward
// balance or a figure of the period cannot be computed, the sheet shows no
// balance and no entries rather than a wrong figure.
void TestFaults::sheetShowsNoWrongFigure_data()
{
    QTest::addColumn<QString>("damage");
    const QString big = "INSERT INTO Tallox (sdate, cardcode, sale) VALUES ";
    QTest::newRow("dropped carry-over table") << "DROP TABLE transfer";
    QTest::newRow("null carry-over amount") << "DROP TABLE transfer; CREATE TABLE transfer (sMonth TEXT, amount "
                                               "INTEGER, cardcode INTEGER);"
                                               " INSERT INTO transfer VALUES ('2005-03', NULL, 1)";
    QTest::newRow("brought-forward sum overflows in SQLite")
        << big + "('2005-04-10', 1, 5000000000000000000), ('2005-04-11', 1, "
                 "5000000000000000000)";
    QTest::newRow("carry-over plus entries overflow")
        << "UPDATE transfer SET amount = 9223372036854775000 WHERE sMonth = "
           "'2005-03';" +
               big + "('2005-04-10', 1, 10000000)";
    QTest::newRow("REAL carry-over amount") << "UPDATE transfer SET amount = 1e20 WHERE sMonth = '2005-03'";
    QTest::newRow("running balance overflows") << big + "('2005-05-10', 1, 9223372036854775000)";
    QTest::newRow("total of sales overflows") << big + "('2005-05-10', 1, 5000000000000000000); INSERT INTO Tallox "
                                                       "(sdate, cardcode, sale, fee)"
                                                       " VALUES ('2005-05-11', 1, 5000000000000000000, "
                                                       "5000000000000000000)";
    QTest::newRow("REAL sale") << big + "('2005-05-10', 1, 1e20)";
    QTest::newRow("TEXT fee") << "INSERT INTO Tallox (sdate, cardcode, fee) "
                                 "VALUES ('2005-05-10', 1, 'abc')";
}

void TestFaults::sheetShowsNoWrongFigure()
{
    QFETCH(QString, damage);
    seed();
    exec(ledger(), damage);
    SpreadGrid sheet;
    DesignLedgerColumns(&sheet);
    ErrorInfo e;
    QVERIFY(!BuildLedgerSheet(&sheet, ledger(), "2005-05-01", "2005-05-31", 0, "2005-05-31", &e));
    QVERIFY(e.isSet());
    QCOMPARE(sheet.maxRows(), 2); // the brought-forward row and the entry row
    QCOMPARE(sheet.text(LedgerCol::Date, 1), BroughtForwardLabel());
    QCOMPARE(sheet.text(LedgerCol::Balance, 1), QString());
    QCOMPARE(sheet.text(LedgerCol::Balance, 2), QString());
}

// Summary, brought-forward balance and sheet agree with the ledger's own net
// when an entry's card is gone or an entry has a date that is no real day.
void TestFaults::figuresAgree_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<int>("missingCard"); // the code that gets a "(삭제된 카드 N)" line, 0 for none
    QTest::addColumn<bool>("deleteCard");
    const QString insert = "INSERT INTO Tallox (sdate, cardcode, sale, fee) VALUES ";
    QTest::newRow("deleted card") << insert + "('2005-03-05', 3, 4000000, 0), ('2005-05-07', 3, 3000000, 20000)" << 3
                                  << true;
    QTest::newRow("code without a card row") << insert + "('2005-04-05', 9, 1230000, 0)" << 9 << false;
    QTest::newRow("dates that are no real day") << insert + "('2005-02-30', 1, 5000000, 0), ('', 2, 700000, 0), "
                                                            "('2005-2-5', 1, 90000, 0),"
                                                            " ('2005-04-31', 2, 10000, 0), ('2005-05-1', 1, 10000, 0)"
                                                << 0 << false;
}

void TestFaults::figuresAgree()
{
    QFETCH(QString, extra);
    QFETCH(int, missingCard);
    QFETCH(bool, deleteCard);
    seed();
    m_env->addCard(3, QStringLiteral("가나카드"));
    exec(ledger(), extra);
    rebuild();
    if (deleteCard)
        exec(m_env->ctx().card, "DELETE FROM Plastra WHERE code = 3");
    const QString from = "2005-04-01", to = "2005-05-31";
    const Money net = realDayNet(ledger(), to);

    QList<SumBillLine> lines;
    ErrorInfo e;
    QVERIFY2(LoadSumBillLines(ledger(), from, to, &lines, &e), qPrintable(ErrorLine(e)));
    Money total;
    for (const SumBillLine& l : lines)
        total += l.balance();
    QCOMPARE(total, net);
    if (missingCard) {
        QCOMPARE(lines.constLast().name,
                 MissingCardName(missingCard)); // after the registered cards
        QCOMPARE(lines.constLast().cardCode, missingCard);
    }
    QCOMPARE(GetPrevBalance(ledger(), "2005-06-01", 0, &e), net);
    SpreadGrid sheet;
    DesignLedgerColumns(&sheet);
    QVERIFY(BuildLedgerSheet(&sheet, ledger(), from, to, 0, to, &e));
    QCOMPARE(CellMoney(&sheet, LedgerCol::Balance, sheet.maxRows() - 1), net);
    QVERIFY(LedgerStore(ledger()).CheckCarryOver().rows.isEmpty());
}

// A shift of the carry-over rows that would take one beyond the range of money
// (SQLite would store a floating-point number) is refused, and nothing changes.
void TestFaults::storeRefusesOverflow_data()
{
    QTest::addColumn<QString>("amount"); // of the May carry-over row of card 1, as SQL
    QTest::addColumn<bool>("remove");    // delete the May entry instead of raising its sale
    QTest::newRow("edit beyond the largest") << "9223372036854775000" << false;
    QTest::newRow("delete beyond the smallest") << "-9223372036854775000" << true;
    QTest::newRow("edit over a REAL row") << "1e20" << false;
}

void TestFaults::storeRefusesOverflow()
{
    QFETCH(QString, amount);
    QFETCH(bool, remove);
    seed();
    const int key = m_env->addEntry("2005-05-10", 1, 10);
    exec(ledger(), "INSERT INTO transfer (sMonth, cardcode, amount) VALUES ('2005-05', 1, " + amount + ")");
    const QStringList before = carryOverAndSchema(ledger());
    LedgerStore store(ledger());
    ErrorInfo e;
    QVERIFY(remove ? !store.DeleteRecord(key, &e) : !store.RecordEditCol(key, "sale", "2000", &e));
    QVERIFY(e.isSet());
    QCOMPARE(carryOverAndSchema(ledger()), before);
    QCOMPARE(m_env->count("Tallox"), 5);
}

// The one-pass check finds what comparing each row with a plain sum finds.
void TestFaults::checkEqualsPlainSums()
{
    QRandomGenerator rng(2005);
    for (int i = 0; i < 400; ++i)
        m_env->addEntry(DateText::day(QDate(2004, 1, 1).addDays(rng.bounded(560))), 1 + rng.bounded(5),
                        rng.bounded(100000), rng.bounded(300), rng.bounded(50000));
    rebuild();
    exec(ledger(), "UPDATE transfer SET amount = amount + 70000 WHERE rowid % 7 = 0;"
                   " DELETE FROM transfer WHERE cardcode = 2 AND rowid % 3 = 0;"
                   " DELETE FROM transfer WHERE cardcode = 4 AND sMonth < '2004-03';"
                   " INSERT INTO transfer VALUES ('2003-05', 12345, 5); INSERT INTO "
                   "transfer VALUES ('2006-07', 0, 3)");
    const CarryOverCheck check = LedgerStore(ledger()).CheckCarryOver();
    QVERIFY(check.ok);
    QStringList got, want;
    for (const CarryOverMismatch& m : check.rows)
        got << QStringLiteral("%1 %2 %3 %4").arg(m.month).arg(m.card).arg(m.stored.units()).arg(m.expected.units());
    for (const CarryOverUncovered& u : check.uncovered)
        got << QStringLiteral("uncovered %1 %2").arg(u.card).arg(u.firstMonth);
    QSqlQuery q = ledger().newQuery();
    QVERIFY(q.exec("SELECT t.sMonth, t.cardcode, t.amount, (SELECT COALESCE(SUM(x.sale - "
                   "x.billcoll - x.fee), 0)"
                   " FROM Tallox x WHERE x.cardcode = t.cardcode AND x.sdate < t.sMonth || "
                   "'-99') AS e"
                   " FROM transfer t WHERE t.amount <> e ORDER BY t.cardcode, t.sMonth"));
    while (q.next())
        want << QStringLiteral("%1 %2 %3 %4")
                    .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString());
    QVERIFY(q.exec("SELECT c, substr(first, 1, 7) FROM (SELECT cardcode AS c, "
                   "MIN(sdate) AS first FROM Tallox"
                   " GROUP BY cardcode) WHERE NOT EXISTS (SELECT 1 FROM transfer "
                   "t WHERE t.cardcode = c"
                   " AND t.sMonth < substr(first, 1, 7)) ORDER BY c"));
    while (q.next())
        want << QStringLiteral("uncovered %1 %2").arg(q.value(0).toString(), q.value(1).toString());
    QVERIFY(got.size() > 5);
    QCOMPARE(got, want);
}

void TestFaults::checkDialogListsBadDates()
{
    CarryOverCheck check;
    check.ok = true;
    check.badDates = {{5, QStringLiteral("2005-02-30")}, {6, QString()}};
    CarryOverCheckDialog dialog(check, m_env->ctx().card);
    QCOMPARE(dialog.findings()->maxRows(), 2);
    QCOMPARE(dialog.findings()->text(3, 1), QStringLiteral("2005-02-30"));
    QCOMPARE(dialog.findings()->text(6, 2), QStringLiteral("잘못된 날짜 (코드 6)"));
    QVERIFY(CarryOverCheckDialog::SummaryText(check).endsWith(QStringLiteral("날짜가 잘못된 자료: 2건")));
}

void TestFaults::moneySums()
{
    const Money top = Money::fromUnits(std::numeric_limits<qint64>::max());
    const Money bottom = Money::fromUnits(std::numeric_limits<qint64>::min());
    const Money one = Money::fromUnits(1);
    QVERIFY(!Money::add(top, one));
    QVERIFY(!Money::sub(bottom, one));
    QVERIFY(!Money::sub(Money(), bottom));
    QVERIFY(Money::add(top, -one) == top - one);
    Money total = top;
    QVERIFY(!Money::addTo(total, one));
    QCOMPARE(total, top);
    QCOMPARE(bottom.toPlainString(), QStringLiteral("-922337203685477.5808"));

    // The window's running balance leaves a figure out of range empty, and all
    // below it.
    SpreadGrid sheet;
    sheet.setMaxCols(LedgerCol::Count);
    sheet.setMaxRows(4);
    sheet.setNumber(LedgerCol::Balance, 1, top - Money::fromWon(5));
    sheet.setText(LedgerCol::Sale, 2, "3");
    sheet.setText(LedgerCol::Sale, 3, "3");
    QVERIFY(!CalcBalance(&sheet, 2));
    QCOMPARE(CellMoney(&sheet, LedgerCol::Balance, 2), top - Money::fromWon(2));
    QCOMPARE(sheet.text(LedgerCol::Balance, 3), QString());
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"

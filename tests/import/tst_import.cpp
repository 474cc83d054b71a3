#include "TestSupport.h"

#include "app/CommandLine.h"
#include "core/AppPaths.h"
#include "import/CsvReader.h"
#include "import/ImportPlan.h"
#include "import/ImportValues.h"
#include "ledger/LedgerStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStringEncoder>
#include <iconv.h>
#include <xlsxwriter.h>

// Card sales and settlement files into the ledger: the readers, the plan and
// the command line, on files written here.
namespace {
using Run = CommandRun;
constexpr auto tallox = &RunTallox;

QByteArray toCp949(const QString& text)
{
    const QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 16, '\0');
    iconv_t cd = iconv_open("CP949", "UTF-8");
    char* src = const_cast<char*>(in.constData());
    char* dst = out.data();
    size_t inLeft = size_t(in.size()), outLeft = size_t(out.size());
    const size_t done = iconv(cd, &src, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (done == size_t(-1))
        qFatal("toCp949 failed");
    out.truncate(dst - out.data());
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Writes rows into a workbook with the project's xlsx writer: cells that
// read as days become date serials with a date format, numbers numbers.
void writeWorkbook(const QString& path, const QList<QStringList>& rows)
{
    lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "매출");
    lxw_format* dateFormat = workbook_add_format(wb);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString text = rows[r][c];
            const QString day = r > 0 && c == 0 ? ImportValues::ParseDay(text) : QString();
            const std::optional<Money> amount = r > 0 && c > 1 ? ImportValues::ParseAmount(text) : std::nullopt;
            if (!day.isEmpty()) {
                const QDate d = QDate::fromString(day, Qt::ISODate);
                lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(ws, r, c, &dt, dateFormat);
            } else if (amount) {
                worksheet_write_number(ws, r, c, amount->toDouble(), nullptr);
            } else if (!text.isEmpty()) {
                worksheet_write_string(ws, r, c, text.toUtf8().constData(), nullptr);
            }
        }
    }
    if (workbook_close(wb) != LXW_NO_ERROR)
        qFatal("cannot write workbook");
}

// The ledger's entries as text, in a fixed order.
QStringList entries(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT sdate, cardcode, sale, fee, billcoll, quote(numsheet) FROM Tallox"
                          " ORDER BY sdate, cardcode, sale, fee, billcoll"));
    while (q.next())
        rows << QStringLiteral("%1 %2 %3 %4 %5 %6")
                    .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                         q.value(4).toString(), q.value(5).toString());
    return rows;
}

const QString kProfile = QStringLiteral("# card terminal\n"
                                        "name=단말기\n"
                                        "skip=1\n"
                                        "header=거래일자|카드사|건수|매출금액|수수료|입금액\n"
                                        "date=1\ncard=B\nslips=3\nsale=4\nfee=5\npayout=6\n"
                                        "[cards]\n"
                                        "신한=신한카드\n");

// The same sales in the forms card files use.
const QList<QStringList> kSales = {
    {"거래일자", "카드사", "건수", "매출금액", "수수료", "입금액"},
    {"2005-05-02", "신한", "3", "1,234,000", "24,680", "1,209,320"},
    {"2005.05.03", "BC카드", "1", "￦50,000", "1,250", "48,750"}, // the won sign that CP949 has
    {"20050504", "신한", "2", "(10,000)", "-200", "-9,800"},
    {"05/05/05", "BC카드", "", "7000", "0", "7000"},
};

QString csvOf(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& c : row)
            cells << (c.contains(QLatin1Char(',')) ? QLatin1Char('"') + c + QLatin1Char('"') : c);
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}
} // namespace

class TestImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_env->addCard(1, QStringLiteral("BC카드"), 2.5);
        m_env->addCard(2, QStringLiteral("신한카드"), 2.0);
        m_profile = m_env->appFolder() + QStringLiteral("/terminal.txt");
        writeFile(m_profile, kProfile.toUtf8());
    }
    void cleanup() { m_env.reset(); }

    void valueForms_data();
    void valueForms();
    void csvFields_data();
    void csvFields();
    void sameSales_csvCp949_csvBom_xlsx_utf16();
    void talloxExport_importsAsTheSameEntries();
    void duplicates_inFileAndLedger();
    void carryOver_exactAroundTypedEntries();
    void statuses_data();
    void statuses();
    void profileCardNames_data();
    void profileCardNames();
    void killedDuringStore_leavesNothing();

private:
    QString file(const QString& name) const { return m_env->appFolder() + QLatin1Char('/') + name; }
    QString ledgerFile() const { return AppPaths::ledgerDbFile(m_env->dbFolder()); }
    void expectCheckClean()
    {
        const Run check = tallox({m_env->dbFolder(), "--check"});
        QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
    }
    std::unique_ptr<TestEnv> m_env;
    QString m_profile;
};

void TestImport::valueForms_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: refused
    const auto row = [](const char* kind, const char* text, const char* expected) {
        QTest::addRow("%s %s", kind, text) << kind << QString::fromUtf8(text) << QString::fromUtf8(expected);
    };
    row("amount", "1,234,000", "1234000");
    row("amount", "1234000", "1234000");
    row("amount", "₩1,234,000", "1234000");
    row("amount", "1,234,000원", "1234000");
    row("amount", "(1,000)", "-1000");
    row("amount", "-1,000", "-1000");
    row("amount", "12.5", "12.5");
    row("amount", "1,2,3", "");
    row("amount", "(-5)", "");
    row("amount", "abc", "");
    row("amount", "99999999999999999999", "");
    row("date", "2026-12-07", "2026-12-07");
    row("date", "2026.12.07", "2026-12-07");
    row("date", "2026. 12. 7.", "2026-12-07");
    row("date", "2026/12/07", "2026-12-07");
    row("date", "20261207", "2026-12-07");
    row("date", "26-12-07", "2026-12-07");
    row("date", "2026-12-07 13:45:10", "2026-12-07");
    row("date", "2026-02-30", "");
    row("date", "2026-12/07", "");
    row("date", "12/07", "");
    row("serial", "46363", "2026-12-07");
    row("serial", "0", "");
}

void TestImport::valueForms()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    if (kind == QLatin1String("amount")) {
        const std::optional<Money> m = ImportValues::ParseAmount(text);
        QCOMPARE(m ? m->toPlainString() : QString(), expected);
    } else if (kind == QLatin1String("date")) {
        QCOMPARE(ImportValues::ParseDay(text), expected);
    } else {
        QCOMPARE(ImportValues::DayFromSerial(text.toDouble()), expected);
    }
}

void TestImport::csvFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rows"); // rows joined by " / ", cells by "|"
    QTest::newRow("comma, quoted separator and quote") << "a,\"b,c\",\"say \"\"hi\"\"\"\n1,2,3\n"
                                                       << "a|b,c|say \"hi\" / 1|2|3";
    QTest::newRow("line break in a quoted cell") << "a,\"x\r\ny\",b\r\n1,2,3"
                                                 << "a|x\ny|b / 1|2|3";
    QTest::newRow("semicolon") << "a;b;1,5\nc;d;2,5\n"
                               << "a|b|1,5 / c|d|2,5";
    QTest::newRow("tab with grouped amounts") << "a\t1,234\t5\nb\t12,345,678\t6\n"
                                              << "a|1,234|5 / b|12,345,678|6";
    QTest::newRow("ragged rows") << "a,b,c\n1\n1,2,3,4\n"
                                 << "a|b|c / 1 / 1|2|3|4";
    QTest::newRow("quote left open") << "a,\"b\nc"
                                     << "a|b\nc";
}

void TestImport::csvFields()
{
    QFETCH(QString, text);
    QFETCH(QString, rows);
    ImportTable table;
    CsvReader::Parse(text, CsvReader::DetectSeparator(text), &table);
    QStringList got;
    for (const QStringList& r : std::as_const(table.rows))
        got << r.join(QLatin1Char('|'));
    QCOMPARE(got.join(QStringLiteral(" / ")), rows);
}

void TestImport::sameSales_csvCp949_csvBom_xlsx_utf16()
{
    const QString csv = csvOf(kSales);
    writeFile(file("cp949.csv"), toCp949(csv));
    writeFile(file("bom.csv"), QByteArray("\xEF\xBB\xBF") + csv.toUtf8());
    writeWorkbook(file("sales.xlsx"), kSales);
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QString tabbed; // Excel's "Unicode text": UTF-16 with its mark, tab-separated
    for (const QStringList& row : kSales)
        tabbed += row.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    writeFile(file("utf16.txt"), utf16.encode(tabbed));
    QStringList first;
    for (const char* name : {"cp949.csv", "bom.csv", "sales.xlsx", "utf16.txt"}) {
        m_env->ctx().ledger.execute(QStringLiteral("DELETE FROM Tallox"));
        m_env->ctx().ledger.execute(QStringLiteral("DELETE FROM transfer"));
        const Run r = tallox({m_env->dbFolder(), "--import", file(name), "--profile", m_profile});
        QVERIFY2(r.status == 0, qPrintable(name + (": " + r.out + r.err)));
        QVERIFY2(r.out.contains("저장 4건"), qPrintable(r.out));
        const QStringList rows = entries(m_env->ctx().ledger);
        QCOMPARE(rows.size(), 4);
        if (first.isEmpty())
            first = rows;
        QCOMPARE(rows, first);
        expectCheckClean();
    }
    QCOMPARE(first.value(0), QStringLiteral("2005-05-02 2 12340000000 246800000 12093200000 3"));
    QCOMPARE(first.value(2), QStringLiteral("2005-05-04 2 -100000000 -2000000 -98000000 2"));
    QCOMPARE(first.value(3), QStringLiteral("2005-05-05 1 70000000 0 70000000 NULL"));
    // A workbook's sheet is chosen by name.
    ImportTable book;
    ErrorInfo e;
    QVERIFY(!ReadImportFile(file("sales.xlsx"), &book, &e, QStringLiteral("없는 시트")));
    QVERIFY(ErrorLine(e).contains(QStringLiteral("'없는 시트' 시트가 없습니다")));
    QVERIFY(ReadImportFile(file("sales.xlsx"), &book, &e, QStringLiteral("매출")));
    QCOMPARE(book.sheets, QStringList{QStringLiteral("매출")});
    QCOMPARE(book.cell(4, 0), QStringLiteral("2005-05-05")); // a date serial with a date format
    // A profile saved under a name is found by that name, and the file's header recognises it.
    ImportProfile saved;
    QVERIFY(ImportProfiles::Find(m_profile, &saved, nullptr));
    QVERIFY(ImportProfiles::Save(ImportProfiles::FileFor(QStringLiteral("단말기")), saved, nullptr));
    ImportTable table;
    QVERIFY(ReadImportFile(file("bom.csv"), &table, nullptr));
    ImportProfile found;
    QVERIFY(ImportProfiles::Recognize(table, &found));
    QCOMPARE(found.cards.value(QStringLiteral("신한")), QStringLiteral("신한카드"));
    QCOMPARE(found.payoutCol, 5);
}

void TestImport::talloxExport_importsAsTheSameEntries()
{
    m_env->addEntry("2005-04-28", 1, 1000, 25, 0, 1);
    m_env->addEntry("2005-05-03", 1, 500, 12.5, 0, 2);
    m_env->addEntry("2005-05-20", 2, 0, 0, 700, 1);
    m_env->addEntry("2005-06-02", 2, 300, 9, 0, 3);
    const QString sheet = QDir::tempPath() + QStringLiteral("/tallox-import-export.xlsx");
    QFile::remove(sheet);
    const Run exported = tallox({m_env->dbFolder(), "--export-sheet", "2005-05-01", "2005-06-30", sheet});
    QVERIFY2(exported.status == 0, qPrintable(exported.err));
    QStringList expected = entries(m_env->ctx().ledger);
    expected.removeFirst(); // before the period: the brought-forward row, which is skipped
    // Other books with the same cards.
    m_env.reset();
    init();
    const Run r = tallox({m_env->dbFolder(), "--import", sheet});
    QFile::remove(sheet);
    QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
    QCOMPARE(entries(m_env->ctx().ledger), expected);
    expectCheckClean();
}

void TestImport::duplicates_inFileAndLedger()
{
    m_env->addEntry("2005-05-02", 2, 1234000, 24680, 1209320, 3);
    QList<QStringList> rows = kSales;
    rows << kSales[2]; // the same sale twice in the file
    writeFile(file("dup.csv"), csvOf(rows).toUtf8());
    ImportTable table;
    ImportProfile profile;
    ImportPlan plan;
    QVERIFY(ReadImportFile(file("dup.csv"), &table, nullptr));
    QVERIFY(ImportProfiles::Find(m_profile, &profile, nullptr));
    QVERIFY(ImportPlanner::Build(m_env->ctx().ledger, table, profile, &plan, nullptr));
    QCOMPARE(plan.rows.size(), 5);
    QCOMPARE(plan.rows[0].status, ImportRow::Status::Duplicate); // in the ledger
    QCOMPARE(plan.rows[4].status, ImportRow::Status::Duplicate); // row 3 of the file again
    QVERIFY(plan.rows[4].reason.contains("3"));
    QCOMPARE(plan.counts().ready, 3);
    const Run r = tallox({m_env->dbFolder(), "--import", file("dup.csv"), "--profile", m_profile});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains("저장 3건, 중복으로 건너뜀 2건"), qPrintable(r.out));
    const Run again = tallox({m_env->dbFolder(), "--import", file("dup.csv"), "--profile", m_profile});
    QVERIFY2(again.out.contains("저장 0건, 중복으로 건너뜀 5건"), qPrintable(again.out));
    QCOMPARE(m_env->count("Tallox"), 4);
    // One history row for the import that stored rows, none for the one that stored nothing.
    QCOMPARE(m_env->ctx().ledger.scalar("SELECT count(*) FROM history WHERE kind = 'import'").toInt(), 1);
    QCOMPARE(m_env->ctx().ledger.scalar("SELECT count(*) FROM history WHERE kind <> 'import'").toInt(), 0);
    expectCheckClean();
}

// Entries typed before and after the imported month keep their carry-over
// rows exact: the later rows take the import's nets, new months get theirs.
void TestImport::carryOver_exactAroundTypedEntries()
{
    LedgerStore store(m_env->ctx().ledger);
    for (const auto& [date, card] :
         {std::pair{"2005-03-10", 2}, std::pair{"2005-06-01", 2}, std::pair{"2005-06-03", 1}}) {
        int key = 0;
        QVERIFY(store.InsertRecord(QString::fromLatin1(date), card, &key));
        QVERIFY(store.RecordEditCol(key, QStringLiteral("sale"), 5000));
    }
    const Money mayEndBefore = m_env->transferAmount("2005-05", 2); // made for the June entry
    writeFile(file("sales.csv"), "거래일자,카드사,건수,매출금액,수수료,입금액\n"
                                 "2005-05-02,신한,1,1000,0,0\n"
                                 "2005-05-20,BC카드,1,700,0,0\n");
    const Run r = tallox({m_env->dbFolder(), "--import", file("sales.csv"), "--profile", m_profile});
    QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
    expectCheckClean();
    QCOMPARE(m_env->transferAmount("2005-05", 2), mayEndBefore + Money::fromWon(1000));
    QCOMPARE(m_env->transferAmount("2005-05", 1), Money::fromWon(700));
    bool exists = false;
    QCOMPARE(m_env->transferAmount("2005-04", 2, &exists), Money::fromWon(5000)); // new: the March entry
    QVERIFY(exists);
    QCOMPARE(m_env->transferAmount("2005-04", 1, &exists), Money());
    QVERIFY(exists);
}

void TestImport::statuses_data()
{
    QTest::addColumn<QByteArray>("content"); // "@big": a sparse file beyond the limit; "@xlsx": a header row
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("said");
    const QByteArray good = csvOf(kSales).toUtf8();
    const QByteArray bad = good + "2005-05-06,모름카드,1,100,0,100\n2005-05-07,신한,1,abc,0,0\n";
    const QStringList profile{"--profile", "PROFILE"};
    QTest::newRow("all stored") << good << profile << 0 << 4 << "저장 4건";
    QTest::newRow("dry run") << good << (profile + QStringList{"--dry-run"}) << 0 << 0 << "저장할 행 4건";
    QTest::newRow("refused: nothing stored")
        << bad << profile << 1 << 0 << "거부 6행: 등록되지 않은 카드입니다: 모름카드";
    QTest::newRow("refused, --partial") << bad << (profile + QStringList{"--partial"}) << 1 << 4 << "거부 7행: 매출액";
    QTest::newRow("ragged rows refused") << good + "2005-05-08\n" << profile << 1 << 0 << "카드명이 없습니다";
    QTest::newRow("cell of 1 MB refused") << good + "2005-05-09,신한,1,1," + QByteArray(1 << 20, 'x') + "\n"
                                          << profile << 1 << 0 << "칸이 너무 깁니다";
    QTest::newRow("empty file") << QByteArray() << profile << 2 << 0 << "빈 파일";
    QTest::newRow("binary file") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << profile << 2 << 0 << "이진";
    QTest::newRow("no rows") << QByteArray(" , ,\r\n\r\n") << profile << 2 << 0 << "가져올 행이 없습니다";
    QTest::newRow("workbook of a header only") << QByteArray("@xlsx") << profile << 2 << 0 << "가져올 행이 없습니다";
    QTest::newRow("file of 100 MB") << QByteArray("@big") << profile << 2 << 0 << "파일이 너무 큽니다";
    QTest::newRow("no profile fits") << good << QStringList() << 2 << 0 << "맞는 프로필이 없습니다";
    QTest::newRow("profile missing") << good << QStringList{"--profile", "없는프로필"} << 2 << 0 << "프로필이 없습니다";
    QTest::newRow("option without --import") << good << QStringList{"--check", "--dry-run"} << 2 << 0 << "--import에만";
}

void TestImport::statuses()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(int, stored);
    QFETCH(QString, said);
    const QString path = file("in.csv");
    if (content == "@xlsx") {
        writeWorkbook(path, {kSales[0]});
    } else if (content == "@big") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(100LL * 1024 * 1024));
    } else {
        writeFile(path, content);
    }
    options.replaceInStrings(QStringLiteral("PROFILE"), m_profile);
    const QByteArray before = FileChecksum(ledgerFile());
    QStringList args{m_env->dbFolder()};
    if (!options.contains("--check"))
        args << "--import" << path;
    const Run r = tallox(args + options);
    QVERIFY2(r.status == status, qPrintable(QString::number(r.status) + r.out + r.err));
    QVERIFY2((r.out + r.err).contains(said), qPrintable(r.out + r.err));
    QCOMPARE(m_env->count("Tallox"), stored);
    if (stored == 0)
        QCOMPARE(FileChecksum(ledgerFile()), before);
    expectCheckClean();
}

// A profile's [cards] line maps a card name of the file onto a card of the
// books by name; what fits no card or several is refused, an older code is
// read with a warning.
void TestImport::profileCardNames_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("kind"); // ImportCardMatch::Kind
    QTest::addColumn<int>("card"); // 0: the row is refused
    QTest::addColumn<QString>("said");
    using K = ImportCardMatch::Kind;
    QTest::newRow("exact name") << "신한카드" << int(K::Exact) << 2 << "";
    QTest::newRow("exact beats a part of a longer name") << "BC카드" << int(K::Exact) << 1 << "";
    QTest::newRow("unique part") << "국민" << int(K::Part) << 4 << "";
    QTest::newRow("unique part, other case") << "kb" << int(K::Part) << 4 << "";
    QTest::newRow("part of several: refused")
        << "신한" << int(K::Several) << 0 << "여럿입니다 (신한카드, 신한법인카드)";
    QTest::newRow("no match: refused") << "롯데" << int(K::None) << 0 << "롯데에 맞는 카드가 장부에 없습니다";
    QTest::newRow("older code: mapped, warned") << "2" << int(K::Code) << 2 << "이 장부에서는 신한카드";
    QTest::newRow("older code of no card: refused") << "9" << int(K::None) << 0 << "맞는 카드가 장부에 없습니다";
}

void TestImport::profileCardNames()
{
    QFETCH(QString, target);
    QFETCH(int, kind);
    QFETCH(int, card);
    QFETCH(QString, said);
    m_env->addCard(3, QStringLiteral("신한법인카드"));
    m_env->addCard(4, QStringLiteral("KB국민카드"));
    m_env->addCard(5, QStringLiteral("BC카드 법인"));
    writeFile(m_profile, QString(kProfile).replace(QStringLiteral("신한카드"), target).toUtf8());
    ImportProfile profile;
    QVERIFY(ImportProfiles::Load(m_profile, &profile, nullptr));
    QCOMPARE(profile.cards.value(QStringLiteral("신한")), target);
    ImportTable table;
    table.rows = {kSales[0], {"2005-05-02", "신한", "1", "1000", "0", "0"}};
    ImportPlan plan;
    QVERIFY(ImportPlanner::Build(m_env->ctx().ledger, table, profile, &plan, nullptr));
    QCOMPARE(plan.cardMatches.size(), 1);
    QCOMPARE(int(plan.cardMatches[0].kind), kind);
    QCOMPARE(plan.rows[0].card, card);
    QCOMPARE(plan.rows[0].status, card ? ImportRow::Status::Ready : ImportRow::Status::Refused);
    const QString told = plan.rows[0].reason + plan.warnings().join(QString());
    QVERIFY2(said.isEmpty() ? told.isEmpty() : told.contains(said), qPrintable(told));
    // The command line says the warning and refuses what it cannot map.
    writeFile(file("one.csv"), csvOf(table.rows).toUtf8());
    const Run r = tallox({m_env->dbFolder(), "--import", file("one.csv"), "--profile", m_profile, "--dry-run"});
    QCOMPARE(r.status, card ? 0 : 1);
    QCOMPARE(r.out.contains(QStringLiteral("경고: ")), kind == int(ImportCardMatch::Kind::Code));
}

void TestImport::killedDuringStore_leavesNothing()
{
    writeFile(file("kill.csv"), csvOf(kSales).toUtf8());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALLOX_IMPORT_KILL"), QStringLiteral("before-commit"));
    env.insert(QStringLiteral("TALLOX_TEST"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TALLOX_EXE), {m_env->dbFolder(), "--import", file("kill.csv"), "--profile", m_profile});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    QCOMPARE(m_env->count("Tallox"), 0);
    QCOMPARE(m_env->count("transfer"), 0);
    expectCheckClean();
    const Run r = tallox({m_env->dbFolder(), "--import", file("kill.csv"), "--profile", m_profile});
    QCOMPARE(r.status, 0);
    QCOMPARE(m_env->count("Tallox"), 4);
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"

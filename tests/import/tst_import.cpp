#include "TestSupport.h"

#include "app/CommandLine.h"
#include "data/books/AppPaths.h"
#include "data/import/CsvReader.h"
#include "data/import/ImportPlan.h"
#include "data/import/ImportRun.h"
#include "data/import/ImportValues.h"
#include "data/ledger/LedgerStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QStringEncoder>
#include <cstring>
#include <iconv.h>
#include <sys/resource.h>
#include <xlsxwriter.h>
#include <zip.h>

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

ImportRows rowsOf(const QList<QStringList>& lists)
{
    ImportRows rows;
    for (const QStringList& row : lists) {
        for (int c = 0; c < row.size(); ++c)
            if (!row[c].isEmpty())
                rows.addCell(c, row[c].toUtf8());
        rows.widen(int(row.size()));
        rows.endRow();
    }
    return rows;
}

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
const QByteArray kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// A workbook's parts, written here so that one can be broken: the header row
// as shared strings, one sale of `sale` (the cell's XML value) on 2005-05-02,
// then `blankRows` rows of one empty cell in column IV.
QList<std::pair<QString, QByteArray>> workbookParts(const QByteArray& sale, int blankRows)
{
    QByteArray strings = kXmlHead + "<sst xmlns=\"" + kMainNs + "\">";
    for (const QString& text : kSales[0] + QStringList{"신한", "zzzz"})
        strings += "<si><t>" + text.toUtf8() + "</t></si>";
    strings += "</sst>";
    QByteArray sheet = kXmlHead + "<worksheet xmlns=\"" + kMainNs + "\"><sheetData><row r=\"1\">";
    for (char c = 0; c < 6; ++c)
        sheet += QByteArray("<c r=\"") + char('A' + c) + "1\" t=\"s\"><v>" + QByteArray::number(c) + "</v></c>";
    sheet += "</row><row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>2005-05-02</t></is></c>"
             "<c r=\"B2\" t=\"s\"><v>6</v></c><c r=\"C2\"><v>1</v></c><c r=\"D2\"><v>" +
             sale + "</v></c></row>";
    sheet.reserve(sheet.size() + qsizetype(blankRows) * 40);
    for (int r = 3; r < 3 + blankRows; ++r)
        sheet += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"IV" + QByteArray::number(r) + "\"/></row>";
    sheet += "</sheetData></worksheet>";
    return {{"xl/workbook.xml", kXmlHead + "<workbook xmlns=\"" + kMainNs +
                                    "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                    "relationships\"><sheets><sheet name=\"매출\" sheetId=\"1\" r:id=\"rId1\"/>"
                                    "</sheets></workbook>"},
            {"xl/_rels/workbook.xml.rels",
             kXmlHead + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                        "<Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\" Type=\"http://schemas."
                        "openxmlformats.org/officeDocument/2006/relationships/worksheet\"/></Relationships>"},
            {"xl/sharedStrings.xml", strings},
            {"xl/worksheets/sheet1.xml", sheet}};
}

// `size` bytes of spaces, made as libzip reads them: the test never holds them.
zip_int64_t spaces(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd)
{
    auto* left = static_cast<zip_uint64_t*>(state);
    switch (cmd) {
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min(len, left[1]);
        memset(data, ' ', n);
        left[1] -= n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_OPEN:
        left[1] = left[0];
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = left[0];
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(*st);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    case ZIP_SOURCE_FREE:
        delete[] left;
        return 0;
    default:
        return 0;
    }
}

// The parts as a zip container; a part whose content is "@spaces N" is N spaces.
void writeZip(const QString& path, const QList<std::pair<QString, QByteArray>>& parts, bool stored)
{
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    for (const auto& [name, data] : parts) {
        zip_source_t* src = data.startsWith("@spaces ")
                                ? zip_source_function(z, spaces, new zip_uint64_t[2]{data.mid(8).toULongLong(), 0})
                                : zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t i = zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(z, zip_uint64_t(i), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(z) != 0)
        qFatal("cannot write %s", qPrintable(path));
}

// The most this process has held at once, in kB.
// The import's memory bound; under AddressSanitizer its shadow memory and
// quarantine come on top.
#ifdef __SANITIZE_ADDRESS__
constexpr long kImportPeakKb = 600 * 1024;
#else
constexpr long kImportPeakKb = 200 * 1024;
#endif

long peakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
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
    void plan_data();
    void plan();
    void guessedColumns_data();
    void guessedColumns();
    void carryOver_exactAroundTypedEntries();
    void statuses_data();
    void statuses();
    void profileCardNames_data();
    void profileCardNames();
    void killedDuringStore_leavesNothing();
    void craftedFiles_data();
    void craftedFiles();

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
    const QByteArray utf8 = text.toUtf8();
    CsvReader::Parse(utf8, CsvReader::DetectSeparator(utf8), &table);
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
    QCOMPARE(plan.rows[4].status, ImportRow::Status::Ready);     // a second sale alike: stored
    QCOMPARE(plan.counts().ready, 4);
    const Run r = tallox({m_env->dbFolder(), "--import", file("dup.csv"), "--profile", m_profile});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains("저장 4건, 중복으로 건너뜀 1건"), qPrintable(r.out));
    const Run again = tallox({m_env->dbFolder(), "--import", file("dup.csv"), "--profile", m_profile});
    QVERIFY2(again.out.contains("저장 0건, 중복으로 건너뜀 5건"), qPrintable(again.out));
    QCOMPARE(m_env->count("Tallox"), 5);
    // One history row for the import that stored rows, none for the one that stored nothing.
    QCOMPARE(m_env->ctx().ledger.scalar("SELECT count(*) FROM history WHERE kind = 'import'").toInt(), 1);
    QCOMPARE(m_env->ctx().ledger.scalar("SELECT count(*) FROM history WHERE kind <> 'import'").toInt(), 0);
    expectCheckClean();
}

// Statuses of the plan's rows (R ready, D duplicate, X refused, S skipped, M
// merged), on books holding `ledger` and once more after storing it.
void TestImport::plan_data()
{
    QTest::addColumn<QStringList>("ledger"); // "date card won"
    QTest::addColumn<QStringList>("rows");   // "date,card,won"
    QTest::addColumn<QString>("options");    // t: skip total rows, m: merge per day and card
    QTest::addColumn<QString>("statuses");
    QTest::addColumn<QString>("again"); // after storing the plan; empty: not stored
    QTest::addColumn<QString>("first"); // the first row's "won slips"
    const QStringList sales{"2005-05-02,BC카드,5000", "2005-05-02,BC카드,5000", "2005-05-03,BC카드,5000"};
    QTest::newRow("alike sales of one file are sales") << QStringList() << sales << ""
                                                       << "RRR"
                                                       << "DDD"
                                                       << "5000 0";
    QTest::newRow("as often as the books hold it") << QStringList{"2005-05-02 1 5000"} << sales << ""
                                                   << "DRR"
                                                   << "DDD"
                                                   << "5000 0";
    QTest::newRow("overlapping statement: the new rows")
        << QStringList{"2005-05-02 1 5000", "2005-05-02 1 5000"} << sales << ""
        << "DDR"
        << "DDD"
        << "5000 0";
    QTest::newRow("merged per day and card")
        << QStringList() << (sales + QStringList{"2005-05-02,신한카드,700", "2005-05-02,BC카드,1,2"}) << "m"
        << "RMRRM"
        << "DMDDM"
        << "10001 4";
    QTest::newRow("merged entry already held") << QStringList{"2005-05-02 1 10000"} << sales << "m"
                                               << "DMR"
                                               << "DMD"
                                               << "10000 2";
    QTest::newRow("merged beyond an entry's range")
        << QStringList() << QStringList{"2005-05-02,BC카드,9000000000", "2005-05-02,BC카드,2000000000"} << "m"
        << "XX"
        << ""
        << "9000000000 0";
    const QStringList totals{"2005-05-02,BC카드,5000", "합계,,5000", "2005-05-02,소계,5000", ",BC카드,1"};
    QTest::newRow("total rows refused") << QStringList() << totals << ""
                                        << "RXXX"
                                        << ""
                                        << "5000 0";
    QTest::newRow("total rows skipped") << QStringList() << totals << "t"
                                        << "RSSS"
                                        << "D"
                                        << "5000 0";
}

void TestImport::plan()
{
    QFETCH(QStringList, ledger);
    QFETCH(QStringList, rows);
    QFETCH(QString, options);
    QFETCH(QString, statuses);
    QFETCH(QString, again);
    QFETCH(QString, first);
    for (const QString& e : ledger) {
        const QStringList f = e.split(' ');
        m_env->addEntry(f[0], f[1].toInt(), f[2].toDouble());
    }
    // The last cell, when there are four, is the slips.
    writeFile(file("plan.csv"), ("일자,카드명,매출액,건수\n" + rows.join('\n')).toUtf8());
    ImportProfile profile;
    profile.skipRows = 1;
    profile.dateCol = 0;
    profile.cardCol = 1;
    profile.saleCol = 2;
    profile.slipsCol = 3;
    profile.skipUndated = options.contains('t');
    profile.mergeDayCard = options.contains('m');
    const auto letters = [](const ImportPlan& p) {
        QString s;
        for (const ImportRow& r : p.rows)
            s += QStringLiteral("RDXSM").at(int(r.status));
        return s;
    };
    ImportTable table;
    ImportPlan plan;
    ErrorInfo e;
    QVERIFY(ReadImportFile(file("plan.csv"), &table, &e));
    QVERIFY2(ImportPlanner::Build(m_env->ctx().ledger, table, profile, &plan, &e), qPrintable(ErrorLine(e)));
    QCOMPARE(letters(plan), statuses);
    const ImportRow& row = plan.rows.constFirst();
    QCOMPARE(QStringLiteral("%1 %2").arg(row.sale.units() / Money::kScale).arg(row.slips.toInt()), first);
    if (again.isEmpty())
        return;
    ImportOutcome outcome;
    QVERIFY2(ImportRun::Store(m_env->ctx().ledger, QString(), plan, file("plan.csv"), &outcome, &e),
             qPrintable(ErrorLine(e)));
    QVERIFY2(ImportPlanner::Build(m_env->ctx().ledger, table, profile, &plan, &e), qPrintable(ErrorLine(e)));
    QCOMPARE(letters(plan).left(again.size()), again);
    expectCheckClean();
}

// Columns guessed from a header row among the first rows: rows to skip, then
// the column of date, card, slips, sale, fee, payout (-1: none); no guess without date and card.
void TestImport::guessedColumns_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("terminal") << QStringList{"거래일자,카드사,건수,승인금액,수수료,입금액", "2005-05-02,BC,1,1,0,1"}
                              << QList<int>{1, 0, 1, 2, 3, 4, 5};
    QTest::newRow("below a title, spaced, some columns")
        << QStringList{"12월 매출 내역", "No,매출 일자,카드구분,매출액,지급액", "1,2005-05-02,BC,1000,990"}
        << QList<int>{2, 1, 2, -1, 3, -1, 4};
    QTest::newRow("no card column") << QStringList{"일자,매출액", "2005-05-02,1"} << QList<int>();
    QTest::newRow("no header") << QStringList{"2005-05-02,BC카드,1"} << QList<int>();
}

void TestImport::guessedColumns()
{
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, expected);
    writeFile(file("guess.csv"), rows.join('\n').toUtf8());
    ImportTable table;
    QVERIFY(ReadImportFile(file("guess.csv"), &table, nullptr));
    ImportProfile p;
    const QList<int> found = ImportProfiles::Guess(table, &p);
    QCOMPARE(found.isEmpty(), expected.isEmpty());
    if (expected.isEmpty())
        return;
    QCOMPARE((QList<int>{p.skipRows, p.dateCol, p.cardCol, p.slipsCol, p.saleCol, p.feeCol, p.payoutCol}), expected);
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
    QTest::newRow("total row skipped as the profile says")
        << good + "합계,,10,\"1,281,000\",0,0\n"
        << QStringList{"--profile", "TOTALS"} << 0 << 4 << "건너뜀 1건";
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
    const QString totals = file("totals.txt");
    writeFile(totals,
              QString(kProfile).replace(QStringLiteral("[cards]"), QStringLiteral("undated=skip\n[cards]")).toUtf8());
    options.replaceInStrings(QStringLiteral("PROFILE"), m_profile).replaceInStrings(QStringLiteral("TOTALS"), totals);
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
    const QList<QStringList> lists = {kSales[0], {"2005-05-02", "신한", "1", "1000", "0", "0"}};
    table.rows = rowsOf(lists);
    ImportPlan plan;
    QVERIFY(ImportPlanner::Build(m_env->ctx().ledger, table, profile, &plan, nullptr));
    QCOMPARE(plan.cardMatches.size(), 1);
    QCOMPARE(int(plan.cardMatches[0].kind), kind);
    QCOMPARE(plan.rows[0].card, card);
    QCOMPARE(plan.rows[0].status, card ? ImportRow::Status::Ready : ImportRow::Status::Refused);
    const QString told = plan.rows[0].reason + plan.warnings().join(QString());
    QVERIFY2(said.isEmpty() ? told.isEmpty() : told.contains(said), qPrintable(told));
    // The command line says the warning and refuses what it cannot map.
    writeFile(file("one.csv"), csvOf(lists).toUtf8());
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

// Files that are broken, hostile or beyond the limits: refused as a whole
// with the part or place named, or read within a bounded memory; the stored
// sales' sum in ten-thousandths of a won.
void TestImport::craftedFiles_data()
{
    QTest::addColumn<QString>("kind");       // csv, xlsx, or xlsx with a fault
    QTest::addColumn<QByteArray>("content"); // csv: the text; xlsx: the sale's XML value
    QTest::addColumn<int>("more");           // csv: MB of lines of commas appended; xlsx: rows of an empty IV cell
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::addColumn<qint64>("sum");
    const QByteArray good = csvOf(kSales).toUtf8();
    const qint64 goodSum = 12340000000 + 500000000 - 100000000 + 70000000;
    const auto row = [](const char* name, const char* kind, const QByteArray& content, int more, int status,
                        const char* said, qint64 sum) {
        QTest::newRow(name) << kind << content << more << status << QString::fromUtf8(said) << sum;
    };
    row("workbook", "xlsx", "3000000", 0, 0, "저장 1건", 30000000000);
    row("sharedStrings broken", "xlsx broken xl/sharedStrings.xml", "3000000", 0, 2,
        "xl/sharedStrings.xml을(를) 읽을 수 없습니다", 0);
    row("sheet broken", "xlsx broken xl/worksheets/sheet1.xml", "3000000", 0, 2, "sheet1.xml을(를) 읽을 수 없습니다",
        0);
    row("workbook.xml broken", "xlsx broken xl/workbook.xml", "3000000", 0, 2, "xl/workbook.xml을(를) 읽을 수 없습니다",
        0);
    row("rels broken", "xlsx broken xl/_rels/workbook.xml.rels", "3000000", 0, 2, "rels을(를) 읽을 수 없습니다", 0);
    row("zip entry corrupt", "xlsx corrupt", "3000000", 0, 2, "xl/sharedStrings.xml을(를) 읽을 수 없습니다 (CRC", 0);
    row("zip cut short", "xlsx truncated", "3000000", 0, 2, "엑셀 파일(.xlsx)로 읽을 수 없습니다", 0);
    row("part of 300 MB inflated", "xlsx huge", "3000000", 0, 2, "sheet1.xml이(가) 너무 큽니다 (압축을 풀면 300MB", 0);
    row("150,000 rows of an empty IV cell", "xlsx", "3000000", 150'000, 0, "저장 1건", 30000000000);
    row("999,000 rows of an empty IV cell", "xlsx", "3000000", 999'000, 2, "행이 너무 많습니다 (200000행까지", 0);
    row("workbook amount of 5 decimals", "xlsx", "0.00001", 0, 1, "소수점 아래 넷째 자리보다 작은 단위", 0);
    row("workbook amount of a binary fraction", "xlsx", "1357.9500000000001", 0, 0, "저장 1건", 13579500);
    row("30 MB of commas", "csv", good, 30, 0, "저장 4건", goodSum);
    row("40 MB of commas", "csv", good, 40, 2, "파일이 너무 큽니다 (32MB까지", 0);
    row("quote left open", "csv", good + "2005-05-06,\"신한\n카드\",1,1,0,1\n2005-05-07,신한,1,\"5,0,0\n", 0, 2,
        "따옴표가 닫히지 않았습니다: 7행(파일의 8번째 줄)", 0);
    row("amount of 5 decimals", "csv", good + "2005-05-06,신한,1,1.00001,0,0\n", 0, 1,
        "거부 6행: 매출액이(가) 소수점 아래 넷째 자리보다 작은 단위까지 있습니다: 1.00001", 0);
    row("amount of 5 decimals, the fifth 0", "csv", good + "2005-05-06,신한,1,\"1,234.50000\",0,0\n", 0, 0, "저장 5건",
        goodSum + 12345000);
}

void TestImport::craftedFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(int, more);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(qint64, sum);
    const QString path = file(kind == QLatin1String("csv") ? "in.csv" : "in.xlsx");
    if (kind == QLatin1String("csv")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        const QByteArray commas = QByteArray(1023, ',') + '\n';
        for (int i = 0; i < more * 1024; ++i)
            f.write(commas);
    } else {
        QList<std::pair<QString, QByteArray>> parts = workbookParts(content, more);
        for (auto& [name, data] : parts) {
            if (kind == QLatin1String("xlsx broken ") + name)
                data.insert(data.indexOf("</") + 2, 'q'); // a closing tag that matches none
            if (kind == QLatin1String("xlsx huge") && name.contains(QLatin1String("sheet1")))
                data = "@spaces " + QByteArray::number(300 << 20);
        }
        writeZip(path, parts, kind == QLatin1String("xlsx corrupt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        if (kind == QLatin1String("xlsx corrupt")) // a byte of a stored part changed: its checksum is wrong
            bytes.replace("zzzz", "zzzy");
        if (kind == QLatin1String("xlsx truncated"))
            bytes.truncate(bytes.size() / 2);
        QVERIFY(f.resize(0) && f.seek(0) && f.write(bytes) == bytes.size());
    }
    const long before = peakKb();
    const Run r = tallox({m_env->dbFolder(), "--import", path, "--profile", m_profile});
    // A growth of the peak is a lower bound of what the import held.
    QVERIFY2(peakKb() - before < kImportPeakKb, qPrintable(QString::number(peakKb() - before)));
    QVERIFY2(r.status == status, qPrintable(QString::number(r.status) + r.out + r.err));
    QVERIFY2((r.out + r.err).contains(said), qPrintable(r.out + r.err));
    QCOMPARE(m_env->ctx().ledger.scalar("SELECT coalesce(sum(sale), 0) FROM Tallox").toLongLong(), sum);
    if (status == 0) {
        // The table holds its text and a few bytes a row, whatever the cells' count.
        ImportTable table;
        QVERIFY(ReadImportFile(path, &table, nullptr));
        QVERIFY2(table.rows.storageBytes() <= 2 * QFileInfo(path).size() + 8 * table.rows.size(),
                 qPrintable(QString::number(table.rows.storageBytes())));
    }
    QFile::remove(path);
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"

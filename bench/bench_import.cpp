// Importing 100,000 rows of card sales (target: under 10 s from file to
// committed books, carry-over upkeep included): a CSV file and a workbook
// over 40 cards and three years read, planned and stored into books that
// already hold entries and carry-over rows; then the carry-over check. Next
// to it, the same rows stored one by one as typing does (InsertRecord and
// RecordEditCol), on 2,000 rows, scaled to 100,000.
#include "BenchRegistry.h"

#include "data/books/AppContext.h"
#include "data/books/DbAccess.h"
#include "data/import/ImportPlan.h"
#include "data/import/ImportRun.h"
#include "data/ledger/LedgerStore.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <xlsxwriter.h>

namespace {
constexpr int kRows = 100000;
constexpr int kCards = 40;

QString CardName(int code)
{
    return QStringLiteral("카드%1").arg(code);
}

// Row i of the file: a day of three years, a card, amounts that differ per row.
QStringList SaleRow(int i)
{
    const QDate day = QDate(2022, 1, 1).addDays(i % 1095);
    const qint64 sale = 10000 + (i * 7919) % 900000;
    return {day.toString(QStringLiteral("yyyy-MM-dd")),
            CardName(1 + i % kCards),
            QString::number(1 + i % 9),
            QString::number(sale),
            QString::number(sale / 50),
            QString::number(sale - sale / 50)};
}

bool MakeBooks(const QString& folder, AppContext* ctx)
{
    if (!CreateDatabaseFiles(folder) || !ctx->openFolder(folder))
        return false;
    for (int c = 1; c <= kCards; ++c)
        ctx->card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee) VALUES (?, ?, 2.0)"), {c, CardName(c)});
    // Books in use: a year of entries before the file's, stored as typing does.
    LedgerStore store(ctx->ledger);
    for (int i = 0; i < 400; ++i) {
        int key = 0;
        store.InsertRecord(QDate(2021, 1, 1).addDays(i % 365).toString(Qt::ISODate), 1 + i % kCards, &key);
        store.RecordEditCol(key, QStringLiteral("sale"), 5000 + i);
    }
    return true;
}

void WriteCsv(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray text = "일자,카드명,건수,매출액,수수료,카드사결제액\n";
    for (int i = 0; i < kRows; ++i)
        text += SaleRow(i).join(QLatin1Char(',')).toUtf8() + '\n';
    f.write(text);
}

void WriteWorkbook(const QString& path)
{
    lxw_workbook_options options{LXW_TRUE, nullptr, LXW_FALSE}; // constant memory: inline strings
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    const QStringList header = QStringLiteral("일자,카드명,건수,매출액,수수료,카드사결제액").split(QLatin1Char(','));
    for (int c = 0; c < header.size(); ++c)
        worksheet_write_string(ws, 0, c, header[c].toUtf8().constData(), nullptr);
    for (int i = 0; i < kRows; ++i) {
        const QStringList row = SaleRow(i);
        worksheet_write_string(ws, i + 1, 0, row[0].toUtf8().constData(), nullptr);
        worksheet_write_string(ws, i + 1, 1, row[1].toUtf8().constData(), nullptr);
        for (int c = 2; c < 6; ++c)
            worksheet_write_number(ws, i + 1, c, row[c].toDouble(), nullptr);
    }
    workbook_close(wb);
}

// File to committed books, each step timed.
void ImportOnce(const QString& label, const QString& file, BenchReport& report)
{
    QTemporaryDir dir;
    AppContext ctx;
    if (!MakeBooks(dir.path() + QStringLiteral("/dbs"), &ctx))
        return;
    QElapsedTimer all, t;
    all.start();
    t.start();
    ImportTable table;
    ImportProfile profile;
    ImportPlan plan;
    ErrorInfo e;
    const bool read = ReadImportFile(file, &table, &e) && ImportProfiles::Recognize(table, &profile);
    report.add(label + QStringLiteral(": read"), ElapsedMs(t), QStringLiteral("ms"));
    t.restart();
    const bool planned = read && ImportPlanner::Build(ctx.ledger, table, profile, &plan, &e);
    report.add(label + QStringLiteral(": plan (duplicates included)"), ElapsedMs(t), QStringLiteral("ms"));
    t.restart();
    ImportOutcome outcome;
    const bool stored = planned && ImportRun::Store(ctx.ledger, QString(), plan, file, &outcome, &e);
    report.add(label + QStringLiteral(": store (one transaction)"), ElapsedMs(t), QStringLiteral("ms"));
    report.add(label + QStringLiteral(": file to books, total"), ElapsedMs(all) / 1000.0, QStringLiteral("s"));
    report.add(label + QStringLiteral(": rows stored"), stored ? outcome.counts.ready : -1, QStringLiteral("rows"));
    t.restart();
    const CarryOverCheck check = LedgerStore(ctx.ledger).CheckCarryOver();
    report.add(label + QStringLiteral(": carry-over check clean (1 = yes)"), check.clean() ? 1 : 0, QString());
    if (!stored)
        std::fprintf(stderr, "  import failed: %s\n", qPrintable(ErrorLine(e)));
    ctx.closeAll();
}
} // namespace

TALLOX_BENCHMARK("import 100k")
{
    QTemporaryDir dir;
    const QString csv = dir.path() + QStringLiteral("/sales.csv");
    const QString xlsx = dir.path() + QStringLiteral("/sales.xlsx");
    WriteCsv(csv);
    WriteWorkbook(xlsx);
    ImportOnce(QStringLiteral("100,000 rows CSV"), csv, report);
    ImportOnce(QStringLiteral("100,000 rows xlsx"), xlsx, report);

    // The per-row path of typing, for comparison.
    QTemporaryDir books;
    AppContext ctx;
    if (!MakeBooks(books.path() + QStringLiteral("/dbs"), &ctx))
        return;
    LedgerStore store(ctx.ledger);
    QElapsedTimer t;
    t.start();
    constexpr int kTyped = 2000;
    for (int i = 0; i < kTyped; ++i) {
        const QStringList row = SaleRow(i);
        int key = 0;
        store.InsertRecord(row[0], 1 + i % kCards, &key);
        store.RecordEditCol(key, QStringLiteral("numsheet"), row[2]);
        store.RecordEditCol(key, QStringLiteral("sale"), row[3]);
        store.RecordEditCol(key, QStringLiteral("fee"), row[4]);
        store.RecordEditCol(key, QStringLiteral("billcoll"), row[5]);
    }
    report.add(QStringLiteral("row by row as typed (InsertRecord + RecordEditCol), scaled to 100,000"),
               ElapsedMs(t) / 1000.0 * (kRows / kTyped), QStringLiteral("s"));
    ctx.closeAll();
}

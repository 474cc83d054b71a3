// The server column: the same books on a private PostgreSQL server on the
// loopback address (tests/support/pg_test_server.sh starts and stops it),
// next to SQLite in the same run: the ledger window's sheet at 100,000
// entries, one stored sale edit at 100,000, and the summary of a year at
// 1,000,000. The books are copied to the server with `tallox --copy`'s routine.
#include "BenchRegistry.h"

#include "data/books/AppContext.h"
#include "data/books/BooksCopy.h"
#include "data/books/ServerSchema.h"
#include "data/ledger/DemoData.h"
#include "data/ledger/LedgerStore.h"
#include "data/summary/SumBillData.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerModel.h"
#include "gui/ledger/LedgerView.h"
#include "gui/ledger/frmMain.h"
#include "gui/summary/SumBillSheet.h"
#include "gui/toolkit/PeriodBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
// A private server for the run; stopped when the last benchmark ends.
class BenchServer {
public:
    BenchServer() { m_state.setAutoRemove(true); }
    ~BenchServer() { script(QStringLiteral("stop")); }
    QString address(const QString& db)
    {
        if (m_base.isEmpty() && script(QStringLiteral("start"))) {
            QFile f(m_state.path() + QStringLiteral("/address"));
            f.open(QIODevice::ReadOnly);
            m_base = QString::fromUtf8(f.readAll()).trimmed();
        }
        if (m_base.isEmpty())
            return {};
        Database admin;
        admin.open(m_base, nullptr, false, false, false);
        admin.execute(QStringLiteral("CREATE DATABASE ") + db);
        return m_base.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/') + db;
    }

private:
    bool script(const QString& action)
    {
        return QProcess::execute(
                   QStringLiteral("sh"),
                   {QStringLiteral(TALLOX_SOURCE_DIR "/tests/support/pg_test_server.sh"), action, m_state.path()}) == 0;
    }
    QTemporaryDir m_state;
    QString m_base;
};

BenchServer& Server()
{
    static BenchServer server;
    return server;
}

// The books of the ledger benchmark's size on disk, then the same on the server.
QString Books(int entries, const char* label, bool throughStore)
{
    const QString root = QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data/");
    // The ledger benchmark's books when it made them already.
    const QString made =
        root + QStringLiteral("ledger-%1-%2").arg(QLatin1String(label), throughStore ? "store" : "bulk");
    if (QFileInfo::exists(made + QStringLiteral("/ready")))
        return QDir::cleanPath(made);
    const QString folder = QDir::cleanPath(root + QStringLiteral("server-%1").arg(QLatin1String(label)));
    if (!QFileInfo::exists(folder + QStringLiteral("/dbTallox.db"))) {
        DemoSpec spec;
        spec.cards = 40;
        spec.years = 10;
        spec.entries = entries;
        spec.seed = 20260101;
        spec.throughStore = throughStore;
        QString why;
        if (!GenerateDemoData(folder, spec, &why))
            std::fprintf(stderr, "  demo data failed: %s\n", qPrintable(why));
    }
    return folder;
}

QString OnServer(const QString& folder, const char* label, BenchReport& report)
{
    const QString address = Server().address(QStringLiteral("bench_%1").arg(QString::fromLatin1(label).toLower()));
    Database db;
    ErrorInfo e;
    if (address.isEmpty() || !db.open(address, &e, false, false, false) || !CreateServerSchema(db, &e)) {
        std::fprintf(stderr, "  no server: %s\n", qPrintable(e.description));
        return {};
    }
    db.close();
    QElapsedTimer t;
    t.start();
    CopyCounts counts;
    if (!CopyBooks(folder, address, &counts, &e)) {
        std::fprintf(stderr, "  copy failed: %s\n", qPrintable(e.description));
        return {};
    }
    report.add(QStringLiteral("%1: copy to the server").arg(QLatin1String(label)), ElapsedMs(t) / 1000.0,
               QStringLiteral("s"));
    return address;
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// The whole span's sheet in the real window, best of three; then, on the same
// window, stored sale edits (each undone by a second one) and their p99.
double MeasureWindow(const QString& books, const QString& engine, BenchReport& report, bool edits)
{
    auto ctx = std::make_unique<AppContext>();
    if (!ctx->openFolder(books))
        return 0;
    const QString first = ctx->ledger.scalar(QStringLiteral("SELECT MIN(sdate) FROM Tallox")).toString();
    const QString last = ctx->ledger.scalar(QStringLiteral("SELECT MAX(sdate) FROM Tallox")).toString();
    auto* win = new frmMain(std::move(ctx));
    win->show();
    win->Form_Activate();
    auto* period = win->findChild<PeriodBar*>();
    period->setDateText(0, first);
    period->setDateText(1, last);
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        win->RefreshSheet();
        best = std::min(best, ElapsedMs(t));
    }
    report.add(QStringLiteral("100k: sheet of all entries, %1").arg(engine), best, QStringLiteral("ms"));
    LedgerModel* model = win->sheetView()->ledgerModel();
    QRandomGenerator rng(7);
    std::vector<double> times;
    for (int i = 0; edits && i < 100 && model->entryRow() > 1; ++i) {
        const int code = model->entryAt(1 + int(rng.bounded(model->entryRow() - 1)))->key;
        for (const QString& value : {QStringLiteral("123000"), QStringLiteral("0")}) {
            QElapsedTimer t;
            t.start();
            win->store().RecordEditCol(code, QStringLiteral("sale"), value);
            times.push_back(ElapsedMs(t));
        }
    }
    if (edits)
        report.add(QStringLiteral("100k: stored sale edit p99, %1 (target < 30)").arg(engine), Percentile(times, 0.99),
                   QStringLiteral("ms"));
    win->hide();
    delete win;
    return best;
}

double YearSummary(const QString& books)
{
    AppContext ctx;
    if (!ctx.openFolder(books))
        return 0;
    const QString last = ctx.ledger.scalar(QStringLiteral("SELECT MAX(sdate) FROM Tallox")).toString();
    const int year = last.left(4).toInt() - 1;
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        SpreadGrid grid;
        QElapsedTimer t;
        t.start();
        BuildSumBillSheet(ctx.ledger, &grid, QStringLiteral("%1-01-01").arg(year),
                          QStringLiteral("%1-12-31").arg(year));
        best = std::min(best, ElapsedMs(t));
    }
    return best;
}
} // namespace

TALLOX_BENCHMARK("server 100k")
{
    const QString folder = Books(100000, "100k", true);
    const QString address = OnServer(folder, "100k", report);
    if (address.isEmpty())
        return;
    const double sqlite = MeasureWindow(folder, QStringLiteral("SQLite"), report, false);
    const double server = MeasureWindow(address, QStringLiteral("server"), report, true);
    report.add(QStringLiteral("100k: sheet, server / SQLite (target <= 3)"), server / std::max(sqlite, 0.001),
               QStringLiteral("x"));
}

TALLOX_BENCHMARK("server 1M")
{
    const QString folder = Books(1000000, "1M", false);
    const QString address = OnServer(folder, "1M", report);
    if (address.isEmpty())
        return;
    report.add(QStringLiteral("1M: summary of a year, SQLite"), YearSummary(folder), QStringLiteral("ms"));
    report.add(QStringLiteral("1M: summary of a year, server (target < 100)"), YearSummary(address),
               QStringLiteral("ms"));
}

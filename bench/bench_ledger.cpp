// The ledger at 10,000, 100,000 and 1,000,000 entries over 40 card companies
// and ten years: the ledger window's sheet next to its bare query, the
// brought-forward balance, one stored cell edit, the carry-over rebuild, the
// summary, start-up of the real program and the memory of the largest sheet;
// the window's sheet of 20,000 entries of one card in one month; the sheet as
// a table model of typed rows; the undo menu on a history of a million rows.
//
// The demo databases are generated once into <build>/bench-data and reused.
#include "BenchRegistry.h"

#include "data/base/Clock.h"
#include "data/books/AppContext.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/books/SharedQueries.h"
#include "data/ledger/DemoData.h"
#include "data/ledger/LedgerHistory.h"
#include "data/ledger/LedgerStore.h"
#include "data/summary/SumBillData.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerModel.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/ledger/LedgerView.h"
#include "gui/ledger/frmMain.h"
#include "gui/summary/SumBillSheet.h"
#include "gui/toolkit/PeriodBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kCards = 40;
constexpr int kYears = 10;

struct Size {
    int entries;
    const char* label;
    bool throughStore;
};
const Size kSizes[] = {{10000, "10k", true}, {100000, "100k", true}, {1000000, "1M", false}};

QString BenchDataRoot()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data"));
}

QString FolderFor(const Size& s)
{
    return BenchDataRoot() + QStringLiteral("/ledger-%1-%2").arg(s.label, s.throughStore ? "store" : "bulk");
}

// Generates the folder once; later runs find its "ready" mark and reuse it.
bool EnsureDemoFolder(const Size& s, BenchReport& report)
{
    const QString folder = FolderFor(s);
    const QString mark = folder + QStringLiteral("/ready");
    if (QFileInfo::exists(mark))
        return true;
    QDir(folder).removeRecursively();
    QDir().mkpath(BenchDataRoot());
    DemoSpec spec;
    spec.cards = kCards;
    spec.years = kYears;
    spec.entries = s.entries;
    spec.seed = 20260101;
    spec.throughStore = s.throughStore;
    std::fprintf(stderr, "  generating %s entries (%s) into %s\n", s.label,
                 s.throughStore ? "through LedgerStore" : "bulk", qPrintable(folder));
    QElapsedTimer t;
    t.start();
    QString error;
    if (!GenerateDemoData(folder, spec, &error)) {
        std::fprintf(stderr, "  demo data failed: %s\n", qPrintable(error));
        return false;
    }
    report.add(QStringLiteral("%1: generate demo data once (%2)")
                   .arg(s.label, s.throughStore ? "through LedgerStore" : "bulk + rebuild"),
               ElapsedMs(t) / 1000.0, QStringLiteral("s"));
    QFile f(mark);
    f.open(QIODevice::WriteOnly);
    return true;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(std::ceil(p * double(v.size())) - 1));
    return v[i];
}

// Best of `n` runs: the figure least disturbed by the other work on the machine.
template <class F> double BestOf(int n, F&& f)
{
    double best = 1e300;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, ElapsedMs(t));
    }
    return best;
}

// The period query stepped through with every column read, as plain as Qt SQL goes.
int BareLedgerQuery(Database& ledger, const QString& from, const QString& to, int card)
{
    QString sql = QStringLiteral("SELECT a.code, a.sdate, a.cardcode, b.name, a.sale, a.fee, a.billcoll, a.numsheet"
                                 " FROM Tallox AS a LEFT JOIN %1.Plastra AS b ON a.cardcode = b.code"
                                 " WHERE a.sdate BETWEEN ? AND ?")
                      .arg(CardAlias());
    if (card > 0)
        sql += QStringLiteral(" AND a.cardcode = ?");
    sql += QStringLiteral(" ORDER BY a.sdate, a.code");
    QSqlQuery q(ledger.handle());
    q.setForwardOnly(true);
    q.prepare(sql);
    q.addBindValue(from);
    q.addBindValue(to);
    if (card > 0)
        q.addBindValue(card);
    q.exec();
    int rows = 0;
    qint64 sink = 0;
    while (q.next()) {
        sink += q.value(0).toInt();
        sink += q.value(1).toString().size();
        sink += q.value(2).toInt();
        sink += q.value(3).toString().size();
        sink += q.value(4).toLongLong() + q.value(5).toLongLong() + q.value(6).toLongLong() + q.value(7).toLongLong();
        ++rows;
    }
    q.finish();
    return sink == -1 ? -1 : rows;
}

// The window with its context on the folder, shown and activated (first sheet loaded).
frmMain* OpenWindow(const QString& folder)
{
    auto ctx = std::make_unique<AppContext>();
    if (!ctx->openFolder(folder))
        return nullptr;
    auto* win = new frmMain(std::move(ctx));
    win->show();
    win->Form_Activate();
    QCoreApplication::processEvents();
    return win;
}

void SetFilter(frmMain* win, const QString& from, const QString& to, int card)
{
    auto* period = win->findChild<PeriodBar*>();
    period->setDateText(0, from);
    period->setDateText(1, to);
    auto* combo = win->findChild<QComboBox*>(QStringLiteral("cmbPlastra"));
    combo->setCurrentIndex(card == 0 ? 0 : combo->findData(card));
}

void CloseWindow(frmMain* win)
{
    win->hide();
    delete win; // no close(): the saved layout stays untouched
}

// Isolated settings and application folder for the whole benchmark process.
void IsolateSettings()
{
    static QTemporaryDir home;
    qputenv("TALLOX_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
}

struct Span {
    QString first, last;      // the data's whole span
    QString yearFrom, yearTo; // its last full year
};

Span SpanOf(Database& ledger)
{
    Span s;
    s.first = ledger.scalar(QStringLiteral("SELECT MIN(sdate) FROM Tallox")).toString();
    s.last = ledger.scalar(QStringLiteral("SELECT MAX(sdate) FROM Tallox")).toString();
    const QDate last = QDate::fromString(s.last, Qt::ISODate);
    const QDate yearStart(last.year() - 1, 1, 1);
    s.yearFrom = yearStart.toString(Qt::ISODate);
    s.yearTo = QDate(last.year() - 1, 12, 31).toString(Qt::ISODate);
    return s;
}

void MeasureSheet(const Size& size, frmMain* win, const Span& span, BenchReport& report)
{
    Database& ledger = win->context().ledger;
    const int runs = size.entries >= 1000000 ? 2 : 4;
    struct Filter {
        QString name, from, to;
        int card;
    };
    const Filter filters[] = {{QStringLiteral("all cards, whole span"), span.first, span.last, 0},
                              {QStringLiteral("card 7, one year"), span.yearFrom, span.yearTo, 7}};
    for (const Filter& f : filters) {
        SetFilter(win, f.from, f.to, f.card);
        int rows = 0;
        const double bare = BestOf(runs, [&] { rows = BareLedgerQuery(ledger, f.from, f.to, f.card); });
        const double sheet = BestOf(runs, [&] { win->RefreshSheet(); });
        const QString p = QStringLiteral("%1: %2 (%3 rows)").arg(size.label, f.name).arg(rows);
        report.add(p + QStringLiteral(" RefreshSheet"), sheet, QStringLiteral("ms"));
        report.add(p + QStringLiteral(" bare query"), bare, QStringLiteral("ms"));
        report.add(p + QStringLiteral(" ratio (target <= 2)"), sheet / std::max(bare, 0.001), QStringLiteral("x"));
    }
}

void MeasurePrevBalance(const Size& size, Database& ledger, const Span& span, BenchReport& report)
{
    const double all = BestOf(10, [&] { GetPrevBalance(ledger, span.yearFrom, 0); });
    const double one = BestOf(10, [&] { GetPrevBalance(ledger, span.yearFrom, 7); });
    report.add(QStringLiteral("%1: GetPrevBalance all cards (target < 5)").arg(size.label), all, QStringLiteral("ms"));
    report.add(QStringLiteral("%1: GetPrevBalance one card").arg(size.label), one, QStringLiteral("ms"));
}

// One stored sale edit typed into the window: the cell's editor ends, the
// window stores through the model, the balances, totals and undo menu follow,
// and the sheet paints. Every edit is undone by a second one, so the cached
// database stays as generated. Before, in the same run: the grid sheet the
// window had, its cell and the balance from that row down.
void MeasureCellEdit(const Size& size, frmMain* win, const Span& span, BenchReport& report)
{
    SetFilter(win, span.first, span.last, 0);
    win->findChild<QCheckBox*>(QStringLiteral("chkAutoFee"))->setChecked(false);
    win->RefreshSheet();
    LedgerView* view = win->sheetView();
    LedgerModel* model = view->ledgerModel();
    const int edits = size.entries >= 1000000 ? 20 : 100;
    QRandomGenerator rng(7);
    std::vector<double> times;
    for (int i = 0; i < edits && model->entryRow() > 1; ++i) {
        const int row = 1 + int(rng.bounded(model->entryRow() - 1));
        const Money old = model->entryAt(row)->sale;
        for (const Money value : {old + Money::fromWon(1000), old}) {
            view->setActiveCell(row, LedgerModel::Sale);
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            view->beginEdit();
            view->cellEditor()->setText(value.toPlainString());
            view->endEdit(true);
            view->viewport()->repaint();
            times.push_back(ElapsedMs(t));
        }
    }
    report.add(QStringLiteral("%1: window cell edit on a %2-row sheet, median").arg(size.label).arg(model->rowCount()),
               Median(times), QStringLiteral("ms"));
    report.add(QStringLiteral("%1: window cell edit, p99 (target < 20)").arg(size.label), Percentile(times, 0.99),
               QStringLiteral("ms"));

    SpreadGrid sheet;
    DesignLedgerColumns(&sheet);
    if (!BuildLedgerSheet(&sheet, win->context().ledger, span.first, span.last, 0, span.first, nullptr))
        return;
    LedgerStore& store = win->store();
    const int lastEntry = sheet.maxRows() - 1;
    std::vector<double> gridTimes, storeTimes, balanceTimes;
    for (int i = 0; i < edits; ++i) {
        const int row = 2 + int(rng.bounded(std::max(1, lastEntry - 1)));
        const int code = int(leadingNumber(sheet.text(LedgerCol::Code, row)));
        const QString old = sheet.text(LedgerCol::Sale, row);
        const Money oldSale = CellMoney(&sheet, LedgerCol::Sale, row);
        const QString changed = (oldSale + Money::fromWon(1000)).toPlainString();
        for (const QString& value : {changed, old}) {
            QElapsedTimer t;
            t.start();
            store.RecordEditCol(code, QStringLiteral("sale"), value.isEmpty() ? QStringLiteral("0") : value);
            const double stored = ElapsedMs(t);
            sheet.setText(LedgerCol::Sale, row, value);
            CalcBalance(&sheet, row);
            gridTimes.push_back(ElapsedMs(t));
            storeTimes.push_back(stored);
            balanceTimes.push_back(gridTimes.back() - stored);
        }
    }
    report.add(QStringLiteral("%1: before, grid sheet cell edit, median").arg(size.label), Median(gridTimes),
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1: before, grid sheet cell edit, p99").arg(size.label), Percentile(gridTimes, 0.99),
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1:   of which RecordEditCol, median").arg(size.label), Median(storeTimes),
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1:   of which RecordEditCol, p99").arg(size.label), Percentile(storeTimes, 0.99),
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1:   of which cell + CalcBalance, median").arg(size.label), Median(balanceTimes),
               QStringLiteral("ms"));
}

// The grouping query the rebuild runs and the inserts its rows imply, into a
// scratch copy of the carry-over table, as plain as Qt SQL goes.
double BareRebuild(Database& ledger)
{
    QElapsedTimer t;
    t.start();
    Transaction tx(ledger);
    ledger.execute(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS bench_transfer (sMonth TEXT, amount INTEGER,"
                                  " cardcode INTEGER, UNIQUE (cardcode, sMonth))"));
    ledger.execute(QStringLiteral("DELETE FROM bench_transfer"));
    QSqlQuery q(ledger.handle());
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT cardcode, substr(sdate, 1, 7) AS m, SUM(sale - billcoll - fee) FROM Tallox"
                          " GROUP BY cardcode, m ORDER BY cardcode, m"));
    struct R {
        int card;
        QString month;
        qint64 net;
    };
    std::vector<R> rows;
    while (q.next())
        rows.push_back({q.value(0).toInt(), q.value(1).toString(), q.value(2).toLongLong()});
    q.finish();
    QSqlQuery ins(ledger.handle());
    ins.prepare(QStringLiteral("INSERT INTO bench_transfer (sMonth, amount, cardcode) VALUES (?, ?, ?)"));
    int prevCard = -1;
    qint64 balance = 0;
    for (const R& r : rows) {
        if (r.card != prevCard) { // the card's zero row before its first month
            prevCard = r.card;
            balance = 0;
            ins.bindValue(0, DateText::previousMonth(r.month));
            ins.bindValue(1, qint64(0));
            ins.bindValue(2, r.card);
            ins.exec();
        }
        balance += r.net;
        ins.bindValue(0, r.month);
        ins.bindValue(1, balance);
        ins.bindValue(2, r.card);
        ins.exec();
    }
    ins.finish();
    tx.commit();
    return ElapsedMs(t);
}

void MeasureRebuild(const Size& size, frmMain* win, BenchReport& report)
{
    Database& ledger = win->context().ledger;
    const double bare = std::min(BareRebuild(ledger), BareRebuild(ledger));
    const double rebuild = BestOf(2, [&] { win->store().ReBaln(); });
    const int rows = ledger.scalar(QStringLiteral("SELECT COUNT(*) FROM transfer")).toInt();
    report.add(QStringLiteral("%1: carry-over rebuild (%2 rows)").arg(size.label).arg(rows), rebuild,
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1: bare grouping query + inserts").arg(size.label), bare, QStringLiteral("ms"));
    report.add(QStringLiteral("%1: rebuild ratio (target <= 2)").arg(size.label), rebuild / std::max(bare, 0.001),
               QStringLiteral("x"));
}

// The rebuild's grouping query alone (per card and month), stepped through:
// the one pass over the ledger that the carry-over check cannot do without.
double BareGrouping(Database& ledger)
{
    return BestOf(3, [&] {
        QSqlQuery q(ledger.handle());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT cardcode, substr(sdate, 1, 7) AS m, SUM(sale - billcoll - fee) FROM Tallox"
                              " GROUP BY cardcode, m ORDER BY cardcode, m"));
        qint64 sink = 0;
        while (q.next())
            sink += q.value(0).toInt() + q.value(1).toString().size() + q.value(2).toLongLong();
        q.finish();
        Q_UNUSED(sink);
    });
}

// The whole carry-over check (`--check`, the menu's 잔액 검증) next to the bare grouping.
void MeasureCheck(const QString& label, Database& ledger, BenchReport& report)
{
    LedgerStore store(ledger);
    qsizetype findings = -1;
    const double check = BestOf(3, [&] {
        const CarryOverCheck c = store.CheckCarryOver();
        findings = c.ok ? c.rows.size() + c.uncovered.size() + c.badDates.size() : -1;
    });
    const double bare = BareGrouping(ledger);
    report.add(QStringLiteral("%1: carry-over check (%2 findings)").arg(label).arg(findings), check,
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1: bare grouping query").arg(label), bare, QStringLiteral("ms"));
    report.add(QStringLiteral("%1: check ratio (target <= 2)").arg(label), check / std::max(bare, 0.001),
               QStringLiteral("x"));
}

void MeasureSummary(const Size& size, Database& ledger, const Span& span, BenchReport& report)
{
    SpreadGrid grid;
    const double sheet = BestOf(5, [&] {
        grid.setMaxRows(0); // as the window's RefreshSheet starts
        BuildSumBillSheet(ledger, &grid, span.yearFrom, span.yearTo);
    });
    const double bare = BestOf(5, [&] {
        QSqlQuery q(ledger.handle());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT cardcode, SUM(numsheet), SUM(sale), SUM(fee), SUM(billcoll) FROM Tallox"
                                 " WHERE sdate BETWEEN ? AND ? GROUP BY cardcode"));
        q.addBindValue(span.yearFrom);
        q.addBindValue(span.yearTo);
        q.exec();
        qint64 sink = 0;
        while (q.next())
            sink += q.value(0).toInt() + q.value(1).toLongLong() + q.value(2).toLongLong() + q.value(3).toLongLong() +
                    q.value(4).toLongLong();
        q.finish();
        Q_UNUSED(sink);
    });
    report.add(QStringLiteral("%1: summary one year (sheet)").arg(size.label), sheet, QStringLiteral("ms"));
    report.add(QStringLiteral("%1: bare per-card sums").arg(size.label), bare, QStringLiteral("ms"));
    report.add(QStringLiteral("%1: summary ratio (target <= 2)").arg(size.label), sheet / std::max(bare, 0.001),
               QStringLiteral("x"));
}

// The real program, started on the folder under the offscreen platform; the
// probe plugin ends it as soon as the ledger sheet has been painted with its
// first sheet. Timed from process start to its end.
void MeasureStartup(const Size& size, BenchReport& report)
{
    const QString binDir = QCoreApplication::applicationDirPath();
    const QString tallox = QDir::cleanPath(binDir + QStringLiteral("/../tallox"));
    const QString pluginRoot = binDir + QStringLiteral("/probe-plugins");
    if (!QFileInfo::exists(tallox) || !QFileInfo::exists(pluginRoot)) {
        std::fprintf(stderr, "  start-up skipped: build the tallox and tallox_startprobe targets\n");
        return;
    }
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TALLOX_HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), pluginRoot);
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("talloxstartprobe"));
    std::vector<double> times;
    int shown = 0;
    for (int i = 0; i < 3; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(tallox, {FolderFor(size)});
        p.waitForFinished(60000);
        times.push_back(ElapsedMs(t));
        const QByteArray out = p.readAllStandardError();
        if (out.contains("TALLOX_FIRST_SHEET_SHOWN"))
            ++shown;
        else
            std::fprintf(stderr, "  start-up run did not report a shown sheet: %s\n", out.constData());
    }
    report.add(QStringLiteral("%1: start-up to first shown sheet, real tallox (target < 1000; %2/3 shown)")
                   .arg(size.label)
                   .arg(shown),
               Median(times), QStringLiteral("ms"));
}

// The memory of a process holding the largest sheet: measured in a child
// process so that nothing else this benchmark did counts.
void MeasureMemoryChild(const Size& size, BenchReport& report)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALLOX_BENCH_MEMORY_CHILD"), FolderFor(size));
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("ledger-memory-child")});
    p.waitForFinished(300000);
    const QByteArray err = p.readAllStandardError();
    const int at = err.indexOf("VMHWM ");
    if (at < 0) {
        std::fprintf(stderr, "  memory child failed: %s\n", err.constData());
        return;
    }
    const QList<QByteArray> parts = err.mid(at).split('\n').value(0).split(' ');
    report.add(QStringLiteral("%1: peak memory with the whole sheet loaded, VmHWM (target < 300)").arg(size.label),
               parts.value(1).toDouble(), QStringLiteral("MiB"));
    report.add(QStringLiteral("%1: resident memory then, VmRSS").arg(size.label), parts.value(2).toDouble(),
               QStringLiteral("MiB"));
}

void RunSize(const Size& size, BenchReport& report)
{
    IsolateSettings();
    if (!EnsureDemoFolder(size, report))
        return;
    frmMain* win = OpenWindow(FolderFor(size));
    if (!win) {
        std::fprintf(stderr, "  cannot open %s\n", qPrintable(FolderFor(size)));
        return;
    }
    Database& ledger = win->context().ledger;
    const Span span = SpanOf(ledger);
    report.add(QStringLiteral("%1: entries").arg(size.label),
               ledger.scalar(QStringLiteral("SELECT COUNT(*) FROM Tallox")).toDouble(), QString());
    MeasureSheet(size, win, span, report);
    MeasurePrevBalance(size, ledger, span, report);
    MeasureCellEdit(size, win, span, report);
    MeasureRebuild(size, win, report);
    MeasureCheck(QString::fromLatin1(size.label), ledger, report);
    MeasureSummary(size, ledger, span, report);
    CloseWindow(win);
    MeasureStartup(size, report);
    if (size.entries >= 1000000)
        MeasureMemoryChild(size, report);
}
} // namespace

TALLOX_BENCHMARK("ledger 10k")
{
    RunSize(kSizes[0], report);
}

TALLOX_BENCHMARK("ledger 100k")
{
    RunSize(kSizes[1], report);
}

TALLOX_BENCHMARK("ledger 1M")
{
    RunSize(kSizes[2], report);
}

// The carry-over check alone, without the window, on the bulk-written books
// (100,000 entries are generated in a few seconds; 1,000,000 share the folder
// of "ledger 1M"): `tallox_bench "carry-over check"`.
TALLOX_BENCHMARK("carry-over check")
{
    IsolateSettings();
    for (const Size& size : {Size{100000, "100k", false}, kSizes[2]}) {
        if (!EnsureDemoFolder(size, report))
            return;
        AppContext ctx;
        if (!ctx.openFolder(FolderFor(size), nullptr, true)) {
            std::fprintf(stderr, "  cannot open %s\n", qPrintable(FolderFor(size)));
            return;
        }
        MeasureCheck(QStringLiteral("%1 bulk").arg(QString::fromLatin1(size.label)), ctx.ledger, report);
        ctx.closeAll();
    }
}

// One card, one month of 20,000 entries, loaded by the real window: the bare
// query as the yardstick, the grid sheet it had (query and fill), and the
// whole RefreshSheet on the model.
TALLOX_BENCHMARK("ledger window 20k")
{
    constexpr int kRows = 20000;
    const QString from = QStringLiteral("2005-06-01"), to = QStringLiteral("2005-06-30");
    IsolateSettings();
    Clock::setToday(QDate(2005, 6, 15)); // the entry row falls inside the period
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/dbs");
    {
        ErrorInfo e;
        AppContext ctx;
        if (!CreateDatabaseFiles(folder, &e) || !ctx.openFolder(folder)) {
            std::fprintf(stderr, "  cannot create %s\n", qPrintable(folder));
            return;
        }
        ctx.card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee, setday) VALUES (1, ?, 0, 0)"),
                         {QStringLiteral("신한카드")});
        Transaction tx(ctx.ledger);
        for (int i = 0; i < kRows; ++i)
            ctx.ledger.execute(QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                                              " VALUES (?, 1, ?, ?, 0, 1)"),
                               {QStringLiteral("2005-06-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                                qint64(10000) * (i % 100), qint64(10000) * (i % 3)});
        tx.commit();
        ctx.closeAll();
    }
    frmMain* win = OpenWindow(folder);
    if (!win)
        return;
    SetFilter(win, from, to, 0);
    Database& ledger = win->context().ledger;
    const double bare = BestOf(3, [&] { BareLedgerQuery(ledger, from, to, 0); });
    SpreadGrid scratch;
    DesignLedgerColumns(&scratch);
    const double fill = BestOf(3, [&] { LoadLedgerSheet(&scratch, ledger, from, to, 0, Money(), from, nullptr); });
    const double sheet = BestOf(3, [&] { win->RefreshSheet(); });
    report.add(QStringLiteral("sheet load 20,000 rows in the window (RefreshSheet)"), sheet, QStringLiteral("ms"));
    report.add(QStringLiteral("  sheet rows (entries + 2)"), win->sheetView()->ledgerModel()->rowCount(), QString());
    report.add(QStringLiteral("  bare query, same rows"), bare, QStringLiteral("ms"));
    report.add(QStringLiteral("  LoadLedgerSheet (query and fill, no window)"), fill, QStringLiteral("ms"));
    CloseWindow(win);
    Clock::setToday(QDate());
}

// Child of "ledger 1M": the real window with the whole span of all cards loaded.
TALLOX_BENCHMARK("ledger-memory-child")
{
    const QString folder = qEnvironmentVariable("TALLOX_BENCH_MEMORY_CHILD");
    if (folder.isEmpty())
        return; // only as a child process
    IsolateSettings();
    frmMain* win = OpenWindow(folder);
    if (!win)
        return;
    const Span span = SpanOf(win->context().ledger);
    SetFilter(win, span.first, span.last, 0);
    win->RefreshSheet();
    QCoreApplication::processEvents();
    std::fprintf(stderr, "VMHWM %.1f %.1f\n", PeakRssMiB(), CurrentRssMiB());
    std::fflush(stderr);
    report.add(QStringLiteral("VmHWM"), PeakRssMiB(), QStringLiteral("MiB"));
    CloseWindow(win);
}

namespace {
// The sheet as typed rows in the table model: the whole span loaded, a stored
// sale edit with the balances of a screenful of rows around it, as a view
// paints them (each edit undone by a second one), sorts by three columns, and
// for 1M the memory of a process holding the model.
void MeasureModel(const Size& size, BenchReport& report)
{
    AppContext ctx;
    if (!ctx.openFolder(FolderFor(size)))
        return;
    const Span span = SpanOf(ctx.ledger);
    LedgerStore store(ctx.ledger);
    LedgerModel model(store, ctx.ledger);
    int rows = 0;
    const double bare = BestOf(2, [&] { rows = BareLedgerQuery(ctx.ledger, span.first, span.last, 0); });
    const double load = BestOf(2, [&] { model.load(span.first, span.last, 0); });
    const QString p = QStringLiteral("%1: model, whole span (%2 rows)").arg(size.label).arg(rows);
    report.add(p + QStringLiteral(" load"), load, QStringLiteral("ms"));
    report.add(p + QStringLiteral(" ratio to the bare query (target <= 2)"), load / std::max(bare, 0.001),
               QStringLiteral("x"));
    QRandomGenerator rng(7);
    std::vector<double> times;
    const int edits = size.entries >= 1000000 ? 20 : 50;
    for (int i = 0; i < edits && model.entryRow() > 1; ++i) {
        const int row = 1 + int(rng.bounded(model.entryRow() - 1));
        const QModelIndex cell = model.index(row, LedgerModel::Sale);
        const Money old = model.entryAt(row)->sale;
        for (const Money value : {old + Money::fromWon(1000), old}) {
            QElapsedTimer t;
            t.start();
            model.setData(cell, value.toPlainString());
            for (int r = std::max(0, row - 20); r < std::min(model.rowCount(), row + 20); ++r)
                (void)model.data(model.index(r, LedgerModel::Balance));
            times.push_back(ElapsedMs(t));
        }
    }
    report.add(QStringLiteral("%1: model cell edit with a screenful of balances, median").arg(size.label),
               Median(times), QStringLiteral("ms"));
    report.add(QStringLiteral("%1: model cell edit, p99 (target < 20)").arg(size.label), Percentile(times, 0.99),
               QStringLiteral("ms"));
    for (const auto& [column, name] :
         {std::pair{int(LedgerModel::Sale), "sale"}, std::pair{int(LedgerModel::CardName), "card name"},
          std::pair{int(LedgerModel::Balance), "balance"}}) {
        const double sort = BestOf(2, [&] {
            model.sort(column, Qt::DescendingOrder);
            model.sort(LedgerModel::Date, Qt::AscendingOrder);
        });
        report.add(QStringLiteral("%1: model sort by %2 and back (target < 500)").arg(size.label, QLatin1String(name)),
                   sort, QStringLiteral("ms"));
    }
    ctx.closeAll();
    if (size.entries < 1000000)
        return;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALLOX_BENCH_MEMORY_CHILD"), FolderFor(size));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("ledger-model-memory-child")});
    child.waitForFinished(300000);
    const QByteArray err = child.readAllStandardError();
    const int at = err.indexOf("VMHWM ");
    if (at >= 0)
        report.add(
            QStringLiteral("%1: peak memory with the whole span in the model, VmHWM (target < 200)").arg(size.label),
            err.mid(at).split('\n').value(0).split(' ').value(1).toDouble(), QStringLiteral("MiB"));
}
} // namespace

// Child of "ledger model": the model alone with the whole span of all cards loaded.
TALLOX_BENCHMARK("ledger-model-memory-child")
{
    const QString folder = qEnvironmentVariable("TALLOX_BENCH_MEMORY_CHILD");
    if (folder.isEmpty())
        return; // only as a child process
    IsolateSettings();
    AppContext ctx;
    if (!ctx.openFolder(folder))
        return;
    const Span span = SpanOf(ctx.ledger);
    LedgerStore store(ctx.ledger);
    LedgerModel model(store, ctx.ledger);
    model.load(span.first, span.last, 0);
    for (int r = 0; r < 40; ++r)
        (void)model.data(model.index(model.rowCount() - 1 - r, LedgerModel::Balance));
    std::fprintf(stderr, "VMHWM %.1f %.1f\n", PeakRssMiB(), CurrentRssMiB());
    std::fflush(stderr);
    report.add(QStringLiteral("VmHWM"), PeakRssMiB(), QStringLiteral("MiB"));
    ctx.closeAll();
}

TALLOX_BENCHMARK("ledger model")
{
    IsolateSettings();
    for (const Size& size : kSizes)
        if (EnsureDemoFolder(size, report))
            MeasureModel(size, report);
}

// A typed sale, its automatic fee and the undo menu's two look-ups, on books
// whose history already holds a million rows; and those look-ups alone, as at start-up.
TALLOX_BENCHMARK("undo menu, 1M history rows")
{
    IsolateSettings();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/dbs");
    ErrorInfo e;
    AppContext ctx;
    if (!CreateDatabaseFiles(folder, &e) || !ctx.openFolder(folder))
        return;
    ctx.card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee, setday) VALUES (1, ?, 2.5, 0)"),
                     {QStringLiteral("신한카드")});
    ctx.ledger.execute(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000)"
                       " INSERT INTO history (at, computer, username, kind, code, field)"
                       " SELECT '2005-01-01', '', '', 'field-changed', i, 'sale' FROM n"));
    LedgerStore store(ctx.ledger);
    LedgerHistory history(store, ctx.ledger);
    std::vector<double> typed, menu;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        int key = 0;
        store.InsertRecord(QStringLiteral("2005-06-15"), 1, &key);
        store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("120000"));
        store.JoinNextToLastChange();
        store.RecordEditCol(key, QStringLiteral("fee"),
                            LedgerStore::AutoFee(2.5, QStringLiteral("120000")).toPlainString());
        history.NextUndo();
        history.NextRedo();
        typed.push_back(ElapsedMs(t));
        t.restart();
        history.NextUndo();
        history.NextRedo();
        menu.push_back(ElapsedMs(t));
    }
    report.add(QStringLiteral("typed entry, sale and fee with the menu update, p99 (target < 20)"),
               Percentile(typed, 0.99), QStringLiteral("ms"));
    report.add(QStringLiteral("undo menu look-ups alone, p99"), Percentile(menu, 0.99), QStringLiteral("ms"));
    report.add(QStringLiteral("history rows"),
               ctx.ledger.scalar(QStringLiteral("SELECT COUNT(*) FROM history")).toDouble(), QString());
    ctx.closeAll();
}

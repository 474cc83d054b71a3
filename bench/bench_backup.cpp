// A backup of books of 100,000 and 1,000,000 entries: how long it takes
// (snapshot, copy, integrity check and row counts of the copy), and the
// longest wait of a stored cell edit made meanwhile on the window's own
// connection, next to the same edits without a backup running.
//
// The books are generated once (in bulk) into <build>/bench-data/backup-<size>.
#include "BenchRegistry.h"

#include "data/books/AppContext.h"
#include "data/books/Backup.h"
#include "data/ledger/DemoData.h"
#include "data/ledger/LedgerStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {
struct Size {
    int entries;
    const char* label;
};
const Size kSizes[] = {{100000, "100k"}, {1000000, "1M"}};

QString FolderFor(const Size& s)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data/backup-") +
                           QLatin1String(s.label));
}

bool EnsureBooks(const Size& s)
{
    const QString folder = FolderFor(s);
    if (QFileInfo::exists(folder + QStringLiteral("/ready")))
        return true;
    QDir(folder).removeRecursively();
    DemoSpec demo;
    demo.cards = 40;
    demo.years = 10;
    demo.entries = s.entries;
    demo.seed = 20260101;
    demo.throughStore = false;
    std::fprintf(stderr, "  generating %s entries into %s\n", s.label, qPrintable(folder));
    QString error;
    if (!GenerateDemoData(folder, demo, &error)) {
        std::fprintf(stderr, "  demo data failed: %s\n", qPrintable(error));
        return false;
    }
    QFile mark(folder + QStringLiteral("/ready"));
    return mark.open(QIODevice::WriteOnly);
}

// Stored sale edits as the sheet makes them, timed one by one: one won up,
// then back, so that the books stay as generated.
struct Editor {
    LedgerStore& store;
    qint64 entries;
    std::vector<double> waits;
    void editPair()
    {
        const int code = 1 + int(QRandomGenerator::global()->bounded(entries));
        const auto entry = store.ReadEntry(code, nullptr);
        if (!entry)
            return;
        for (const Money& sale : {entry->sale + Money::fromDouble(1), entry->sale}) {
            QElapsedTimer t;
            t.start();
            store.RecordEditCol(code, QStringLiteral("sale"), sale.toPlainString());
            waits.push_back(ElapsedMs(t));
        }
    }
    double longest() const { return waits.empty() ? 0 : *std::max_element(waits.begin(), waits.end()); }
    double p99() const
    {
        std::vector<double> v = waits;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[std::min(v.size() - 1, v.size() * 99 / 100)];
    }
};

void Measure(const Size& s, BenchReport& report)
{
    if (!EnsureBooks(s))
        return;
    QTemporaryDir roots;
    AppContext ctx;
    if (!ctx.openFolder(FolderFor(s)))
        return;
    LedgerStore store(ctx.ledger);
    Editor quiet{store, ctx.ledger.scalar(QStringLiteral("SELECT count(*) FROM Tallox")).toLongLong(), {}};
    Editor busy = quiet;
    QElapsedTimer t;
    t.start();
    BackupInfo made;
    Backup::Take(FolderFor(s), roots.path() + QStringLiteral("/alone"), true, &made, nullptr);
    report.add(QStringLiteral("%1: backup alone").arg(s.label), ElapsedMs(t), QStringLiteral("ms"));

    bool ok = false;
    QThread* backup = QThread::create([&] {
        Backup::YieldToEdits(); // as the window runs it
        ok = Backup::Take(FolderFor(s), roots.path() + QStringLiteral("/busy"), true, nullptr, nullptr);
    });
    t.restart();
    backup->start();
    while (!backup->isFinished())
        busy.editPair();
    backup->wait();
    const double took = ElapsedMs(t);
    delete backup;
    while (quiet.waits.size() < busy.waits.size())
        quiet.editPair();
    report.add(QStringLiteral("%1: backup with edits running (%2)").arg(s.label, ok ? "ok" : "FAILED"), took,
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1: edits stored meanwhile").arg(s.label), double(busy.waits.size()), QString());
    report.add(QStringLiteral("%1: longest edit during the backup").arg(s.label), busy.longest(), QStringLiteral("ms"));
    report.add(QStringLiteral("%1: longest of as many edits, no backup").arg(s.label), quiet.longest(),
               QStringLiteral("ms"));
    report.add(QStringLiteral("%1: edit p99 during the backup / without").arg(s.label), busy.p99(),
               QStringLiteral("ms / %1 ms").arg(quiet.p99(), 0, 'f', 2));
    ctx.closeAll();
}
} // namespace

TALLOX_BENCHMARK("backup")
{
    for (const Size& s : kSizes)
        Measure(s, report);
}

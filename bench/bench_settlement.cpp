// The settlement window's figures at a million entries: the set-based load
// (one grouped query, one pass per card) and filling its sheet, as 조회 in
// 정산 현황 and --settlement do them. The books are generated once into
// <build>/bench-data/settlement-1M and reused.
#include "BenchRegistry.h"

#include "data/books/AppContext.h"
#include "data/ledger/DemoData.h"
#include "data/settlement/Holidays.h"
#include "data/settlement/Settlement.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/settlement/SettlementSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// The demo books, generated once into bench-data/settlement-1M.
QString EnsureBooks(BenchReport& report)
{
    DemoSpec books;
    books.cards = 40;
    books.years = 3;
    books.entries = 1'000'000;
    books.seed = 20261209;
    books.lastDay = QDate(2026, 12, 8);
    books.throughStore = false;
    return EnsureBenchBooks(QStringLiteral("settlement-1M"), books,
                            QStringLiteral("generate demo books once (40 cards, 1M entries)"), report);
}
} // namespace

TALLOX_BENCHMARK("settlement window 1M entries")
{
    const QString folder = EnsureBooks(report);
    if (folder.isEmpty())
        return;
    AppContext ctx;
    if (!ctx.openFolder(folder, nullptr, true)) {
        std::fprintf(stderr, "  cannot open %s\n", qPrintable(folder));
        return;
    }
    Holidays holidays;
    if (!Holidays::Load(Holidays::BuiltInFile(), &holidays))
        return;
    const QDate day(2026, 12, 9);
    std::vector<double> loads, fills;
    for (int i = 0; i < 8; ++i) {
        QElapsedTimer t;
        t.start();
        Settlement s;
        ErrorInfo e;
        if (!LoadSettlement(ctx.ledger, holidays, QDate(2026, 12, 1), day, 0, &s, &e)) {
            std::fprintf(stderr, "  settlement failed: %s\n", qPrintable(e.description));
            return;
        }
        const double load = ElapsedMs(t);
        t.restart();
        SpreadGrid grid;
        FillSettlementSheet(&grid, s);
        if (i > 0) { // the first run warms the page cache
            loads.push_back(load);
            fills.push_back(ElapsedMs(t));
        }
    }
    std::sort(loads.begin(), loads.end());
    std::sort(fills.begin(), fills.end());
    report.add(QStringLiteral("ledger entries"),
               ctx.ledger.scalar(QStringLiteral("SELECT count(*) FROM Tallox")).toDouble(), "rows");
    report.add(QStringLiteral("figures: grouped query + one pass per card (median of 7)"), loads[loads.size() / 2],
               "ms");
    report.add(QStringLiteral("sheet fill (median of 7)"), fills[fills.size() / 2], "ms");
    report.add(QStringLiteral("window's figures and sheet (median of 7)"),
               loads[loads.size() / 2] + fills[fills.size() / 2], "ms");
}

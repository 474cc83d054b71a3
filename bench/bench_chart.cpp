// The summary window's monthly chart over 40 card companies and ten years of
// demo books: the grouped query, building the chart and one render of it at
// the saved picture's size, each on its own and together (what 조회 on the
// chart tab and --chart-summary cost). The books are generated once into
// <build>/bench-data/chart-40x10 and reused.
#include "BenchRegistry.h"

#include "data/books/AppContext.h"
#include "data/ledger/DemoData.h"
#include "gui/summary/SumBillChart.h"

#include <QChart>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {
// The demo books, generated once into bench-data/chart-40x10.
QString EnsureBooks(BenchReport& report)
{
    DemoSpec books;
    books.cards = 40;
    books.years = 10;
    books.seed = 20260101;
    books.lastDay = QDate(2025, 12, 31);
    books.throughStore = false;
    return EnsureBenchBooks(QStringLiteral("chart-40x10"), books,
                            QStringLiteral("generate demo books once (40 cards, 10 years)"), report);
}

struct Times {
    double load = 0, build = 0, render = 0, total = 0, cpu = 0, loadCpu = 0, renderCpu = 0;
};

// CPU time of this thread in ms: on a machine shared with other builds the
// wall clock also counts the time others had the cores.
double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// One full pass: the figures, the chart, the picture. The chart is also built
// once on its own to time it; render() builds its own, so `total` is the query
// plus render: data, construction and drawing once each.
Times OnePass(AppContext& ctx, int* cards, int* months)
{
    Times t;
    double cpu = ThreadCpuMs();
    QElapsedTimer clock;
    clock.start();
    MonthlySummary data;
    if (!LoadMonthlySummary(ctx.ledger, QStringLiteral("2016-01-01"), QStringLiteral("2025-12-31"), &data))
        std::fprintf(stderr, "  the monthly summary failed\n");
    t.load = ElapsedMs(clock);
    t.loadCpu = ThreadCpuMs() - cpu;
    const SumBillChart chart(std::move(data));
    clock.restart();
    std::unique_ptr<QChart> made(chart.makeChart());
    t.build = ElapsedMs(clock);
    cpu = ThreadCpuMs();
    clock.restart();
    const QImage image = chart.render(kSumBillChartSize);
    t.render = ElapsedMs(clock);
    t.renderCpu = ThreadCpuMs() - cpu;
    t.cpu = t.loadCpu + t.renderCpu;
    t.total = t.load + t.render;
    *cards = int(chart.data().cards.size());
    *months = int(chart.data().months.size());
    if (image.isNull())
        std::fprintf(stderr, "  no picture\n");
    return t;
}
} // namespace

TALLOX_BENCHMARK("summary chart 40 cards x 10 years")
{
    const QString folder = EnsureBooks(report);
    if (folder.isEmpty())
        return;
    AppContext ctx;
    if (!ctx.openFolder(folder, nullptr, true)) {
        std::fprintf(stderr, "  cannot open %s\n", qPrintable(folder));
        return;
    }
    const qint64 entries = ctx.ledger.scalar(QStringLiteral("SELECT count(*) FROM Tallox")).toLongLong();
    int cards = 0, months = 0;
    OnePass(ctx, &cards, &months); // warms the page cache and the fonts
    std::vector<Times> runs;
    for (int i = 0; i < 7; ++i)
        runs.push_back(OnePass(ctx, &cards, &months));
    const auto median = [&runs](double Times::*field) {
        std::vector<double> v;
        for (const Times& t : runs)
            v.push_back(t.*field);
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    report.add(QStringLiteral("ledger entries"), double(entries), "rows");
    report.add(QStringLiteral("cards x months drawn"), double(cards * months), "bars");
    report.add(QStringLiteral("monthly query (median of 7)"), median(&Times::load), "ms");
    report.add(QStringLiteral("chart construction (median of 7)"), median(&Times::build), "ms");
    report.add(QStringLiteral("construction + render 1600x900 (median of 7)"), median(&Times::render), "ms");
    report.add(QStringLiteral("query + construction + render (median of 7)"), median(&Times::total), "ms");
    report.add(QStringLiteral("monthly query, CPU time of the thread (median of 7)"), median(&Times::loadCpu), "ms");
    report.add(QStringLiteral("construction + render, CPU time (median of 7)"), median(&Times::renderCpu), "ms");
    report.add(QStringLiteral("query + construction + render, CPU time (median of 7)"), median(&Times::cpu), "ms");
    std::vector<double> totals;
    for (const Times& t : runs)
        totals.push_back(t.total);
    report.add(QStringLiteral("query + construction + render (worst of 7)"),
               *std::max_element(totals.begin(), totals.end()), "ms");
    ctx.closeAll();
}

#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

// A tiny registry of benchmarks: each bench_*.cpp registers named
// measurements with TALLOX_BENCHMARK; tallox_bench runs them in order and
// prints every reported figure in one table.
class BenchReport {
public:
    struct Row {
        QString group;
        QString name;
        double value;
        QString unit;
    };
    explicit BenchReport(QString group) : m_group(std::move(group)) {}
    void add(const QString& name, double value, const QString& unit) { m_rows.push_back({m_group, name, value, unit}); }
    const std::vector<Row>& rows() const { return m_rows; }

private:
    QString m_group;
    std::vector<Row> m_rows;
};

struct BenchCase {
    QString name;
    std::function<void(BenchReport&)> run;
};

std::vector<BenchCase>& BenchCases();

struct BenchRegistrar {
    BenchRegistrar(const QString& name, std::function<void(BenchReport&)> fn)
    {
        BenchCases().push_back({name, std::move(fn)});
    }
};

#define TALLOX_BENCH_CAT2(a, b) a##b
#define TALLOX_BENCH_CAT(a, b) TALLOX_BENCH_CAT2(a, b)
#define TALLOX_BENCHMARK(name)                                                                                         \
    static void TALLOX_BENCH_CAT(benchFn_, __LINE__)(BenchReport&);                                                    \
    static BenchRegistrar TALLOX_BENCH_CAT(benchReg_, __LINE__)(QStringLiteral(name),                                  \
                                                                TALLOX_BENCH_CAT(benchFn_, __LINE__));                 \
    static void TALLOX_BENCH_CAT(benchFn_, __LINE__)(BenchReport & report)

// Milliseconds since `t` started.
inline double ElapsedMs(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Peak resident set size of the process in MiB (VmHWM), 0 when unknown.
double PeakRssMiB();
// Current resident set size in MiB (VmRSS).
double CurrentRssMiB();

struct DemoSpec;
// bench-data/<name> beside the build, holding demo books of `spec`: generated
// once (the time reported as `what`) and marked ready, then reused. Empty when
// they could not be made.
QString EnsureBenchBooks(const QString& name, const DemoSpec& spec, const QString& what, BenchReport& report);

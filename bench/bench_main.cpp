// Runs every registered benchmark (optionally only those whose name contains
// the first argument) and prints the figures as one table.
#include "BenchRegistry.h"

#include "data/ledger/DemoData.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

std::vector<BenchCase>& BenchCases()
{
    static std::vector<BenchCase> cases;
    return cases;
}

namespace {
double statusField(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key)) {
            const QList<QByteArray> parts = line.mid(key.size()).simplified().split(' ');
            return parts.value(0).toDouble() / 1024.0; // kB -> MiB
        }
    }
    return 0;
}
} // namespace

double PeakRssMiB()
{
    return statusField("VmHWM");
}

double CurrentRssMiB()
{
    return statusField("VmRSS");
}

QString EnsureBenchBooks(const QString& name, const DemoSpec& spec, const QString& what, BenchReport& report)
{
    const QString folder =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data/") + name);
    if (QFileInfo::exists(folder + QStringLiteral("/ready")))
        return folder;
    QDir(folder).removeRecursively();
    QElapsedTimer t;
    t.start();
    QString error;
    if (!GenerateDemoData(folder, spec, &error)) {
        std::fprintf(stderr, "  demo data failed: %s\n", qPrintable(error));
        return QString();
    }
    report.add(what, ElapsedMs(t) / 1000.0, "s");
    QFile mark(folder + QStringLiteral("/ready"));
    return mark.open(QIODevice::WriteOnly) ? folder : QString();
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString filter = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    std::vector<BenchReport::Row> rows;
    for (const BenchCase& c : BenchCases()) {
        if (!filter.isEmpty() && !c.name.contains(filter, Qt::CaseInsensitive))
            continue;
        std::fprintf(stderr, "running %s ...\n", qPrintable(c.name));
        BenchReport report(c.name);
        c.run(report);
        rows.insert(rows.end(), report.rows().begin(), report.rows().end());
    }

    int wGroup = 9, wName = 11;
    for (const auto& r : rows) {
        wGroup = std::max(wGroup, int(r.group.size()));
        wName = std::max(wName, int(r.name.size()));
    }
    QTextStream out(stdout);
    out << QStringLiteral("benchmark").leftJustified(wGroup) << "  "
        << QStringLiteral("measurement").leftJustified(wName) << "  " << QStringLiteral("value").rightJustified(14)
        << "  unit\n";
    out << QString(wGroup + wName + 26, QLatin1Char('-')) << "\n";
    for (const auto& r : rows)
        out << r.group.leftJustified(wGroup) << "  " << r.name.leftJustified(wName) << "  "
            << QString::number(r.value, 'f', 2).rightJustified(14) << "  " << r.unit << "\n";
    return 0;
}

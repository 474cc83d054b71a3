// The ledger sheet of a million entries written as a workbook: the real
// `tallox --export-sheet` (typed rows streamed from the query into the
// workbook) next to, in the same run, the way it went before (the rows filled
// into a grid, then the grid written) and the bare query, each in a process
// of its own so that its peak memory is its own.

#include "BenchRegistry.h"
#include "data/books/AppContext.h"
#include "data/ledger/LedgerRows.h"
#include "data/sheet/Workbook.h"
#include "gui/grid/GridSheet.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kFirst = QStringLiteral("1990-01-01");
const QString kLast = QStringLiteral("2099-12-31");

// The bulk-written books of `ledger 1M` (bench_ledger.cpp makes them).
QString BooksFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data/ledger-1M-bulk"));
}

struct Run {
    bool ok = false;
    double ms = 0;
    double peakMiB = 0;
};

// Runs a program to its end; its own peak resident memory comes from wait4.
Run RunProcess(const QString& program, const QStringList& args, const QStringList& env)
{
    QList<QByteArray> argBytes{QFile::encodeName(program)};
    for (const QString& a : args)
        argBytes << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    QList<QByteArray> envBytes;
    for (const QString& e : QProcess::systemEnvironment() + env)
        envBytes << e.toLocal8Bit();
    std::vector<char*> envp;
    for (QByteArray& e : envBytes)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::fflush(nullptr);
    QElapsedTimer t;
    t.start();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.ms = ElapsedMs(t);
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void Add(BenchReport& report, const QString& what, const Run& run)
{
    if (!run.ok) {
        std::fprintf(stderr, "  %s failed\n", qPrintable(what));
        return;
    }
    report.add(what + QStringLiteral(", time"), run.ms, QStringLiteral("ms"));
    report.add(what + QStringLiteral(", peak memory"), run.peakMiB, QStringLiteral("MiB"));
}

// Child modes of this benchmark's own program, chosen by TALLOX_BENCH_EXPORT_CHILD.
int ChildExport(const QString& mode, const QString& folder, const QString& file)
{
    AppContext ctx;
    if (!ctx.openFolder(folder, nullptr, true))
        return 2;
    if (mode == QLatin1String("query")) {
        // The floor: the sheet's query stepped through, every column read.
        qint64 n = 0;
        const bool read = ForEachLedgerEntry(
            ctx.ledger, kFirst, kLast, 0,
            [&n](const LedgerEntryRow& row, const QString&) {
                n += row.key;
                return true;
            },
            nullptr);
        return read && n != 0 ? 0 : 3;
    }
    // Before: the rows filled into a grid, which is then written.
    LedgerRows rows;
    SpreadGrid grid;
    DesignLedgerColumns(&grid);
    if (!LoadLedgerRows(ctx.ledger, kFirst, kLast, 0, &rows, nullptr) || !FillLedgerSheet(&grid, rows, kFirst, nullptr))
        return 3;
    rows = LedgerRows();
    return WriteWorkbook(GridSheet(grid), file, QStringLiteral("Sheet1")) ? 0 : 4;
}

} // namespace

TALLOX_BENCHMARK("export-child")
{
    Q_UNUSED(report)
    const QStringList spec = qEnvironmentVariable("TALLOX_BENCH_EXPORT_CHILD").split(QLatin1Char('|'));
    if (spec.size() != 3)
        return; // only as a child process
    std::fflush(nullptr);
    _exit(ChildExport(spec[0], spec[1], spec[2]));
}

TALLOX_BENCHMARK("export sheet 1M")
{
    const QString folder = BooksFolder();
    if (!QFileInfo::exists(folder + QStringLiteral("/ready")) &&
        !QFileInfo::exists(folder + QStringLiteral("/dbTallox.db"))) {
        std::fprintf(stderr, "  export skipped: run `tallox_bench \"ledger 1M\"` first to make %s\n",
                     qPrintable(folder));
        return;
    }
    const QString binDir = QCoreApplication::applicationDirPath();
    const QString tallox = QDir::cleanPath(binDir + QStringLiteral("/../tallox"));
    QTemporaryDir out;
    const QString home = out.filePath(QStringLiteral("home"));
    const QStringList env{QStringLiteral("TALLOX_HOME=") + home, QStringLiteral("XDG_CONFIG_HOME=") + home,
                          QStringLiteral("QT_QPA_PLATFORM=offscreen")};
    const QString self = QCoreApplication::applicationFilePath();
    const auto child = [&](const QString& mode, const QString& file) {
        return RunProcess(
            self, {QStringLiteral("export-child")},
            env + QStringList{QStringLiteral("TALLOX_BENCH_EXPORT_CHILD=%1|%2|%3").arg(mode, folder, file)});
    };
    Add(report, QStringLiteral("1M: bare sheet query, all columns"), child(QStringLiteral("query"), QString()));
    Add(report, QStringLiteral("1M: before: rows into a grid, grid to workbook"),
        child(QStringLiteral("grid"), out.filePath(QStringLiteral("grid.xlsx"))));
    Add(report, QStringLiteral("1M: tallox --export-sheet (targets < 8000 ms, < 100 MiB)"),
        RunProcess(
            tallox,
            {folder, QStringLiteral("--export-sheet"), kFirst, kLast, out.filePath(QStringLiteral("typed.xlsx"))},
            env));
}

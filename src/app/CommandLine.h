#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// Tallox without a window: `tallox [FOLDER] [OPTION ...]`. Each command runs
// without asking anything, prints what it did and exits 0 on success.
struct CommandLine {
    enum class Action {
        Window,
        Help,
        Version,
        ExportSheet,
        ExportSummary,
        PrintSheet,
        PrintSummary,
        ChartSummary,
        Rebuild,
        Check,
        Demo,
        Backup,
        ListBackups,
        Restore,
        Import,
        InitServer, // creates Tallox's tables on a PostgreSQL database
        Copy,       // copies the books from one folder or server to another (folder, dir)
        Settlement, // writes the settlement sheet of a day (`from`, may be empty: today) to `file`
        Overdue,    // prints the card companies overdue by more than `days` business days
    };
    Action action = Action::Window;
    QString folder;     // database folder (or the demo's target folder)
    QString from, to;   // the period, as typed
    int card = 0;       // --card, 0 = all cards
    QString file;       // output file
    bool force = false; // --force: an existing output file may be replaced
    QString dir;        // --backup's target folder, --restore's backup
    QString error;      // a usage error, one line
    // --demo sizes
    int demoCards = 40;
    int demoYears = 3;
    int demoEntries = 0; // 0: several entries a day for the years
    quint32 demoSeed = 1;
    // --import FILE (in `file`)
    QString profile;      // --profile: a saved profile's name or a profile file
    bool dryRun = false;  // --dry-run: shows what would be stored, stores nothing
    bool partial = false; // --partial: stores the rows that are not refused
    int days = 2;         // --overdue --days N
};

// Exit statuses of the commands.
enum ExitStatus {
    ExitOk = 0,
    ExitFindings = 1, // --check found disagreements, --overdue found late pay-outs
    ExitUsage = 2,    // bad arguments
    ExitDatabase = 3, // folder or database cannot be used
    ExitOutput = 4,   // the output file could not be written
};

// True when the arguments ask for a command rather than the window.
bool IsCommandLineRun(const QStringList& args);
// Reads the arguments (without the program name).
CommandLine ParseCommandLine(const QStringList& args);
QString UsageText();
// Whether a command draws (a grid, a chart or a printed page) and needs a
// QApplication; the others only read or write the books and run on a
// QCoreApplication.
bool CommandDraws(CommandLine::Action action);

// Runs a command (not Action::Window); the caller has created the application object.
int RunCommandLine(const CommandLine& cmd, QTextStream& out, QTextStream& err);

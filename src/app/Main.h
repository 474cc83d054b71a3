#pragma once

#include <QString>

#include <memory>

struct AppContext;
class BackupTask;

// Start-up: single instance, database folder, open both databases, upgrade,
// print component, then the ledger window. Returns the process exit status.
int TalloxMain(int argc, char** argv);

// Loads the texts of the system's language into the running application:
// for English Tallox's own translation (built in) and Qt's, otherwise Qt's own
// Korean texts (qtbase_ko.qm: standard buttons, dialog boxes). False when the
// file for the language is missing.
bool InstallQtTranslations();

// Opens the books of a folder for the window: on failure shows the engine's
// error and "데이터 베이스를 열 수 없습니다." with the file, and returns false.
bool OpenBooksOrSay(AppContext& ctx, const QString& folder);
// Brings opened books up to date for the window (the schema upgrade): a file
// that is no ledger of Tallox, or one that cannot be upgraded, is said as
// such, the books are closed and the answer is false.
bool UpgradeBooksOrSay(AppContext& ctx);
// Everything start-up does to the books under the books lock before the window
// shows: the first run's databases, a restore cut short finished or undone,
// the books opened, the day's first backup started, the upgrade. Null, after
// saying why, when any step failed: the program then stops.
std::unique_ptr<AppContext> OpenForWindow(const QString& folder, const QString& defaultFolder, BackupTask* daily);

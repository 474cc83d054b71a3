#pragma once

#include <QString>

struct AppContext;

// Start-up: single instance, database folder, open both databases, upgrade,
// print component, then the ledger window. Returns the process exit status.
int TalloxMain(int argc, char** argv);

// Loads Qt's own Korean texts (qtbase_ko.qm: standard buttons, dialog boxes)
// into the running application; false when the file is missing.
bool InstallQtTranslations();

// Opens the books of a folder for the window: on failure shows the engine's
// error and "데이터 베이스를 열 수 없습니다." with the file, and returns false.
bool OpenBooksOrSay(AppContext& ctx, const QString& folder);
// Brings opened books up to date for the window (the schema upgrade): a file
// that is no ledger of Tallox, or one that cannot be upgraded, is said as
// such, the books are closed and the answer is false.
bool UpgradeBooksOrSay(AppContext& ctx);

#pragma once

#include <QString>

class QSettings;
class QLockFile;

// The steps of start-up that need no window, so that tests can run them.
namespace Startup {
// Keeps "General"/"AppPath" equal to the application folder.
void StoreAppPath(QSettings& settings, const QString& appFolder);

// The database folder: an existing folder from the command line (never
// stored), else the stored "General"/"dbPath" (replaced by the default folder,
// and stored, when it no longer exists), else the default folder (stored).
QString ChooseDbFolder(const QString& commandLineFolder, QSettings& settings, const QString& defaultFolder);

// First run: the default folder without either database file gets both, with
// the schema. Any other folder is left alone. False when creating failed.
bool EnsureDefaultDatabases(const QString& folder, const QString& defaultFolder);

// The single-instance lock in the application folder. A lock left by a
// crashed run (its process is gone) does not block. Null when another instance runs.
QLockFile* AcquireInstanceLock(const QString& appFolder);
} // namespace Startup

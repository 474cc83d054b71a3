#pragma once

#include "base/Error.h"

#include <QString>

#include <memory>

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
// the schema. Any other folder is left alone. False, with `error` naming the
// folder, when creating failed.
bool EnsureDefaultDatabases(const QString& folder, const QString& defaultFolder, ErrorInfo* error = nullptr);

enum class LockStatus { Acquired, HeldByOther, CannotWrite };

// Takes a lock file. A lock left by a crashed run (its process is gone) does
// not block, nor does one that cannot be read (empty or garbage) once it is a
// few seconds old. CannotWrite: the folder does not take the file.
LockStatus AcquireLock(const QString& lockFile, std::unique_ptr<QLockFile>* lock);

// The single-instance lock in the application folder. Null when another
// instance runs or the folder cannot be written (see AcquireLock).
QLockFile* AcquireInstanceLock(const QString& appFolder);

// The lock beside the databases, held by the window and by --rebuild, so that
// no two of them work on the same books whatever their application folders.
QString BooksLockFile(const QString& dbFolder);
} // namespace Startup

#pragma once

#include "data/base/Error.h"

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

// Whether a lock file names a live process of the program that wrote it (on
// this computer; another computer's owner counts as live).
bool OwnerIsLive(const QString& lockFile);

// The one way Tallox takes a lock file: the window, every command and the
// backups. A lock whose content names no live process of the program that
// wrote it (empty, garbage, a process that is gone or is another program) is
// removed and taken; one being written right now is spared. Waits up to
// `waitMs` for a live owner to let go. CannotWrite: the folder does not take the file.
LockStatus AcquireLock(const QString& lockFile, std::unique_ptr<QLockFile>* lock, int waitMs = 0);

// The single-instance lock file of the application folder, and the lock
// itself: null when another instance runs or the folder cannot be written.
QString InstanceLockFile(const QString& appFolder);
QLockFile* AcquireInstanceLock(const QString& appFolder);

// The lock beside the databases, held by the window and by --rebuild, so that
// no two of them work on the same books whatever their application folders.
QString BooksLockFile(const QString& dbFolder);
} // namespace Startup

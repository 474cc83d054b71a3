#include "core/Startup.h"

#include "core/AppPaths.h"
#include "core/DbAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

namespace Startup {
void StoreAppPath(QSettings& settings, const QString& appFolder)
{
    if (settings.value(QStringLiteral("General/AppPath")).toString() != appFolder)
        settings.setValue(QStringLiteral("General/AppPath"), appFolder);
}

QString ChooseDbFolder(const QString& commandLineFolder, QSettings& settings, const QString& defaultFolder)
{
    const QString cmd = commandLineFolder.trimmed();
    if (!cmd.isEmpty() && QFileInfo(cmd).isDir())
        return QDir::cleanPath(QFileInfo(cmd).absoluteFilePath());

    const QString stored = settings.value(QStringLiteral("General/dbPath")).toString();
    if (stored.isEmpty()) {
        settings.setValue(QStringLiteral("General/dbPath"), defaultFolder);
        return defaultFolder;
    }
    if (!QFileInfo::exists(stored) && QDir::cleanPath(stored) != QDir::cleanPath(defaultFolder)) {
        settings.setValue(QStringLiteral("General/dbPath"), defaultFolder);
        return defaultFolder;
    }
    return stored;
}

bool EnsureDefaultDatabases(const QString& folder, const QString& defaultFolder)
{
    if (QDir::cleanPath(folder) != QDir::cleanPath(defaultFolder))
        return true;
    if (QFileInfo::exists(AppPaths::ledgerDbFile(folder)) || QFileInfo::exists(AppPaths::cardDbFile(folder)))
        return true;
    return CreateDatabaseFiles(folder);
}

QLockFile* AcquireInstanceLock(const QString& appFolder)
{
    QDir().mkpath(appFolder);
    auto* lock = new QLockFile(QDir(appFolder).filePath(QStringLiteral("tallox.lock")));
    lock->setStaleLockTime(0); // staleness by process id only: a live instance is never broken
    if (!lock->tryLock(0)) {
        delete lock;
        return nullptr;
    }
    return lock;
}
} // namespace Startup

#include "core/Startup.h"

#include "core/AppPaths.h"
#include "core/DbAccess.h"
#include "platform/ServerAddress.h"

#include <QCoreApplication>
#include <QDateTime>
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
    if (ServerAddress::Looks(cmd))
        return cmd;
    if (!cmd.isEmpty() && QFileInfo(cmd).isDir())
        return QDir::cleanPath(QFileInfo(cmd).absoluteFilePath());

    const QString stored = settings.value(QStringLiteral("General/dbPath")).toString();
    if (ServerAddress::Looks(stored))
        return stored.trimmed();
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

bool EnsureDefaultDatabases(const QString& folder, const QString& defaultFolder, ErrorInfo* error)
{
    if (QDir::cleanPath(folder) != QDir::cleanPath(defaultFolder))
        return true;
    if (QFileInfo::exists(AppPaths::ledgerDbFile(folder)) || QFileInfo::exists(AppPaths::cardDbFile(folder)))
        return true;
    ErrorInfo e;
    if (CreateDatabaseFiles(folder, &e))
        return true;
    return fail(error, e.asEngine(QCoreApplication::translate("Startup", "데이터베이스를 만들 수 없습니다: %1")
                                      .arg(QDir::toNativeSeparators(folder))));
}

LockStatus AcquireLock(const QString& lockFile, std::unique_ptr<QLockFile>* lock)
{
    QDir().mkpath(QFileInfo(lockFile).absolutePath());
    auto candidate = std::make_unique<QLockFile>(lockFile);
    candidate->setStaleLockTime(0); // staleness by process id only: a live instance is never broken
    if (!candidate->tryLock(0) && candidate->error() == QLockFile::LockFailedError) {
        // A file without a readable owner (emptied, overwritten) blocks forever
        // otherwise; a few seconds spare a lock that is being written right now.
        qint64 pid = 0;
        QString host, app;
        const QFileInfo info(lockFile);
        if (!candidate->getLockInfo(&pid, &host, &app) &&
            info.lastModified().secsTo(QDateTime::currentDateTime()) > 3 && candidate->removeStaleLockFile())
            candidate->tryLock(0);
    }
    switch (candidate->error()) {
    case QLockFile::NoError:
        *lock = std::move(candidate);
        return LockStatus::Acquired;
    case QLockFile::LockFailedError:
        return LockStatus::HeldByOther;
    default:
        return LockStatus::CannotWrite;
    }
}

QLockFile* AcquireInstanceLock(const QString& appFolder)
{
    std::unique_ptr<QLockFile> lock;
    AcquireLock(QDir(appFolder).filePath(QStringLiteral("tallox.lock")), &lock);
    return lock.release();
}

QString BooksLockFile(const QString& dbFolder)
{
    // Many computers share a server; on this one the books are locked in the application folder.
    if (ServerAddress::Looks(dbFolder))
        return QDir(AppPaths::appFolder()).filePath(QStringLiteral("tallox-server-books.lock"));
    return QDir(dbFolder).filePath(QStringLiteral("tallox-books.lock"));
}
} // namespace Startup

#include "data/books/Startup.h"

#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSysInfo>

#include <cerrno>
#include <limits>
#include <signal.h>
#include <sys/types.h>

namespace {
// Whether process `pid` runs the program `app` (a file name): by its
// executable, or for another user's process by its short name (the kernel
// keeps 15 characters). One that runs but cannot be looked into counts.
bool RunsProgram(qint64 pid, const QString& app)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max() || (::kill(pid_t(pid), 0) == -1 && errno == ESRCH))
        return false;
    QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    if (!exe.isEmpty()) {
        exe.remove(QRegularExpression(QStringLiteral(" \\(deleted\\)$"))); // replaced by an update while running
        return QFileInfo(exe).fileName() == app;
    }
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return true;
    const QByteArray name = comm.readAll().trimmed();
    return name.isEmpty() || name == app.left(15).toUtf8();
}
} // namespace

namespace Startup {
bool OwnerIsLive(const QString& lockFile)
{
    // The lines QLockFile writes: process id, program, host name, host id.
    QFile file(lockFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool number = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
    const QString app = QFileInfo(QString::fromUtf8(lines.value(1))).fileName();
    if (!number || app.isEmpty())
        return false;
    // Another computer's process (books in a shared folder) cannot be looked up here.
    const QString host = QString::fromUtf8(lines.value(2));
    const QByteArray hostId = lines.value(3);
    const bool otherHost = !hostId.isEmpty() && !QSysInfo::machineUniqueId().isEmpty()
                               ? hostId != QSysInfo::machineUniqueId()
                               : !host.isEmpty() && host != QSysInfo::machineHostName();
    if (otherHost)
        return true;
    return RunsProgram(pid, app);
}

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

LockStatus AcquireLock(const QString& lockFile, std::unique_ptr<QLockFile>* lock, int waitMs)
{
    QDir().mkpath(QFileInfo(lockFile).absolutePath());
    auto candidate = std::make_unique<QLockFile>(lockFile);
    candidate->setStaleLockTime(0); // staleness by owner only: a live instance is never broken
    // Qt breaks a lock only when it reads a dead owner from it; one that names
    // no live owner at all (emptied, overwritten) would block for good. The
    // removal takes the file's own lock first, so a file that its owner has
    // created and not yet written stays.
    if (!candidate->tryLock(0) && candidate->error() == QLockFile::LockFailedError && !OwnerIsLive(lockFile) &&
        candidate->removeStaleLockFile())
        candidate->tryLock(0);
    if (candidate->error() == QLockFile::LockFailedError && waitMs > 0)
        candidate->tryLock(waitMs);
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

QString InstanceLockFile(const QString& appFolder)
{
    return QDir(appFolder).filePath(QStringLiteral("tallox.lock"));
}

QLockFile* AcquireInstanceLock(const QString& appFolder)
{
    std::unique_ptr<QLockFile> lock;
    AcquireLock(InstanceLockFile(appFolder), &lock);
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

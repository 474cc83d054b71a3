#include "data/books/Backup.h"

#include "data/base/Clock.h"
#include "data/base/Language.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/books/History.h"
#include "data/books/Startup.h"
#include "data/db/Database.h"
#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
const QString kDescription = QStringLiteral("tallox-backup.ini");
const QString kPartPrefix = QStringLiteral(".part-");
const QString kMadeMark = QStringLiteral(".tallox-made"); // first thing in a temporary folder
const QString kLockName = QStringLiteral(".tallox-backup.lock");
const QString kRestoring = QStringLiteral(".restoring");
const QString kPendingRestore = QStringLiteral("tallox-restore.pending");
constexpr int kLockWaitMs = 120000;
constexpr int kPagesPerStep = 256;         // 1 MiB at SQLite's default page size
constexpr qint64 kCopyChunk = 1024 * 1024; // synced file copies, for the same reason
constexpr int kAlwaysKept = 10;            // the newest backups, whatever their dates
constexpr qint64 kClockSlackSecs = 3600;   // a name bumped by a second or two, a summer-time change

QString g_stopAt;

// Rows per table ("ledger/Tallox", "card/Plastra", ...), and the ledger's entries.
// i18n-exempt-begin: the kinds' words in the description file
const QString kKindKeys[] = {QString(),
                             QStringLiteral("daily"),
                             QStringLiteral("manual"),
                             QStringLiteral("rebuild"),
                             QStringLiteral("restore"),
                             QStringLiteral("import")};
// i18n-exempt-end

struct Description {
    QMap<QString, qint64> counts;
    BackupKind kind = BackupKind::Unknown;
    QString source;
    QDateTime taken;
    QString lastEntry;
    qint64 entries() const { return counts.value(QStringLiteral("ledger/Tallox"), -1); }
};

ErrorInfo Said(const QString& what, const ErrorInfo& cause = {})
{
    ErrorInfo e = cause.isSet() ? cause.asEngine(what) : ErrorInfo::notice(what);
    e.what = what;
    return e;
}

bool SyncPath(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A file copy synced as it goes (see CopySchema).
bool CopySynced(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunk);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size() || !out.flush() || ::fdatasync(out.handle()) != 0)
            return false;
    }
    return in.error() == QFileDevice::NoError && ::fsync(out.handle()) == 0;
}

// A folder's name as backups record and compare it.
QString SameFolder(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

std::filesystem::path FsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// What the entry itself is: a link is a link, never what it points to.
std::filesystem::file_type TypeOf(const QString& path)
{
    std::error_code ec;
    return std::filesystem::symlink_status(FsPath(path), ec).type();
}

bool IsRealDir(const QString& path)
{
    return TypeOf(path) == std::filesystem::file_type::directory;
}

bool IsRealFile(const QString& path)
{
    return TypeOf(path) == std::filesystem::file_type::regular;
}

// A folder and what it holds; links inside are removed, never followed.
bool RemoveTree(const QString& path)
{
    std::error_code ec;
    std::filesystem::remove_all(FsPath(path), ec);
    return !ec;
}

QString Quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Counts the rows of every table of `schema` under the key prefix `file`.
bool CountTables(Database& db, const QString& schema, const QString& file, QMap<QString, qint64>* counts,
                 ErrorInfo* error)
{
    QSqlQuery q = db.newQuery();
    if (!q.exec(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")
                    .arg(schema)))
        return fail(error, Database::errorOf(q.lastError()));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    for (const QString& name : names) {
        ErrorInfo e;
        const QVariant n = db.scalar(QStringLiteral("SELECT count(*) FROM %1.%2").arg(schema, Quoted(name)), {}, &e);
        if (!n.isValid())
            return fail(error, e);
        counts->insert(file + QLatin1Char('/') + name, n.toLongLong());
    }
    return true;
}

sqlite3* NativeHandle(const Database& db)
{
    const QVariant v = db.handle().driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

// Pushes what the copy wrote so far to the disk, without a sync of the file
// system's journal, so that the final sync has little left.
void WriteOut(int fd)
{
    if (fd >= 0)
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
}

// One attached database of `src` into a new file. The source's open read
// transaction is the snapshot it copies, so writes meanwhile never restart
// it. The copy's write transaction stays open from the first step to the
// last, so SQLite would sync the whole file at the end, and a stored edit's
// own sync would wait behind it (over 100 ms at a million entries). The
// copy is written unsynced with a small cache instead, each step's pages go
// to the disk before the next, and one sync at the end makes it durable.
// The copy gets a rollback journal so that it is one self-contained file.
bool CopySchema(sqlite3* src, const char* schema, const QString& target, ErrorInfo* error)
{
    sqlite3* dest = nullptr;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const int fd = rc == SQLITE_OK ? ::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC) : -1;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(dest, "PRAGMA synchronous = OFF; PRAGMA cache_size = -1024", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* b = sqlite3_backup_init(dest, "main", src, schema);
        rc = b ? SQLITE_OK : sqlite3_errcode(dest);
        while (rc == SQLITE_OK) {
            rc = sqlite3_backup_step(b, kPagesPerStep);
            WriteOut(fd);
        }
        if (b && rc == SQLITE_DONE)
            rc = sqlite3_backup_finish(b);
        else if (b)
            sqlite3_backup_finish(b);
    }
    // The pragma answers with the mode it is left in; a copy still in WAL needs a log beside it.
    QByteArray mode;
    if (rc == SQLITE_OK) {
        const auto answer = [](void* to, int, char** values, char**) {
            *static_cast<QByteArray*>(to) = values[0] ? QByteArray(values[0]) : QByteArray();
            return 0;
        };
        rc = sqlite3_exec(dest, "PRAGMA journal_mode = DELETE", answer, &mode, nullptr);
    }
    const bool modeStayed = rc == SQLITE_OK && mode.compare("delete", Qt::CaseInsensitive) != 0;
    if (modeStayed)
        rc = SQLITE_ERROR;
    int syncError = rc == SQLITE_OK && fd < 0 ? EBADF : 0;
    if (rc == SQLITE_OK && fd >= 0 && ::fsync(fd) != 0)
        syncError = errno;
    if (syncError)
        rc = SQLITE_IOERR_FSYNC;
    const ErrorInfo e(rc, syncError    ? QString::fromLocal8Bit(std::strerror(syncError))
                          : modeStayed ? QStringLiteral("journal mode stayed %1").arg(QString::fromUtf8(mode))
                          : dest       ? QString::fromUtf8(sqlite3_errmsg(dest))
                                       : QStringLiteral("out of memory"));
    if (fd >= 0)
        ::close(fd);
    sqlite3_close(dest);
    return rc == SQLITE_OK || fail(error, e);
}

// Edits stored while the snapshot was held piled up in the write-ahead log,
// which no one could fold into the file meanwhile. Folding them here spares
// the next stored edit that work. Nothing to do without a log. A failure
// (a full or failing disk under the books) is the caller's to say.
bool FoldLog(const QString& path, ErrorInfo* error)
{
    if (QFileInfo(path + QStringLiteral("-wal")).size() == 0)
        return true;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    const ErrorInfo e(rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
    sqlite3_close(db);
    return rc == SQLITE_OK || fail(error, e);
}

bool ReadLastEntry(Database& db, Description* d, ErrorInfo* error)
{
    ErrorInfo e;
    const QVariant last = db.scalar(QStringLiteral("SELECT max(sdate) FROM main.Tallox"), {}, &e);
    if (e.isSet())
        return fail(error, e);
    d->lastEntry = last.toString();
    return true;
}

// Both databases of `dbFolder` copied into `part` from one read snapshot,
// with the rows each table held in it.
bool Snapshot(const QString& dbFolder, const QString& part, Description* d, ErrorInfo* error,
              const Backup::Pinned& pinned)
{
    Database src;
    ErrorInfo e;
    const QByteArray stamp = Backup::BooksStamp(dbFolder);
    if (stamp.isEmpty())
        return fail(error, Backup::PendingRestoreError(dbFolder));
    if (!src.open(AppPaths::ledgerDbFile(dbFolder), &e, false, true) ||
        !src.attach(AppPaths::cardDbFile(dbFolder), QStringLiteral("card"), &e))
        return fail(error, Said(QCoreApplication::translate("Backup", "장부를 읽을 수 없습니다: %1").arg(dbFolder), e));
    if (Backup::BooksStamp(dbFolder) != stamp)
        return fail(error, Backup::PendingRestoreError(dbFolder));
    // The snapshot of each file starts at its first read and holds until COMMIT.
    bool ok = src.execute(QStringLiteral("BEGIN"), {}, &e) >= 0 &&
              src.scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master"), {}, &e).isValid() &&
              src.scalar(QStringLiteral("SELECT count(*) FROM card.sqlite_master"), {}, &e).isValid();
    if (ok && pinned)
        pinned();
    ok = ok && CountTables(src, QStringLiteral("main"), QStringLiteral("ledger"), &d->counts, &e) &&
         CountTables(src, QStringLiteral("card"), QStringLiteral("card"), &d->counts, &e) && ReadLastEntry(src, d, &e);
    sqlite3* native = ok ? NativeHandle(src) : nullptr;
    ok = native && CopySchema(native, "main", AppPaths::ledgerDbFile(part), &e) &&
         CopySchema(native, "card", AppPaths::cardDbFile(part), &e);
    // Ends the read snapshot; one that would not end is no finished copy.
    ErrorInfo ended;
    if (src.execute(QStringLiteral("COMMIT"), {}, &ended) < 0 && ok) {
        ok = false;
        e = ended;
    }
    src.close();
    d->source = SameFolder(dbFolder);
    d->taken = Clock::now();
    if (!ok)
        return fail(error, Said(QCoreApplication::translate("Backup", "백업을 쓰지 못했습니다: %1").arg(part), e));
    return true;
}

// One copied file: it passes the integrity check and holds `want`'s rows of `file`.
bool CheckFile(const QString& path, const QString& file, const Description& want, ErrorInfo* error)
{
    Database db;
    ErrorInfo e;
    QMap<QString, qint64> counts;
    if (!db.open(path, &e, false, true))
        return fail(error, Said(QCoreApplication::translate("Backup", "백업 파일을 열 수 없습니다: %1").arg(path), e));
    const QString verdict = db.scalar(QStringLiteral("PRAGMA integrity_check"), {}, &e).toString();
    if (verdict != QLatin1String("ok"))
        return fail(error, Said(QCoreApplication::translate("Backup", "백업 파일이 손상되었습니다: %1").arg(path), e));
    if (!CountTables(db, QStringLiteral("main"), file, &counts, &e))
        return fail(error,
                    Said(QCoreApplication::translate("Backup", "백업 파일을 읽을 수 없습니다: %1").arg(path), e));
    QMap<QString, qint64> wanted;
    for (auto it = want.counts.cbegin(); it != want.counts.cend(); ++it) {
        if (it.key().startsWith(file + QLatin1Char('/')))
            wanted.insert(it.key(), it.value());
    }
    if (counts != wanted)
        return fail(error,
                    Said(QCoreApplication::translate("Backup", "백업 파일의 자료 수가 원본과 다릅니다: %1").arg(path)));
    return true;
}

bool CheckFiles(const QString& ledger, const QString& card, const Description& want, ErrorInfo* error)
{
    if (!want.counts.contains(QStringLiteral("ledger/Tallox")) || !want.counts.contains(QStringLiteral("card/Plastra")))
        return fail(error, Said(QCoreApplication::translate("Backup", "Tallox의 장부가 아닙니다")));
    return CheckFile(ledger, QStringLiteral("ledger"), want, error) &&
           CheckFile(card, QStringLiteral("card"), want, error);
}

bool WriteDescription(const QString& folder, const Description& d, ErrorInfo* error)
{
    QSaveFile f(folder + QLatin1Char('/') + kDescription);
    if (f.open(QIODevice::WriteOnly)) {
        QTextStream out(&f);
        out << "[backup]\nsource=" << d.source << "\ntaken=" << d.taken.toString(Qt::ISODate)
            << "\nlastEntry=" << d.lastEntry;
        if (d.kind != BackupKind::Unknown)
            out << "\nkind=" << kKindKeys[int(d.kind)];
        out << "\n[rows]\n";
        for (auto it = d.counts.cbegin(); it != d.counts.cend(); ++it)
            out << QString(it.key()).replace(QLatin1Char('/'), QLatin1Char('.')) << '=' << it.value() << '\n';
        out.flush();
        if (f.commit())
            return true;
    }
    return fail(error, Said(QCoreApplication::translate("Backup", "백업 설명 파일을 쓸 수 없습니다: %1 (%2)")
                                .arg(folder, f.errorString())));
}

bool ReadDescription(const QString& folder, Description* d)
{
    const QString path = folder + QLatin1Char('/') + kDescription;
    if (!QFileInfo(path).isFile())
        return false;
    QSettings ini(path, QSettings::IniFormat);
    d->source = ini.value(QStringLiteral("backup/source")).toString();
    d->taken = QDateTime::fromString(ini.value(QStringLiteral("backup/taken")).toString(), Qt::ISODate);
    d->lastEntry = ini.value(QStringLiteral("backup/lastEntry")).toString();
    const QString kind = ini.value(QStringLiteral("backup/kind")).toString();
    for (int k = 1; k < int(std::size(kKindKeys)); ++k)
        d->kind = kind == kKindKeys[k] ? BackupKind(k) : d->kind;
    ini.beginGroup(QStringLiteral("rows"));
    for (const QString& key : ini.childKeys()) {
        bool ok = false;
        const qint64 n = ini.value(key).toLongLong(&ok);
        if (!ok)
            return false;
        d->counts.insert(QString(key).replace(QLatin1Char('.'), QLatin1Char('/')), n);
    }
    return ini.status() == QSettings::NoError && !d->counts.isEmpty();
}

BackupInfo InfoOf(const QString& path, const Description* d)
{
    BackupInfo info;
    info.path = QDir::cleanPath(path);
    info.name = QFileInfo(path).fileName();
    Backup::ParseName(info.name, &info.taken);
    if (d) {
        info.entries = d->entries();
        info.lastEntry = d->lastEntry;
        info.source = d->source;
        info.kind = d->kind;
    }
    return info;
}

// A folder with a backup's description and both its files (not yet checked).
bool IsBackupFolder(const QString& dir, Description* d, ErrorInfo* error)
{
    if (!QFileInfo(dir).isDir() || !ReadDescription(dir, d))
        return fail(error, Said(QCoreApplication::translate("Backup", "Tallox 백업이 아닙니다: %1").arg(dir)));
    for (const QString& file : {AppPaths::ledgerDbFile(dir), AppPaths::cardDbFile(dir)}) {
        if (!QFileInfo(file).isFile())
            return fail(error, Said(QCoreApplication::translate("Backup", "백업에 파일이 없습니다: %1").arg(file)));
    }
    return true;
}

// The folder exists (or is made, for the default one) and is a folder.
bool PrepareRoot(const QString& root, bool createRoot, ErrorInfo* error)
{
    const QFileInfo fi(root);
    if (!fi.exists() && !(createRoot && QDir().mkpath(root)))
        return fail(error, Said(QCoreApplication::translate("Backup", "백업 폴더가 없습니다: %1").arg(root)));
    if (!QFileInfo(root).isDir())
        return fail(error,
                    Said(QCoreApplication::translate("Backup", "백업 폴더로 정한 곳이 폴더가 아닙니다: %1").arg(root)));
    return true;
}

// The files of a backup folder: both databases and the description.
QStringList BackupFiles()
{
    return {QFileInfo(AppPaths::ledgerDbFile(QStringLiteral("."))).fileName(),
            QFileInfo(AppPaths::cardDbFile(QStringLiteral("."))).fileName(), kDescription};
}

// A temporary folder that a killed run left: a real folder (no link) holding
// the mark written first, or a backup's description. One left by a version
// that wrote no mark is taken only when it holds nothing but a backup's files.
bool IsOurLeftover(const QString& path)
{
    if (!IsRealDir(path))
        return false;
    if (IsRealFile(path + QLatin1Char('/') + kMadeMark) || IsRealFile(path + QLatin1Char('/') + kDescription))
        return true;
    const QStringList own = BackupFiles(); // with their journals and temporary copies
    const QStringList entries =
        QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return std::all_of(entries.cbegin(), entries.cend(), [&](const QString& entry) {
        return IsRealFile(path + QLatin1Char('/') + entry) &&
               std::any_of(own.cbegin(), own.cend(), [&](const QString& file) { return entry.startsWith(file); });
    });
}

// A new temporary folder, made here and marked as Tallox's before anything
// goes in, so that the clean-up never takes a folder or link someone else put there.
bool MakePart(const QString& part)
{
    std::error_code ec;
    if (!std::filesystem::create_directory(FsPath(part), ec))
        return false;
    QFile mark(part + QLatin1Char('/') + kMadeMark);
    if (mark.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    RemoveTree(part);
    return false;
}

// One writer per backup folder at a time; under it, what killed runs left is removed.
bool LockRoot(const QString& root, std::unique_ptr<QLockFile>* lock, ErrorInfo* error)
{
    std::unique_ptr<QLockFile> l;
    const Startup::LockStatus status = Startup::AcquireLock(root + QLatin1Char('/') + kLockName, &l, kLockWaitMs);
    if (status != Startup::LockStatus::Acquired) {
        const bool busy = status == Startup::LockStatus::HeldByOther;
        return fail(error,
                    Said(busy ? QCoreApplication::translate("Backup", "다른 백업이 진행중입니다: %1").arg(root)
                              : QCoreApplication::translate("Backup", "백업 폴더에 쓸 수 없습니다: %1").arg(root)));
    }
    const QStringList leftovers =
        QDir(root).entryList({kPartPrefix + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& leftover : leftovers) {
        if (IsOurLeftover(root + QLatin1Char('/') + leftover))
            RemoveTree(root + QLatin1Char('/') + leftover);
    }
    *lock = std::move(l);
    return true;
}

bool StopHere(const char* step)
{
    return g_stopAt == QLatin1String(step);
}

ErrorInfo Stopped()
{
    return Said(QStringLiteral("stopped at %1").arg(g_stopAt));
}

// The checked folder under its final name, made durable.
bool Publish(const QString& part, const QString& root, const QString& name, ErrorInfo* error)
{
    const QString final = root + QLatin1Char('/') + name;
    for (const QString& file : QDir(part).entryList(QDir::Files))
        SyncPath(part + QLatin1Char('/') + file);
    SyncPath(part);
    if (!QDir().rename(part, final))
        return fail(error,
                    Said(QCoreApplication::translate("Backup", "백업 폴더의 이름을 바꿀 수 없습니다: %1").arg(final)));
    SyncPath(root);
    return true;
}

QString FreeName(const QString& root)
{
    QDateTime at = Clock::now();
    const auto taken = [&](const QString& name) {
        return TypeOf(root + QLatin1Char('/') + name) != std::filesystem::file_type::not_found;
    };
    while (taken(Backup::NameFor(at)) || taken(kPartPrefix + Backup::NameFor(at)))
        at = at.addSecs(1);
    return Backup::NameFor(at);
}

QStringList LiveFiles(const QString& dbFolder)
{
    return {AppPaths::ledgerDbFile(dbFolder), AppPaths::cardDbFile(dbFolder)};
}

// Folds the write-ahead log of the closed books into their files, so that
// the file alone is what a restore replaces. Books that cannot be opened
// (damaged: the reason to restore) are left as they are.
void SettleBooks(const QString& dbFolder)
{
    for (const QString& live : LiveFiles(dbFolder)) {
        Database db;
        if (QFileInfo::exists(live) && db.open(live))
            db.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
}

// The backup's files copied beside the books under a temporary name, synced and checked.
bool CopyBeside(const QString& dbFolder, const QString& backupDir, const Description& d, ErrorInfo* error)
{
    const QStringList live = LiveFiles(dbFolder);
    const QStringList from = LiveFiles(backupDir);
    bool ok = true;
    for (int i = 0; i < live.size(); ++i) {
        QFile::remove(live[i] + kRestoring);
        ok = ok && CopySynced(from[i], live[i] + kRestoring);
    }
    const auto removeCopies = [&] {
        for (const QString& l : live)
            QFile::remove(l + kRestoring);
        return false;
    };
    if (!ok)
        return removeCopies() ||
               fail(error, Said(QCoreApplication::translate("Backup", "장부 폴더에 쓸 수 없습니다: %1").arg(dbFolder)));
    if (StopHere("beside"))
        return fail(error, Stopped());
    return CheckFiles(live[0] + kRestoring, live[1] + kRestoring, d, error) || removeCopies();
}

// Files that are to be used as the books: what the window and the commands need of them.
bool CheckSchemaOf(const QString& ledger, const QString& card, ErrorInfo* error)
{
    Database db;
    ErrorInfo e;
    if (!db.open(ledger, &e, false, true) || !db.attach(card, CardAlias(), &e))
        return fail(error,
                    Said(QCoreApplication::translate("Backup", "백업 파일을 열 수 없습니다: %1").arg(ledger), e));
    return CheckBooksSchema(db, error);
}

// The restore's history row, written into the restored ledger before the restore is committed, so that
// the books never are the backup's without it. Undo stops at it.
bool RecordRestore(const QString& ledger, const QString& card, const QString& backupDir, const Description& d,
                   ErrorInfo* error)
{
    if (!CheckSchemaOf(ledger, card, error))
        return false;
    Database db;
    ErrorInfo e;
    History::Row row(History::Kind::Restore);
    row.note = QCoreApplication::translate("Backup", "백업 %1 (자료 %2건)")
                   .arg(QFileInfo(backupDir).fileName())
                   .arg(d.entries());
    row.newValue = row.note;
    // The copy stays one file with a rollback journal until it is renamed over the books.
    bool ok =
        db.open(ledger, &e) && db.execute(QStringLiteral("PRAGMA journal_mode = DELETE"), {}, &e) >= 0 &&
        (History::TableExists(db, QStringLiteral("main")) || History::EnsureTable(db, QStringLiteral("main"), &e));
    if (ok) {
        Transaction tx(db);
        ok = tx.isActive() && History::Append(db, row, nullptr, &e) && tx.commit(&e);
    }
    db.close();
    if (ok && SyncPath(ledger))
        return true;
    return fail(error, Said(QCoreApplication::translate("Backup", "복원 내역을 쓸 수 없습니다: %1").arg(ledger), e));
}

// Books that cannot be backed up (damaged: often the reason to restore) are
// kept as they are, files and logs, in backups/YYYYMMDD-HHMMSS-as-found. They
// are closed and locked, so a file copy is what they hold. Never listed.
bool SaveAsFound(const QString& dbFolder)
{
    const QString root = Backup::DefaultRoot();
    const QString folder = root + QLatin1Char('/') + FreeName(root) + QStringLiteral("-as-found");
    if (!QDir().mkpath(folder))
        return false;
    for (const QString& live : LiveFiles(dbFolder)) {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-journal")}) {
            const QString from = live + suffix;
            if (QFileInfo::exists(from) && !CopySynced(from, folder + QLatin1Char('/') + QFileInfo(from).fileName()))
                return false;
        }
    }
    SyncPath(folder);
    SyncPath(root);
    return true;
}
} // namespace

namespace Backup {
QString DefaultRoot()
{
    return AppPaths::appFolder() + QStringLiteral("/backups");
}

QString SecondRoot()
{
    return UserSettings()->value(QStringLiteral("Backup/secondFolder")).toString();
}

void SetSecondRoot(const QString& folder)
{
    UserSettings()->setValue(QStringLiteral("Backup/secondFolder"), folder);
}

QString NameFor(const QDateTime& at)
{
    return at.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool ParseName(const QString& name, QDateTime* at)
{
    if (name.size() != 15)
        return false;
    const QDateTime t = QDateTime::fromString(name, QStringLiteral("yyyyMMdd-HHmmss"));
    if (!t.isValid())
        return false;
    if (at)
        *at = t;
    return true;
}

bool Take(const QString& dbFolder, const QString& root, bool createRoot, BackupInfo* made, ErrorInfo* error,
          const Pinned& pinned, BackupKind kind)
{
    std::unique_ptr<QLockFile> lock;
    if (!PrepareRoot(root, createRoot, error) || !LockRoot(root, &lock, error))
        return false;
    const QString name = FreeName(root);
    const QString part = root + QLatin1Char('/') + kPartPrefix + name;
    if (!MakePart(part))
        return fail(error, Said(QCoreApplication::translate("Backup", "백업 폴더에 쓸 수 없습니다: %1").arg(root)));
    Description d;
    d.kind = kind;
    if (!Snapshot(dbFolder, part, &d, error, pinned)) {
        RemoveTree(part);
        return false;
    }
    if (StopHere("copied"))
        return fail(error, Stopped());
    if (!CheckFiles(AppPaths::ledgerDbFile(part), AppPaths::cardDbFile(part), d, error) ||
        !WriteDescription(part, d, error)) {
        RemoveTree(part);
        return false;
    }
    if (StopHere("checked"))
        return fail(error, Stopped());
    if (!Publish(part, root, name, error)) {
        RemoveTree(part);
        return false;
    }
    if (made)
        *made = InfoOf(root + QLatin1Char('/') + name, &d);
    // The backup stands; a log the books could not fold is still said, and the round goes on.
    ErrorInfo e;
    if (!FoldLog(AppPaths::ledgerDbFile(dbFolder), &e))
        return fail(error, Said(QCoreApplication::translate("Backup",
                                                            "백업은 했지만 장부의 기록을 파일에 합치지 못했습니다: %1")
                                    .arg(dbFolder),
                                e));
    return true;
}

bool CopyTo(const BackupInfo& backup, const QString& root, BackupInfo* made, ErrorInfo* error)
{
    std::unique_ptr<QLockFile> lock;
    Description d;
    if (!IsBackupFolder(backup.path, &d, error))
        return false;
    if (!PrepareRoot(root, false, error) || !LockRoot(root, &lock, error))
        return false;
    const QString part = root + QLatin1Char('/') + kPartPrefix + backup.name;
    const QString cannotWrite = QCoreApplication::translate("Backup", "백업 폴더에 쓸 수 없습니다: %1").arg(root);
    if (!MakePart(part))
        return fail(error, Said(cannotWrite));
    bool ok = true;
    for (const QString& file : BackupFiles())
        ok = ok && CopySynced(backup.path + QLatin1Char('/') + file, part + QLatin1Char('/') + file);
    if (!ok) {
        RemoveTree(part);
        return fail(error, Said(cannotWrite));
    }
    if (!CheckFiles(AppPaths::ledgerDbFile(part), AppPaths::cardDbFile(part), d, error) ||
        !Publish(part, root, backup.name, error)) {
        RemoveTree(part);
        return false;
    }
    if (made)
        *made = InfoOf(root + QLatin1Char('/') + backup.name, &d);
    return true;
}

QString KindName(BackupKind kind)
{
    switch (kind) {
    case BackupKind::Daily:
        return QCoreApplication::translate("Backup", "매일 백업");
    case BackupKind::Manual:
        return QCoreApplication::translate("Backup", "직접 백업");
    case BackupKind::BeforeRebuild:
        return QCoreApplication::translate("Backup", "잔액 재정리 전");
    case BackupKind::BeforeRestore:
        return QCoreApplication::translate("Backup", "복원 전");
    case BackupKind::BeforeImport:
        return QCoreApplication::translate("Backup", "자료 가져오기 전");
    case BackupKind::Unknown:
        break;
    }
    return QString();
}

QString TakenInWords(const QDateTime& taken)
{
    const QLocale locale(Language::English() ? QLocale::English : QLocale::Korean);
    return locale.toString(
        taken, QCoreApplication::translate("Backup", "yyyy년 M월 d일 (ddd) AP h:mm:ss", "date and time format"));
}

QString Describe(const BackupInfo& b)
{
    const QLocale locale(Language::English() ? QLocale::English : QLocale::Korean);
    QStringList parts{TakenInWords(b.taken)};
    if (b.kind != BackupKind::Unknown)
        parts << KindName(b.kind);
    parts << (b.entries < 0 ? QCoreApplication::translate("Backup", "자료 수 모름")
                            : QCoreApplication::translate("Backup", "자료 %1건").arg(locale.toString(b.entries)));
    parts << (b.lastEntry.isEmpty() ? QCoreApplication::translate("Backup", "자료 없음")
                                    : QCoreApplication::translate("Backup", "마지막 자료 %1").arg(b.lastEntry));
    return parts.join(QStringLiteral(" · "));
}

BackupRun TakeEverywhere(const QString& dbFolder, const QString& root, bool rotate, const Pinned& pinned,
                         BackupKind kind)
{
    QStringList roots{root.isEmpty() ? DefaultRoot() : root};
    if (root.isEmpty() && !SecondRoot().isEmpty())
        roots << SecondRoot();
    BackupRun run;
    for (const QString& r : roots) {
        BackupInfo made;
        ErrorInfo e;
        const bool ok = run.made.isEmpty() ? Take(dbFolder, r, r == DefaultRoot(), &made, &e, pinned, kind)
                                           : CopyTo(run.made.constFirst(), r, &made, &e);
        if (ok && (!rotate || Rotate(r, &e))) {
            run.made << made;
            continue;
        }
        if (!made.path.isEmpty()) // made, but not all went well after it
            run.made << made;
        run.problems << ErrorLine(e);
        if (!run.error.isSet())
            run.error = e;
    }
    return run;
}

bool DueToday(const QString& dbFolder)
{
    if (ServerAddress::Looks(dbFolder)) // a server is backed up with its own tools
        return false;
    const QList<BackupInfo> all = List(DefaultRoot(), dbFolder);
    return all.isEmpty() || all.constFirst().taken.date() != Clock::today();
}

bool FirstWarningToday()
{
    auto settings = UserSettings();
    const QString today = DateText::todayText();
    if (settings->value(QStringLiteral("Backup/warnedOn")).toString() == today)
        return false;
    settings->setValue(QStringLiteral("Backup/warnedOn"), today);
    return true;
}

QList<BackupInfo> List(const QString& root, const QString& dbFolder)
{
    const QString books = dbFolder.isEmpty() ? QString() : SameFolder(dbFolder);
    QList<BackupInfo> list;
    const QStringList names =
        QDir(root).entryList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        if (!ParseName(name))
            continue;
        const QString path = root + QLatin1Char('/') + name;
        Description d;
        const BackupInfo info = InfoOf(path, ReadDescription(path, &d) ? &d : nullptr);
        if (books.isEmpty() || info.source.isEmpty() || info.source == books)
            list << info;
    }
    return list;
}

QList<QDateTime> Kept(const QList<QDateTime>& taken, const QDate& today)
{
    QList<QDateTime> newestFirst = taken;
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    QList<QDateTime> kept;
    QSet<QString> buckets;
    for (qsizetype i = 0; i < newestFirst.size(); ++i) {
        const QDateTime& t = newestFirst[i];
        const QDate d = t.date();
        const int week = std::min((d.day() - 1) / 7, 3);
        const QDate monthEnd(d.year(), d.month(), d.daysInMonth());
        const QDate weekEnd = week == 3 ? monthEnd : QDate(d.year(), d.month(), week * 7 + 7);
        // A week or month is thinned only once all of it is old enough.
        QString bucket;
        if (d.daysTo(today) < 7)
            bucket = NameFor(t); // every one
        else if (weekEnd.daysTo(today) < 30)
            bucket = d.toString(QStringLiteral("'d'yyyyMMdd"));
        else if (monthEnd > today.addMonths(-6))
            bucket = d.toString(QStringLiteral("'w'yyyyMM")) + QString::number(week);
        else if (monthEnd > today.addYears(-5))
            bucket = d.toString(QStringLiteral("'m'yyyyMM"));
        const bool newBucket = !bucket.isEmpty() && !buckets.contains(bucket);
        if (newBucket)
            buckets.insert(bucket);
        if (newBucket || i < kAlwaysKept)
            kept << t;
    }
    return kept;
}

bool InFuture(const BackupInfo& backup)
{
    return backup.taken > Clock::now().addSecs(kClockSlackSecs);
}

bool Rotate(const QString& root, ErrorInfo* error)
{
    std::unique_ptr<QLockFile> lock;
    if (!LockRoot(root, &lock, error))
        return false;
    // Only Tallox's own: a real folder (no link) holding a backup's description.
    QList<BackupInfo> own;
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot)) {
        const QString path = root + QLatin1Char('/') + name;
        if (ParseName(name) && IsRealDir(path) && IsRealFile(path + QLatin1Char('/') + kDescription))
            own << InfoOf(path, nullptr);
    }
    // A date after the clock's: the clock is wrong now or was then, and its ages mean nothing.
    for (const BackupInfo& b : own) {
        if (InFuture(b))
            return fail(error, Said(QCoreApplication::translate(
                                        "Backup", "%1: 백업 %2의 날짜가 컴퓨터의 시계보다 뒤라서 오래된 백업을 "
                                                  "지우지 않았습니다. 컴퓨터의 날짜와 시각을 확인하세요.")
                                        .arg(root, b.name)));
    }
    QList<QDateTime> taken;
    for (const BackupInfo& b : own)
        taken << b.taken;
    const QList<QDateTime> kept = Kept(taken, Clock::today());
    bool ok = true;
    for (const BackupInfo& b : own) {
        if (kept.contains(b.taken))
            continue;
        // Renamed first: one cut short is a leftover that the next backup removes, never a listed half.
        const QString gone = root + QLatin1Char('/') + kPartPrefix + b.name;
        ok = TypeOf(gone) == std::filesystem::file_type::not_found && QDir().rename(b.path, gone) && RemoveTree(gone) &&
             ok;
    }
    return ok ||
           fail(error, Said(QCoreApplication::translate("Backup", "오래된 백업을 지울 수 없습니다: %1").arg(root)));
}

bool Verify(const QString& backupDir, BackupInfo* info, ErrorInfo* error)
{
    Description d;
    if (!IsBackupFolder(backupDir, &d, error))
        return false;
    if (!CheckFiles(AppPaths::ledgerDbFile(backupDir), AppPaths::cardDbFile(backupDir), d, error) ||
        !CheckSchemaOf(AppPaths::ledgerDbFile(backupDir), AppPaths::cardDbFile(backupDir), error))
        return false;
    if (info)
        *info = InfoOf(backupDir, &d);
    return true;
}

bool Restore(const QString& dbFolder, const QString& backupDir, ErrorInfo* error)
{
    Description d;
    if (!FinishPendingRestore(dbFolder, error) || !IsBackupFolder(backupDir, &d, error))
        return false;
    if (!CopyBeside(dbFolder, backupDir, d, error))
        return false;
    const QStringList live = LiveFiles(dbFolder);
    if (!RecordRestore(live[0] + kRestoring, live[1] + kRestoring, backupDir, d, error)) {
        FinishPendingRestore(dbFolder); // without the mark: removes the copies
        return false;
    }
    SettleBooks(dbFolder);
    // The mark commits the restore: from here on it is finished, even after a crash.
    QSaveFile mark(dbFolder + QLatin1Char('/') + kPendingRestore);
    if (!mark.open(QIODevice::WriteOnly) || mark.write(backupDir.toUtf8()) < 0 || !mark.commit()) {
        FinishPendingRestore(dbFolder); // without the mark: removes the copies
        return fail(error, Said(QCoreApplication::translate("Backup", "장부 폴더에 쓸 수 없습니다: %1").arg(dbFolder)));
    }
    SyncPath(dbFolder);
    if (StopHere("committed"))
        return fail(error, Stopped());
    return FinishPendingRestore(dbFolder, error);
}

bool RestoreWithBackup(const QString& dbFolder, const QString& backupDir, ErrorInfo* error)
{
    // A backup that would be refused is refused before anything is done, the backup of the books included.
    if (!FinishPendingRestore(dbFolder, error) || !Verify(backupDir, nullptr, error))
        return false;
    const BackupRun run = TakeEverywhere(dbFolder, QString(), false, {}, BackupKind::BeforeRestore);
    if (run.made.isEmpty() && !SaveAsFound(dbFolder))
        return fail(error, Said(QCoreApplication::translate("Backup",
                                                            "지금의 장부를 먼저 백업할 수 없어 복원하지 않았습니다. %1")
                                    .arg(run.problems.join(QStringLiteral("; ")))));
    return Restore(dbFolder, backupDir, error);
}

bool FinishPendingRestore(const QString& dbFolder, ErrorInfo* error)
{
    if (ServerAddress::Looks(dbFolder))
        return true;
    const QString mark = dbFolder + QLatin1Char('/') + kPendingRestore;
    const QStringList live = LiveFiles(dbFolder);
    if (!QFileInfo::exists(mark)) {
        for (const QString& l : live)
            QFile::remove(l + kRestoring);
        return true;
    }
    for (const QString& l : live) {
        if (!QFileInfo::exists(l + kRestoring))
            continue;
        // A log or journal left beside the old file must not be applied to the new one.
        for (const char* suffix : {"-wal", "-shm", "-journal"})
            QFile::remove(l + QLatin1String(suffix));
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(l + kRestoring).toStdString(), QFile::encodeName(l).toStdString(),
                                ec);
        if (ec)
            return fail(error, Said(QCoreApplication::translate("Backup", "복원을 마칠 수 없습니다: %1 (%2)")
                                        .arg(l, QString::fromLocal8Bit(ec.message().c_str()))));
        if (l == live.constFirst() && StopHere("ledger"))
            return fail(error, Stopped());
    }
    SyncPath(dbFolder);
    QFile::remove(mark);
    SyncPath(dbFolder);
    return true;
}

bool RestorePending(const QString& dbFolder)
{
    return !ServerAddress::Looks(dbFolder) && QFileInfo::exists(dbFolder + QLatin1Char('/') + kPendingRestore);
}

ErrorInfo PendingRestoreError(const QString& dbFolder)
{
    return ErrorInfo::notice(
        QCoreApplication::translate("Backup", "복원이 끝나지 않은 장부입니다: %1. Tallox 창을 열거나 'tallox "
                                              "--rebuild'를 실행하면 복원을 마칩니다.")
            .arg(QDir::toNativeSeparators(dbFolder)));
}

QByteArray BooksStamp(const QString& dbFolder)
{
    if (ServerAddress::Looks(dbFolder))
        return QByteArrayLiteral("server");
    if (RestorePending(dbFolder))
        return {};
    QByteArray stamp;
    for (const QString& live : LiveFiles(dbFolder)) {
        struct stat st {};
        stamp += ::stat(QFile::encodeName(live).constData(), &st) == 0
                     ? QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino)) + ' '
                     : QByteArrayLiteral("- ");
    }
    return stamp;
}

void YieldToEdits()
{
    // On Linux both apply to the calling thread alone.
    const auto thread = pid_t(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, id_t(thread), 10);
    constexpr int kWhoThread = 1, kClassBestEffort = 2, kLowest = 7;
    ::syscall(SYS_ioprio_set, kWhoThread, thread, (kClassBestEffort << 13) | kLowest);
}

void SetStopAt(const QString& step)
{
    g_stopAt = step;
}
} // namespace Backup

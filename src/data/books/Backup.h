#pragma once

#include "data/base/Error.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Backups of the books: a folder named YYYYMMDD-HHMMSS holding a copy of both
// databases and a small description (tallox-backup.ini). A copy is made with
// SQLite's backup API from one read snapshot of both files, so the books can
// be written meanwhile; it is written under a temporary name and renamed only
// once the copy passes an integrity check and holds as many rows as the books
// did at the snapshot.
// Why a backup was taken; kept in its description ("kind=daily", ...).
enum class BackupKind {
    Unknown, // an older backup's description does not say
    Daily,
    Manual,
    BeforeRebuild,
    BeforeRestore,
    BeforeImport,
};

struct BackupInfo {
    QString name; // YYYYMMDD-HHMMSS
    QString path; // the backup's folder
    QDateTime taken;
    qint64 entries = -1; // ledger entries, -1 when the description cannot be read
    QString lastEntry;   // date of the last entry, empty when there is none
    QString source;      // the books folder it was taken of
    BackupKind kind = BackupKind::Unknown;
};

// What one round of backups did: the backups made, and for every folder that
// could not take one a line saying so.
struct BackupRun {
    QList<BackupInfo> made;
    QStringList problems;
    ErrorInfo error; // the first failure
    bool ok() const { return problems.isEmpty(); }
};

namespace Backup {
// backups/ in the application folder.
QString DefaultRoot();
// The second folder that receives a copy of every backup (USB stick, synced folder); empty: none.
QString SecondRoot();
void SetSecondRoot(const QString& folder);

QString NameFor(const QDateTime& at);
// True for a finished backup's name; `at` is the moment it names.
bool ParseName(const QString& name, QDateTime* at = nullptr);

// Called (on the backup's thread) once the snapshot of both files is fixed:
// whatever is stored from then on is not in the backup.
using Pinned = std::function<void()>;

// A backup of the books of `dbFolder` into `root`. A missing root is created
// only when `createRoot` (the default folder); a named folder must exist.
// False with `made` set: the backup stands, but the books' log could not be
// folded into their file afterwards (a full or failing disk under them).
bool Take(const QString& dbFolder, const QString& root, bool createRoot, BackupInfo* made, ErrorInfo* error,
          const Pinned& pinned = {}, BackupKind kind = BackupKind::Manual);
// A finished backup copied into another root, checked the same way.
bool CopyTo(const BackupInfo& backup, const QString& root, BackupInfo* made, ErrorInfo* error);
// A backup into the default folder and a copy into the second one, each then
// rotated (unless not `rotate`). `root`, when given, replaces both.
BackupRun TakeEverywhere(const QString& dbFolder, const QString& root = QString(), bool rotate = true,
                         const Pinned& pinned = {}, BackupKind kind = BackupKind::Manual);
// "2026년 12월 9일 (수) 오후 3:04:05", in the program's language.
QString TakenInWords(const QDateTime& taken);
// "매일 백업", "직접 백업", "잔액 재정리 전", ...; empty for Unknown.
QString KindName(BackupKind kind);
// A backup in words: "2026년 12월 9일 (수) 오후 3:04:05 · 매일 백업 · 자료 1,234건 · 마지막 자료 2026-12-08".
QString Describe(const BackupInfo& backup);
// True when the default folder holds no backup of these books taken today (by the program's clock).
bool DueToday(const QString& dbFolder);
// True the first time a day that it is asked; a warning about backups is said once a day.
bool FirstWarningToday();

// Finished backups in `root`, newest first; temporary folders and links are not listed.
// With `dbFolder`: only the backups of those books (and any whose description
// does not say), since several books may share the application folder.
QList<BackupInfo> List(const QString& root, const QString& dbFolder = QString());

// The backups that rotation keeps of those taken at `taken` on `today`: every
// one of the last 7 days, the newest of each day for 30 days, of each week of
// a month (days 1-7, 8-14, 15-21, 22 to the end) for 6 months, of each month
// for 5 years; and the newest 10 whatever their dates. A week or month is
// thinned only once all of it has reached that age, and the buckets nest, so
// rotating every day keeps the same set as rotating once.
QList<QDateTime> Kept(const QList<QDateTime>& taken, const QDate& today);
// True when the backup's name lies after the program's clock (beyond an hour):
// the clock is wrong now, or was when it was taken.
bool InFuture(const BackupInfo& backup);
// Removes the backups in `root` that rotation does not keep: only real
// folders (never links) holding a backup's description. With a backup in the
// future it removes nothing and says so.
bool Rotate(const QString& root, ErrorInfo* error = nullptr);

// Checks that `backupDir` is a whole Tallox backup: both files pass the
// integrity check, hold the rows its description names and what the books
// need (CheckBooksSchema: tables, columns, a known version).
bool Verify(const QString& backupDir, BackupInfo* info, ErrorInfo* error);
// Replaces both databases of `dbFolder` by the backup's: copied beside the
// books, synced and checked, given the restore's history row, then renamed
// over them. The books must be closed and locked. Refused, with nothing
// changed, when the backup does not verify.
bool Restore(const QString& dbFolder, const QString& backupDir, ErrorInfo* error);
// Backs up the current books (default folder, and the second one), then
// restores. Books that cannot be backed up are copied as they are into
// backups/YYYYMMDD-HHMMSS-as-found first.
bool RestoreWithBackup(const QString& dbFolder, const QString& backupDir, ErrorInfo* error);
// A restore stopped after it was committed is finished; one stopped before
// leaves the books and its copies are removed. Run by a writer, under the
// books lock, before the books are opened (AppContext::openFolder does).
bool FinishPendingRestore(const QString& dbFolder, ErrorInfo* error = nullptr);
// True while a restore is committed and not finished: until then the folder
// may hold a ledger and a card file of two states.
bool RestorePending(const QString& dbFolder);
// What a reader, which may not finish a restore, says then: how to finish it.
ErrorInfo PendingRestoreError(const QString& dbFolder);
// Which files the books are (device and inode of each), empty while a
// restore is pending. Readers take no lock: one that finds the same stamp
// before and after opening both files holds files of one state.
QByteArray BooksStamp(const QString& dbFolder);

// Lowers the calling thread's CPU and disk priority, for a backup thread that
// shares the machine with a window being typed into.
void YieldToEdits();

// For the fault tests: a backup or restore stops at the named step as if
// killed there ("copied", "checked"; "beside", "committed", "ledger"). Empty: never.
void SetStopAt(const QString& step);
} // namespace Backup

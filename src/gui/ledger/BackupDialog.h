#pragma once

#include "data/books/Backup.h"

#include <QDialog>
#include <atomic>
#include <functional>

class QTableWidget;
class QThread;
struct AppContext;

// Says what a round of backups could not do. A round the program takes by
// itself (start of the day, before a rebuild or a restore) warns once a day;
// one the user asked for always says how it went.
void SayBackupRun(const BackupRun& run, bool asked);

// The folder of the books the context has open.
QString BooksFolder(const AppContext& ctx);

class BackupTask;
// The backup taken before the books are changed as a whole (a rebuild): it
// returns once its snapshot is fixed, so the change is not in it, and warns
// (once a day) when a folder failed.
// Books on a server take none: the server is backed up with its own tools.
void BackupBeforeChange(const AppContext& ctx, BackupTask* task);

// True, having said so, for books on a server: they are backed up and
// restored there (pg_dump), not into files.
bool SayServerBacksUp(const AppContext& ctx);

// A round of backups on a thread of its own, so that typing goes on meanwhile;
// it says how it went when it ends (see SayBackupRun).
class BackupTask : public QObject {
    Q_OBJECT
public:
    explicit BackupTask(QObject* parent = nullptr);
    ~BackupTask() override; // waits for a round still running
    // False (and nothing started) while a round is running.
    // A manual round says how it went; the others only warn.
    bool start(const QString& dbFolder, BackupKind kind = BackupKind::Manual);
    bool isRunning() const;
    void wait();
    // Returns once the round's snapshot is fixed (or the round has ended):
    // what is stored from then on is not in the backup.
    void waitForSnapshot();

Q_SIGNALS:
    void finished();

private:
    QThread* m_thread = nullptr;
    BackupRun m_run;
    std::atomic<bool> m_pinned{false};
};

// The backups to restore from, newest first: when each was taken, how many
// entries it holds and the date of its last entry.
class BackupDialog : public QDialog {
    Q_OBJECT
public:
    // The backups of the books in `dbFolder`.
    explicit BackupDialog(const QString& dbFolder, QWidget* parent = nullptr);
    QString chosenPath() const;
    QTableWidget* list() const { return m_list; }
    bool isEmpty() const { return m_backups.isEmpty(); }

private:
    QTableWidget* m_list = nullptr;
    QList<BackupInfo> m_backups;
};

// 백업에서 복원: asks for a backup, then backs up the books, closes them
// (`closing` runs first), restores and opens them again. True when the books
// were replaced; the context is open again either way unless that failed.
bool RestoreBooksFromBackup(QWidget* parent, AppContext& ctx, const std::function<void()>& closing);

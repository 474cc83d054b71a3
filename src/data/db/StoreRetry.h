#pragma once

#include "data/db/Database.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>

// A store on a server runs as one SERIALIZABLE transaction. When another
// computer changed the same rows at the same time, the server refuses one of
// the two (serialization failure or deadlock) and nothing of it is kept: run
// it again from the start, a few times, after a short random pause. When the
// books stay busy, the caller gets a notice saying so. A connection that broke
// during the store is opened again and the store runs once more, but only when
// the server kept nothing of it (a lost reply to COMMIT was asked about, see
// Transaction). On SQLite, and inside an enclosing transaction, the store runs once.
template <typename Store> bool StoreWithRetry(Database& db, ErrorInfo* error, Store store)
{
    constexpr int kAttempts = 25;
    ErrorInfo e;
    bool reopened = false;
    for (int attempt = 1;; ++attempt) {
        e = ErrorInfo();
        if (store(&e))
            return true;
        if (!db.isServer() || db.transactionDepth() > 0 || attempt == kAttempts ||
            e.engineCode == Database::ServerCommitUnknown)
            break;
        if (!reopened && (e.engineCode == Database::ServerStoreLost || db.isBroken())) {
            reopened = true;
            bool again = false;
            if (!db.reconnect(&again, &e))
                break; // names why the server cannot be reached
            continue;
        }
        if (!Database::IsRetryable(e))
            break;
        QThread::msleep(2 + QRandomGenerator::global()->bounded(qMin(10 * attempt, 100)));
    }
    if (Database::IsRetryable(e)) {
        e = ErrorInfo::notice(QCoreApplication::translate(
            "Database", "다른 컴퓨터가 같은 장부를 고치고 있어 저장하지 못했습니다. 잠시 뒤에 다시 하세요."));
        e.code = ErrorCode::Engine;
        e.engineCode = Database::ServerBusy;
    }
    return fail(error, e);
}

// Only one rebuild of the books at a time on a server (other computers keep
// reading); held until the transaction ends. SQLite's write lock does this already.
inline bool HoldRebuildLock(Database& db, ErrorInfo* error)
{
    constexpr qint64 kRebuildLock = 0x7A110C; // any number, the same on every computer
    return !db.isServer() ||
           db.scalar(QStringLiteral("SELECT pg_advisory_xact_lock(?) IS NULL"), {kRebuildLock}, error).isValid();
}

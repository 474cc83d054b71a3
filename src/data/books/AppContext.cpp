#include "data/books/AppContext.h"

#include <QCoreApplication>

#include "data/books/AppPaths.h"
#include "data/books/Backup.h"
#include "data/books/DbAccess.h"

bool AppContext::openFolder(const QString& folder, ErrorInfo* error, bool readOnly)
{
    ledgerPath = AppPaths::ledgerDbFile(folder);
    cardPath = AppPaths::cardDbFile(folder);
    failedPath.clear();
    const auto failed = [&](const QString& path, const ErrorInfo& e) {
        failedPath = path;
        closeAll();
        return fail(error, e);
    };
    ErrorInfo e;
    // A restore cut short after its commit leaves a ledger and a card file of
    // two states. A writer holds the books lock, as the restore did, and
    // finishes it; a reader takes no lock and may not, so it says how to.
    if (!readOnly && Backup::RestorePending(folder) && !Backup::FinishPendingRestore(folder, &e))
        return failed(ledgerPath, e);
    const QByteArray stamp = Backup::BooksStamp(folder);
    if (stamp.isEmpty())
        return failed(ledgerPath, Backup::PendingRestoreError(folder));
    if (!OpenDB(ledger, ledgerPath, false, &e, readOnly))
        return failed(ledgerPath, e);
    if (!OpenDB(card, cardPath, false, &e, readOnly))
        return failed(cardPath, e);
    if (!ledger.attach(cardPath, CardAlias(), &e))
        return failed(cardPath,
                      e.asEngine(QCoreApplication::translate("AppContext", "프로그램 수행도중 오류가 발생했습니다.")));
    // A restore that ran meanwhile (by another program, under its lock) may have replaced one file after the other.
    if (Backup::BooksStamp(folder) != stamp)
        return failed(ledgerPath, Backup::PendingRestoreError(folder));
    return true;
}

void AppContext::closeAll()
{
    ledger.close();
    card.close();
}

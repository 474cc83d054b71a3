#include "core/AppContext.h"

#include <QCoreApplication>

#include "core/AppPaths.h"
#include "core/DbAccess.h"

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
    if (!OpenDB(ledger, ledgerPath, false, &e, readOnly))
        return failed(ledgerPath, e);
    if (!OpenDB(card, cardPath, false, &e, readOnly))
        return failed(cardPath, e);
    if (!ledger.attach(cardPath, CardAlias(), &e))
        return failed(cardPath,
                      e.asEngine(QCoreApplication::translate("AppContext", "프로그램 수행도중 오류가 발생했습니다.")));
    return true;
}

void AppContext::closeAll()
{
    ledger.close();
    card.close();
}

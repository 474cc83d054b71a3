#include "core/AppContext.h"

#include "core/AppInfo.h"
#include "core/AppPaths.h"
#include "core/DbAccess.h"

bool AppContext::openFolder(const QString& folder, bool showMessages)
{
    ledgerPath = AppPaths::ledgerDbFile(folder);
    cardPath = AppPaths::cardDbFile(folder);
    const auto fail = [&](const QString& path) {
        if (showMessages)
            MsgInfo(QStringLiteral("데이터 베이스를 열 수 없습니다.\r\n\r\n") + path, AppTitle());
        closeAll();
        return false;
    };
    ErrorInfo e;
    if (showMessages ? !OpenDB(ledger, ledgerPath) : !ledger.open(ledgerPath, &e))
        return fail(ledgerPath);
    if (showMessages ? !OpenDB(card, cardPath) : !card.open(cardPath, &e))
        return fail(cardPath);
    if (!ledger.attach(cardPath, CardAlias(), &e)) {
        if (showMessages)
            MsgError(QStringLiteral("프로그램 수행도중 오류가 발생했습니다."), e);
        return fail(cardPath);
    }
    return true;
}

void AppContext::closeAll()
{
    ledger.close();
    card.close();
}

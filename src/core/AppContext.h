#pragma once

#include "platform/Database.h"
#include "platform/PrintComponent.h"

#include <QString>
#include <memory>

// What start-up opens for the whole run: the ledger connection (with the card
// database attached for the joins), the card connection, their paths and the
// print component. The ledger window owns it until it unloads.
struct AppContext {
    Database ledger; // gdbLedger
    Database card;   // gdbCard
    QString ledgerPath; // gsLedgerDbPath
    QString cardPath;   // gsCardDbPath
    std::unique_ptr<PrintComponent> print; // goPrint

    // Opens both files of a folder (OpenDB with its messages, then the
    // "데이터 베이스를 열 수 없습니다." box on failure) and attaches the card
    // database to the ledger connection. False when the program must end.
    bool openFolder(const QString& folder, bool showMessages = true);
    void closeAll();
};

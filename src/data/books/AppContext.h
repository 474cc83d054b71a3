#pragma once

#include "data/db/Database.h"

#include <QString>
#include <memory>

class PrintComponent;

// What start-up opens for the whole run: the ledger connection (with the card
// database attached for the joins), the card connection, their paths and the
// print component. The ledger window owns it until it unloads.
struct AppContext {
    Database ledger;    // gdbLedger
    Database card;      // gdbCard
    QString ledgerPath; // gsLedgerDbPath
    QString cardPath;   // gsCardDbPath
    // goPrint; shared so that the books need not know the printer (a layer above).
    std::shared_ptr<PrintComponent> print;

    QString failedPath; // the file that could not be opened, after a failed openFolder

    // Opens both files of a folder and attaches the card database to the
    // ledger connection. False, with the engine's error and `failedPath`,
    // when the books cannot be used. `readOnly`: for commands that only read;
    // neither file is written, not even its journal mode.
    bool openFolder(const QString& folder, ErrorInfo* error = nullptr, bool readOnly = false);
    void closeAll();
};

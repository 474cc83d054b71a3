#pragma once

#include "data/base/Error.h"
#include "data/db/Database.h"
#include "data/import/ImportPlan.h"

#include <QString>
#include <QStringList>

// What an import stored, as both the window and the command line report it.
struct ImportOutcome {
    ImportCounts counts;
    QString firstDay; // the stored rows' period (empty when nothing was stored)
    QString lastDay;
    QStringList warnings; // a backup that could not be taken, or none taken of server books
};

namespace ImportRun {

// Stores the plan's rows that are to be stored: a backup of the books of
// `dbFolder` first (empty: none; a backup that fails is a warning; books on a
// server take none, which is said as a warning too), then all
// rows in one transaction through LedgerStore, with a history row naming the
// file. Nothing is stored when it fails.
bool Store(Database& ledger, const QString& dbFolder, const ImportPlan& plan, const QString& sourceFile,
           ImportOutcome* outcome, ErrorInfo* error);

// "저장 N건, 중복으로 건너뜀 N건, 거부 N건, ...": one line; before storing
// (`stored` false) the first count is of the rows to be stored.
QString SummaryLine(const ImportCounts& counts, bool stored = true);

} // namespace ImportRun

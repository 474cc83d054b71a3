#include "data/import/ImportRun.h"

#include "data/books/Backup.h"
#include "data/ledger/LedgerStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <csignal>

namespace ImportRun {

namespace {
// For the fault tests: the process is killed with the import written but not
// committed, as a power cut would stop it.
bool killedBeforeCommitForTest()
{
    if (qEnvironmentVariable("TALLOX_TEST") == QLatin1String("1") &&
        qEnvironmentVariable("TALLOX_IMPORT_KILL") == QLatin1String("before-commit"))
        std::raise(SIGKILL);
    return true;
}
} // namespace

bool Store(Database& ledger, const QString& dbFolder, const ImportPlan& plan, const QString& sourceFile,
           ImportOutcome* outcome, ErrorInfo* error)
{
    ImportOutcome result;
    result.counts = plan.counts();
    QList<LedgerStore::StoredEntry> entries;
    for (const ImportRow& row : plan.rows) {
        if (!row.stored())
            continue;
        if (row.card <= 0) // a card company to be registered first, which the caller did not
            return fail(error, ErrorInfo::notice(
                                   QCoreApplication::translate("ImportRun", "%1행의 카드사가 등록되지 않았습니다: %2")
                                       .arg(row.line)
                                       .arg(row.cardName)));
        LedgerStore::StoredEntry e;
        e.date = row.date;
        e.card = row.card;
        e.sale = row.sale;
        e.fee = row.fee;
        e.billcoll = row.payout;
        e.numsheet = row.slips;
        entries.append(e);
    }
    if (!entries.isEmpty()) {
        if (ledger.isServer()) {
            // Its address is no folder: the server is backed up with its own tools.
            result.warnings.append(QCoreApplication::translate(
                "ImportRun", "서버의 장부라 파일로 백업하지 않았습니다 (서버에서 pg_dump로 백업합니다)."));
        } else if (!dbFolder.isEmpty()) {
            for (const QString& problem :
                 Backup::TakeEverywhere(dbFolder, QString(), true, {}, BackupKind::BeforeImport).problems)
                result.warnings.append(
                    QCoreApplication::translate("ImportRun", "백업하지 못했습니다: %1").arg(problem));
        }
        const QString note = QCoreApplication::translate("ImportRun", "%1에서 %2건")
                                 .arg(QFileInfo(sourceFile).fileName())
                                 .arg(entries.size());
        LedgerStore store(ledger);
        if (!store.ImportEntries(entries, note, error, killedBeforeCommitForTest))
            return false;
        result.firstDay = plan.firstDay();
        result.lastDay = plan.lastDay();
    }
    *outcome = result;
    return true;
}

QString SummaryLine(const ImportCounts& c, bool stored)
{
    const QString text =
        stored ? QCoreApplication::translate("ImportRun",
                                             "저장 %1건, 중복으로 건너뜀 %2건, 거부 %3건, 빈 행 등 건너뜀 %4건")
               : QCoreApplication::translate("ImportRun",
                                             "저장할 행 %1건, 중복으로 건너뜀 %2건, 거부 %3건, 빈 행 등 건너뜀 %4건");
    const QString line = text.arg(c.ready).arg(c.duplicates).arg(c.refused).arg(c.skipped);
    return c.merged == 0
               ? line
               : line + QCoreApplication::translate("ImportRun", ", 하루·카드사별로 합친 행 %1건").arg(c.merged);
}

} // namespace ImportRun

#include "app/CommandLine.h"
#include "app/ServerCommands.h"

#include "data/base/Clock.h"
#include "data/base/DateParse.h"
#include "data/books/AppContext.h"
#include "data/books/AppInfo.h"
#include "data/books/AppPaths.h"
#include "data/books/Backup.h"
#include "data/books/DbAccess.h"
#include "data/books/SharedQueries.h"
#include "data/books/Startup.h"
#include "data/cards/CardStore.h"
#include "data/db/PartFile.h"
#include "data/db/ServerAddress.h"
#include "data/import/ImportPlan.h"
#include "data/import/ImportRun.h"
#include "data/ledger/DemoData.h"
#include "data/ledger/LedgerOutput.h"
#include "data/ledger/LedgerStore.h"
#include "data/settlement/Holidays.h"
#include "data/settlement/Settlement.h"
#include "data/sheet/Workbook.h"
#include "data/summary/SumBillData.h"
#include "data/summary/SumBillOutput.h"
#include "gui/grid/GridSheet.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/settlement/SettlementSheet.h"
#include "gui/summary/SumBillChart.h"
#include "gui/summary/SumBillSheet.h"
#include "gui/toolkit/ExcelExport.h"
#include "output/PngFile.h"
#include "output/PrintComponent.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {
struct Failure {
    int status = ExitOk;
    QString message;
};

// A failure of shared code: the command's own words, then the error's line.
Failure failedWith(int status, const QString& what, const ErrorInfo& e)
{
    return {status, e.isSet() ? what + QStringLiteral(": ") + ErrorLine(e) : what};
}

} // namespace

bool CommandDraws(CommandLine::Action a)
{
    using A = CommandLine::Action;
    return a == A::PrintSheet || a == A::PrintSummary || a == A::ChartSummary || a == A::Settlement;
}

namespace {
bool NeedsPeriod(CommandLine::Action a)
{
    using A = CommandLine::Action;
    return a == A::ExportSheet || a == A::ExportSummary || a == A::PrintSheet || a == A::PrintSummary ||
           a == A::ChartSummary;
}

// The folder a command works on: the one named, else the stored or default one.
// Unlike the window, a command never creates or stores anything here.
QString ResolveFolder(const CommandLine& cmd, Failure* f)
{
    QString folder = cmd.folder;
    if (const QString server = ServerBooks(cmd.folder); !server.isEmpty())
        return server;
    if (!folder.isEmpty()) {
        if (!QFileInfo(folder).isDir()) {
            *f = {ExitDatabase,
                  QCoreApplication::translate("CommandLine", "데이터베이스 폴더가 없습니다: %1").arg(folder)};
            return {};
        }
    } else {
        auto settings = UserSettings();
        folder = settings->value(QStringLiteral("General/dbPath")).toString();
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = AppPaths::defaultDbFolder();
    }
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    for (const QString& file : {AppPaths::ledgerDbFile(folder), AppPaths::cardDbFile(folder)}) {
        if (!QFileInfo(file).isFile()) {
            *f = {ExitDatabase,
                  QCoreApplication::translate("CommandLine", "데이터베이스 파일이 없습니다: %1").arg(file)};
            return {};
        }
    }
    return folder;
}

bool ParseDay(const QString& label, const QString& typed, QString* day, Failure* f)
{
    QString text = typed;
    if (!ParseDateInput(text)) {
        *f = {ExitUsage, QCoreApplication::translate(
                             "CommandLine",
                             "%1 '%2'은(는) 날짜가 아닙니다 (가능한 형식: 2004-01-01, 20040101, 040101, 0101, 101, 1)")
                             .arg(label, typed)};
        return false;
    }
    *day = text;
    return true;
}

// A progress line on a terminal, rewritten in place and cleared at the end;
// nothing at all when stderr goes to a file or a pipe.
class TerminalProgress {
public:
    explicit TerminalProgress(const QString& label) : m_label(label.toLocal8Bit()), m_on(isatty(STDERR_FILENO)) {}
    ~TerminalProgress()
    {
        if (m_last >= 0)
            std::fputs("\r\033[K", stderr);
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    Progress progress()
    {
        if (!m_on)
            return {};
        return [this](qint64 done, qint64 total) {
            const int percent = total > 0 ? int(qBound(qint64(0), done * 100 / total, qint64(100))) : 0;
            if (percent != m_last) {
                m_last = percent;
                std::fprintf(stderr, "\r%s %d%%", m_label.constData(), percent);
                std::fflush(stderr);
            }
            return true;
        };
    }

private:
    QByteArray m_label;
    bool m_on;
    int m_last = -1;
};

int Rebuild(AppContext& ctx, QTextStream& out, Failure* f)
{
    LedgerStore store(ctx.ledger);
    ErrorInfo e;
    bool ok = false;
    {
        TerminalProgress progress(QCoreApplication::translate("CommandLine", "잔액 재정리"));
        ok = store.ReBaln(&e, progress.progress());
    }
    if (!ok) {
        *f = failedWith(
            ExitDatabase,
            QCoreApplication::translate("CommandLine", "이월금액을 재정리하지 못했습니다. 이월 테이블은 그대로입니다"),
            e);
        return f->status;
    }
    LedgerStore::Counts counts;
    store.CountRows(&counts, nullptr); // the rebuild is done; the counts only inform
    out << QCoreApplication::translate("CommandLine", "잔액 재정리를 완료 하였습니다: 카드사 %1곳, 이월 행 %2개")
               .arg(counts.carryOverCards)
               .arg(counts.carryOverRows)
        << Qt::endl;
    return ExitOk;
}

int Check(AppContext& ctx, QTextStream& out, Failure* f)
{
    LedgerStore store(ctx.ledger);
    const CarryOverCheck check = store.CheckCarryOver();
    if (!check.ok) {
        *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "잔액을 검증할 수 없습니다"),
                        check.error);
        return f->status;
    }
    for (const CarryOverMismatch& m : check.rows)
        out << QCoreApplication::translate("CommandLine", "불일치: 카드코드 %1, %2월말 이월금액 %3, 원장 합계 %4")
                   .arg(m.card)
                   .arg(m.month, m.stored.toDisplayString(0), m.expected.toDisplayString(0))
            << Qt::endl;
    for (const CarryOverUncovered& u : check.uncovered)
        out << QCoreApplication::translate("CommandLine",
                                           "이월 없음: 카드코드 %1 (%2월부터 자료가 있으나 이월금액이 없습니다)")
                   .arg(u.card)
                   .arg(u.firstMonth)
            << Qt::endl;
    for (const CarryOverBadDate& b : check.badDates)
        out << QCoreApplication::translate("CommandLine", "잘못된 날짜: 코드 %1, 일자 '%2'").arg(b.code).arg(b.date)
            << Qt::endl;
    if (check.clean()) {
        out << QCoreApplication::translate("CommandLine", "잔액 검증: 이월금액이 모두 원장과 일치합니다.") << Qt::endl;
        return ExitOk;
    }
    out << QCoreApplication::translate("CommandLine",
                                       "잔액 검증: 불일치 %1건, 이월 없는 카드사 %2곳, 잘못된 날짜 %3건.")
               .arg(check.rows.size())
               .arg(check.uncovered.size())
               .arg(check.badDates.size());
    if (!check.rows.isEmpty() || !check.uncovered.isEmpty())
        out << QCoreApplication::translate("CommandLine", " 'tallox --rebuild'로 재정리할 수 있습니다.");
    if (!check.badDates.isEmpty())
        out << QCoreApplication::translate(
            "CommandLine", " 잘못된 날짜의 자료는 어느 기간에도 들지 않습니다: 날짜를 고치거나 자료를 삭제하세요.");
    out << Qt::endl;
    return ExitFindings;
}

// The sheet, summary or chart of a period that an export or print writes.
// What a command prints or exports: the ledger's typed rows straight from
// the books, or a filled grid (summary, settlement).
struct Output {
    std::unique_ptr<SpreadGrid> grid;
    std::unique_ptr<Sheet> typed;              // typed rows, or the grid's sheet once asked for
    const LedgerOutputSheet* ledger = nullptr; // when the sheet reads the books as it is written
    PrintDescription print;
    SumBillChart chart;

    SpreadGrid* newGrid()
    {
        grid = std::make_unique<SpreadGrid>();
        grid->setObjectName(QStringLiteral("spList"));
        return grid.get();
    }
    const Sheet& sheet()
    {
        if (!typed)
            typed = std::make_unique<GridSheet>(*grid);
        return *typed;
    }
    int rows() const { return ledger ? ledger->rowsHandedOut() : grid ? grid->maxRows() : typed->rowCountHint(); }
    // Why the books could not be read while the sheet was written (unset when they were).
    ErrorInfo readError() const { return ledger ? ledger->readError() : ErrorInfo(); }
};

bool BuildChart(AppContext& ctx, const QString& from, const QString& to, Output* o, Failure* f)
{
    MonthlySummary data;
    ErrorInfo e;
    if (!LoadMonthlySummary(ctx.ledger, from, to, &data, &e)) {
        *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "월별 집계를 읽을 수 없습니다"), e);
        return false;
    }
    o->chart = SumBillChart(std::move(data));
    return true;
}

int WriteChart(const CommandLine& cmd, const Output& o, QTextStream& out, Failure* f)
{
    ErrorInfo e;
    if (!WritePngFile(o.chart.render(kSumBillChartSize), cmd.file, &e)) {
        *f = failedWith(ExitOutput,
                        QCoreApplication::translate("CommandLine", "PNG 파일을 쓸 수 없습니다: %1").arg(cmd.file), e);
        return f->status;
    }
    const MonthlySummary& data = o.chart.data();
    const QString bars = data.monthsPerBar == 1
                             ? QCoreApplication::translate("CommandLine", "%1개월").arg(data.months.size())
                             : QCoreApplication::translate("CommandLine", "막대 %1개, 하나가 %2년")
                                   .arg(data.months.size())
                                   .arg(data.monthsPerBar / 12);
    out << QCoreApplication::translate("CommandLine", "차트를 저장했습니다: %1 (%2 - %3, 카드사 %4곳, %5, %6x%7)")
               .arg(cmd.file, data.from, data.to)
               .arg(data.cards.size())
               .arg(bars)
               .arg(kSumBillChartSize.width())
               .arg(kSumBillChartSize.height())
        << Qt::endl;
    return ExitOk;
}

// The card company of --card (none when not given); a code that is not registered is a usage error.
bool FetchCardOption(const CommandLine& cmd, AppContext& ctx, CardRecord* card, Failure* f)
{
    bool found = false;
    ErrorInfo e;
    if (cmd.card == 0 || (CardStore::Fetch(ctx.card, cmd.card, card, &found, &e) && found))
        return true;
    *f = e.isSet()
             ? failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "카드 자료를 읽을 수 없습니다"), e)
             : Failure{ExitUsage,
                       QCoreApplication::translate("CommandLine", "등록되지 않은 카드코드입니다: %1").arg(cmd.card)};
    return false;
}

bool BuildOutput(const CommandLine& cmd, AppContext& ctx, const QString& from, const QString& to, Output* o, Failure* f)
{
    using A = CommandLine::Action;
    if (cmd.action == A::ChartSummary)
        return BuildChart(ctx, from, to, o, f);
    ErrorInfo e;
    if (cmd.action == A::ExportSummary || cmd.action == A::PrintSummary) {
        o->print = SumBillPrintDescription(from, to);
        QList<SumBillLine> lines;
        if (!LoadSumBillLines(ctx.ledger, from, to, &lines, &e)) {
            *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "집계를 읽을 수 없습니다"), e);
            return false;
        }
        o->typed = std::make_unique<SumBillOutputSheet>(std::move(lines), from, to);
        return true;
    }
    CardRecord card;
    if (!FetchCardOption(cmd, ctx, &card, f))
        return false;
    o->print = LedgerPrintDescription(from, to, card.name);
    auto ledger = std::make_unique<LedgerOutputSheet>(ctx.ledger, from, to, cmd.card, card.name);
    o->ledger = ledger.get();
    o->typed = std::move(ledger);
    return true;
}

// A sheet whose rows could not be read from the books fails as the books do, not as the file.
bool BooksUnread(const Output& o, Failure* f)
{
    const ErrorInfo e = o.readError();
    if (!e.isSet())
        return false;
    *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "원장을 읽을 수 없습니다"), e);
    return true;
}

// The export's log goes where the window's go, never beside the user's file;
// without a folder for it there is no log.
QString ExportLogFile()
{
    const QString folder = AppPaths::expExcelFolder();
    return QDir().mkpath(folder) ? NextExportNames(folder, Clock::now()).log : QString();
}

// A file of the output's name is the user's until --force says otherwise.
bool MayWriteOutput(const CommandLine& cmd, Failure* f)
{
    const QFileInfo target(cmd.file);
    if (target.isDir())
        *f = {ExitOutput, QCoreApplication::translate("CommandLine", "출력 파일 이름이 폴더입니다: %1").arg(cmd.file)};
    else if (target.exists() && !cmd.force)
        *f = {ExitOutput,
              QCoreApplication::translate("CommandLine", "출력 파일이 이미 있습니다: %1 (바꾸려면 --force를 주세요)")
                  .arg(cmd.file)};
    return f->status == ExitOk;
}

int WriteOutput(const CommandLine& cmd, Output& o, const QString& from, const QString& to, QTextStream& out, Failure* f)
{
    using A = CommandLine::Action;
    if (cmd.action == A::ChartSummary)
        return WriteChart(cmd, o, out, f);
    if (cmd.action == A::ExportSheet || cmd.action == A::ExportSummary ||
        (cmd.action == A::Settlement && cmd.file.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))) {
        QString why;
        bool written = false;
        {
            TerminalProgress progress(QCoreApplication::translate("CommandLine", "엑셀"));
            written = WriteWorkbook(o.sheet(), cmd.file, QStringLiteral("Sheet1"), &why, ExportLogFile(),
                                    progress.progress());
        }
        if (!written && BooksUnread(o, f))
            return f->status;
        if (!written) {
            *f = {ExitOutput,
                  QCoreApplication::translate("CommandLine", "엑셀 파일을 쓸 수 없습니다: %1 (%2)").arg(cmd.file, why)};
            return f->status;
        }
        out << QCoreApplication::translate("CommandLine", "엑셀로 내보냈습니다: %1 (%2 - %3, %4행)")
                   .arg(cmd.file, from, to)
                   .arg(o.rows())
            << Qt::endl;
        return ExitOk;
    }
    PrintComponent printer;
    printer.setTitle(AppTitle());
    printer.setPdfTarget(cmd.file);
    ErrorInfo e;
    bool printed = false;
    {
        TerminalProgress progress(QCoreApplication::translate("CommandLine", "인쇄"));
        printer.setProgress(progress.progress());
        printed = printer.PrintSheet(o.sheet(), o.print, nullptr, &e);
    }
    if (!printed && BooksUnread(o, f))
        return f->status;
    if (!printed) {
        *f = failedWith(ExitOutput,
                        QCoreApplication::translate("CommandLine", "PDF 파일을 쓸 수 없습니다: %1").arg(cmd.file), e);
        return f->status;
    }
    out << QCoreApplication::translate("CommandLine", "인쇄했습니다: %1 (%2 - %3, %4행, %5쪽)")
               .arg(cmd.file, from, to)
               .arg(o.rows())
               .arg(printer.lastPageCount())
        << Qt::endl;
    return ExitOk;
}

struct ImportText {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// The file and the profile that maps it: the one named, else Tallox's own
// export or a saved profile whose header row the file has.
bool ReadImportInput(const CommandLine& cmd, ImportTable* table, ImportProfile* profile, Failure* f)
{
    ErrorInfo e;
    if (!cmd.profile.isEmpty() && !ImportProfiles::Find(cmd.profile, profile, &e)) {
        *f = {ExitUsage, ErrorLine(e)};
        return false;
    }
    if (!ReadImportFile(cmd.file, table, &e, profile->sheet)) {
        *f = {ExitUsage, ErrorLine(e)};
        return false;
    }
    if (cmd.profile.isEmpty() && !ImportProfiles::Recognize(*table, profile)) {
        *f = {ExitUsage, QCoreApplication::translate("CommandLine", "이 파일에 맞는 프로필이 없습니다. --profile로 "
                                                                    "프로필 이름이나 프로필 파일을 주세요: %1")
                             .arg(cmd.file)};
        return false;
    }
    return true;
}

int ImportCommand(const CommandLine& cmd, AppContext& ctx, QTextStream& out, Failure* f)
{
    ImportTable table;
    ImportProfile profile;
    ImportPlan plan;
    ErrorInfo e;
    if (!ReadImportInput(cmd, &table, &profile, f))
        return f->status;
    if (!ImportPlanner::Build(ctx.ledger, table, profile, &plan, &e)) {
        *f = failedWith(ExitDatabase, ImportText::tr("원장을 읽을 수 없습니다"), e);
        return f->status;
    }
    for (const QString& w : plan.warnings())
        out << ImportText::tr("경고: %1").arg(w) << Qt::endl;
    for (const ImportRow& row : plan.rows) {
        if (row.status == ImportRow::Status::Refused || row.status == ImportRow::Status::Duplicate)
            out << (row.status == ImportRow::Status::Refused ? ImportText::tr("거부 %1행: %2")
                                                             : ImportText::tr("중복 %1행: %2"))
                       .arg(row.line)
                       .arg(row.reason)
                << Qt::endl;
    }
    const ImportCounts counts = plan.counts();
    if (counts.ready + counts.duplicates + counts.refused == 0) {
        *f = {ExitUsage, ImportText::tr("파일에 가져올 행이 없습니다: %1").arg(cmd.file)};
        return f->status;
    }
    const int status = counts.refused > 0 ? ExitFindings : ExitOk;
    out << QStringLiteral("%1 (%2, %3)").arg(cmd.file, table.format, profile.name) << Qt::endl;
    if (cmd.dryRun || (counts.refused > 0 && !cmd.partial)) {
        out << ImportRun::SummaryLine(counts, false) << Qt::endl
            << (cmd.dryRun
                    ? ImportText::tr("시험 실행이므로 아무것도 저장하지 않았습니다.")
                    : ImportText::tr(
                          "거부된 행이 있어 아무것도 저장하지 않았습니다 (--partial을 주면 나머지를 저장합니다)."))
            << Qt::endl;
        return status;
    }
    ImportOutcome outcome;
    const QString booksFolder = ctx.ledger.isServer() ? QString() : QFileInfo(ctx.ledgerPath).absolutePath();
    if (!ImportRun::Store(ctx.ledger, booksFolder, plan, cmd.file, &outcome, &e)) {
        *f = failedWith(ExitDatabase, ImportText::tr("가져오지 못했습니다. 원장은 그대로입니다"), e);
        return f->status;
    }
    for (const QString& w : outcome.warnings)
        out << w << Qt::endl;
    out << ImportRun::SummaryLine(outcome.counts) << Qt::endl;
    if (!outcome.firstDay.isEmpty())
        out << ImportText::tr("가져온 기간: %1 - %2").arg(outcome.firstDay, outcome.lastDay) << Qt::endl;
    return status;
}

// The day of --settlement and --overdue (today unless one is given) and its figures.
bool LoadSettlementOf(const CommandLine& cmd, AppContext& ctx, Settlement* s, Failure* f)
{
    QString day = Clock::today().toString(Qt::ISODate);
    if (!cmd.from.isEmpty() && !ParseDay(QCoreApplication::translate("CommandLine", "기준일"), cmd.from, &day, f))
        return false;
    CardRecord card;
    ErrorInfo e;
    if (!FetchCardOption(cmd, ctx, &card, f))
        return false;
    Holidays holidays;
    const QString books = ctx.ledger.isServer() ? QString() : QFileInfo(ctx.ledgerPath).absolutePath();
    if (!Holidays::LoadFor(books, &holidays, &e)) {
        *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "공휴일 파일을 읽을 수 없습니다"), e);
        return false;
    }
    const QDate d = QDate::fromString(day, Qt::ISODate);
    if (!LoadSettlement(ctx.ledger, holidays, QDate(d.year(), d.month(), 1), d, cmd.card, s, &e)) {
        *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "정산 현황을 읽을 수 없습니다"), e);
        return false;
    }
    return true;
}

int OverdueCommand(const CommandLine& cmd, AppContext& ctx, QTextStream& out, Failure* f)
{
    Settlement s;
    if (!LoadSettlementOf(cmd, ctx, &s, f))
        return f->status;
    const QList<SettlementLine> late = s.overdueBeyond(cmd.days);
    for (const SettlementLine& l : late)
        out << QCoreApplication::translate("CommandLine", "%1: 미입금 %2원, 가장 오래된 매출 %3, %4영업일 지연")
                   .arg(l.name, l.overdue.toDisplayString(0), l.oldestUnpaid.toString(Qt::ISODate))
                   .arg(l.daysLate)
            << Qt::endl;
    if (late.isEmpty())
        out << QCoreApplication::translate("CommandLine", "%1 기준, %2영업일 넘게 늦은 미입금이 없습니다.")
                   .arg(s.day.toString(Qt::ISODate))
                   .arg(cmd.days)
            << Qt::endl;
    else
        out << OverdueNotice(s, cmd.days) << Qt::endl;
    if (!s.uncoveredYears.isEmpty())
        out << SettlementNote(s) << Qt::endl;
    return late.isEmpty() ? ExitOk : ExitFindings;
}

int RunWithDatabases(const CommandLine& cmd, AppContext& ctx, QTextStream& out, Failure* f)
{
    using A = CommandLine::Action;
    if (cmd.action == A::Rebuild)
        return Rebuild(ctx, out, f);
    if (cmd.action == A::Overdue)
        return OverdueCommand(cmd, ctx, out, f);
    if (cmd.action == A::Settlement) {
        Settlement s;
        Output o;
        if (!MayWriteOutput(cmd, f) || !LoadSettlementOf(cmd, ctx, &s, f))
            return f->status;
        o.print = SettlementPrintDescription(s);
        FillSettlementSheet(o.newGrid(), s);
        return WriteOutput(cmd, o, s.from.toString(Qt::ISODate), s.day.toString(Qt::ISODate), out, f);
    }
    if (cmd.action == A::Check)
        return Check(ctx, out, f);
    if (cmd.action == A::Import)
        return ImportCommand(cmd, ctx, out, f);

    QString from, to;
    if (!ParseDay(QCoreApplication::translate("CommandLine", "시작일"), cmd.from, &from, f) ||
        !ParseDay(QCoreApplication::translate("CommandLine", "종료일"), cmd.to, &to, f) || !MayWriteOutput(cmd, f))
        return f->status;
    if (from > to) {
        *f = {ExitUsage,
              QCoreApplication::translate("CommandLine", "시작일 %1이(가) 종료일 %2보다 늦습니다.").arg(from, to)};
        return f->status;
    }
    Output o;
    if (!BuildOutput(cmd, ctx, from, to, &o, f))
        return f->status;
    return WriteOutput(cmd, o, from, to, out, f);
}

// Opens the folder and runs the command. Only --rebuild writes: it opens the
// files for writing and upgrades the ledger first; every other command opens
// them read-only and changes nothing in them, not even the journal mode.
int RunOnFolder(const CommandLine& cmd, const QString& folder, QTextStream& out, Failure* f)
{
    const bool writes =
        cmd.action == CommandLine::Action::Rebuild || (cmd.action == CommandLine::Action::Import && !cmd.dryRun);
    AppContext ctx;
    ErrorInfo e;
    if (!ctx.openFolder(folder, &e, !writes)) {
        *f =
            failedWith(ExitDatabase,
                       QCoreApplication::translate("CommandLine", "데이터 베이스를 열 수 없습니다: %1").arg(folder), e);
        return f->status;
    }
    if (writes && !UpgradeSchema(ctx.ledger, &e)) {
        *f = failedWith(ExitDatabase,
                        QCoreApplication::translate("CommandLine", "원장을 갱신할 수 없습니다: %1").arg(folder), e);
        return f->status;
    }
    if (!writes && !ReadAsUpgraded(ctx.ledger, &e)) {
        *f = failedWith(ExitDatabase,
                        QCoreApplication::translate("CommandLine", "원장을 읽을 수 없습니다: %1").arg(folder), e);
        return f->status;
    }
    const int status = RunWithDatabases(cmd, ctx, out, f);
    ctx.closeAll();
    return status;
}

int TakeBackupCommand(const CommandLine& cmd, const QString& folder, QTextStream& out, Failure* f)
{
    const QString root = cmd.dir.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(cmd.dir).absoluteFilePath());
    const BackupRun run = Backup::TakeEverywhere(folder, root);
    for (const BackupInfo& b : run.made)
        out << QCoreApplication::translate("CommandLine", "백업했습니다: %1 (자료 %2건)")
                   .arg(QDir::toNativeSeparators(b.path))
                   .arg(b.entries)
            << Qt::endl;
    if (!run.ok())
        *f = {ExitOutput,
              (run.made.isEmpty() ? QCoreApplication::translate("CommandLine", "백업하지 못했습니다: ")
                                  : QCoreApplication::translate("CommandLine", "백업은 했지만 문제가 있습니다: ")) +
                  run.problems.join(QStringLiteral("; "))};
    return f->status;
}

int ListBackupsCommand(const QString& folder, QTextStream& out)
{
    QStringList roots{Backup::DefaultRoot()};
    if (!Backup::SecondRoot().isEmpty())
        roots << Backup::SecondRoot();
    for (const QString& root : roots) {
        const QList<BackupInfo> list = Backup::List(root, folder);
        out << QCoreApplication::translate("CommandLine", "%1: 백업 %2개")
                   .arg(QDir::toNativeSeparators(root))
                   .arg(list.size())
            << Qt::endl;
        for (const BackupInfo& b : list)
            out << QStringLiteral("  %1  %2").arg(b.name, Backup::Describe(b))
                << (Backup::InFuture(b)
                        ? QCoreApplication::translate("CommandLine", "  (미래의 날짜: 시계를 확인하세요)")
                        : QString())
                << Qt::endl;
    }
    return ExitOk;
}

int RestoreCommand(const CommandLine& cmd, const QString& folder, QTextStream& out, Failure* f)
{
    QString dir = cmd.dir;
    if (!QFileInfo(dir).isDir() && Backup::ParseName(dir)) // a name from --list-backups
        dir = Backup::DefaultRoot() + QLatin1Char('/') + dir;
    if (!QFileInfo(dir).isDir()) {
        *f = {ExitUsage, QCoreApplication::translate("CommandLine", "백업 폴더가 없습니다: %1").arg(cmd.dir)};
        return f->status;
    }
    dir = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    ErrorInfo e;
    if (!Backup::RestoreWithBackup(folder, dir, &e)) {
        *f = failedWith(ExitDatabase, QCoreApplication::translate("CommandLine", "복원하지 않았습니다"), e);
        return f->status;
    }
    out << QCoreApplication::translate("CommandLine", "복원했습니다: %1 (%2)")
               .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(dir))
        << Qt::endl;
    return ExitOk;
}

// The commands that change the books take the locks the window holds: the
// window remembers carry-over work it has done and keeps the files open.
// The books lock also covers a window under another application folder.
bool HoldBooks(const QString& folder, const QString& option, std::unique_ptr<QLockFile>* lock,
               std::unique_ptr<QLockFile>* booksLock, Failure* f)
{
    lock->reset(Startup::AcquireInstanceLock(AppPaths::appFolder()));
    if (*lock && Startup::AcquireLock(Startup::BooksLockFile(folder), booksLock) != Startup::LockStatus::HeldByOther)
        return true;
    *f = {ExitDatabase,
          QCoreApplication::translate("CommandLine", "Tallox가 실행중입니다. 프로그램을 닫은 뒤 %1를 실행하세요.")
              .arg(option)};
    return false;
}
} // namespace

bool IsCommandLineRun(const QStringList& args)
{
    for (const QString& a : args) {
        if (a.startsWith(QStringLiteral("--")) || a == QStringLiteral("-h") || a == QStringLiteral("-v"))
            return true;
    }
    return false;
}

QString UsageText()
{
    return QCoreApplication::translate(
        "CommandLine",
        "사용법: tallox [폴더] [옵션 ...]\n"
        "\n"
        "  폴더                       dbTallox.db와 Plastra.db가 있는 데이터베이스 폴더 (이번 실행에만 사용)\n"
        "  옵션이 없으면 원장 창을 엽니다.\n"
        "\n"
        "옵션 (창을 열지 않고 실행합니다):\n"
        "  --export-sheet 시작 종료 [--card 코드] 파일.xlsx   원장 명세서를 엑셀로 내보냅니다\n"
        "  --export-summary 시작 종료 파일.xlsx               카드사별 집계를 엑셀로 내보냅니다\n"
        "  --print-sheet 시작 종료 [--card 코드] 파일.pdf     원장 명세서를 PDF로 인쇄합니다\n"
        "  --print-summary 시작 종료 파일.pdf                 카드사별 집계를 PDF로 인쇄합니다\n"
        "  --chart-summary 시작 종료 파일.png                 카드사별 월별 추이 차트를 PNG로 저장합니다\n"
        "  --settlement [기준일] [--card 코드] 파일.xlsx|파일.pdf\n"
        "                             카드사별 정산 현황(미입금, 입금 예정)을 엑셀이나 PDF로 씁니다\n"
        "  --overdue [--days N]       N영업일(기본 2) 넘게 늦은 미입금을 보여 줍니다 (있으면 종료 상태 1)\n"
        "  --force                    내보내기, 인쇄, 차트 저장에서 이미 있는 출력 파일을 바꿉니다\n"
        "  --rebuild                  이월금액 테이블을 원장에서 다시 만듭니다 (잔액 재정리)\n"
        "  --check                    이월금액을 원장과 비교합니다 (불일치가 있으면 종료 상태 1)\n"
        "  --backup [폴더]            장부를 백업합니다 (폴더가 없으면 응용 프로그램 폴더의 backups)\n"
        "  --list-backups             백업 목록을 보여 줍니다\n"
        "  --restore 백업폴더         지금의 장부를 백업한 뒤 백업에서 복원합니다\n"
        "  --import 파일 [--profile 이름|프로필파일] [--dry-run] [--partial]\n"
        "                             카드 매출, 정산 파일(.csv, .txt, .xlsx)을 원장으로 가져옵니다\n"
        "  --demo 폴더 [--cards N] [--years N] [--entries N] [--seed N]\n"
        "                             예제 자료가 든 데이터베이스 폴더를 만듭니다\n"
        "  --version                  버전을 보여 줍니다\n"
        "  --help                     이 도움말을 보여 줍니다\n"
        "\n"
        "날짜는 원장에서처럼 입력합니다: 2004-01-01, 20040101, 040101, 0101, 101, 1.\n"
        "종료 상태: 0 성공, 1 잔액 불일치, 거절된 행 또는 늦은 미입금, 2 잘못된 인자, 3 데이터베이스 오류, 4 출력 파일 "
        "오류.\n");
}

namespace {
using Action = CommandLine::Action;

// The options that name a command, and how many values follow each.
struct CommandOption {
    const char* name;
    Action action;
    int values;
};
const CommandOption kCommands[] = {
    {"export-sheet", Action::ExportSheet, 3}, // FROM TO FILE
    {"export-summary", Action::ExportSummary, 3},
    {"print-sheet", Action::PrintSheet, 3},
    {"print-summary", Action::PrintSummary, 3},
    {"chart-summary", Action::ChartSummary, 3},
    {"rebuild", Action::Rebuild, 0},
    {"check", Action::Check, 0},
    {"demo", Action::Demo, 1},      // the folder to create
    {"backup", Action::Backup, -1}, // [DIR]
    {"list-backups", Action::ListBackups, 0},
    {"restore", Action::Restore, 1},        // DIR
    {"import", Action::Import, 1},          // FILE
    {"init-server", Action::InitServer, 1}, // ADDRESS
    {"copy", Action::Copy, 2},              // FROM TO
    {"settlement", Action::Settlement, -2}, // [DATE] FILE
    {"overdue", Action::Overdue, 0},
};

// The import's own options: a value, then two switches.
QList<QCommandLineOption> ImportOptions()
{
    return {QCommandLineOption(QStringLiteral("profile"), QString(), QStringLiteral("NAME")),
            QCommandLineOption(QStringLiteral("dry-run")), QCommandLineOption(QStringLiteral("partial"))};
}

// Refuses the import's options on any other command.
QString MisplacedImportOption(const CommandLine& cmd, const QCommandLineParser& parser)
{
    for (const char* name : {"profile", "dry-run", "partial"}) {
        if (parser.isSet(QLatin1String(name)) && cmd.action != Action::Import)
            return QCoreApplication::translate("CommandLine", "--%1은(는) --import에만 쓸 수 있습니다.")
                .arg(QLatin1String(name));
    }
    return {};
}

// The options that take a whole number: the card code, then the demo's sizes.
const QStringList kNumberOptions{QStringLiteral("card"),    QStringLiteral("cards"), QStringLiteral("years"),
                                 QStringLiteral("entries"), QStringLiteral("seed"),  QStringLiteral("days")};

QList<QCommandLineOption> AllOptions()
{
    QList<QCommandLineOption> options{QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
                                      QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")})};
    for (const CommandOption& c : kCommands)
        options << QCommandLineOption(QLatin1String(c.name));
    options << QCommandLineOption(QStringLiteral("force"));
    options << ImportOptions();
    for (const QString& name : kNumberOptions)
        options << QCommandLineOption(name, QString(), QStringLiteral("N"));
    return options;
}

// Refuses a number option that belongs to another command (--card to the sheets, the
// sizes to --demo); empty when this one takes it.
QString MisplacedOption(Action action, const QString& name)
{
    if (name == QLatin1String("days"))
        return action == Action::Overdue
                   ? QString()
                   : QCoreApplication::translate("CommandLine", "--days는 --overdue에만 쓸 수 있습니다.");
    if (name == QLatin1String("card") && action == Action::Settlement)
        return {};
    if (name != QLatin1String("card"))
        return action == Action::Demo
                   ? QString()
                   : QCoreApplication::translate("CommandLine", "--%1는 --demo에만 쓸 수 있습니다.").arg(name);
    if (action == Action::ExportSheet || action == Action::PrintSheet)
        return {};
    if (action == Action::ExportSummary || action == Action::PrintSummary || action == Action::ChartSummary)
        return QCoreApplication::translate("CommandLine", "--card는 원장 명세서에만 쓸 수 있습니다.");
    return QCoreApplication::translate("CommandLine",
                                       "--card는 --export-sheet, --print-sheet, --settlement에만 쓸 수 있습니다.");
}

QString BadNumber(const QString& option)
{
    if (option == QLatin1String("--card"))
        return QCoreApplication::translate("CommandLine", "--card 다음에는 카드코드(1 이상의 정수)가 와야 합니다.");
    return QCoreApplication::translate("CommandLine", "%1 다음에는 0 이상의 정수가 와야 합니다.").arg(option);
}

QString UnknownOption(const QString& option)
{
    return QCoreApplication::translate("CommandLine", "알 수 없는 옵션입니다: %1").arg(option);
}

// QCommandLineParser words its refusals in English; name the argument at fault instead.
QString ParseMistake(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return UnknownOption((unknown[0].size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + unknown[0]);
    // Otherwise a switch was given a value (--check=1) or a number option came last, without its number.
    for (const QString& a : args) {
        if (a.startsWith(QStringLiteral("--")) && a.contains(QLatin1Char('=')) &&
            !kNumberOptions.contains(a.mid(2).section(QLatin1Char('='), 0, 0)))
            return UnknownOption(a);
    }
    const QString last = args.constLast();
    if (last == QLatin1String("--profile"))
        return QCoreApplication::translate("CommandLine",
                                           "--profile 다음에는 프로필 이름이나 프로필 파일이 와야 합니다.");
    if (last.startsWith(QStringLiteral("--")) && kNumberOptions.contains(last.mid(2)))
        return BadNumber(last);
    return parser.errorText();
}

bool ReadNumbers(const QCommandLineParser& parser, CommandLine* cmd)
{
    int seed = int(cmd->demoSeed);
    const std::pair<QString, int*> numbers[] = {{QStringLiteral("card"), &cmd->card},
                                                {QStringLiteral("cards"), &cmd->demoCards},
                                                {QStringLiteral("years"), &cmd->demoYears},
                                                {QStringLiteral("entries"), &cmd->demoEntries},
                                                {QStringLiteral("seed"), &seed},
                                                {QStringLiteral("days"), &cmd->days}};
    for (const auto& [name, value] : numbers) {
        if (!parser.isSet(name))
            continue;
        bool ok = false;
        const int v = parser.value(name).toInt(&ok);
        if (!ok || v < (name == QLatin1String("card") ? 1 : 0)) {
            cmd->error = BadNumber(QStringLiteral("--") + name);
            return false;
        }
        *value = v;
    }
    cmd->demoSeed = quint32(seed);
    return true;
}

// --settlement [DATE] FILE, after a folder given first; without one, a first of
// three values is the folder, and a first of two that is no date.
QString TakeSettlementValues(QStringList values, bool folderFirst, CommandLine* cmd)
{
    QString day;
    if (folderFirst || values.size() == 3 || (values.size() == 2 && !ParseDateInput(day = values[0])))
        cmd->folder = values.isEmpty() ? QString() : values.takeFirst();
    if (values.isEmpty())
        return QCoreApplication::translate("CommandLine", "인자가 부족합니다. 'tallox --help'를 보세요.");
    if (values.size() > 2)
        return QCoreApplication::translate("CommandLine", "인자가 너무 많습니다: %1")
            .arg(values.join(QLatin1Char(' ')));
    cmd->file = values.takeLast();
    cmd->from = values.value(0);
    if (!cmd->file.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) &&
        !cmd->file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return QCoreApplication::translate("CommandLine", "출력 파일 이름은 %1(으)로 끝나야 합니다: %2")
            .arg(QStringLiteral(".xlsx, .pdf"), cmd->file);
    return {};
}

// The values without an option: a folder given first, then what the command takes after
// its option. Without a folder first, one value more than the command takes is the folder.
QString TakeValues(const QStringList& args, const QStringList& positional, int need, CommandLine* cmd)
{
    QStringList values = positional;
    const bool folderFirst = !args.isEmpty() && !args.constFirst().startsWith(QLatin1Char('-'));
    if (cmd->action == Action::Settlement)
        return TakeSettlementValues(values, folderFirst, cmd);
    const bool optional = need < 0; // --backup: its folder may be left out
    if (optional)
        need = std::min<int>(values.size() - (folderFirst ? 1 : 0), 1);
    if (folderFirst || (!optional && values.size() == need + 1))
        cmd->folder = values.takeFirst();
    if (values.size() < need)
        return QCoreApplication::translate("CommandLine", "인자가 부족합니다. 'tallox --help'를 보세요.");
    if (values.size() > need)
        return QCoreApplication::translate("CommandLine", "인자가 너무 많습니다: %1")
            .arg(positional.join(QLatin1Char(' ')));
    if (NeedsPeriod(cmd->action)) {
        cmd->from = values[0];
        cmd->to = values[1];
        cmd->file = values[2];
        const bool excel = cmd->action == Action::ExportSheet || cmd->action == Action::ExportSummary;
        const QString ext =
            excel ? QStringLiteral(".xlsx")
                  : (cmd->action == Action::ChartSummary ? QStringLiteral(".png") : QStringLiteral(".pdf"));
        if (!cmd->file.endsWith(ext, Qt::CaseInsensitive))
            return QCoreApplication::translate("CommandLine", "출력 파일 이름은 %1(으)로 끝나야 합니다: %2")
                .arg(ext, cmd->file);
    } else if (cmd->action == Action::Import) {
        cmd->file = values[0];
    } else if (cmd->action == Action::Backup || cmd->action == Action::Restore) {
        cmd->dir = values.value(0);
    } else if (cmd->action == Action::InitServer) {
        cmd->folder = values[0];
    } else if (cmd->action == Action::Copy) {
        cmd->folder = values[0];
        cmd->dir = values[1];
    } else if (cmd->action == Action::Demo) {
        if (!cmd->folder.isEmpty())
            return QCoreApplication::translate("CommandLine", "--demo에는 만들 폴더 하나만 줍니다.");
        cmd->folder = values[0];
    }
    return {};
}
} // namespace

CommandLine ParseCommandLine(const QStringList& args)
{
    CommandLine cmd;
    const auto fail = [&](const QString& message) {
        cmd.error = message;
        return cmd;
    };
    QCommandLineParser parser;
    parser.addOptions(AllOptions());
    const bool parsed = parser.parse(QStringList{QStringLiteral("tallox")} + args); // it skips a program name
    // Asking for help or the version is answered whatever else was given.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))) {
        cmd.action = parser.isSet(QStringLiteral("help")) ? Action::Help : Action::Version;
        return cmd;
    }
    if (!parsed)
        return fail(ParseMistake(parser, args));

    const QStringList given = parser.optionNames();
    for (const QString& name : given) {
        if (given.count(name) > 1)
            return fail(QCoreApplication::translate("CommandLine", "옵션은 한 번만 줄 수 있습니다: --%1").arg(name));
    }
    int need = 0;
    for (const CommandOption& c : kCommands) {
        if (!parser.isSet(QLatin1String(c.name)))
            continue;
        if (cmd.action != Action::Window)
            return fail(QCoreApplication::translate("CommandLine", "명령은 한 번에 하나만 줄 수 있습니다."));
        cmd.action = c.action;
        need = c.values;
    }
    for (const QString& name : given) {
        const QString why = kNumberOptions.contains(name) ? MisplacedOption(cmd.action, name) : QString();
        if (!why.isEmpty())
            return fail(why);
    }
    cmd.force = parser.isSet(QStringLiteral("force"));
    if (cmd.force && !NeedsPeriod(cmd.action) && cmd.action != Action::Settlement)
        return fail(
            QCoreApplication::translate("CommandLine", "--force는 내보내기, 인쇄, 차트 저장에만 쓸 수 있습니다."));
    if (const QString why = MisplacedImportOption(cmd, parser); !why.isEmpty())
        return fail(why);
    cmd.profile = parser.value(QStringLiteral("profile"));
    cmd.dryRun = parser.isSet(QStringLiteral("dry-run"));
    cmd.partial = parser.isSet(QStringLiteral("partial"));
    if (!ReadNumbers(parser, &cmd))
        return cmd;
    if (const QString why = TakeValues(args, parser.positionalArguments(), need, &cmd); !why.isEmpty())
        return fail(why);
    if (cmd.action == Action::Window)
        return fail(QCoreApplication::translate("CommandLine", "알 수 없는 명령입니다. 'tallox --help'를 보세요."));
    return cmd;
}

int RunDemo(const CommandLine& cmd, QTextStream& out, QTextStream& err);

namespace {
// Books on a server: no lock files and no file backups there (the server is
// backed up with its own tools); the other computers keep working meanwhile.
int RunOnServerBooks(const CommandLine& cmd, const QString& address, QTextStream& out, Failure* f)
{
    using A = CommandLine::Action;
    if (cmd.action == A::Backup || cmd.action == A::ListBackups || cmd.action == A::Restore) {
        *f = {
            ExitDatabase,
            QCoreApplication::translate("CommandLine", "서버의 장부는 서버에서 백업합니다 (pg_dump): %1").arg(address)};
        return f->status;
    }
    return RunOnFolder(cmd, address, out, f);
}

int RunOnBooks(const CommandLine& cmd, QTextStream& out, QTextStream& err, Failure* f)
{
    using A = CommandLine::Action;
    const QString folder = ResolveFolder(cmd, f);
    if (folder.isEmpty())
        return f->status;
    if (ServerAddress::Looks(folder))
        return RunOnServerBooks(cmd, folder, out, f);
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<QLockFile> booksLock;
    const bool writes =
        cmd.action == A::Rebuild || cmd.action == A::Restore || (cmd.action == A::Import && !cmd.dryRun);
    // Listing backups only reads their descriptions: it works beside an open window.
    if (writes) {
        QString option;
        for (const CommandOption& c : kCommands)
            option = c.action == cmd.action ? QStringLiteral("--") + QLatin1String(c.name) : option;
        if (!HoldBooks(folder, option, &lock, &booksLock, f))
            return f->status;
    }
    // Under the lock a writer finishes (or undoes) a restore cut short before
    // anything else reads the books, the backup before a rebuild included.
    ErrorInfo e;
    if (writes && !Backup::FinishPendingRestore(folder, &e)) {
        *f =
            failedWith(ExitDatabase,
                       QCoreApplication::translate("CommandLine", "데이터 베이스를 열 수 없습니다: %1").arg(folder), e);
        return f->status;
    }
    if (cmd.action == A::Rebuild) {
        for (const QString& problem :
             Backup::TakeEverywhere(folder, QString(), true, {}, BackupKind::BeforeRebuild).problems)
            err << "tallox: " << QCoreApplication::translate("CommandLine", "경고: 백업하지 못했습니다: ") << problem
                << Qt::endl;
    }
    if (cmd.action == A::Backup)
        return TakeBackupCommand(cmd, folder, out, f);
    if (cmd.action == A::ListBackups)
        return ListBackupsCommand(folder, out);
    if (cmd.action == A::Restore)
        return RestoreCommand(cmd, folder, out, f);
    return RunOnFolder(cmd, folder, out, f);
}
} // namespace

int RunCommandLine(const CommandLine& cmd, QTextStream& out, QTextStream& err)
{
    using A = CommandLine::Action;
    if (!cmd.error.isEmpty()) {
        err << "tallox: " << cmd.error << Qt::endl;
        return ExitUsage;
    }
    if (cmd.action == A::Help) {
        out << UsageText() << ServerUsageText();
        out.flush();
        return ExitOk;
    }
    if (cmd.action == A::Version) {
        out << "tallox " << TALLOX_VERSION << Qt::endl;
        return ExitOk;
    }
    int status = ExitOk;
    Failure f;
    if (cmd.action == A::Demo)
        status = RunDemo(cmd, out, err);
    else if (cmd.action == A::InitServer)
        status = RunInitServer(cmd.folder, out, err);
    else if (cmd.action == A::Copy)
        status = RunCopyBooks(cmd.folder, cmd.dir, out, err);
    else
        status = RunOnBooks(cmd, out, err, &f);
    if (f.status != ExitOk) {
        err << "tallox: " << f.message << Qt::endl;
        status = f.status;
    }
    return status;
}

int RunDemo(const CommandLine& cmd, QTextStream& out, QTextStream& err)
{
    DemoSpec spec;
    spec.cards = cmd.demoCards > 0 ? cmd.demoCards : 40;
    spec.years = cmd.demoYears > 0 ? cmd.demoYears : 3;
    spec.entries = cmd.demoEntries;
    spec.seed = cmd.demoSeed;
    // Sizes a demo can have: beyond them it would hang or run out of memory.
    if (spec.cards > 999 || spec.years > 50 || spec.entries < 0 || spec.entries > 2'000'000) {
        err << "tallox: "
            << QCoreApplication::translate(
                   "CommandLine", "예제 자료의 크기가 너무 큽니다 (--cards 1-999, --years 1-50, --entries 0-2000000).")
            << Qt::endl;
        return ExitUsage;
    }
    // Written under a temporary folder and moved in at the end, so that a
    // killed or failed demo leaves no books that look complete.
    const QString temp = QDir::cleanPath(QFileInfo(cmd.folder).absoluteFilePath()) + QStringLiteral(".part");
    QDir(temp).removeRecursively();
    QString why;
    bool made = false;
    {
        TerminalProgress terminal(QCoreApplication::translate("CommandLine", "예제 자료"));
        const Progress progress = terminal.progress();
        made = !QFileInfo::exists(AppPaths::ledgerDbFile(cmd.folder)) &&
               GenerateDemoData(temp, spec, &why,
                                [&progress](int written, int total) { Report(progress, written, total); });
    }
    if (!made && why.isEmpty())
        why = QCoreApplication::translate("CommandLine", "이미 Tallox 데이터베이스가 있는 폴더입니다: %1")
                  .arg(cmd.folder);
    const bool moved = made && QDir().mkpath(cmd.folder) &&
                       QFile::rename(AppPaths::cardDbFile(temp), AppPaths::cardDbFile(cmd.folder)) &&
                       QFile::rename(AppPaths::ledgerDbFile(temp), AppPaths::ledgerDbFile(cmd.folder));
    QDir(temp).removeRecursively();
    if (!moved) {
        err << "tallox: "
            << (why.isEmpty()
                    ? QCoreApplication::translate("CommandLine", "예제 자료를 옮길 수 없습니다: %1").arg(cmd.folder)
                    : why)
            << Qt::endl;
        return ExitDatabase;
    }
    AppContext ctx;
    LedgerStore::Counts counts;
    if (ctx.openFolder(cmd.folder))
        LedgerStore(ctx.ledger).CountRows(&counts, nullptr);
    out << QCoreApplication::translate("CommandLine",
                                       "예제 자료를 만들었습니다: %1 (카드사 %2곳, 자료 %3건). 'tallox %1'로 여세요.")
               .arg(cmd.folder)
               .arg(spec.cards)
               .arg(counts.entries)
        << Qt::endl;
    return ExitOk;
}

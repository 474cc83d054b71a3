#include "gui/ledger/BackupDialog.h"

#include "data/books/AppContext.h"
#include "data/books/AppInfo.h"
#include "data/books/DbAccess.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/ModalRun.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

void SayBackupRun(const BackupRun& run, bool asked)
{
    const QString made = run.made.isEmpty() ? QString() : QDir::toNativeSeparators(run.made.constFirst().path);
    if (!run.ok() && (asked || Backup::FirstWarningToday())) {
        MsgWarn(QCoreApplication::translate("BackupDialog",
                                            "백업하지 못한 곳이 있습니다. 장부는 그대로 쓸 수 있습니다.\r\n\r\n") +
                    run.problems.join(QStringLiteral("\r\n")),
                AppTitle());
        return;
    }
    if (asked && run.ok())
        MsgInfo(QCoreApplication::translate("BackupDialog", "백업했습니다.\r\n\r\n") + made, AppTitle());
}

QString BooksFolder(const AppContext& ctx)
{
    return QFileInfo(ctx.ledgerPath).absolutePath();
}

bool SayServerBacksUp(const AppContext& ctx)
{
    if (!ctx.ledger.isServer())
        return false;
    MsgInfo(QCoreApplication::translate("BackupDialog", "서버의 장부는 서버에서 백업하고 복원합니다 (pg_dump)."),
            AppTitle());
    return true;
}

void BackupBeforeChange(const AppContext& ctx, BackupTask* task)
{
    if (ctx.ledger.isServer())
        return;
    task->wait();
    task->start(BooksFolder(ctx), BackupKind::BeforeRebuild);
    task->waitForSnapshot();
}

BackupTask::BackupTask(QObject* parent) : QObject(parent) {}

BackupTask::~BackupTask()
{
    wait();
}

bool BackupTask::start(const QString& dbFolder, BackupKind kind)
{
    const bool asked = kind == BackupKind::Manual;
    if (isRunning())
        return false;
    delete m_thread;
    m_pinned = false;
    m_thread = QThread::create([this, dbFolder, kind] {
        Backup::YieldToEdits();
        m_run = Backup::TakeEverywhere(
            dbFolder, QString(), true, [this] { m_pinned = true; }, kind);
    });
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, [this, asked] {
        SayBackupRun(m_run, asked);
        Q_EMIT finished();
    });
    m_thread->start();
    return true;
}

void BackupTask::waitForSnapshot()
{
    while (isRunning() && !m_pinned)
        QThread::msleep(1);
}

bool BackupTask::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void BackupTask::wait()
{
    if (m_thread)
        m_thread->wait();
}

BackupDialog::BackupDialog(const QString& dbFolder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BackupDialog"));
    setWindowTitle(tr("백업에서 복원"));
    m_backups = Backup::List(Backup::DefaultRoot(), dbFolder);
    if (!Backup::SecondRoot().isEmpty())
        m_backups += Backup::List(Backup::SecondRoot(), dbFolder);
    m_list = new QTableWidget(int(m_backups.size()), 4, this);
    m_list->setObjectName(QStringLiteral("lstBackups"));
    m_list->setHorizontalHeaderLabels({tr("백업 일시"), tr("종류"), tr("자료 수"), tr("마지막 자료")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    for (int row = 0; row < m_backups.size(); ++row) {
        const BackupInfo& b = m_backups[row];
        m_list->setItem(row, 0, new QTableWidgetItem(Backup::TakenInWords(b.taken)));
        m_list->setItem(row, 1, new QTableWidgetItem(Backup::KindName(b.kind)));
        auto* entries = new QTableWidgetItem(b.entries < 0 ? QStringLiteral("?") : QLocale().toString(b.entries));
        entries->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_list->setItem(row, 2, entries);
        m_list->setItem(row, 3, new QTableWidgetItem(b.lastEntry));
        m_list->item(row, 0)->setToolTip(QDir::toNativeSeparators(b.path));
    }
    m_list->resizeColumnsToContents();
    if (!m_backups.isEmpty())
        m_list->setCurrentCell(0, 0);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("복원"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("btnRestore"));
    buttons->addButton(tr("취소"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(640, 360);
}

QString BackupDialog::chosenPath() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_backups.size() ? m_backups[row].path : QString();
}

bool RestoreBooksFromBackup(QWidget* parent, AppContext& ctx, const std::function<void()>& closing)
{
    if (SayServerBacksUp(ctx))
        return false;
    auto* dlg = new BackupDialog(BooksFolder(ctx), parent);
    if (dlg->isEmpty()) {
        delete dlg;
        MsgInfo(QCoreApplication::translate("BackupDialog", "복원할 백업이 없습니다."), AppTitle());
        return false;
    }
    const bool chosen = ExecModal(dlg) == QDialog::Accepted;
    const QString path = dlg->chosenPath();
    delete dlg;
    if (!chosen || path.isEmpty())
        return false;
    const QString question =
        QCoreApplication::translate("BackupDialog", "장부를 %1의 백업으로 되돌립니다.\r\n"
                                                    "지금의 장부는 먼저 백업합니다.\r\n\r\n진행하시겠습니까?")
            .arg(QFileInfo(path).fileName());
    if (MsgQuestion(question, AppTitle(), false) != MsgAnswer::Yes)
        return false;
    const QString folder = BooksFolder(ctx);
    if (closing)
        closing();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ctx.closeAll();
    ErrorInfo e;
    const bool restored = Backup::RestoreWithBackup(folder, path, &e);
    ErrorInfo openError;
    const bool open = ctx.openFolder(folder, &openError) && UpgradeSchema(ctx.ledger, &openError);
    QApplication::restoreOverrideCursor();
    if (!restored)
        ShowError(e);
    if (!open)
        ShowError(openError);
    if (restored && open)
        MsgInfo(QCoreApplication::translate("BackupDialog", "백업에서 복원했습니다."), AppTitle());
    return restored;
}

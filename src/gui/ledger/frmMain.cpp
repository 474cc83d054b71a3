#include "gui/ledger/frmMain.h"
#include "output/PrintComponent.h"

#include "data/base/Clock.h"
#include "data/books/AppInfo.h"
#include "data/books/AppPaths.h"
#include "data/books/SharedQueries.h"
#include "data/ledger/LedgerHistory.h"
#include "data/ledger/LedgerStore.h"
#include "data/settlement/Settlement.h"
#include "gui/cards/CardSearch.h"
#include "gui/cards/frmPlastra_read.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/SpreadModel.h"
#include "gui/grid/Twips.h"
#include "gui/ledger/BackupDialog.h"
#include "gui/ledger/CarryOverCheckDialog.h"
#include "gui/ledger/HistoryWindow.h"
#include "gui/ledger/ImportDialog.h"
#include "gui/ledger/LedgerModel.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/ledger/LedgerStatusLine.h"
#include "gui/ledger/LedgerView.h"
#include "gui/settlement/SettlementWindow.h"
#include "gui/summary/frmSumBill.h"
#include "gui/toolkit/DateInput.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/FloatMsg.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/HelpWindow.h"
#include "gui/toolkit/LiveReload.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/ModalRun.h"
#include "gui/toolkit/PeriodBar.h"
#include "gui/toolkit/ProgressWindow.h"
#include "gui/toolkit/Utils.h"
#include "gui/toolkit/modSpread.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString kForm = QStringLiteral("frmMain");
constexpr int kMinSizeTwips = 5000;
constexpr int kGapTwips = 30;

QString SettingsKeyFeeAuto()
{
    return QStringLiteral("Configuration/FeeAutoInput");
}

// While a cell is edited, Ctrl+Y stays with its editor as Ctrl+Z does:
// neither undoes nor redoes a stored change half-way through typing.
bool EditorKeepsRedoKey(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::ShortcutOverride || !qobject_cast<QLineEdit*>(watched) ||
        static_cast<QKeyEvent*>(e)->keyCombination() != QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
        return false;
    e->accept();
    return true;
}
} // namespace

frmMain::frmMain(std::unique_ptr<AppContext> ctx, QWidget* parent)
    : QMainWindow(parent), m_ctx(std::move(ctx)), m_store(std::make_unique<LedgerStore>(m_ctx->ledger)),
      m_history(std::make_unique<LedgerHistory>(*m_store, m_ctx->ledger))
{
    setObjectName(kForm);
    BuildMenu();
    BuildImportMenu();
    BuildControls();
    Form_Load();
    DeferCheckpoints();
    qApp->installEventFilter(this);
}

// A stored edit does not wait for the write-ahead log to be copied into the
// books (a checkpoint with its fsync, now and then a long one on big books):
// that copy runs two seconds after the last store, when the user pauses.
void frmMain::DeferCheckpoints()
{
    if (!m_ctx->ledger.deferCheckpoints())
        return;
    if (!m_checkpoint) {
        m_checkpoint = new QTimer(this);
        m_checkpoint->setSingleShot(true);
        m_checkpoint->setInterval(2000);
        connect(m_checkpoint, &QTimer::timeout, this, [this] {
            if (m_ctx->ledger.isOpen())
                m_ctx->ledger.checkpointLog();
        });
    }
}

frmMain::~frmMain()
{
    qApp->removeEventFilter(this);
    delete m_sumBill.data();
    m_ctx->closeAll();
}

QString frmMain::Caption(const QString& ledgerPath)
{
    // The product's name once: the maker's name is in the About box.
    return AppTitle() +
           QStringLiteral(" Ver.%1.%2.%3 (")
               .arg(TALLOX_VERSION_MAJOR)
               .arg(TALLOX_VERSION_MINOR)
               .arg(TALLOX_VERSION_PATCH) +
           ledgerPath + QLatin1Char(')');
}

// ---------------------------------------------------------------- building

void frmMain::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("  파일(&F)  "));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = file->addAction(tr("종료(&X)"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence::Quit);
    mnuTool = menuBar()->addMenu(tr("  도구(&T)  "));
    mnuTool->setObjectName(QStringLiteral("mnuTool"));
    mnuTool_ReBaln = mnuTool->addAction(tr("잔액 재정리"));
    mnuTool_ReBaln->setObjectName(QStringLiteral("mnuTool_ReBaln"));
    mnuTool_Check = mnuTool->addAction(tr("잔액 검증"));
    mnuTool_Check->setObjectName(QStringLiteral("mnuTool_Check"));
    mnuTool_Settlement = mnuTool->addAction(tr("정산 현황"));
    mnuTool_Settlement->setObjectName(QStringLiteral("mnuTool_Settlement"));
    mnuTool_Settlement->setShortcut(QKeySequence(Qt::Key_F9));
    mnuTool_Settlement->setShortcutContext(Qt::WindowShortcut);
    mnuTool->addSeparator();
    mnuTool_Backup = mnuTool->addAction(tr("지금 백업"));
    mnuTool_Backup->setObjectName(QStringLiteral("mnuTool_Backup"));
    mnuTool_Restore = mnuTool->addAction(tr("백업에서 복원"));
    mnuTool_Restore->setObjectName(QStringLiteral("mnuTool_Restore"));
    m_backupTask = new BackupTask(this);
    mnuTool->addSeparator();
    mnuTool_Calc = mnuTool->addAction(tr("계산기"));
    mnuTool_Calc->setObjectName(QStringLiteral("mnuTool_Calc"));
    BuildHelpMenu();

    connect(mnuTool_ReBaln, &QAction::triggered, this, &frmMain::mnuTool_ReBaln_Click);
    connect(mnuTool_Check, &QAction::triggered, this, &frmMain::mnuTool_Check_Click);
    connect(mnuTool_Settlement, &QAction::triggered, this, &frmMain::mnuTool_Settlement_Click);
    connect(mnuTool_Backup, &QAction::triggered, this, &frmMain::mnuTool_Backup_Click);
    connect(mnuTool_Restore, &QAction::triggered, this, &frmMain::mnuTool_Restore_Click);
    connect(mnuTool_Calc, &QAction::triggered, this, &frmMain::mnuTool_Calc_Click);
    connect(mnuHomePage, &QAction::triggered, this, &frmMain::mnuHomePage_Click);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    BuildEditMenu();
}

void frmMain::BuildEditMenu()
{
    mnuEdit = new QMenu(tr("  편집(&E)  "), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    menuBar()->insertMenu(mnuTool->menuAction(), mnuEdit);
    mnuEdit_Undo = mnuEdit->addAction(tr("실행 취소"));
    mnuEdit_Undo->setObjectName(QStringLiteral("mnuEdit_Undo"));
    mnuEdit_Undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuEdit_Redo = mnuEdit->addAction(tr("다시 실행"));
    mnuEdit_Redo->setObjectName(QStringLiteral("mnuEdit_Redo"));
    mnuEdit_Redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    // A cell editor takes Ctrl+Z for its own text before the window sees it.
    for (QAction* a : {mnuEdit_Undo, mnuEdit_Redo}) {
        a->setShortcutContext(Qt::WindowShortcut);
        a->setEnabled(false); // until the books say there is something to undo
    }
    mnuTool_History = new QAction(tr("변경 내역"), this);
    mnuTool_History->setObjectName(QStringLiteral("mnuTool_History"));
    mnuTool->insertAction(mnuTool_Calc, mnuTool_History);
    connect(mnuEdit_Undo, &QAction::triggered, this, &frmMain::mnuEdit_Undo_Click);
    connect(mnuEdit_Redo, &QAction::triggered, this, &frmMain::mnuEdit_Redo_Click);
    connect(mnuTool_History, &QAction::triggered, this, &frmMain::mnuTool_History_Click);
    connect(mnuEdit, &QMenu::aboutToShow, this, &frmMain::UpdateUndoActions);
}

void frmMain::BuildHelpMenu()
{
    QMenu* help = menuBar()->addMenu(tr("  도움말(&H)  "));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* guide = help->addAction(tr("사용 설명서(&G)"));
    guide->setObjectName(QStringLiteral("mnuHelp_Guide"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    guide->setShortcutContext(Qt::WindowShortcut);
    mnuHomePage = help->addAction(tr("홈페이지(&P)"));
    mnuHomePage->setObjectName(QStringLiteral("mnuHomePage"));
    help->addSeparator();
    QAction* about = help->addAction(tr("정보(&A)"));
    about->setObjectName(QStringLiteral("mnuHelp_About"));
    connect(guide, &QAction::triggered, this, [this] { ShowHelp(this); });
    connect(about, &QAction::triggered, this, [this] { ShowAbout(QFileInfo(m_ctx->ledgerPath).absolutePath()); });
}

void frmMain::FillCards()
{
    // The card chosen as filter stays chosen (under its new name, if renamed).
    const int filter = CmbGetItemData(cmbPlastra, 0);
    FillPlastra(m_ctx->card, cmbPlastra);
    const int index = cmbPlastra->findData(filter);
    if (filter > 0 && index >= 0)
        cmbPlastra->setCurrentIndex(index);
    m_status->showFirstSteps(cmbPlastra->count() <= 1); // the first item is "all cards"
}

void frmMain::BuildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlClient"));
    setCentralWidget(central);
    central->installEventFilter(this);

    pnlTop = new QFrame(central);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QVBoxLayout(pnlTop);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(4);
    rows->addLayout(BuildSearchRow());
    rows->addLayout(BuildCommandRow());
    pnlTop->setFixedHeight(pnlTop->sizeHint().height());

    m_model = new LedgerModel(*m_store, m_ctx->ledger, this);
    spList = new LedgerView(central);
    spList->setLedgerModel(m_model);
    spTotal = new LedgerTotalsView(spList, central);

    // Tab order: period, card, fee switch, buttons, then the sheet.
    const QList<QWidget*> order = {m_period->spDate(0),
                                   m_period->spDate(1),
                                   cmbPlastra,
                                   chkAutoFee,
                                   btnView,
                                   btnSum,
                                   btnExcel,
                                   btnPrint,
                                   btnCard,
                                   btnClose,
                                   spList};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    statusBar()->setObjectName(QStringLiteral("stbStatus"));
    m_status = new LedgerStatusLine(statusBar(), m_ctx->ledgerPath);
    connect(m_status, &LedgerStatusLine::overdueClicked, this, &frmMain::mnuTool_Settlement_Click);
    ConnectControls();
}

QHBoxLayout* frmMain::BuildSearchRow()
{
    auto* search = new QHBoxLayout();
    search->setSpacing(4);
    auto* lblPeriod = new QLabel(tr("검색기간"), pnlTop);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    m_period = new PeriodBar(pnlTop);
    auto* lblCard = new QLabel(tr("검색카드"), pnlTop);
    lblCard->setObjectName(QStringLiteral("lblCard"));
    cmbPlastra = new QComboBox(pnlTop);
    cmbPlastra->setObjectName(QStringLiteral("cmbPlastra"));
    cmbPlastra->setMinimumWidth(TwipsToPixelsX(2400));
    cmbPlastra->installEventFilter(this);
    chkAutoFee = new QCheckBox(tr("수수료 자동입력"), pnlTop);
    chkAutoFee->setObjectName(QStringLiteral("chkAutoFee"));
    chkAutoFee->setToolTip(tr("매출액을 적으면 카드사의 수수료율로 수수료를 계산해 저장합니다. "
                              "새 자료의 매출액 다음 Enter는 다음 새 자료의 카드명 칸으로 갑니다"));
    search->addWidget(lblPeriod);
    search->addWidget(m_period);
    search->addSpacing(12);
    search->addWidget(lblCard);
    search->addWidget(cmbPlastra);
    search->addSpacing(12);
    search->addWidget(chkAutoFee);
    search->addStretch(1);
    return search;
}

QHBoxLayout* frmMain::BuildCommandRow()
{
    auto* commands = new QHBoxLayout();
    commands->setSpacing(4);
    auto makeButton = [this](const char* name, const QString& caption, const QString& toolTip) {
        return MakeCommandButton(pnlTop, name, caption, toolTip);
    };
    btnView = makeButton("btnView", tr("조회(F5)"), tr("검색기간의 자료를 보여 줍니다 (F5, 종료일에서 Enter)"));
    btnSum = makeButton("btnSum", tr("집계(F6)"), tr("카드사별 집계 창을 엽니다 (F6)"));
    btnExcel = makeButton("btnExcel", tr("엑셀(F7)"), tr("명세서를 엑셀로 내보냅니다 (F7)"));
    btnPrint = makeButton("btnPrint", tr("인쇄(F8)"), tr("명세서를 인쇄합니다 (F8)"));
    btnCard =
        makeButton("btnCard", tr("카드정보"), tr("카드사를 등록하고 고칩니다. 처음에는 여기서 카드사부터 등록하세요."));
    btnClose = makeButton("btnClose", tr("닫기(&C)"), tr("프로그램을 닫습니다 (Alt+C)"));
    commands->addStretch(1);
    for (QPushButton* b : {btnView, btnSum, btnExcel, btnPrint, btnCard, btnClose})
        commands->addWidget(b);
    return commands;
}

void frmMain::ConnectControls()
{
    connect(btnView, &QPushButton::clicked, this, &frmMain::btnView_Click);
    connect(btnSum, &QPushButton::clicked, this, &frmMain::btnSum_Click);
    connect(btnExcel, &QPushButton::clicked, this, &frmMain::btnExcel_Click);
    connect(btnPrint, &QPushButton::clicked, this, &frmMain::btnPrint_Click);
    connect(btnCard, &QPushButton::clicked, this, &frmMain::btnCard_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(chkAutoFee, &QCheckBox::toggled, this, &frmMain::chkAutoFee_Click);

    connect(spList, &LedgerView::edited, this, &frmMain::spList_Edited);
    connect(spList, &LedgerView::columnWidthChanged, this, &frmMain::spList_ColWidthChanged);
    connect(spList, &LedgerView::contextMenuAsked, this, &frmMain::ShowGridMenu);
    // The sums and the figures on screen keep their columns wide enough.
    connect(m_model, &LedgerModel::totalsChanged, this, &frmMain::SyncTotalStrip);
    connect(m_model, &QAbstractItemModel::modelReset, this, &frmMain::SyncTotalStrip);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &frmMain::SyncTotalStrip);
    connect(spList->verticalScrollBar(), &QScrollBar::valueChanged, this, &frmMain::SyncTotalStrip);
}

void frmMain::ShowGridMenu()
{
    ::ShowGridMenu(this, GridMenuTarget{spList->objectName(), int(spList->rowPoints()), int(spList->fontPoints()),
                                        [this](double v) {
                                            spList->setRowPoints(v);
                                            SyncTotalStrip();
                                        },
                                        [this](double v) {
                                            spList->setFontPoints(v);
                                            SyncTotalStrip();
                                        }});
}

// ---------------------------------------------------------------- lifecycle

void frmMain::Form_Load()
{
    m_loading = true;
    resize(TwipsToPixelsX(15600), TwipsToPixelsY(10800));
    CenterForm(this, false);
    setWindowTitle(Caption(m_ctx->ledgerPath));
    InitSheets();
    LoadFormIni(this);
    spList->loadLayout(FormIniPath(objectName()));
    SyncTotalStrip(); // the layout file's widths and font reach the totals too
    m_loadGeometry = CurrentTwipsGeometry();
    m_firstActivate = true;
    {
        auto settings = UserSettings();
        chkAutoFee->setChecked(settings->value(SettingsKeyFeeAuto(), QStringLiteral("1")).toString().toInt() == 1);
    }
    CmbSetSize(cmbPlastra, int(PixelsToTwipsX(cmbPlastra->width())), 5000);
    FillCards();
    cmbPlastra->setToolTip(tr("단축키: F3"));
    new LiveReload(
        m_ctx->ledger, this, [this] { return spList->isEditing(); }, [this] { ReloadForOthers(); });
    m_loading = false;
}

void frmMain::ReloadForOthers()
{
    if (m_firstActivate) // no sheet shown yet
        return;
    const int col = spList->activeColumn();
    const LedgerEntryRow* shown = m_model->entryAt(spList->activeRow());
    const int key = shown ? shown->key : 0;
    QPointer<QWidget> focus = QApplication::focusWidget();
    RefreshSheet();
    const int row = key > 0 ? m_model->rowOfKey(key) : -1;
    spList->setActiveCell(row >= 0 ? row : m_model->entryRow(), qMax(0, col));
    if (focus)
        focus->setFocus();
}

void frmMain::InitSheets()
{
    m_period->setupDateCells(false);
    spTotal->follow();
}

void frmMain::SyncTotalStrip()
{
    if (!spTotal)
        return;
    // A sum or a figure on screen wider than its column widens the column
    // (only what is shown is measured), though not under a dragging mouse.
    if (!(QApplication::mouseButtons() & Qt::LeftButton)) {
        QStringList sums;
        for (int c = 0; c < LedgerModel::ColumnCount; ++c)
            sums << spTotal->displayText(c);
        spList->fitShownFigures(sums);
    }
    const int height = spTotal->height();
    spTotal->follow();
    if (spTotal->height() != height)
        LayoutControls();
}

void frmMain::Form_Activate()
{
    if (!m_firstActivate)
        return;
    m_firstActivate = false;
    QCoreApplication::processEvents();
    RefreshSheet();
    SetImeMode(true);
    // After the sheet is painted: the figures take a moment on large books.
    QTimer::singleShot(0, this, &frmMain::NoticeOverdue);
}

bool frmMain::event(QEvent* e)
{
    const bool result = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate && m_firstActivate)
        Form_Activate();
    // Without a window manager a window may never be activated: the first
    // showing loads the sheet then, once the window's events have run.
    if (e->type() == QEvent::Show && m_firstActivate)
        QMetaObject::invokeMethod(this, &frmMain::Form_Activate, Qt::QueuedConnection);
    return result;
}

QRect frmMain::CurrentTwipsGeometry() const
{
    return QRect(qRound(PixelsToTwipsX(x())), qRound(PixelsToTwipsY(y())), qRound(PixelsToTwipsX(width())),
                 qRound(PixelsToTwipsY(height())));
}

bool frmMain::LayoutChanged() const
{
    return CurrentTwipsGeometry() != m_loadGeometry;
}

void frmMain::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    if (isMinimized())
        return;
    const int minW = TwipsToPixelsX(kMinSizeTwips);
    const int minH = TwipsToPixelsY(kMinSizeTwips);
    if (width() < minW || height() < minH)
        resize(qMax(width(), minW), qMax(height(), minH));
}

void frmMain::LayoutControls()
{
    QWidget* client = centralWidget();
    const int gap = TwipsToPixelsY(kGapTwips);
    pnlTop->setGeometry(0, 0, client->width(), pnlTop->height());
    const int listTop = pnlTop->height() + gap;
    const int listHeight = qMax(0, client->height() - listTop - spTotal->height() - gap);
    spList->setGeometry(0, listTop, pnlTop->width(), listHeight);
    spTotal->setGeometry(0, listTop + listHeight + gap, spList->width(), spTotal->height());
}

void frmMain::closeEvent(QCloseEvent* e)
{
    FinishCellEdit();
    // The summary works on the same databases; it closes with them.
    if (m_sumBill)
        m_sumBill->close();
    if (LayoutChanged())
        SaveFormIni(this);
    m_ctx->closeAll();
    m_ctx->print.reset();
    e->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == centralWidget() && e->type() == QEvent::Resize) {
        if (!isMinimized())
            LayoutControls();
        return false;
    }
    if (EditorKeepsRedoKey(watched, e))
        return true;
    if (e->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (IsLastDateBox(w) && (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return ||
                                 static_cast<QKeyEvent*>(e)->key() == Qt::Key_Enter)) {
            // The period is complete: show it (the card filter's list would swallow F5).
            if (m_period->spDate(1)->isEditing())
                m_period->spDate(1)->endEdit(true);
            btnView_Click();
            return true;
        }
        auto* ke = static_cast<QKeyEvent*>(e);
        // The window sees the function keys before any of its controls.
        if (w && w->window() == this && ke->key() >= Qt::Key_F3 && ke->key() <= Qt::Key_F8 &&
            ke->modifiers() == Qt::NoModifier) {
            HandleFunctionKey(ke->key());
            return true;
        }
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && w &&
            (w == spList || (spList->cellEditor() && w == spList->cellEditor())) && ke->modifiers() == Qt::NoModifier) {
            spList_EnterKey();
            return true;
        }
        if (watched == cmbPlastra) {
            switch (ke->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                btnView_Click();
                return true;
            case Qt::Key_Right:
                KeyToTab(cmbPlastra, 39);
                return true;
            case Qt::Key_Left:
                KeyToTab(cmbPlastra, 37);
                return true;
            default:
                break;
            }
        }
    }
    // The list drops down when the box gets the focus, not again when the
    // focus comes back from the closing list itself.
    if (watched == cmbPlastra && e->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason)
        CmbShowList();
    return QMainWindow::eventFilter(watched, e);
}

bool frmMain::HandleFunctionKey(int key)
{
    switch (key) {
    case Qt::Key_F3:
        cmbPlastra->setFocus(Qt::ShortcutFocusReason);
        return true;
    case Qt::Key_F4:
        ActionDelete();
        return true;
    case Qt::Key_F5:
        btnView_Click();
        return true;
    case Qt::Key_F6:
        btnSum_Click();
        return true;
    case Qt::Key_F7:
        btnExcel_Click();
        return true;
    case Qt::Key_F8:
        btnPrint_Click();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- the sheet

void frmMain::RefreshSheet()
{
    FinishCellEdit();
    const int card = CmbGetItemData(cmbPlastra, 0);
    const QString firstDay = m_period->dateText(0);
    const QString lastDay = m_period->dateText(1);
    ErrorInfo e;
    // The read opens a broken server connection again by itself. A new entry
    // is dated within the period shown, whatever was typed before.
    const int reopens = m_ctx->ledger.reopenCount();
    const bool ok = m_model->load(firstDay, lastDay, card, &e);
    CardFollowsLedger(reopens);
    // The date order again (a click on a title sorted it).
    spList->horizontalHeader()->setSortIndicator(LedgerModel::Date, Qt::AscendingOrder);
    SyncTotalStrip();
    if (!ok) {
        ShowError(e);
        return;
    }
    m_status->showLoaded(firstDay, lastDay, card > 0 ? cmbPlastra->currentText() : QString(), EntryCount());
    spList->setActiveCell(m_model->entryRow(), LedgerModel::CardName);
    if (spList->isVisible())
        spList->setFocus();
    UpdateUndoActions();
}

// The sheet's rows but the brought-forward row and the entry row.
int frmMain::EntryCount() const
{
    return m_model->entryRow() - 1;
}

QString frmMain::entryDate() const
{
    return m_model->entryDate();
}

// ---------------------------------------------------------------- editing

void frmMain::FinishCellEdit()
{
    if (spList && spList->isEditing())
        spList->endEdit(true);
}

void frmMain::spList_EnterKey()
{
    const int col = spList->activeColumn();
    const int row = spList->activeRow();
    if (row < 0 || col < 0)
        return;
    m_editRefused = false;
    mbEnterKey = true;
    // Enter ends the edit; on a cell not being edited it ends an empty one
    // (so Enter on an empty card name still opens the card search).
    if (spList->isEditing())
        spList->endEdit(true);
    else
        spList_Edited(row, col, m_model->index(row, col).data(Qt::EditRole).toString(), false);
    mbEnterKey = false;
    // A refused value keeps the cursor where it is (or where the check put it).
    if (m_editRefused || spList->activeColumn() != col || spList->activeRow() != row)
        return;
    const int entryRow = m_model->entryRow();
    int newCol = col;
    int newRow = row;
    if (col == LedgerModel::Date) {
        newCol = LedgerModel::CardName;
    } else if (col == LedgerModel::Sale && chkAutoFee->isChecked()) {
        // Past the fee that is filled in; after the last entry's sale straight
        // on to the next new entry, not to the pay-out (reached with the arrows or a click).
        const LedgerEntryRow* e = m_model->entryAt(row);
        if (row == entryRow - 1 && e && !e->sale.isZero()) {
            spList->setActiveCell(entryRow, LedgerModel::CardName);
            m_status->showNextEntry();
            return;
        }
        newCol = LedgerModel::BillColl;
    } else if (col >= LedgerModel::BillColl) {
        if (row >= entryRow)
            return;
        newCol = LedgerModel::Date;
        newRow = row + 1;
    } else {
        newCol = col + 1;
    }
    // A new entry always starts with its card company.
    if (newRow != row && newRow == entryRow)
        newCol = LedgerModel::CardName;
    spList->setActiveCell(newRow, newCol);
}

void frmMain::spList_Edited(int row, int col, const QString& text, bool changed)
{
    // Enter on an empty card name still searches: it lists every card.
    if (row < 1 || (!changed && !(col == LedgerModel::CardName && text.isEmpty() && mbEnterKey)))
        return;
    const bool entryRow = row == m_model->entryRow();
    if (col == LedgerModel::Date) {
        QString date = text;
        ErrorInfo e;
        if (!ParseDateInput(date, &e)) {
            ShowError(e);
            m_editRefused = true;
            return;
        }
        // A date typed into the entry row dates the entries typed after it; an entry's own date changes only that
        // entry.
        StoreTypedValue(col, row, date, Qt::EditRole);
        return;
    }
    if (col == LedgerModel::CardName) {
        int code = 0;
        if (!TakeTypedCard(text, &code)) {
            m_editRefused = true;
            spList->setActiveCell(row, LedgerModel::CardName);
            return;
        }
        StoreTypedValue(col, row, code, LedgerModel::CardCodeRole);
        return;
    }
    // Amounts wait until the row is an entry.
    if (entryRow) {
        MsgInfo(tr("카드명을 먼저 입력하세요."), AppTitle());
        m_editRefused = true;
        return;
    }
    if (!TakeTypedAmount(col, text)) {
        m_editRefused = true;
        return;
    }
    StoreTypedValue(col, row, text, Qt::EditRole);
}

bool frmMain::TakeTypedAmount(int col, const QString& text)
{
    const QString plain = QString(text).remove(u',').trimmed();
    const double limit = col == LedgerModel::Slips ? kLedgerSlipLimit : kLedgerAmountLimit;
    // The limits as far as they can be typed without decimals.
    const Money high = Money::fromDouble(std::floor(limit));
    const std::optional<Money> typed = plain.isEmpty() ? std::optional<Money>(Money()) : Money::parse(plain);
    if (typed && !(high < *typed) && !(*typed < -high))
        return true;
    MsgWarn(
        tr("입력할 수 있는 범위를 벗어났습니다.\r\n(%1 ~ %2)").arg((-high).toDisplayString(0), high.toDisplayString(0)),
        AppTitle());
    return false;
}

bool frmMain::TakeTypedCard(const QString& text, int* code)
{
    bool isNew = false;
    const QString name = SearchCard(m_ctx->cardPath, text, code, pnlTop, 2, true, &isNew);
    // The keys typed next belong to the sheet, whichever dialog was shown.
    ReturnFocusTo(spList);
    if (*code < 1)
        return false;
    // A bare number may have been taken as a card code: say which card it is.
    bool number = false;
    text.trimmed().toInt(&number);
    if (number && name != text.trimmed())
        statusBar()->showMessage(tr("'%1' → 카드코드 %2 %3").arg(text.trimmed()).arg(*code).arg(name), 8000);
    if (isNew)
        FillCards();
    return true;
}

void frmMain::StoreTypedValue(int col, int row, const QVariant& value, int role)
{
    const bool entryRow = row == m_model->entryRow();
    // Books on a server: a connection that broke since the last store is
    // opened again by the store itself; the sheet then reloads, as others
    // may have stored meanwhile.
    const int reopens = m_ctx->ledger.reopenCount();
    const bool stored = m_model->setData(m_model->index(row, col), value, role);
    if (CardFollowsLedger(reopens))
        QTimer::singleShot(0, this, &frmMain::ReloadForOthers);
    if (!stored) {
        if (m_model->lastError().isSet())
            ShowError(m_model->lastError());
        m_editRefused = true;
        UpdateUndoActions();
        return;
    }
    if (entryRow && col == LedgerModel::Date)
        return; // the date of the entry row stays in the sheet until a card is named
    // The cursor stays with the entry where the sheet still shows it (a new
    // entry, a date moved in the period); else where the user was.
    const int key = m_model->lastStoredKey();
    int at = m_model->lastStoredRow();
    if (entryRow && at < 0 && key > 0) {
        // A new entry dated outside the period (or of a card the filter hides)
        // widens the sheet to it, as an undo does; the entry row keeps its date.
        const QString typedDate = m_model->entryDate();
        GoToChangedEntry(key, typedDate, LedgerModel::FieldOf(col));
        m_model->setData(m_model->index(m_model->entryRow(), LedgerModel::Date), typedDate);
        at = m_model->rowOfKey(key);
    }
    const int target = at >= 0 ? at : qMin(row, m_model->entryRow());
    if (target != spList->activeRow() || col != spList->activeColumn())
        spList->setActiveCell(target, col);
    if (col == LedgerModel::Sale && chkAutoFee->isChecked() && at >= 0)
        ApplyAutoFee(at, value.toString());
    m_status->flashSaved();
    m_status->setEntries(EntryCount());
    UpdateUndoActions();
}

bool frmMain::CardFollowsLedger(int reopens)
{
    if (m_ctx->ledger.reopenCount() == reopens)
        return false;
    bool reopened = false;
    m_ctx->card.reconnect(&reopened); // a failure shows at the next use of the cards
    return true;
}

void frmMain::ApplyAutoFee(int row, const QString& saleText)
{
    const LedgerEntryRow* entry = m_model->entryAt(row);
    if (!entry)
        return;
    ErrorInfo e;
    const double rate = GetFee(m_ctx->card, entry->card, &e);
    if (e.isSet())
        ShowError(e);
    if (rate == 0)
        return;
    const Money fee = LedgerStore::AutoFee(rate, saleText);
    // Undone together with the sale it comes from.
    m_store->JoinNextToLastChange();
    if (!m_model->setData(m_model->index(row, LedgerModel::Fee), fee.toPlainString()))
        ShowError(m_model->lastError());
}

bool frmMain::IsLastDateBox(const QWidget* w) const
{
    SpreadGrid* box = m_period ? m_period->spDate(1) : nullptr;
    return box && w && (w == box || w == box->cellEditor() || w == box->viewport());
}

void frmMain::ActionDelete()
{
    FinishCellEdit();
    const int row = spList->activeRow();
    const LedgerEntryRow* e = m_model->entryAt(row);
    if (!e) {
        MsgInfo(tr("삭제할 자료를 선택하세요."), AppTitle());
        spList->setFocus();
        return;
    }
    const int col = spList->activeColumn();
    // The whole row shows as selected while the question names the entry.
    spList->selectionModel()->select(
        QItemSelection(m_model->index(row, 0), m_model->index(row, LedgerModel::ColumnCount - 1)),
        QItemSelectionModel::ClearAndSelect);
    const QString entry = e->dateText() + QStringLiteral("  ") + m_model->rows().cardName(e->card) + tr("  매출액 ") +
                          e->sale.toDisplayString(0);
    // 아니오 is preselected: Enter alone never deletes.
    const MsgAnswer answer =
        MsgQuestion(tr("선택된 자료를 정말로 삭제 하시겠습니까?\r\n\r\n") + entry, tr("삭제"), false);
    if (answer != MsgAnswer::No) {
        if (m_model->removeEntry(row)) {
            ShowFloatMsg(QCoreApplication::translate("modSpread", "자료를 삭제하였습니다."), 500, 1,
                         QColor(0, 255, 255));
            m_status->setEntries(EntryCount());
        } else {
            ShowError(m_model->lastError());
        }
    }
    spList->clearSelection();
    spList->setActiveCell(qMin(row, m_model->entryRow()), qMax(0, col));
    spList->setFocus();
    UpdateUndoActions();
}

void frmMain::chkAutoFee_Click()
{
    if (m_loading || !isVisible())
        return;
    auto settings = UserSettings();
    settings->setValue(SettingsKeyFeeAuto(), chkAutoFee->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmMain::spList_ColWidthChanged(int col)
{
    SyncTotalStrip(); // a column dragged narrower than its sum takes it back
    if (spList->isVisible())
        SaveLayoutValue(this, spList->objectName() + QStringLiteral("_ColsWidth"),
                        QString::number(LedgerView::LayoutNumber(col)), LayoutWidthText(spList->colWidth(col)),
                        QStringLiteral("SaveSpreadIni_Col"));
}

// ---------------------------------------------------------------- commands

QString frmMain::PeriodLine() const
{
    return PrintPeriodLine(m_period->dateText(0), m_period->dateText(1));
}

void frmMain::btnView_Click()
{
    RefreshSheet();
}

void frmMain::mnuTool_Settlement_Click()
{
    FinishCellEdit();
    SettlementWindow* w = SettlementWindow::ShowSingle(*m_ctx, this);
    connect(w, &SettlementWindow::openLedger, this, &frmMain::ShowCardPeriod, Qt::UniqueConnection);
}

void frmMain::ShowCardPeriod(int card, const QString& from, const QString& to)
{
    FinishCellEdit();
    m_period->setDateText(0, from);
    m_period->setDateText(1, to);
    const int index = cmbPlastra->findData(card);
    cmbPlastra->setCurrentIndex(index >= 0 ? index : 0);
    RefreshSheet();
    raise();
    activateWindow();
}

void frmMain::NoticeOverdue()
{
    // A courtesy at start: books or a holiday file that cannot be read say so
    // in the settlement window, not in a box before the sheet is even seen.
    Holidays holidays;
    Settlement s;
    const QDate today = Clock::today();
    if (!Holidays::LoadFor(SettlementWindow::BooksFolder(*m_ctx), &holidays) ||
        !LoadSettlement(m_ctx->ledger, holidays, QDate(today.year(), today.month(), 1), today, 0, &s))
        return;
    m_status->showOverdue(OverdueNotice(s, 2));
}

void frmMain::btnSum_Click()
{
    FinishCellEdit();
    m_sumBill = frmSumBill::ShowSingle(*m_ctx, this, m_period->dateText(0), m_period->dateText(1));
}

LedgerOutputSheet frmMain::OutputSheet()
{
    // What is printed and exported is the command line's sheet for the dates
    // and card in the boxes: the entries and a totals row, no entry row.
    const int card = CmbGetItemData(cmbPlastra, 0);
    LedgerOutputSheet sheet(m_ctx->ledger, m_period->dateText(0), m_period->dateText(1), card,
                            card > 0 ? cmbPlastra->currentText() : QString());
    // The printout and the workbook take the columns as wide as the window shows them.
    QList<double> widths;
    for (int col = 0; col < LedgerModel::ColumnCount; ++col)
        widths << spList->colWidth(col);
    sheet.setColumnWidths(widths);
    return sheet;
}

void frmMain::btnExcel_Click()
{
    FinishCellEdit();
    ExportSheetToFile(OutputSheet(), QStringLiteral("Sheet1"), this);
}

void frmMain::btnPrint_Click()
{
    FinishCellEdit();
    if (!m_ctx->print)
        return;
    const int card = CmbGetItemData(cmbPlastra, 0);
    const QString cardName = card > 0 ? cmbPlastra->currentText() : QString();
    ErrorInfo e;
    ProgressWindow progress(tr("인쇄할 쪽을 만드는 중..."), false, this);
    m_ctx->print->setProgress(progress.progress());
    const auto forget = qScopeGuard([this] { m_ctx->print->setProgress({}); });
    if (!m_ctx->print->PrintSheet(
            OutputSheet(), LedgerPrintDescription(m_period->dateText(0), m_period->dateText(1), cardName), this, &e) &&
        e.isSet())
        ShowError(e);
}

void frmMain::btnCard_Click()
{
    auto* w = new frmPlastra_read(m_ctx->cardPath, this);
    PlaceFormAtControl(w, pnlTop, 2, 3);
    ExecModal(w);
    delete w;
    FillCards();
}

void frmMain::mnuTool_ReBaln_Click()
{
    const QString question = tr("                    [잔액 재정리]\r\n\r\n"
                                "이월금액이 맞지 않는 경우 재계산을 통하여 자동으로 맞춥니다.\r\n"
                                "자료의 양에 따라 다소 시간이 걸릴 수도 있습니다.\r\n\r\n"
                                "진행하시겠습니까?");
    if (MsgQuestion(question, AppTitle(), false) != MsgAnswer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BackupBeforeChange(*m_ctx, m_backupTask);
    ShowFloatMsg(tr("이월금액 재계산중..."), 0, 0, QColor(0, 255, 255));
    ErrorInfo e;
    bool ok = false;
    {
        // Stopping is safe: the rebuild is one transaction.
        ProgressWindow progress(tr("이월금액 재계산중..."), true, this);
        ok = m_store->ReBaln(&e, progress.progress());
    }
    CloseFloatMsg();
    QApplication::restoreOverrideCursor();
    if (ok)
        MsgInfo(tr("잔액 재정리를 완료 하였습니다."), AppTitle());
    else
        ShowError(e);
    UpdateUndoActions();
}

void frmMain::mnuTool_Check_Click()
{
    const CarryOverCheck check = m_store->CheckCarryOver();
    if (!check.ok) {
        MsgError(tr("이월금액을 검증하는 중 오류가 발생했습니다."), check.error);
        return;
    }
    if (check.clean()) {
        MsgInfo(tr("이월금액이 장부와 모두 일치합니다."), AppTitle());
        return;
    }
    auto* dlg = new CarryOverCheckDialog(check, m_ctx->card, this);
    const bool rebuild = ExecModal(dlg) == QDialog::Accepted;
    delete dlg;
    if (rebuild)
        mnuTool_ReBaln_Click();
}

void frmMain::mnuTool_Backup_Click()
{
    if (SayServerBacksUp(*m_ctx))
        return;
    if (!m_backupTask->start(BooksFolder(*m_ctx)))
        MsgInfo(tr("백업이 진행중입니다."), AppTitle());
}

void frmMain::mnuTool_Restore_Click()
{
    FinishCellEdit();
    m_backupTask->wait();
    const bool restored = RestoreBooksFromBackup(this, *m_ctx, [this] { delete m_sumBill.data(); });
    if (!m_ctx->ledger.isOpen()) {
        close();
        return;
    }
    if (!restored)
        return;
    m_store = std::make_unique<LedgerStore>(m_ctx->ledger);
    m_history = std::make_unique<LedgerHistory>(*m_store, m_ctx->ledger);
    m_model->setStore(*m_store);
    DeferCheckpoints(); // the books were opened again
    FillPlastra(m_ctx->card, cmbPlastra);
    RefreshSheet();
}

void frmMain::mnuTool_Calc_Click()
{
    if (StartCalculator())
        return;
    // Names what to install, not only what is missing.
    const QStringList programs = CalculatorCandidates();
    MsgWarn(tr("계산기 파일을 찾을 수 없습니다.\r\n\r\n계산기 프로그램을 설치하세요: sudo apt install %1\r\n"
               "(%2 가운데 하나가 있으면 됩니다)")
                .arg(programs.constFirst(), programs.join(QStringLiteral(", "))),
            AppTitle());
}

void frmMain::mnuHomePage_Click()
{
    GoHomePage();
}

// ---------------------------------------------------------------- undo and history

void frmMain::UpdateUndoActions()
{
    // Called after every store: the log waits for the next pause.
    if (m_checkpoint)
        m_checkpoint->start();
    if (!mnuEdit_Undo)
        return;
    ErrorInfo e;
    const std::optional<LedgerHistory::Step> undo = m_history->NextUndo(&e);
    const std::optional<LedgerHistory::Step> redo = m_history->NextRedo(&e);
    // A card name's "&" is no menu mnemonic.
    const auto plain = [](const QString& text) { return QString(text).replace(u'&', QStringLiteral("&&")); };
    mnuEdit_Undo->setText(undo ? tr("실행 취소: ") + plain(undo->text) : tr("실행 취소"));
    mnuEdit_Redo->setText(redo ? tr("다시 실행: ") + plain(redo->text) : tr("다시 실행"));
    // Greyed out with nothing to do: Ctrl+Z then does nothing rather than say so.
    mnuEdit_Undo->setEnabled(undo.has_value());
    mnuEdit_Redo->setEnabled(redo.has_value());
}

void frmMain::mnuEdit_Undo_Click()
{
    RunUndoStep(true);
}

void frmMain::mnuEdit_Redo_Click()
{
    RunUndoStep(false);
}

void frmMain::RunUndoStep(bool undo)
{
    // From the menu a cell may still be open: what it holds is stored first.
    FinishCellEdit();
    LedgerHistory::Landing landing;
    ErrorInfo e;
    // Nothing to do (the entry was still enabled): nothing to say either.
    if (!(undo ? m_history->NextUndo(&e) : m_history->NextRedo(&e)) && !e.isSet()) {
        UpdateUndoActions();
        return;
    }
    if (undo ? m_history->Undo(&landing, &e) : m_history->Redo(&landing, &e))
        GoToChangedEntry(landing.key, landing.date, landing.field);
    else
        ShowError(e);
    UpdateUndoActions();
}

void frmMain::GoToChangedEntry(int key, const QString& date, const QString& field)
{
    // An entry outside the period shown (or of another card) widens the view to it.
    const bool realDay = DateText::isValidDay(date);
    if (realDay && date < m_period->dateText(0))
        m_period->setDateText(0, date);
    if (realDay && date > m_period->dateText(1))
        m_period->setDateText(1, date);
    const std::optional<LedgerStore::EntryView> entry = key > 0 ? m_store->ReadEntry(key, nullptr) : std::nullopt;
    const int filter = CmbGetItemData(cmbPlastra, 0);
    if (entry && filter > 0 && filter != entry->card)
        cmbPlastra->setCurrentIndex(0);
    RefreshSheet();
    int column = LedgerModel::CardName;
    for (int c = 0; c < LedgerModel::ColumnCount; ++c)
        if (!field.isEmpty() && LedgerModel::FieldOf(c) == field)
            column = c;
    // The entry's row; for an entry taken away, where it stood (the first later date).
    int target = key > 0 ? m_model->rowOfKey(key) : -1;
    for (int row = 1; key <= 0 && row < m_model->entryRow(); ++row) {
        if (m_model->entryAt(row)->dateText() >= date) {
            target = row;
            break;
        }
    }
    spList->setActiveCell(target >= 0 ? target : m_model->entryRow(), column);
}

void frmMain::mnuTool_History_Click()
{
    FinishCellEdit();
    // One history window: asked again, it comes to the front with what is new.
    if (auto* open = findChild<HistoryWindow*>()) {
        open->RefreshSheet();
        open->raise();
        open->activateWindow();
        return;
    }
    auto* w = new HistoryWindow(*m_ctx, this);
    w->show();
}

// ---------------------------------------------------------------- import

void frmMain::BuildImportMenu()
{
    mnuTool_Import = new QAction(tr("자료 가져오기"), this);
    mnuTool_Import->setObjectName(QStringLiteral("mnuTool_Import"));
    mnuTool->insertAction(mnuTool_Backup, mnuTool_Import);
    mnuTool->insertSeparator(mnuTool_Backup);
    connect(mnuTool_Import, &QAction::triggered, this, &frmMain::mnuTool_Import_Click);
    setAcceptDrops(true);
}

void frmMain::mnuTool_Import_Click()
{
    OpenImport(QString());
}

void frmMain::OpenImport(const QString& file)
{
    auto* dlg = new ImportDialog(*m_ctx, file, this);
    const bool stored = ExecModal(dlg) == QDialog::Accepted;
    const ImportOutcome outcome = dlg->outcome();
    delete dlg;
    if (!stored)
        return;
    FillCards(); // the dialog may have registered cards
    if (!outcome.firstDay.isEmpty()) {
        m_period->setDateText(0, outcome.firstDay);
        m_period->setDateText(1, outcome.lastDay);
    }
    RefreshSheet();
    UpdateUndoActions();
    QStringList lines{tr("자료를 가져왔습니다."), ImportRun::SummaryLine(outcome.counts)};
    MsgInfo((lines + outcome.warnings).join(QLatin1Char('\n')), AppTitle());
}

namespace {
// One local file of a kind the import reads.
bool IsImportDrop(const QMimeData* mime)
{
    const QList<QUrl> urls = mime->urls();
    const QString suffix = urls.size() == 1 ? QFileInfo(urls[0].toLocalFile()).suffix().toLower() : QString();
    return urls.size() == 1 && urls[0].isLocalFile() &&
           (suffix == QLatin1String("csv") || suffix == QLatin1String("txt") || suffix == QLatin1String("xlsx"));
}
} // namespace

void frmMain::dragEnterEvent(QDragEnterEvent* e)
{
    if (IsImportDrop(e->mimeData()))
        e->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* e)
{
    if (!IsImportDrop(e->mimeData()))
        return;
    const QList<QUrl> urls = e->mimeData()->urls();
    e->acceptProposedAction();
    const QString file = urls[0].toLocalFile();
    // Opened once the drop has finished: the dialog must not run inside the drag's own loop.
    QMetaObject::invokeMethod(
        this, [this, file] { OpenImport(file); }, Qt::QueuedConnection);
}

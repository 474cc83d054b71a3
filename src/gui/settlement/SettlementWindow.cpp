#include "gui/settlement/SettlementWindow.h"
#include "gui/grid/GridSheet.h"
#include "output/PrintComponent.h"

#include "data/base/Clock.h"
#include "data/books/AppContext.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/settlement/SettlementSheet.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/LiveReload.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/PeriodBar.h"
#include "gui/toolkit/Utils.h"
#include "gui/toolkit/modSpread.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

QPointer<SettlementWindow> SettlementWindow::s_instance;

SettlementWindow::SettlementWindow(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(QStringLiteral("SettlementWindow"));
    setWindowTitle(SettlementCaption());
    setAttribute(Qt::WA_DeleteOnClose);

    auto* pnlSearch = new QFrame(this);
    pnlSearch->setObjectName(QStringLiteral("pnlSearch"));
    pnlSearch->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(pnlSearch);
    bar->setContentsMargins(6, 4, 6, 4);
    m_period = new PeriodBar(pnlSearch);
    m_period->setToolTip(tr("첫 날짜부터 수수료를 보고, 둘째 날짜를 기준일로 미입금을 셉니다"));
    bar->addWidget(m_period, 1);
    const auto makeButton = [pnlSearch, bar](const char* name, const QString& caption, const QString& toolTip) {
        QPushButton* b = MakeCommandButton(pnlSearch, name, caption, toolTip);
        bar->addWidget(b);
        return b;
    };
    btnView = makeButton("btnView", tr("조회(F5)"), tr("기준일의 정산 현황을 봅니다 (F5)"));
    btnExcel = makeButton("btnExcel", tr("엑셀(F7)"), tr("정산 현황을 엑셀로 내보냅니다 (F7)"));
    btnPrint = makeButton("btnPrint", tr("인쇄(F8)"), tr("정산 현황을 인쇄합니다 (F8)"));
    btnClose = makeButton("btnClose", tr("닫기(&C)"), tr("창을 닫습니다 (Alt+C, Esc)"));
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    spList = new SpreadGrid(this);
    spList->setObjectName(QStringLiteral("spList"));
    spList->setToolTip(tr("두 번 누르면 그 카드사의 원장을 가장 오래된 미입금 매출일부터 엽니다"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnlSearch);
    layout->addWidget(lblNote);
    layout->addWidget(spList, 1);

    connect(btnView, &QPushButton::clicked, this, &SettlementWindow::btnView_Click);
    connect(btnExcel, &QPushButton::clicked, this, &SettlementWindow::btnExcel_Click);
    connect(btnPrint, &QPushButton::clicked, this, &SettlementWindow::btnPrint_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(spList, &SpreadGrid::dblClick, this, &SettlementWindow::spList_DblClick);
    connect(m_period, &PeriodBar::periodEntered, this, &SettlementWindow::RefreshSheet);
    const auto addKey = [this](Qt::Key key, void (SettlementWindow::*handler)()) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    addKey(Qt::Key_F5, &SettlementWindow::btnView_Click);
    addKey(Qt::Key_F7, &SettlementWindow::btnExcel_Click);
    addKey(Qt::Key_F8, &SettlementWindow::btnPrint_Click);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);

    // The fee period starts on the first of the month; the day is today.
    m_period->setupDateCells(true);
    DesignSettlementSheet(spList, Clock::today());
    CommonSpreadDesign(spList, true, true, false, true);
    // Wide enough for the columns up to the fee difference (the next days scroll
    // in beside them), within the screen; a layout file overrides it.
    const int scrollBar = spList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, spList);
    const int figures = spList->horizontalHeader()->sectionPosition(SettlementCol::FirstUpcoming - 1) +
                        spList->verticalHeader()->width() + 2 * spList->frameWidth() + scrollBar +
                        layout->contentsMargins().left() + layout->contentsMargins().right();
    const int room = screen() ? screen()->availableGeometry().width() : figures;
    resize(std::clamp(figures, TwipsToPixelsX(15000), std::max(room, TwipsToPixelsX(15000))), TwipsToPixelsY(6000));
    CenterForm(this, true);
    LoadFormIni(this);
    RefreshSheet();
    // Books on a server: another computer's pay-out shows here too.
    new LiveReload(
        m_ctx.ledger, this, [] { return false; },
        [this] {
            QPointer<QWidget> focus = QApplication::focusWidget();
            if (!m_shownTo.isEmpty() && m_period->dateText(0) == m_shownFrom && m_period->dateText(1) == m_shownTo)
                RefreshSheet();
            if (focus)
                focus->setFocus();
        });
}

SettlementWindow::~SettlementWindow()
{
    if (s_instance == this)
        s_instance = nullptr;
}

SettlementWindow* SettlementWindow::ShowSingle(AppContext& ctx, QWidget* parent)
{
    if (!s_instance)
        s_instance = new SettlementWindow(ctx, parent);
    SettlementWindow* w = s_instance;
    if (w->isMinimized())
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

SettlementWindow* SettlementWindow::OpenInstance()
{
    return s_instance;
}

QString SettlementWindow::BooksFolder(const AppContext& ctx)
{
    return ctx.ledger.isServer() ? QString() : QFileInfo(ctx.ledgerPath).absolutePath();
}

bool SettlementWindow::RefreshSheet()
{
    spList->setMaxRows(0);
    m_settlement = Settlement();
    for (int i = 0; i < 2; ++i) {
        if (!DateText::isValidDay(m_period->dateText(i))) {
            MsgWarn(tr("조회기간의 날짜가 올바르지 않습니다."), QString());
            m_period->spDate(i)->setFocus();
            return false;
        }
    }
    m_shownFrom = m_period->dateText(0);
    m_shownTo = m_period->dateText(1);
    const QDate from = QDate::fromString(m_shownFrom, Qt::ISODate);
    const QDate day = QDate::fromString(m_shownTo, Qt::ISODate);
    Holidays holidays;
    ErrorInfo e;
    if (!Holidays::LoadFor(BooksFolder(m_ctx), &holidays, &e) ||
        !LoadSettlement(m_ctx.ledger, holidays, std::min(from, day), day, 0, &m_settlement, &e)) {
        lblNote->clear();
        ShowError(e);
        return false;
    }
    FillSettlementSheet(spList, m_settlement);
    lblNote->setText(SettlementNote(m_settlement));
    // A year without holidays in the file is said in red: its pay-out days may be early.
    lblNote->setStyleSheet(m_settlement.uncoveredYears.isEmpty() ? QString() : QStringLiteral("color: #c00000"));
    spList->setActiveCell(1, 1);
    return true;
}

bool SettlementWindow::showTypedPeriod()
{
    m_period->finishEdit();
    const bool current =
        !m_shownTo.isEmpty() && m_period->dateText(0) == m_shownFrom && m_period->dateText(1) == m_shownTo;
    return current || RefreshSheet();
}

void SettlementWindow::btnView_Click()
{
    m_period->finishEdit();
    RefreshSheet();
}

void SettlementWindow::btnExcel_Click()
{
    if (showTypedPeriod())
        ExportToExcelFile(spList, QStringLiteral("Sheet1"), true);
}

void SettlementWindow::btnPrint_Click()
{
    if (!m_ctx.print || !showTypedPeriod())
        return;
    ErrorInfo e;
    if (!m_ctx.print->PrintSheet(GridSheet(*spList), SettlementPrintDescription(m_settlement), this, &e) && e.isSet())
        ShowError(e);
}

void SettlementWindow::spList_DblClick(int col, int row)
{
    Q_UNUSED(col)
    if (row < 1 || row > m_settlement.lines.size())
        return;
    const SettlementLine& l = m_settlement.lines[row - 1];
    // From the oldest unpaid sale; with nothing late, from the start of the fee period.
    const QDate from = l.oldestUnpaid.isNull() ? m_settlement.from : l.oldestUnpaid;
    Q_EMIT openLedger(l.cardCode, from.toString(Qt::ISODate), m_settlement.day.toString(Qt::ISODate));
}

void SettlementWindow::closeEvent(QCloseEvent* event)
{
    SaveFormIni(this);
    QWidget::closeEvent(event);
}

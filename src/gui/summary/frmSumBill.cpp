#include "gui/summary/frmSumBill.h"
#include "gui/grid/GridSheet.h"
#include "output/PrintComponent.h"

#include "data/base/Clock.h"
#include "data/books/AppContext.h"
#include "data/books/SharedQueries.h"
#include "data/summary/SumBillData.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/summary/SumBillSheet.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/LiveReload.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/PeriodBar.h"
#include "gui/toolkit/Utils.h"
#include "gui/toolkit/modSpread.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>

QPointer<frmSumBill> frmSumBill::s_instance;

namespace {
const QString kFormName = QStringLiteral("frmSumBill");
constexpr double kMinSizeTwips = 5000;
constexpr double kGapTwips = 30;
} // namespace

frmSumBill::frmSumBill(AppContext& ctx, QWidget* parent, const QString& from, const QString& to)
    : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(kFormName);
    setWindowTitle(SumBillCaption());
    setAttribute(Qt::WA_DeleteOnClose);

    pnlSearch = new QFrame(this);
    pnlSearch->setObjectName(QStringLiteral("pnlSearch"));
    pnlSearch->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(pnlSearch);
    bar->setContentsMargins(6, 4, 6, 4);
    m_period = new PeriodBar(pnlSearch);
    bar->addWidget(m_period, 1);
    const auto makeButton = [this, bar](const char* name, const QString& caption, const QString& toolTip) {
        QPushButton* b = MakeCommandButton(pnlSearch, name, caption, toolTip);
        bar->addWidget(b);
        return b;
    };
    btnView = makeButton("btnView", tr("조회(F5)"), tr("기간을 카드사별로 집계합니다 (F5)"));
    btnExcel = makeButton("btnExcel", tr("엑셀(F7)"), tr("집계를 엑셀로 내보냅니다 (F7)"));
    btnPrint = makeButton("btnPrint", tr("인쇄(F8)"), tr("집계를 인쇄합니다 (F8)"));
    btnClose = makeButton("btnClose", tr("닫기(&C)"), tr("창을 닫습니다 (Alt+C, Esc)"));
    pnlSearch->setFixedHeight(pnlSearch->sizeHint().height());

    setupTabs();

    setTabOrder(m_period->spDate(0), m_period->spDate(1));
    setTabOrder(m_period->spDate(1), m_period->chkChain());
    setTabOrder(m_period->chkChain(), btnView);
    setTabOrder(btnView, btnExcel);
    setTabOrder(btnExcel, btnPrint);
    setTabOrder(btnPrint, btnClose);
    setTabOrder(btnClose, tabMain);
    setTabOrder(tabMain, spList);

    connect(btnView, &QPushButton::clicked, this, &frmSumBill::btnView_Click);
    connect(btnExcel, &QPushButton::clicked, this, &frmSumBill::btnExcel_Click);
    connect(btnPrint, &QPushButton::clicked, this, &frmSumBill::btnPrint_Click);
    connect(btnClose, &QPushButton::clicked, this, &frmSumBill::btnClose_Click);
    connect(spList, &SpreadGrid::columnWidthChanged, this, &frmSumBill::spList_ColWidthChange);
    connect(tabMain, &QTabWidget::currentChanged, this, &frmSumBill::tabMain_CurrentChanged);
    connect(m_period, &PeriodBar::periodEntered, this, &frmSumBill::RefreshSheet);

    // The window's keys, whichever of its controls has the focus.
    const auto addKey = [this](Qt::Key key, void (frmSumBill::*handler)()) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    addKey(Qt::Key_F5, &frmSumBill::btnView_Click);
    addKey(Qt::Key_F7, &frmSumBill::btnExcel_Click);
    addKey(Qt::Key_F8, &frmSumBill::btnPrint_Click);
    addKey(Qt::Key_Escape, &frmSumBill::btnClose_Click); // a date being typed takes Esc first

    Form_Load(from, to);
}

// The summary grid on the first tab, the monthly chart on the second.
void frmSumBill::setupTabs()
{
    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    tabMain->setDocumentMode(true); // no frame: the grid keeps the window's full width
    spList = new SpreadGrid(tabMain);
    spList->setObjectName(QStringLiteral("spList"));
    DesignSumBillSheet(spList);
    tabMain->addTab(spList, SumBillCaption());
    chartList = new QChartView(tabMain);
    chartList->setObjectName(QStringLiteral("chartList"));
    chartList->setRenderHint(QPainter::Antialiasing);
    tabMain->addTab(chartList, SumBillChartCaption());
}

frmSumBill::~frmSumBill()
{
    if (s_instance == this)
        s_instance = nullptr;
}

frmSumBill* frmSumBill::ShowSingle(AppContext& ctx, QWidget* parent, const QString& from, const QString& to)
{
    if (!s_instance)
        s_instance = new frmSumBill(ctx, parent, from, to);
    frmSumBill* w = s_instance;
    if (w->isMinimized())
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

frmSumBill* frmSumBill::OpenInstance()
{
    return s_instance;
}

QString frmSumBill::periodFrom() const
{
    return m_period->dateText(0);
}

QString frmSumBill::periodTo() const
{
    return m_period->dateText(1);
}

void frmSumBill::Form_Load(const QString& from, const QString& to)
{
    resize(defaultSize());
    CenterForm(this, true);
    // The period the ledger window shows, so that F6 totals what is on screen.
    m_period->setupDateCells(false);
    if (DateText::isValidDay(from) && DateText::isValidDay(to)) {
        m_period->setDateText(0, from);
        m_period->setDateText(1, to);
    }
    CommonSpreadDesign(spList, true, true, false, true);
    LoadFormIni(this);
    m_loadedRect = formRect();
    RefreshSheet();
    // Books on a server: another computer's store shows here too, for the period shown.
    new LiveReload(
        m_ctx.ledger, this, [] { return false; },
        [this] {
            QPointer<QWidget> focus = QApplication::focusWidget();
            if (sheetCurrent())
                RefreshSheet();
            if (focus)
                focus->setFocus();
        });
}

QSize frmSumBill::defaultSize() const
{
    // Wide enough for every column beside the row headers and a vertical
    // scroll bar, and for the period bar with its buttons; a layout file overrides it.
    const QHeaderView* rowHeaders = spList->verticalHeader();
    const int scrollBar = spList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, spList);
    const int gridWidth = spList->horizontalHeader()->length() + (rowHeaders->isHidden() ? 0 : rowHeaders->width()) +
                          2 * spList->frameWidth() + scrollBar + tabMain->contentsMargins().left() +
                          tabMain->contentsMargins().right();
    return QSize(qMax(gridWidth, pnlSearch->sizeHint().width()), TwipsToPixelsY(7000));
}

QRect frmSumBill::formRect() const
{
    // The position of the frame and the size of the client area: both stay the
    // same when a window manager adds its frame at the first show.
    return QRect(qRound(PixelsToTwipsX(x())), qRound(PixelsToTwipsY(y())), qRound(PixelsToTwipsX(width())),
                 qRound(PixelsToTwipsY(height())));
}

bool frmSumBill::RefreshSheet()
{
    spList->setMaxRows(0);
    const QString from = periodFrom();
    const QString to = periodTo();
    // A box holding no date would make every figure meaningless.
    for (int i = 0; i < 2; ++i) {
        if (!DateText::isValidDay(m_period->dateText(i))) {
            MsgWarn(tr("조회기간의 날짜가 올바르지 않습니다."), QString());
            m_period->spDate(i)->setFocus();
            return false;
        }
    }
    m_shownFrom = from;
    m_shownTo = to;
    m_chartStale = true;
    ErrorInfo e;
    if (!BuildSumBillSheet(m_ctx.ledger, spList, from, to, &e)) {
        ShowError(e);
        showChart(SumBillChart()); // nothing of an earlier period stays on the chart tab
        return false;
    }
    spList->setActiveCell(1, 1);
    if (spList->isVisible())
        spList->setFocus();
    if (chartShown())
        refreshChart();
    return true;
}

bool frmSumBill::sheetCurrent() const
{
    return !m_shownFrom.isEmpty() && periodFrom() == m_shownFrom && periodTo() == m_shownTo;
}

bool frmSumBill::showTypedPeriod()
{
    // Printed and exported figures are always those of the period in the boxes.
    m_period->finishEdit();
    return sheetCurrent() || RefreshSheet();
}

bool frmSumBill::chartShown() const
{
    return tabMain->currentIndex() == ChartTab;
}

void frmSumBill::refreshChart()
{
    m_chartStale = false;
    MonthlySummary data;
    ErrorInfo e;
    const bool loaded = LoadMonthlySummary(m_ctx.ledger, m_shownFrom, m_shownTo, &data, &e);
    showChart(SumBillChart(std::move(data)));
    if (!loaded)
        ShowError(e);
}

void frmSumBill::showChart(SumBillChart chart)
{
    m_chart = std::move(chart);
    // The view hands the old chart back instead of deleting it.
    QChart* old = chartList->chart();
    chartList->setChart(m_chart.makeChart());
    delete old;
}

void frmSumBill::tabMain_CurrentChanged(int index)
{
    // The Excel button saves the chart as a picture on its tab.
    btnExcel->setText(index == ChartTab ? tr("PNG 저장(F7)") : tr("엑셀(F7)"));
    if (index == ChartTab && m_chartStale)
        refreshChart();
}

void frmSumBill::btnView_Click()
{
    m_period->finishEdit(); // F5 while a date is being typed shows that date
    RefreshSheet();
}

void frmSumBill::btnExcel_Click()
{
    if (!showTypedPeriod())
        return;
    if (!chartShown()) {
        ExportToExcelFile(spList, QStringLiteral("Sheet1"), true);
        return;
    }
    if (m_chart.data().cards.isEmpty()) {
        MsgInfo(tr("그림으로 저장할 매출이 없습니다.\r\n자료가 있는 기간을 조회한 뒤 저장하세요."));
        return;
    }
    ExportImageFile(m_chart.render());
}

void frmSumBill::btnPrint_Click()
{
    if (!m_ctx.print || !showTypedPeriod())
        return;
    ErrorInfo e;
    bool printed = false;
    if (chartShown()) {
        const auto picture = [this](QPainter* p, const QRectF& r) { m_chart.paintPage(p, r); };
        const MonthlySummary& data = m_chart.data();
        printed = m_ctx.print->PrintPicture(picture, SumBillChartPrintDescription(data.from, data.to), this, &e);
    } else {
        printed =
            m_ctx.print->PrintSheet(GridSheet(*spList), SumBillPrintDescription(periodFrom(), periodTo()), this, &e);
    }
    if (!printed && e.isSet())
        ShowError(e);
}

void frmSumBill::btnClose_Click()
{
    close();
}

void frmSumBill::spList_ColWidthChange(int col1, int col2)
{
    for (int c = col1; c <= col2; ++c)
        SaveSpreadIni_Col(this, spList, c);
}

void frmSumBill::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Form_Resize();
}

void frmSumBill::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmSumBill::Form_Resize()
{
    if (isMinimized())
        return;
    // The window never gets smaller than 5000 twips either way.
    const QSize frameExtra = frameGeometry().size() - size();
    const QSize minimum(TwipsToPixelsX(kMinSizeTwips) - frameExtra.width(),
                        TwipsToPixelsY(kMinSizeTwips) - frameExtra.height());
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    const int w = width();
    pnlSearch->setGeometry(0, 0, w, pnlSearch->height());
    const int top = pnlSearch->height() + TwipsToPixelsY(kGapTwips);
    tabMain->setGeometry(0, top, pnlSearch->width(), qMax(0, height() - top - TwipsToPixelsY(kGapTwips)));
}

void frmSumBill::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmSumBill::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Only a window the user moved or resized rewrites its layout file.
    if (formRect() != m_loadedRect)
        SaveFormIni(this);
}

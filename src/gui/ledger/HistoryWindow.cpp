#include "gui/ledger/HistoryWindow.h"

#include "data/base/Clock.h"
#include "data/books/AppContext.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/ledger/HistorySheet.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/PeriodBar.h"
#include "gui/toolkit/Utils.h"
#include "gui/toolkit/modSpread.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <functional>

HistoryWindow::HistoryWindow(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(tr("변경 내역"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* rows = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout();
    m_period = new PeriodBar(this);
    bar->addWidget(m_period, 1);
    const auto makeButton = [this, bar](const char* name, const QString& caption) {
        QPushButton* b = MakeCommandButton(this, name, caption);
        bar->addWidget(b);
        return b;
    };
    btnView = makeButton("btnView", tr("조회(F5)"));
    btnExcel = makeButton("btnExcel", tr("엑셀(F7)"));
    btnClose = makeButton("btnClose", tr("닫기(&C)"));
    rows->addLayout(bar);
    spHistory = new SpreadGrid(this);
    spHistory->setObjectName(QStringLiteral("spHistory"));
    DesignHistorySheet(spHistory);
    CommonSpreadDesign(spHistory, true, true, false, true);
    rows->addWidget(spHistory, 1);

    connect(btnView, &QPushButton::clicked, this, &HistoryWindow::RefreshSheet);
    connect(m_period, &PeriodBar::periodEntered, this, &HistoryWindow::RefreshSheet);
    connect(btnExcel, &QPushButton::clicked, this, &HistoryWindow::btnExcel_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    const auto addKey = [this](Qt::Key key, const std::function<void()>& handler) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    addKey(Qt::Key_F5, [this] { RefreshSheet(); });
    addKey(Qt::Key_F7, [this] { btnExcel_Click(); });

    // The month so far, as the changes of these days are the ones looked for.
    m_period->setupDateCells(true);
    resize(TwipsToPixelsX(15000), TwipsToPixelsY(8000));
    CenterForm(this, true);
    RefreshSheet();
}

bool HistoryWindow::RefreshSheet()
{
    m_period->finishEdit();
    m_shown.clear();
    for (int i = 0; i < 2; ++i) {
        if (!DateText::isValidDay(m_period->dateText(i))) {
            MsgWarn(tr("조회기간의 날짜가 올바르지 않습니다."), QString());
            m_period->spDate(i)->setFocus();
            return false;
        }
    }
    ErrorInfo e;
    const bool built = BuildHistorySheet(spHistory, m_ctx.ledger, m_period->dateText(0), m_period->dateText(1), &e);
    if (!built)
        ShowError(e);
    else
        m_shown = m_period->dateText(0) + QLatin1Char('|') + m_period->dateText(1);
    // Each column as wide as its texts, the long values up to a limit.
    constexpr double kWidestCol = 60;
    for (int c = 1; c <= spHistory->maxCols(); ++c)
        spHistory->setColWidth(c, std::min(spHistory->textWidthNeeded(c), kWidestCol));
    spHistory->setActiveCell(1, 1);
    if (spHistory->isVisible())
        spHistory->setFocus(); // as the ledger and the summary: on to what was asked for
    return built;
}

void HistoryWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void HistoryWindow::btnExcel_Click()
{
    // The workbook is of the period in the boxes, never of an earlier one.
    m_period->finishEdit();
    if (m_shown != m_period->dateText(0) + QLatin1Char('|') + m_period->dateText(1) && !RefreshSheet())
        return;
    // The sheet on screen is the one written: built once, by the same builder.
    ExportToExcelFile(spHistory, QStringLiteral("Sheet1"), true);
}

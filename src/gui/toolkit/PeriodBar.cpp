#include "gui/toolkit/PeriodBar.h"

#include "gui/toolkit/Messages.h"

#include "data/base/Clock.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"

#include "gui/toolkit/DateInput.h"
#include "gui/toolkit/Utils.h"
#include <QFontMetrics>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMetaMethod>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makeArrow = [this, layout](Qt::ArrowType arrow, const QString& name) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
        layout->addWidget(b);
        return b;
    };
    m_up = makeArrow(Qt::UpArrow, QStringLiteral("btnUp"));
    m_down = makeArrow(Qt::DownArrow, QStringLiteral("btnDown"));
    m_up->setToolTip(tr("하루 뒤 (날짜 상자에서 위 화살표)"));
    m_down->setToolTip(tr("하루 앞 (날짜 상자에서 아래 화살표)"));
    connect(m_up, &QToolButton::clicked, this, &UpDown::upClick);
    connect(m_down, &QToolButton::clicked, this, &UpDown::downClick);
}

PeriodBar::PeriodBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PeriodBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    for (int i = 0; i < 2; ++i) {
        m_spDate[i] = makeDateBox(i);
        m_udDateCng[i] = new UpDown(this);
        m_udDateCng[i]->setObjectName(QStringLiteral("udDateCng%1").arg(i));
        m_udDateCng[i]->setProperty("index", i);
        m_btnMonthView[i] = makeMonthButton(i);
        if (i == 1)
            layout->addWidget(new QLabel(QStringLiteral("~"), this));
        layout->addWidget(m_spDate[i]);
        layout->addWidget(m_udDateCng[i]);
        layout->addWidget(m_btnMonthView[i]);
        connectDatePart(i);
    }

    m_chkChain = new QCheckBox(tr("양쪽 날짜 동시에 변경"), this);
    m_chkChain->setObjectName(QStringLiteral("chkChain"));
    m_chkChain->setToolTip(tr("위아래 화살표로 두 날짜를 함께 옮깁니다"));
    layout->addSpacing(6);
    layout->addWidget(m_chkChain);
    layout->addStretch(1);
}

SpreadGrid* PeriodBar::makeDateBox(int index)
{
    auto* box = new SpreadGrid(this);
    box->setObjectName(QStringLiteral("spDate%1").arg(index));
    box->setProperty("index", index);
    box->setMaxCols(1);
    box->setMaxRows(1);
    box->setColHeaderRows(0);
    box->horizontalHeader()->setVisible(false);
    box->setRowHeadersShow(false);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabLeavesGrid(true); // one cell: Tab goes on to the next control
    // Wide enough for a whole date in the cell's bold 10-point font, whatever the screen.
    QFont dateFont = box->font();
    dateFont.setPointSize(10);
    dateFont.setBold(true);
    const int dateWidth = QFontMetrics(dateFont).horizontalAdvance(QStringLiteral("0000-00-00")) + 16;
    box->setFixedSize(qMax(TwipsToPixelsX(1500), dateWidth),
                      qMax(TwipsToPixelsY(330), QFontMetrics(dateFont).height() + 8));
    return box;
}

QToolButton* PeriodBar::makeMonthButton(int index)
{
    auto* btn = new QToolButton(this);
    btn->setObjectName(QStringLiteral("btnMonthView%1").arg(index));
    btn->setProperty("index", index);
    btn->setText(QStringLiteral("…"));
    btn->setToolTip(tr("일자 선택"));
    btn->setFocusPolicy(Qt::NoFocus);
    return btn;
}

void PeriodBar::connectDatePart(int index)
{
    connect(m_udDateCng[index], &UpDown::upClick, this, [this, index] { udDateCng_Change(index, 1); });
    connect(m_udDateCng[index], &UpDown::downClick, this, [this, index] { udDateCng_Change(index, -1); });
    connect(m_btnMonthView[index], &QToolButton::clicked, this, [this, index] { btnMonthView_Click(index); });
    connect(m_spDate[index], &SpreadGrid::userTextChanged, this, [this, index](int, int) { spDate_Edited(index); });
    connect(m_spDate[index], &SpreadGrid::keyPress, this, [this, index](int keyAscii) {
        if (keyAscii != SpreadGrid::kAsciiEnter)
            return;
        if (index == 0 || !isSignalConnected(QMetaMethod::fromSignal(&PeriodBar::periodEntered))) {
            KeyToTab(m_spDate[index], Qt::Key_Return);
            return;
        }
        // The period is complete: the window shows it. The key comes before
        // the edit ends, so the typed date is taken first.
        finishEdit();
        Q_EMIT periodEntered();
    });
}

SpreadGrid* PeriodBar::spDate(int index) const
{
    return m_spDate[index == 1 ? 1 : 0];
}

UpDown* PeriodBar::udDateCng(int index) const
{
    return m_udDateCng[index == 1 ? 1 : 0];
}

QToolButton* PeriodBar::btnMonthView(int index) const
{
    return m_btnMonthView[index == 1 ? 1 : 0];
}

QString PeriodBar::dateText(int index) const
{
    return spDate(index)->text(kDateCellCol, kDateCellRow);
}

void PeriodBar::finishEdit()
{
    for (SpreadGrid* box : m_spDate)
        box->endEdit(true);
}

void PeriodBar::setDateText(int index, const QString& text)
{
    spDate(index)->setText(kDateCellCol, kDateCellRow, text);
}

void PeriodBar::setupDateCells(bool firstOfMonthFirst)
{
    SetupDateCell(m_spDate[0], firstOfMonthFirst);
    SetupDateCell(m_spDate[1], false);
}

void PeriodBar::udDateCng_Change(int index, int days)
{
    // A box the user typed into may hold a short form; one that holds no date
    // at all is left alone (the accepted forms are shown).
    QString text = dateText(index);
    ErrorInfo e;
    if (!ParseDateInput(text, &e)) {
        ShowError(e);
        return;
    }
    setDateText(index, DateText::day(DateText::parse(text).addDays(days)));
    SyncChainDate(m_chkChain, m_spDate[0], m_spDate[1], index);
    Q_EMIT periodChanged();
}

void PeriodBar::btnMonthView_Click(int index)
{
    const QString picked = ShowCalendar(dateText(index), spDate(index));
    // A calendar closed without a choice over a box that held no date hands
    // back nothing; the box keeps what the user typed.
    if (!picked.isEmpty()) {
        setDateText(index, picked);
        SyncChainDate(m_chkChain, m_spDate[0], m_spDate[1], index);
        Q_EMIT periodChanged();
    }
    spDate(index)->setFocus();
}

void PeriodBar::spDate_Edited(int index)
{
    // Typed dates get the same short forms as the ledger's date column; a text
    // that is no date stays as typed and is not copied over the other box.
    QString text = dateText(index);
    ErrorInfo e;
    if (!ParseDateInput(text, &e)) {
        ShowError(e);
        return;
    }
    if (text != dateText(index))
        setDateText(index, text);
    SyncChainDate(m_chkChain, m_spDate[0], m_spDate[1], index);
    Q_EMIT periodChanged();
}

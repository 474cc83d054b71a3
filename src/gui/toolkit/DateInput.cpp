#include "gui/toolkit/DateInput.h"

#include "data/base/Clock.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/Utils.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {
CalendarOpenHook& calendarHook()
{
    static CalendarOpenHook hook;
    return hook;
}
} // namespace

// --- FrmCalendar

FrmCalendar::FrmCalendar(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmCalendar"));
    setWindowTitle(tr("일자 선택"));

    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    // Korean month and weekday names whatever the system locale is.
    MonthView1->setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea));
    MonthView1->setFirstDayOfWeek(Qt::Sunday);
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setSelectedDate(Clock::today());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MonthView1);

    // The inner area the popup was designed with, unless the calendar needs more to stay readable.
    const QSize designed(TwipsToPixelsX(2370), TwipsToPixelsY(2265));
    setFixedSize(designed.expandedTo(MonthView1->minimumSizeHint()));

    connect(MonthView1, &QCalendarWidget::clicked, this, &FrmCalendar::MonthView1_DateClick);
    watchKeys(this);
}

void FrmCalendar::watchKeys(QWidget* w)
{
    // The window sees key presses before its calendar and the calendar's parts.
    w->installEventFilter(this);
    const auto children = w->findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);
}

void FrmCalendar::setText(const QString& value)
{
    const QDate date = DateText::parse(value);
    if (!date.isValid())
        return;
    m_text = value;
    MonthView1->setCurrentPage(date.year(), date.month());
    MonthView1->setSelectedDate(date);
}

QString FrmCalendar::text() const
{
    return m_text;
}

void FrmCalendar::MonthView1_DateClick(const QDate& date)
{
    if (!date.isValid())
        return;
    m_text = DateText::day(date);
    accept();
}

void FrmCalendar::acceptShownDate()
{
    // The year and month shown with the selected day, as a month calendar keeps
    // its value on the page it shows (a shorter month takes its last day).
    const int year = MonthView1->yearShown();
    const int month = MonthView1->monthShown();
    const int day = std::min(MonthView1->selectedDate().day(), QDate(year, month, 1).daysInMonth());
    const QDate date(year, month, day);
    if (!date.isValid())
        return;
    m_text = DateText::day(date);
    accept();
}

bool FrmCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || m_forwardingKey)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || (target != MonthView1 && !MonthView1->isAncestorOf(target)))
        return QDialog::eventFilter(watched, event);
    // In the year field, Enter first takes the typed year.
    for (QWidget* w = target; w && w != MonthView1; w = w->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox*>(w)) {
            m_forwardingKey = true;
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(w, &copy);
            m_forwardingKey = false;
            break;
        }
    }
    acceptShownDate();
    return true;
}

// --- ShowCalendar

void SetCalendarOpenHook(CalendarOpenHook hook)
{
    calendarHook() = std::move(hook);
}

QString ShowCalendar(const QString& dateText, QWidget* anchor)
{
    QWidget* owner = anchor ? anchor->window() : QApplication::activeWindow();
    FrmCalendar frm(owner);
    frm.setText(dateText);
    PlaceFormAtControl(&frm, anchor, PlaceAcross::AlignLeft, PlaceUpDown::Below);
    if (const CalendarOpenHook hook = calendarHook()) {
        QTimer::singleShot(0, &frm, [&frm, hook] {
            hook(&frm);
            if (frm.isVisible())
                frm.reject();
        });
    } else if (MessageHook::enabled()) {
        // Under test, a calendar nobody drives closes as with Escape instead of waiting.
        qWarning("ShowCalendar: no test hook set; closed as with Escape");
        return frm.text();
    }
    frm.exec();
    return frm.text();
}

// --- the period's date boxes

void SyncChainDate(QCheckBox* chkChain, SpreadGrid* spDate0, SpreadGrid* spDate1, int index)
{
    if (!chkChain || chkChain->checkState() != Qt::Checked)
        return;
    switch (index) {
    case 0:
        spDate1->setText(kDateCellCol, kDateCellRow, spDate0->text(kDateCellCol, kDateCellRow));
        break;
    case 1:
        spDate0->setText(kDateCellCol, kDateCellRow, spDate1->text(kDateCellCol, kDateCellRow));
        break;
    default:
        MsgPlain(QCoreApplication::translate("DateInput", "코딩누락"));
        break;
    }
}

void SetupDateCell(SpreadGrid* cell, bool firstOfMonth)
{
    if (!cell)
        return;
    if (cell->maxCols() < kDateCellCol)
        cell->setMaxCols(kDateCellCol);
    if (cell->maxRows() < kDateCellRow)
        cell->setMaxRows(kDateCellRow);
    cell->setUnitType(SpreadGrid::kUnitTwips);
    cell->setRowHeight(kDateCellRow, PixelsToTwipsY(cell->height()));
    cell->setColWidth(kDateCellCol, PixelsToTwipsX(cell->width()));
    cell->setUnitType(SpreadGrid::kUnitChars);
    // The grid starts over from its default sizes when the unit changes: keep the cell filling the control.
    cell->QTableView::setColumnWidth(0, cell->width());
    cell->QTableView::setRowHeight(0, cell->height());
    cell->setActiveCell(kDateCellCol, kDateCellRow);
    const QString today = DateText::todayText();
    cell->setText(kDateCellCol, kDateCellRow, firstOfMonth ? DateText::firstOfMonth(today) : today);
    cell->setFontSize(kDateCellCol, kDateCellRow, 10);
    cell->setFontBold(kDateCellCol, kDateCellRow, true);
    cell->setForeColor(kDateCellCol, kDateCellRow, QColor(0, 0, 255));
    cell->setTypeHAlign(kDateCellCol, kDateCellRow, Qt::AlignLeft);
}

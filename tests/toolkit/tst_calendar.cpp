#include "TestSupport.h"

#include "data/base/Clock.h"
#include "data/books/AppInfo.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/DateInput.h"
#include "gui/toolkit/PeriodBar.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

// The calendar popup, the linked date boxes of a period and the date cells.
class TestCalendar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void frmCalendar_window();
    void frmCalendar_text();
    void show_opensOnDayEscapeKeepsIt();
    void show_escapeKeepsTextAsGiven();
    void show_enterTakesShownDay();
    void show_enterAfterArrowKey();
    void show_enterInYearField();
    void show_clickOnDayOfNextMonth();
    void show_emptyTextOpensOnTodayEscapeEmpty();
    void show_invalidTextEscapeEmpty();
    void show_closeBoxKeepsText();
    void show_placedBelowAnchor();
    void show_withoutHookUnderTestDoesNotWait();
    void syncChainDate_untickedChangesNothing();
    void syncChainDate_copiesEitherWay();
    void syncChainDate_wrongIndex();
    void setupDateCell_todayAndFirstOfMonth();
    void periodBar_parts();
    void periodBar_upDownArithmetic();
    void periodBar_upDownChain();
    void periodBar_upDownOnBadText();
    void periodBar_calendarButton();
    void periodBar_calendarEscapeOnBadTextKeepsIt();
    void periodBar_typedShortFormAndChain();
    void periodBar_typedNoDateNotCopied();
    void periodBar_enterMovesFocus();

private:
    std::unique_ptr<TestEnv> m_env;
};

namespace {
QTableView* dayTable(FrmCalendar* frm)
{
    return frm->monthView()->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
}

// Clicks the cell showing `day`; `late` picks the last such cell on the page
// (a day of the next month) rather than the first.
void clickDay(FrmCalendar* frm, int day, bool late)
{
    QTableView* view = dayTable(frm);
    QVERIFY(view);
    QAbstractItemModel* model = view->model();
    QModelIndex found;
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex i = model->index(r, c);
            if (model->data(i).toString() == QString::number(day) && (late || !found.isValid()))
                found = i;
        }
    QVERIFY(found.isValid());
    const QPoint at = view->visualRect(found).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Runs ShowCalendar with `steps` done on the open calendar.
QString runCalendar(const QString& text, QWidget* anchor, const std::function<void(FrmCalendar*)>& steps)
{
    int calls = 0;
    SetCalendarOpenHook([&](FrmCalendar* frm) {
        ++calls;
        steps(frm);
    });
    const QString result = ShowCalendar(text, anchor);
    SetCalendarOpenHook(nullptr);
    if (calls != 1)
        qWarning("calendar hook ran %d times", calls);
    return result;
}

struct Boxes {
    QWidget w;
    QCheckBox* chkChain;
    SpreadGrid* sp0;
    SpreadGrid* sp1;
    Boxes()
    {
        auto* l = new QVBoxLayout(&w);
        chkChain = new QCheckBox(QStringLiteral("양쪽 날짜 동시에 변경"), &w);
        sp0 = new SpreadGrid(&w);
        sp1 = new SpreadGrid(&w);
        for (SpreadGrid* sp : {sp0, sp1}) {
            sp->setMaxCols(1);
            sp->setMaxRows(1);
            l->addWidget(sp);
        }
        l->addWidget(chkChain);
        sp0->setText(1, 1, QStringLiteral("2005-06-01"));
        sp1->setText(1, 1, QStringLiteral("2005-06-15"));
    }
};
} // namespace

void TestCalendar::init()
{
    m_env = std::make_unique<TestEnv>(QDate(2005, 6, 15), false);
    SetCalendarOpenHook(nullptr);
}

void TestCalendar::cleanup()
{
    SetCalendarOpenHook(nullptr);
    QVERIFY(MessageHook::unscripted().isEmpty());
    m_env.reset();
}

void TestCalendar::frmCalendar_window()
{
    FrmCalendar frm;
    QCOMPARE(frm.objectName(), QStringLiteral("FrmCalendar"));
    QCOMPARE(frm.windowTitle(), QStringLiteral("일자 선택"));
    QVERIFY(frm.findChild<QCalendarWidget*>(QStringLiteral("MonthView1")));
    QVERIFY(!(frm.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(frm.windowFlags() & Qt::WindowMaximizeButtonHint));
    // Fixed size, at least the designed inner area.
    QCOMPARE(frm.minimumSize(), frm.maximumSize());
    QVERIFY(frm.width() >= TwipsToPixelsX(2370));
    QVERIFY(frm.height() >= TwipsToPixelsY(2265));
    QVERIFY(frm.text().isEmpty());
}

void TestCalendar::frmCalendar_text()
{
    FrmCalendar frm;
    frm.setText(QStringLiteral("2004/02/29"));
    QCOMPARE(frm.text(), QStringLiteral("2004/02/29")); // kept exactly as given
    QCOMPARE(frm.monthView()->selectedDate(), QDate(2004, 2, 29));
    QCOMPARE(frm.monthView()->yearShown(), 2004);
    QCOMPARE(frm.monthView()->monthShown(), 2);

    frm.setText(QStringLiteral("2004-02-30")); // no date: nothing changes
    frm.setText(QStringLiteral("29"));
    frm.setText(QString());
    QCOMPARE(frm.text(), QStringLiteral("2004/02/29"));
    QCOMPARE(frm.monthView()->selectedDate(), QDate(2004, 2, 29));

    frm.setText(QStringLiteral("2010-11-05"));
    QCOMPARE(frm.text(), QStringLiteral("2010-11-05"));
    QCOMPARE(frm.monthView()->monthShown(), 11);
}

void TestCalendar::show_opensOnDayEscapeKeepsIt()
{
    QDate opened;
    const QString r = runCalendar(QStringLiteral("2004-02-29"), nullptr, [&](FrmCalendar* frm) {
        QVERIFY(frm->isVisible());
        QVERIFY(frm->isModal());
        opened = frm->monthView()->selectedDate();
        QTest::keyClick(dayTable(frm), Qt::Key_Escape);
        QVERIFY(!frm->isVisible());
    });
    QCOMPARE(opened, QDate(2004, 2, 29));
    QCOMPARE(r, QStringLiteral("2004-02-29"));
}

void TestCalendar::show_escapeKeepsTextAsGiven()
{
    // Escape anywhere in the window: from the calendar's navigation bar too.
    const QString r = runCalendar(QStringLiteral("2004/2/9"), nullptr, [](FrmCalendar* frm) {
        QTest::keyClick(dayTable(frm), Qt::Key_Right); // moving alone chooses nothing
        auto* next = frm->monthView()->findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth"));
        QVERIFY(next);
        QTest::keyClick(next, Qt::Key_Escape);
    });
    QCOMPARE(r, QStringLiteral("2004/2/9"));
}

void TestCalendar::show_enterTakesShownDay()
{
    const QString r = runCalendar(QStringLiteral("2004/02/29"), nullptr,
                                  [](FrmCalendar* frm) { QTest::keyClick(dayTable(frm), Qt::Key_Return); });
    QCOMPARE(r, QStringLiteral("2004-02-29"));

    const QString keypad = runCalendar(QStringLiteral("2005-01-31"), nullptr, [](FrmCalendar* frm) {
        QTest::keyClick(dayTable(frm), Qt::Key_Enter, Qt::KeypadModifier);
    });
    QCOMPARE(keypad, QStringLiteral("2005-01-31"));
}

void TestCalendar::show_enterAfterArrowKey()
{
    const QString r = runCalendar(QStringLiteral("2004-02-29"), nullptr, [](FrmCalendar* frm) {
        QTest::keyClick(dayTable(frm), Qt::Key_Right);
        QCOMPARE(frm->monthView()->selectedDate(), QDate(2004, 3, 1));
        QTest::keyClick(dayTable(frm), Qt::Key_Return);
    });
    QCOMPARE(r, QStringLiteral("2004-03-01"));

    // The page shown counts: a month further on with the navigation arrow keeps
    // the day, the last day of a shorter month.
    const QString paged = runCalendar(QStringLiteral("2005-01-31"), nullptr, [](FrmCalendar* frm) {
        frm->monthView()->showNextMonth();
        QTest::keyClick(dayTable(frm), Qt::Key_Return);
    });
    QCOMPARE(paged, QStringLiteral("2005-02-28"));
}

void TestCalendar::show_enterInYearField()
{
    const QString r = runCalendar(QStringLiteral("2004-03-10"), nullptr, [](FrmCalendar* frm) {
        auto* yearButton = frm->monthView()->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
        auto* yearEdit = frm->monthView()->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
        QVERIFY(yearButton && yearEdit);
        QTest::mouseClick(yearButton, Qt::LeftButton);
        QTRY_VERIFY(yearEdit->isVisible());
        yearEdit->selectAll();
        QTest::keyClicks(yearEdit, QStringLiteral("2006"));
        QTest::keyClick(yearEdit, Qt::Key_Return);
    });
    QCOMPARE(r, QStringLiteral("2006-03-10"));
}

void TestCalendar::show_clickOnDayOfNextMonth()
{
    const QString r = runCalendar(QStringLiteral("2004-02-29"), nullptr, [](FrmCalendar* frm) {
        clickDay(frm, 3, true); // 3 March, shown on February's page
    });
    QCOMPARE(r, QStringLiteral("2004-03-03"));

    const QString same =
        runCalendar(QStringLiteral("2004-02-29"), nullptr, [](FrmCalendar* frm) { clickDay(frm, 3, false); });
    QCOMPARE(same, QStringLiteral("2004-02-03"));
}

void TestCalendar::show_emptyTextOpensOnTodayEscapeEmpty()
{
    QDate opened;
    const QString r = runCalendar(QString(), nullptr, [&](FrmCalendar* frm) {
        opened = frm->monthView()->selectedDate();
        QTest::keyClick(dayTable(frm), Qt::Key_Escape);
    });
    QCOMPARE(opened, QDate(2005, 6, 15));
    QCOMPARE(r, QString());
}

void TestCalendar::show_invalidTextEscapeEmpty()
{
    const QString r = runCalendar(QStringLiteral("2004-02-30"), nullptr, [](FrmCalendar* frm) {
        QCOMPARE(frm->monthView()->selectedDate(), QDate(2005, 6, 15));
        QTest::keyClick(dayTable(frm), Qt::Key_Escape);
    });
    QCOMPARE(r, QString());
    // Enter still picks the day shown.
    const QString entered = runCalendar(QStringLiteral("31"), nullptr,
                                        [](FrmCalendar* frm) { QTest::keyClick(dayTable(frm), Qt::Key_Return); });
    QCOMPARE(entered, QStringLiteral("2005-06-15"));
}

void TestCalendar::show_closeBoxKeepsText()
{
    const QString r = runCalendar(QStringLiteral("2004-02-29"), nullptr, [](FrmCalendar* frm) { frm->close(); });
    QCOMPARE(r, QStringLiteral("2004-02-29"));
}

void TestCalendar::show_placedBelowAnchor()
{
    QWidget host;
    host.setGeometry(200, 150, 600, 400);
    auto* anchor = new QLineEdit(&host);
    anchor->setGeometry(40, 30, 100, 24);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QPoint at;
    QWidget* parent = nullptr;
    runCalendar(QStringLiteral("2004-02-29"), anchor, [&](FrmCalendar* frm) {
        at = frm->pos();
        parent = frm->parentWidget();
        QTest::keyClick(dayTable(frm), Qt::Key_Escape);
    });
    QCOMPARE(at, anchor->mapToGlobal(anchor->contentsRect().topLeft()) + QPoint(0, 24));
    QCOMPARE(parent, &host);
    // The calendar is released once it has answered.
    QVERIFY(!host.findChild<FrmCalendar*>());
}

void TestCalendar::show_withoutHookUnderTestDoesNotWait()
{
    QTest::ignoreMessage(QtWarningMsg, "ShowCalendar: no test hook set; closed as with Escape");
    QCOMPARE(ShowCalendar(QStringLiteral("2004-02-29"), nullptr), QStringLiteral("2004-02-29"));
    QTest::ignoreMessage(QtWarningMsg, "ShowCalendar: no test hook set; closed as with Escape");
    QCOMPARE(ShowCalendar(QStringLiteral("abc"), nullptr), QString());
}

void TestCalendar::syncChainDate_untickedChangesNothing()
{
    Boxes b;
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 0);
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 1);
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 5); // the tick is looked at first
    QCOMPARE(b.sp0->text(1, 1), QStringLiteral("2005-06-01"));
    QCOMPARE(b.sp1->text(1, 1), QStringLiteral("2005-06-15"));
    b.chkChain->setTristate(true);
    b.chkChain->setCheckState(Qt::PartiallyChecked);
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 0);
    QCOMPARE(b.sp1->text(1, 1), QStringLiteral("2005-06-15"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCalendar::syncChainDate_copiesEitherWay()
{
    Boxes b;
    b.chkChain->setChecked(true);
    b.sp0->setText(1, 1, QStringLiteral("no date"));
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 0);
    QCOMPARE(b.sp1->text(1, 1), QStringLiteral("no date"));
    b.sp1->setText(1, 1, QStringLiteral("2005-07-31"));
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 1);
    QCOMPARE(b.sp0->text(1, 1), QStringLiteral("2005-07-31"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCalendar::syncChainDate_wrongIndex()
{
    Boxes b;
    b.chkChain->setChecked(true);
    SyncChainDate(b.chkChain, b.sp0, b.sp1, 2);
    TALLOX_COMPARE_LAST_BOX("plain", AppTitle(), "코딩누락");
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::None);
    SyncChainDate(b.chkChain, b.sp0, b.sp1, -1);
    QCOMPARE(MessageHook::shown().size(), 2);
    QCOMPARE(b.sp0->text(1, 1), QStringLiteral("2005-06-01"));
    QCOMPARE(b.sp1->text(1, 1), QStringLiteral("2005-06-15"));
}

void TestCalendar::setupDateCell_todayAndFirstOfMonth()
{
    QWidget w;
    auto* sp0 = new SpreadGrid(&w);
    auto* sp1 = new SpreadGrid(&w);
    sp0->setGeometry(0, 0, 100, 22);
    sp1->setGeometry(0, 30, 120, 25);
    SetupDateCell(sp0, true);
    SetupDateCell(sp1, false);
    QCOMPARE(sp0->text(1, 1), QStringLiteral("2005-06-01"));
    QCOMPARE(sp1->text(1, 1), QStringLiteral("2005-06-15"));
    for (SpreadGrid* sp : {sp0, sp1}) {
        QCOMPARE(sp->activeCol(), 1);
        QCOMPARE(sp->activeRow(), 1);
        QCOMPARE(sp->fontSize(1, 1), 10.0);
        QVERIFY(sp->fontBold(1, 1));
        QCOMPARE(sp->foreColor(1, 1), QColor(0, 0, 255));
        QCOMPARE(sp->alignment(1, 1) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(sp->unitType(), 0);
    }
    // The cell fills the control.
    QCOMPARE(sp1->columnWidth(0), 120);
    QCOMPARE(static_cast<QTableView*>(sp1)->rowHeight(0), 25);
    QCOMPARE(sp0->columnWidth(0), 100);
}

void TestCalendar::periodBar_parts()
{
    PeriodBar bar;
    for (int i = 0; i < 2; ++i) {
        auto* sp = bar.findChild<SpreadGrid*>(QStringLiteral("spDate%1").arg(i));
        QCOMPARE(sp, bar.spDate(i));
        QCOMPARE(sp->property("index").toInt(), i);
        QCOMPARE(bar.findChild<UpDown*>(QStringLiteral("udDateCng%1").arg(i)), bar.udDateCng(i));
        QCOMPARE(bar.findChild<QToolButton*>(QStringLiteral("btnMonthView%1").arg(i)), bar.btnMonthView(i));
        QCOMPARE(bar.udDateCng(i)->property("index").toInt(), i);
        QCOMPARE(bar.btnMonthView(i)->property("index").toInt(), i);
    }
    auto* chk = bar.findChild<QCheckBox*>(QStringLiteral("chkChain"));
    QCOMPARE(chk, bar.chkChain());
    QCOMPARE(chk->text(), QStringLiteral("양쪽 날짜 동시에 변경"));
    QVERIFY(!chk->isChecked());

    bar.setupDateCells(true);
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-06-01"));
    QCOMPARE(bar.dateText(1), QStringLiteral("2005-06-15"));
    bar.setupDateCells(false);
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-06-15"));
}

void TestCalendar::periodBar_upDownArithmetic()
{
    PeriodBar bar;
    bar.show();
    QSignalSpy changed(&bar, &PeriodBar::periodChanged);
    bar.setDateText(0, QStringLiteral("2004-02-28"));
    bar.setDateText(1, QStringLiteral("2004-12-31"));
    // The first arrow adds a day, the second takes one away.
    QTest::mouseClick(bar.udDateCng(0)->upButton(), Qt::LeftButton);
    QCOMPARE(bar.dateText(0), QStringLiteral("2004-02-29"));
    QTest::mouseClick(bar.udDateCng(1)->upButton(), Qt::LeftButton);
    QCOMPARE(bar.dateText(1), QStringLiteral("2005-01-01"));
    bar.setDateText(1, QStringLiteral("2005-03-01"));
    QTest::mouseClick(bar.udDateCng(1)->downButton(), Qt::LeftButton);
    QCOMPARE(bar.dateText(1), QStringLiteral("2005-02-28"));
    QCOMPARE(bar.dateText(0), QStringLiteral("2004-02-29")); // unticked: the other box stays
    QCOMPARE(changed.count(), 3);
}

void TestCalendar::periodBar_upDownChain()
{
    PeriodBar bar;
    bar.show();
    bar.setDateText(0, QStringLiteral("2004-02-28"));
    bar.setDateText(1, QStringLiteral("2004-03-31"));
    bar.chkChain()->setChecked(true);
    QTest::mouseClick(bar.udDateCng(0)->upButton(), Qt::LeftButton);
    QCOMPARE(bar.dateText(0), QStringLiteral("2004-02-29"));
    QCOMPARE(bar.dateText(1), QStringLiteral("2004-02-29"));
    QTest::mouseClick(bar.udDateCng(1)->downButton(), Qt::LeftButton);
    QCOMPARE(bar.dateText(1), QStringLiteral("2004-02-28"));
    QCOMPARE(bar.dateText(0), QStringLiteral("2004-02-28"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCalendar::periodBar_upDownOnBadText()
{
    PeriodBar bar;
    bar.setDateText(0, QStringLiteral("7"));   // a short form typed into the box
    bar.setDateText(1, QStringLiteral("xyz")); // no date at all
    bar.chkChain()->setChecked(true);
    bar.udDateCng_Change(0, 1);
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-06-08"));
    QCOMPARE(bar.dateText(1), QStringLiteral("2005-06-08"));
    bar.setDateText(1, QStringLiteral("xyz"));
    bar.udDateCng_Change(1, -1);
    QCOMPARE(bar.dateText(1), QStringLiteral("xyz"));
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-06-08"));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("[xyz]는 날짜형식이 아닙니다.")));
}

void TestCalendar::periodBar_calendarButton()
{
    PeriodBar bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.setDateText(0, QStringLiteral("2004-02-29"));
    bar.setDateText(1, QStringLiteral("2004-03-31"));
    bar.chkChain()->setChecked(true);
    QString opened;
    QPoint at;
    SetCalendarOpenHook([&](FrmCalendar* frm) {
        opened = frm->text();
        at = frm->pos();
        clickDay(frm, 3, true);
    });
    QTest::mouseClick(bar.btnMonthView(0), Qt::LeftButton);
    QCOMPARE(opened, QStringLiteral("2004-02-29"));
    SpreadGrid* box = bar.spDate(0);
    QCOMPARE(at, box->mapToGlobal(box->contentsRect().topLeft()) + QPoint(0, box->height()));
    QCOMPARE(bar.dateText(0), QStringLiteral("2004-03-03"));
    QCOMPARE(bar.dateText(1), QStringLiteral("2004-03-03"));
    QCOMPARE(bar.focusWidget(), box);

    // Escape hands back the text given; the box keeps it.
    bar.chkChain()->setChecked(false);
    SetCalendarOpenHook([](FrmCalendar* frm) { QTest::keyClick(dayTable(frm), Qt::Key_Escape); });
    QTest::mouseClick(bar.btnMonthView(1), Qt::LeftButton);
    QCOMPARE(bar.dateText(1), QStringLiteral("2004-03-03"));
}

void TestCalendar::periodBar_calendarEscapeOnBadTextKeepsIt()
{
    PeriodBar bar;
    bar.setDateText(0, QStringLiteral("2005-06-01"));
    bar.setDateText(1, QStringLiteral("abc"));
    bar.chkChain()->setChecked(true);
    SetCalendarOpenHook([](FrmCalendar* frm) { QTest::keyClick(dayTable(frm), Qt::Key_Escape); });
    bar.btnMonthView_Click(1);
    QCOMPARE(bar.dateText(1), QStringLiteral("abc"));
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-06-01"));
}

void TestCalendar::periodBar_typedShortFormAndChain()
{
    PeriodBar bar;
    bar.setupDateCells(true);
    bar.chkChain()->setChecked(true);
    QSignalSpy changed(&bar, &PeriodBar::periodChanged);
    bar.setDateText(1, QStringLiteral("0720"));
    Q_EMIT bar.spDate(1)->userTextChanged(1, 1);
    QCOMPARE(bar.dateText(1), QStringLiteral("2005-07-20"));
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-07-20"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCalendar::periodBar_typedNoDateNotCopied()
{
    PeriodBar bar;
    bar.setupDateCells(false);
    bar.chkChain()->setChecked(true);
    bar.setDateText(0, QStringLiteral("2005-02-30"));
    Q_EMIT bar.spDate(0)->userTextChanged(1, 1);
    QCOMPARE(bar.dateText(0), QStringLiteral("2005-02-30")); // as typed
    QCOMPARE(bar.dateText(1), QStringLiteral("2005-06-15")); // not overwritten
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("[2005-02-30]")));
}

void TestCalendar::periodBar_enterMovesFocus()
{
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* bar = new PeriodBar(&w);
    auto* after = new QLineEdit(&w);
    layout->addWidget(bar);
    layout->addWidget(after);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    bar->setupDateCells(false);
    bar->spDate(0)->setFocus();
    QTRY_VERIFY(bar->spDate(0)->hasFocus());
    Q_EMIT bar->spDate(0)->keyPress(13);
    QTRY_VERIFY(bar->spDate(1)->hasFocus());
    Q_EMIT bar->spDate(1)->keyPress(65); // other keys stay
    QVERIFY(bar->spDate(1)->hasFocus());
    Q_EMIT bar->spDate(1)->keyPress(13);
    QTRY_VERIFY(bar->chkChain()->hasFocus());
    // A window that shows the period on Enter in the last box hears of it; the focus stays.
    QSignalSpy entered(bar, &PeriodBar::periodEntered);
    bar->spDate(1)->setFocus();
    Q_EMIT bar->spDate(1)->keyPress(13);
    QCOMPARE(entered.size(), 1);
    QVERIFY(bar->spDate(1)->hasFocus());
}

QTEST_MAIN(TestCalendar)
#include "tst_calendar.moc"

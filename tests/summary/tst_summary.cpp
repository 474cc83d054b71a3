#include "TestSupport.h"

#include "XlsxReader.h"
#include "data/base/Clock.h"
#include "data/books/SharedQueries.h"
#include "data/summary/SumBillData.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/summary/SumBillSheet.h"
#include "gui/summary/frmSumBill.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/PeriodBar.h"
#include "output/PrintComponent.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

class TestSummary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void lines_workedExample();
    void lines_entriesOnlyOutsidePeriod();
    void lines_unknownCardOwnLine_cardWithoutEntriesAbsent();
    void lines_emptyLedger();
    void lines_orderedByNameThenCode();
    void lines_nullSlipCountsAndExactFractions();
    void prevBalances_equalSingleCardRoutineOnVariedData();
    void prevBalances_periodRightAfterLatestMonthAddsNoEntries();
    void prevBalances_invalidStartReported();

    void sheet_bareGridGetsDesignAndTotals();
    void window_opensOnTodayWithControls();
    void window_workedExampleAfterView();
    void window_periodChangeDoesNotReload_F5Does();
    void window_periodControlsWithChain();
    void window_emptyLedgerOnlyTotals();
    void window_invalidDateWarnsAndKeepsNothing();
    void window_excelAndPrint();
    void window_outputOfATypedPeriod_data();
    void window_outputOfATypedPeriod();
    void window_layoutSavedOnlyWhenMovedOrResized();
    void window_columnWidthDragStored();
    void window_resizeKeepsMinimumAndLayout();
    void window_defaultSizeShowsEverythingWhole();
    void window_showSingleReusesOpenWindow();
};

void TestSummary::init()
{
    MessageHook::reset();
}

namespace {
const SumBillLine* lineOf(const QList<SumBillLine>& lines, int code)
{
    for (const SumBillLine& l : lines) {
        if (l.cardCode == code)
            return &l;
    }
    return nullptr;
}
} // namespace

void TestSummary::lines_workedExample()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("A카드"));
    env.addTransfer(QStringLiteral("2005-02"), 1, 1000);
    env.addEntry(QStringLiteral("2005-03-02"), 1, 300, 6, 700);
    env.addEntry(QStringLiteral("2005-03-31"), 1, 200, 4, 0);
    env.addEntry(QStringLiteral("2005-04-01"), 1, 99999, 0, 0); // after the period

    QList<SumBillLine> lines;
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-03-01"), QStringLiteral("2005-03-31"), &lines));
    QCOMPARE(lines.size(), 1);
    const SumBillLine& a = lines.first();
    QCOMPARE(a.name, QStringLiteral("A카드"));
    QCOMPARE(a.slips, 2);
    QCOMPARE(a.prevBalance, Money::fromWon(1000));
    QCOMPARE(a.sales, Money::fromWon(500));
    QCOMPARE(a.fees, Money::fromWon(10));
    QCOMPARE(a.payouts, Money::fromWon(700));
    QCOMPARE(a.balance(), Money::fromWon(790));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSummary::lines_entriesOnlyOutsidePeriod()
{
    TestEnv env;
    env.addCard(2, QStringLiteral("비씨"));
    env.addTransfer(QStringLiteral("2005-01"), 2, 400);
    env.addEntry(QStringLiteral("2005-02-10"), 2, 100, 3, 20); // before: net 77 brought forward
    env.addEntry(QStringLiteral("2005-04-10"), 2, 5000, 0, 0); // after: not counted

    QList<SumBillLine> lines;
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-03-01"), QStringLiteral("2005-03-31"), &lines));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].slips, 0);
    QCOMPARE(lines[0].sales, Money());
    QCOMPARE(lines[0].fees, Money());
    QCOMPARE(lines[0].payouts, Money());
    QCOMPARE(lines[0].prevBalance, Money::fromWon(477));
    QCOMPARE(lines[0].balance(), Money::fromWon(477));
}

void TestSummary::lines_unknownCardOwnLine_cardWithoutEntriesAbsent()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addCard(5, QStringLiteral("삼성")); // no entries at all
    env.addEntry(QStringLiteral("2005-06-01"), 1, 10);
    env.addEntry(QStringLiteral("2005-06-01"), 9, 1000); // card 9 has no card row
    env.addTransfer(QStringLiteral("2005-05"), 9, 50);

    QList<SumBillLine> lines;
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &lines));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].cardCode, 1);
    QVERIFY(!lineOf(lines, 5));
    // Card 9's entries still count: its own line, after the registered cards.
    QCOMPARE(lines[1].cardCode, 9);
    QCOMPARE(lines[1].name, QStringLiteral("(삭제된 카드 9)"));
    QCOMPARE(lines[1].prevBalance, Money::fromWon(50));
    QCOMPARE(lines[1].balance(), Money::fromWon(1050));
}

void TestSummary::lines_emptyLedger()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    QList<SumBillLine> lines{SumBillLine{}};
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &lines));
    QVERIFY(lines.isEmpty());
}

void TestSummary::lines_orderedByNameThenCode()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("현대"));
    env.addCard(2, QStringLiteral("BC"));
    env.addCard(3, QStringLiteral("국민"));
    env.addCard(4, QStringLiteral("BC")); // same name, other card: both listed
    for (int c = 1; c <= 4; ++c)
        env.addEntry(QStringLiteral("2005-06-0%1").arg(c), c, 10 * c);

    QList<SumBillLine> lines;
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &lines));
    QList<int> codes;
    for (const SumBillLine& l : lines)
        codes << l.cardCode;
    QCOMPARE(codes, (QList<int>{2, 4, 3, 1}));
    QCOMPARE(lines[1].sales, Money::fromWon(40));
}

void TestSummary::lines_nullSlipCountsAndExactFractions()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addEntry(QStringLiteral("2005-06-01"), 1, 0.1, 0.0001, 0, 3);
    env.addEntry(QStringLiteral("2005-06-02"), 1, 0.2, 0, 0.0003, 1);
    // An old ledger row whose slip count was never set.
    QVERIFY(env.ctx().ledger.execute(QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll,"
                                                    " numsheet) VALUES ('2005-06-03', 1, 0, 0, 0, NULL)")) == 1);
    QList<SumBillLine> lines;
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &lines));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].slips, 4);
    QCOMPARE(lines[0].sales.toPlainString(), QStringLiteral("0.3"));
    QCOMPARE(lines[0].balance().toPlainString(), QStringLiteral("0.2996"));
}

void TestSummary::prevBalances_equalSingleCardRoutineOnVariedData()
{
    TestEnv env;
    QRandomGenerator rng(20050615);
    const int cards = 12;
    Transaction tx(env.ctx().ledger);
    for (int c = 1; c <= cards; ++c) {
        env.addCard(c, QStringLiteral("카드%1").arg(c));
        // Carry-over rows at random months with gaps; some cards have none.
        if (c % 5 != 0) {
            for (int m = 0; m < 30; ++m) {
                if (rng.bounded(3) == 0)
                    env.addTransfer(DateText::month(QDate(2003, 1, 1).addMonths(m)), c,
                                    double(rng.bounded(-5000, 50000)));
            }
        }
        const int entries = 40 + int(rng.bounded(40));
        for (int i = 0; i < entries; ++i) {
            const QDate d = QDate(2002, 12, 1).addDays(rng.bounded(1300));
            env.addEntry(DateText::day(d), c, rng.bounded(100000) / 4.0, rng.bounded(500) / 8.0,
                         rng.bounded(60000) / 2.0, int(rng.bounded(5)));
        }
    }
    // Carry-over rows of a card without a card row, and a month written oddly.
    env.addTransfer(QStringLiteral("2004-03"), 77, 1234);
    env.addEntry(QStringLiteral("2004-05-05"), 77, 10);
    env.addTransfer(QStringLiteral("2004-7"), 3, 555);
    QVERIFY(tx.commit());

    QStringList starts;
    for (int m = 0; m < 44; m += 3) {
        const QDate first = QDate(2002, 11, 1).addMonths(m);
        starts << DateText::day(first) << DateText::day(first.addDays(14)) << DateText::day(first.addDays(-1));
    }
    starts << QStringLiteral("2004-07-01") << QStringLiteral("2004-08-01") << QStringLiteral("2004-08-17");
    int nonZero = 0;
    for (const QString& start : starts) {
        QHash<int, Money> balances;
        QVERIFY(PrevBalancesByCard(env.ctx().ledger, start, &balances));
        Money total;
        for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 77, 99}) {
            const Money single = GetPrevBalance(env.ctx().ledger, start, c);
            QVERIFY2(balances.value(c) == single,
                     qPrintable(QStringLiteral("card %1 from %2: %3 vs %4")
                                    .arg(c)
                                    .arg(start, balances.value(c).toPlainString(), single.toPlainString())));
            total += single;
            if (!single.isZero())
                ++nonZero;
        }
        QCOMPARE(total, GetPrevBalance(env.ctx().ledger, start, 0));
    }
    QVERIFY(nonZero > 100); // the data really exercised the sums
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSummary::prevBalances_periodRightAfterLatestMonthAddsNoEntries()
{
    TestEnv env;
    env.addTransfer(QStringLiteral("2005-05"), 1, 120);
    env.addTransfer(QStringLiteral("2005-04"), 1, 100);
    env.addEntry(QStringLiteral("2005-05-20"), 1, 20);
    env.addEntry(QStringLiteral("2005-06-03"), 1, 5);
    QHash<int, Money> b;
    QVERIFY(PrevBalancesByCard(env.ctx().ledger, QStringLiteral("2005-06-01"), &b));
    QCOMPARE(b.value(1), Money::fromWon(120));
    QVERIFY(PrevBalancesByCard(env.ctx().ledger, QStringLiteral("2005-06-15"), &b));
    QCOMPARE(b.value(1), Money::fromWon(125));
    QVERIFY(PrevBalancesByCard(env.ctx().ledger, QStringLiteral("2005-05-15"), &b));
    QCOMPARE(b.value(1), Money::fromWon(100)); // April's row; the entry of the 20th lies in the period
    QVERIFY(PrevBalancesByCard(env.ctx().ledger, QStringLiteral("2005-05-21"), &b));
    QCOMPARE(b.value(1), Money::fromWon(120));
}

void TestSummary::prevBalances_invalidStartReported()
{
    TestEnv env;
    env.addTransfer(QStringLiteral("2005-05"), 1, 120);
    QHash<int, Money> b{{1, Money::fromWon(1)}};
    ErrorInfo e;
    QVERIFY(!Say(PrevBalancesByCard(env.ctx().ledger, QStringLiteral("2005-13-01"), &b, &e), e));
    QVERIFY(b.isEmpty());
    TALLOX_COMPARE_LAST_BOX("plain", "Tallox",
                            "Error 13 (invalid date: 2005-13-01) in procedure PrevBalancesByCard of Module modMain");
}

namespace {
// Row texts of a grid, columns 1 to 7.
QStringList rowTexts(SpreadGrid* g, int row)
{
    QStringList r;
    for (int c = 1; c <= SumBillCol::Count; ++c)
        r << g->text(c, row);
    return r;
}

void addWorkedExample(TestEnv& env)
{
    env.addCard(1, QStringLiteral("A"));
    env.addTransfer(QStringLiteral("2005-02"), 1, 1000);
    env.addEntry(QStringLiteral("2005-03-02"), 1, 300, 6, 700);
    env.addEntry(QStringLiteral("2005-03-31"), 1, 200, 4, 0);
}

// A shown and active window, as the user meets it.
void showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(QTest::qWaitForWindowActive(w));
}
} // namespace

void TestSummary::sheet_bareGridGetsDesignAndTotals()
{
    TestEnv env;
    addWorkedExample(env);
    env.addCard(2, QStringLiteral("B"));
    env.addEntry(QStringLiteral("2005-01-20"), 2, 40, 1, 9, 2);
    SpreadGrid grid;
    QVERIFY(BuildSumBillSheet(env.ctx().ledger, &grid, QStringLiteral("2005-03-01"), QStringLiteral("2005-03-31")));
    QCOMPARE(grid.maxCols(), 7);
    QCOMPARE(grid.headerText(1), QStringLiteral("카드명"));
    QCOMPARE(grid.headerText(2), QStringLiteral("건수"));
    QCOMPARE(grid.headerText(3), QStringLiteral("전기이월"));
    QCOMPARE(grid.headerText(4), QStringLiteral("매출액"));
    QCOMPARE(grid.headerText(5), QStringLiteral("수수료"));
    QCOMPARE(grid.headerText(6), QStringLiteral("결제액"));
    QCOMPARE(grid.headerText(7), QStringLiteral("잔액"));
    QCOMPARE(grid.maxRows(), 3);
    QCOMPARE(rowTexts(&grid, 1), (QStringList{"A", "2", "1000", "500", "10", "700", "790"}));
    // Card B has no carry-over row: its entries never reach the brought-forward amount.
    QCOMPARE(rowTexts(&grid, 2), (QStringList{"B", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(grid.text(1, 3), QStringLiteral("[합 계]"));
    for (int c = 2; c <= 7; ++c)
        QCOMPARE(grid.formula(c, 3), QStringLiteral("SUM(R1C%1:R2C%1)").arg(c));
    QCOMPARE(rowTexts(&grid, 3), (QStringList{"[합 계]", "2", "1000", "500", "10", "700", "790"}));
    QCOMPARE(grid.displayText(3, 1), QStringLiteral("1,000"));
    QVERIFY(grid.isLocked(3, 1));
    QVERIFY(grid.isLocked(4, 3));
    QCOMPARE(grid.backColor(2, 3), QColor(224, 240, 224));
}

void TestSummary::window_opensOnTodayWithControls()
{
    TestEnv env; // today 2005-06-15
    env.addCard(1, QStringLiteral("국민"));
    env.addCard(2, QStringLiteral("BC"));
    env.addEntry(QStringLiteral("2005-06-15"), 1, 100, 2, 0, 3);
    env.addEntry(QStringLiteral("2005-06-10"), 1, 7000, 0, 0);
    env.addTransfer(QStringLiteral("2005-05"), 2, 500);
    env.addEntry(QStringLiteral("2005-04-01"), 2, 50);

    frmSumBill w(env.ctx());
    QCOMPARE(w.objectName(), QStringLiteral("frmSumBill"));
    QCOMPARE(w.windowTitle(), QStringLiteral("카드사별 집계"));
    QVERIFY(!w.isModal());
    QCOMPARE(w.periodFrom(), QStringLiteral("2005-06-15"));
    QCOMPARE(w.periodTo(), QStringLiteral("2005-06-15"));
    const QList<std::pair<QString, QString>> buttons = {
        {"btnView", "조회(F5)"}, {"btnExcel", "엑셀(F7)"}, {"btnPrint", "인쇄(F8)"}, {"btnClose", "닫기(&C)"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = w.findChild<QPushButton*>(name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->text(), caption);
    }
    QVERIFY(w.findChild<QFrame*>(QStringLiteral("pnlSearch")));
    QCOMPARE(w.findChild<QCheckBox*>(QStringLiteral("chkChain"))->text(), QStringLiteral("양쪽 날짜 동시에 변경"));
    for (const char* name : {"spDate0", "spDate1", "udDateCng0", "udDateCng1", "btnMonthView0", "btnMonthView1"})
        QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);

    auto* spList = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QVERIFY(spList);
    QCOMPARE(spList->maxRows(), 3);
    QCOMPARE(rowTexts(spList, 1), (QStringList{"BC", "0", "500", "0", "0", "0", "500"}));
    QCOMPARE(rowTexts(spList, 2), (QStringList{"국민", "3", "0", "100", "2", "0", "98"}));
    QCOMPARE(rowTexts(spList, 3), (QStringList{"[합 계]", "3", "500", "100", "2", "0", "598"}));
    QCOMPARE(spList->operationMode(), SpreadGrid::OperationMode::RowMode);
    QVERIFY(spList->isLocked(1, 1));
    QVERIFY(!spList->userColActionSort());
    QCOMPARE(spList->activeCol(), 1);
    QCOMPARE(spList->activeRow(), 1);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSummary::window_workedExampleAfterView()
{
    TestEnv env;
    addWorkedExample(env);
    frmSumBill w(env.ctx());
    showActive(&w);
    w.periodBar()->setDateText(0, QStringLiteral("2005-03-01"));
    w.periodBar()->setDateText(1, QStringLiteral("2005-03-31"));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnView")), Qt::LeftButton);
    auto* spList = w.grid();
    QCOMPARE(spList->maxRows(), 2);
    QCOMPARE(rowTexts(spList, 1), (QStringList{"A", "2", "1000", "500", "10", "700", "790"}));
    QCOMPARE(spList->displayText(7, 2), QStringLiteral("790"));
    QCOMPARE(spList->formula(7, 2), QStringLiteral("SUM(R1C7:R1C7)"));
    QCOMPARE(spList->activeRow(), 1);
    QVERIFY(spList->hasFocus());
}

void TestSummary::window_periodChangeDoesNotReload_F5Does()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addEntry(QStringLiteral("2005-06-15"), 1, 100);
    frmSumBill w(env.ctx());
    showActive(&w);
    QCOMPARE(w.grid()->text(4, 1), QStringLiteral("100"));

    // The up-down moves the date but the sheet stays until the view command.
    w.periodBar()->udDateCng_Change(0, -1);
    QCOMPARE(w.periodFrom(), QStringLiteral("2005-06-14"));
    env.addEntry(QStringLiteral("2005-06-14"), 1, 20);
    QCOMPARE(w.grid()->text(4, 1), QStringLiteral("100"));

    QTest::keyClick(w.grid(), Qt::Key_F5);
    QCOMPARE(w.grid()->text(4, 1), QStringLiteral("120"));
    QCOMPARE(w.grid()->text(4, 2), QStringLiteral("120"));

    // Other function keys of the ledger window do nothing here.
    env.addEntry(QStringLiteral("2005-06-14"), 1, 5);
    QTest::keyClick(w.grid(), Qt::Key_F6);
    QTest::keyClick(w.grid(), Qt::Key_F4);
    QCOMPARE(w.grid()->text(4, 1), QStringLiteral("120"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSummary::window_periodControlsWithChain()
{
    TestEnv env;
    frmSumBill w(env.ctx());
    showActive(&w);
    auto* up0 = w.findChild<UpDown*>(QStringLiteral("udDateCng0"));
    QVERIFY(up0);
    QTest::mouseClick(up0->upButton(), Qt::LeftButton);
    QCOMPARE(w.periodFrom(), QStringLiteral("2005-06-16"));
    QCOMPARE(w.periodTo(), QStringLiteral("2005-06-15"));
    w.findChild<QCheckBox*>(QStringLiteral("chkChain"))->setChecked(true);
    QTest::mouseClick(w.findChild<UpDown*>(QStringLiteral("udDateCng1"))->downButton(), Qt::LeftButton);
    QCOMPARE(w.periodTo(), QStringLiteral("2005-06-14"));
    QCOMPARE(w.periodFrom(), QStringLiteral("2005-06-14"));
}

void TestSummary::window_emptyLedgerOnlyTotals()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민")); // a card without entries is not listed
    frmSumBill w(env.ctx());
    QCOMPARE(w.grid()->maxRows(), 1);
    QCOMPARE(rowTexts(w.grid(), 1), (QStringList{"[합 계]", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(w.grid()->formula(2, 1), QStringLiteral("SUM(R1C2:R1C2)"));
}

void TestSummary::window_invalidDateWarnsAndKeepsNothing()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addEntry(QStringLiteral("2005-06-15"), 1, 100);
    frmSumBill w(env.ctx());
    showActive(&w);
    w.periodBar()->setDateText(1, QStringLiteral("2005-02-30"));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnView")), Qt::LeftButton);
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "조회기간의 날짜가 올바르지 않습니다.");
    QCOMPARE(w.grid()->maxRows(), 0);
    QVERIFY(w.periodBar()->spDate(1)->hasFocus());
    QCOMPARE(w.periodTo(), QStringLiteral("2005-02-30")); // what was typed stays
}

void TestSummary::window_excelAndPrint()
{
    TestEnv env;
    addWorkedExample(env);
    frmSumBill w(env.ctx());
    showActive(&w);
    w.periodBar()->setDateText(0, QStringLiteral("2005-03-01"));
    w.periodBar()->setDateText(1, QStringLiteral("2005-03-31"));
    QTest::keyClick(w.grid(), Qt::Key_F5);

    QList<QUrl> opened;
    ExcelExportHook::setOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    FileDialogHook::answerProposed();
    QTest::keyClick(w.grid(), Qt::Key_F7);
    ExcelExportHook::setOpener({});
    QCOMPARE(opened.size(), 1);
    XlsxReader book(opened.first().toLocalFile());
    QVERIFY(book.isValid());
    QCOMPARE(book.sheetName(), QStringLiteral("Sheet1"));
    // The title and period as printed, a blank row, then the sheet.
    const QStringList firstColumn{book.text(1, 1), book.text(2, 1), book.text(3, 1),
                                  book.text(4, 1), book.text(5, 1), book.text(6, 1)};
    QCOMPARE(firstColumn,
             (QStringList{"카드사별 집계", "( 검색기간: 2005-03-01 - 2005-03-31 )", "", "카드명", "A", "[합 계]"}));
    QCOMPARE(book.text(5, 7).toDouble(), 790.0);
    QCOMPARE(w.grid()->maxRows(), 2); // the grid is put back as it was

    // Print through the preview with the window's caption.
    QString previewTitle;
    PrintComponent::setPreviewHook([&previewTitle](QPrintPreviewDialog& p) { previewTitle = p.windowTitle(); });
    QTest::keyClick(w.grid(), Qt::Key_F8);
    PrintComponent::setPreviewHook({});
    QCOMPARE(previewTitle, QStringLiteral("카드사별 집계"));

    const QString pdf = env.appFolder() + QStringLiteral("/sum.pdf");
    env.ctx().print->setPdfTarget(pdf);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnPrint")), Qt::LeftButton);
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(env.ctx().print->lastPageCount(), 1);
}

// A period typed into the boxes is what Enter shows and what F7 and F8 put
// out: never the figures of the period shown before under the new title.
void TestSummary::window_outputOfATypedPeriod_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in the last date") << int(Qt::Key_Return);
    QTest::newRow("F7 exports") << int(Qt::Key_F7);
    QTest::newRow("F8 prints") << int(Qt::Key_F8);
}

void TestSummary::window_outputOfATypedPeriod()
{
    QFETCH(int, key);
    TestEnv env;
    addWorkedExample(env);
    env.addEntry(QStringLiteral("2005-04-10"), 1, 70);
    frmSumBill w(env.ctx());
    showActive(&w);
    w.periodBar()->setDateText(0, QStringLiteral("2005-03-01"));
    w.periodBar()->setDateText(1, QStringLiteral("2005-03-31"));
    QTest::keyClick(w.grid(), Qt::Key_F5);
    QCOMPARE(w.grid()->text(SumBillCol::Sales, 1), QStringLiteral("500"));

    // April typed as a user would, the last date still being edited.
    w.periodBar()->spDate(0)->setFocus();
    for (const QChar ch : QStringLiteral("0401\t0430")) {
        const Qt::Key k = ch == u'\t' ? Qt::Key_Tab : Qt::Key(ch.unicode());
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), k, QString(ch), Qt::NoModifier);
    }
    QList<QUrl> opened;
    ExcelExportHook::setOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    env.ctx().print->setPdfTarget(env.appFolder() + QStringLiteral("/sum.pdf"));
    if (key == Qt::Key_F7)
        FileDialogHook::answerProposed();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    ExcelExportHook::setOpener({});
    QCOMPARE(w.periodFrom(), QStringLiteral("2005-04-01"));
    QCOMPARE(w.periodTo(), QStringLiteral("2005-04-30"));
    QCOMPARE(w.grid()->text(SumBillCol::Sales, 1), QStringLiteral("70"));
    QVERIFY(w.sheetCurrent());
    if (key == Qt::Key_F7) {
        QCOMPARE(opened.size(), 1);
        // Under the title, the period, a blank row and the column titles.
        QCOMPARE(XlsxReader(opened.first().toLocalFile()).text(2, 1),
                 QStringLiteral("( 검색기간: 2005-04-01 - 2005-04-30 )"));
        QCOMPARE(XlsxReader(opened.first().toLocalFile()).text(5, SumBillCol::Sales).toDouble(), 70.0);
    }
    if (key == Qt::Key_F8)
        QCOMPARE(env.ctx().print->lastPageCount(), 1);
}

void TestSummary::window_layoutSavedOnlyWhenMovedOrResized()
{
    TestEnv env;
    const QString ini = FormIniPath(QStringLiteral("frmSumBill"));
    {
        auto* w = new frmSumBill(env.ctx());
        showActive(w);
        w->close(); // deleted later
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!QFile::exists(ini));

    {
        auto* w = new frmSumBill(env.ctx());
        showActive(w);
        w->move(w->pos() + QPoint(30, 20));
        w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QFile::exists(ini));
    {
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("FormPosition/WindowState")).toString(), QStringLiteral("0"));
        QVERIFY(s.contains(QStringLiteral("FormPosition/Left")));
        // A value the window would write differently tells whether it wrote.
        s.setValue(QStringLiteral("FormPosition/Width"), QStringLiteral("9000.2"));
    }
    {
        auto* w = new frmSumBill(env.ctx());
        QCOMPARE(w->width(), TwipsToPixelsX(9000.2));
        showActive(w);
        w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("FormPosition/Width")).toString(),
             QStringLiteral("9000.2"));
    {
        auto* w = new frmSumBill(env.ctx());
        showActive(w);
        w->resize(w->width() + 40, w->height());
        w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("FormPosition/Width")).toString(),
             QString::number(qRound(PixelsToTwipsX(TwipsToPixelsX(9000.2) + 40))));
}

void TestSummary::window_columnWidthDragStored()
{
    TestEnv env;
    const QString ini = FormIniPath(QStringLiteral("frmSumBill"));
    {
        frmSumBill w(env.ctx());
        showActive(&w);
        w.grid()->setColWidth(2, 11);
        w.grid()->setColWidth(3, 21.5);
        Q_EMIT w.grid()->columnWidthChanged(2, 3);
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("spList_ColsWidth/2")).toDouble(), 11.0);
        QCOMPARE(s.value(QStringLiteral("spList_ColsWidth/3")).toDouble(), 21.5);
        QVERIFY(!s.contains(QStringLiteral("spList_ColsWidth/4")));
    }
    // The next window starts with the stored widths.
    frmSumBill again(env.ctx());
    QCOMPARE(again.grid()->colWidth(3), 21.5);
}

void TestSummary::window_resizeKeepsMinimumAndLayout()
{
    TestEnv env;
    frmSumBill w(env.ctx());
    showActive(&w);
    w.resize(50, 60);
    const int minW = TwipsToPixelsX(5000) - (w.frameGeometry().width() - w.width());
    const int minH = TwipsToPixelsY(5000) - (w.frameGeometry().height() - w.height());
    QTRY_COMPARE(w.width(), minW);
    QCOMPARE(w.height(), minH);
    w.resize(900, 640);
    QTRY_COMPARE(w.width(), 900);
    auto* pnl = w.findChild<QFrame*>(QStringLiteral("pnlSearch"));
    QCOMPARE(pnl->geometry().left(), 0);
    QCOMPARE(pnl->width(), 900);
    const int top = pnl->height() + TwipsToPixelsY(30);
    QCOMPARE(w.tabs()->geometry(), QRect(0, top, 900, 640 - top - TwipsToPixelsY(30)));
    QCOMPARE(w.grid()->width(), 900); // the tabs have no frame of their own
}

void TestSummary::window_defaultSizeShowsEverythingWhole()
{
    TestEnv env;
    // More lines than the window shows: the vertical scroll bar takes its room too.
    for (int code = 1; code <= 40; ++code) {
        env.addCard(code, QStringLiteral("카드%1").arg(code));
        env.addEntry(QStringLiteral("2005-06-15"), code, 1234567, 12345, 1000000, 12);
    }
    frmSumBill w(env.ctx());
    showActive(&w);
    SpreadGrid* grid = w.grid();
    QVERIFY(grid->verticalScrollBar()->isVisible());
    QVERIFY(!grid->horizontalScrollBar()->isVisible());
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        const int right = grid->columnViewportPosition(c) + grid->columnWidth(c);
        QVERIFY2(
            right <= grid->viewport()->width(),
            qPrintable(
                QStringLiteral("column %1 ends at %2 of %3").arg(c + 1).arg(right).arg(grid->viewport()->width())));
    }
    // The period bar and the buttons beside it have all the room they ask for.
    QVERIFY(w.periodBar()->width() >= w.periodBar()->sizeHint().width());
    auto* chain = w.periodBar()->chkChain();
    QVERIFY(chain->width() >= chain->sizeHint().width());
    auto* close = w.findChild<QPushButton*>(QStringLiteral("btnClose"));
    QVERIFY(close->mapTo(&w, QPoint(close->width(), 0)).x() <= w.width());
}

void TestSummary::window_showSingleReusesOpenWindow()
{
    TestEnv env;
    QWidget ledger;
    ledger.show();
    frmSumBill* first = frmSumBill::ShowSingle(env.ctx(), &ledger);
    QVERIFY(first && first->isVisible());
    QVERIFY(first->isWindow());
    first->periodBar()->setDateText(0, QStringLiteral("2005-01-01"));
    QCOMPARE(frmSumBill::ShowSingle(env.ctx(), &ledger), first);
    QCOMPARE(ledger.findChildren<frmSumBill*>().size(), 1);
    QCOMPARE(first->periodFrom(), QStringLiteral("2005-01-01"));

    QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("btnClose")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmSumBill::OpenInstance());
    QVERIFY(ledger.findChildren<frmSumBill*>().isEmpty());

    frmSumBill* second = frmSumBill::ShowSingle(env.ctx(), &ledger);
    QCOMPARE(second->periodFrom(), QStringLiteral("2005-06-15"));
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestSummary)
#include "tst_summary.moc"

#include "LedgerWindowTestBase.h"

#include "data/summary/SumBillData.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/summary/SumBillSheet.h"

// Loading the sheet: brought-forward row, entries, entry row, balances, totals.
class TestLedgerWindowSheet : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init() { startEnv(); }
    void cleanup() { stopEnv(); }

    void firstActivationShowsTodayWithEntryRow();
    void periodWithoutEntries();
    void unknownCardReadsAsDeleted();
    void mixedCardsOrderedByDateAndKey();
    void cardFilterShowsOneCard();
    void zeroAmountsLeaveCellsEmpty();
    void balancesAndTotalsFollowTheRows();
    void payOutOnlyRowLowersBalance();
    void broughtForwardRowIsBlueAndLocked();
    void firstDayAfterLastDayGivesNoEntries();
    void headerSortKeepsFirstAndLastRows();
    void manyEntriesLoadInOnePass();
};

void TestLedgerWindowSheet::firstActivationShowsTodayWithEntryRow()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 1000);
    env->addEntry(QStringLiteral("2005-06-14"), 1, 2000);
    openWindow();
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-06-15"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-06-15"));
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(2, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(cell(2, 2), QStringLiteral("2005-06-15"));
    QCOMPARE(cell(2, 3), QStringLiteral("2005-06-15")); // the entry row, dated today
    QCOMPARE(cell(4, 3), QString());
    QCOMPARE(sheet()->activeCol(), 4);
    QCOMPARE(sheet()->activeRow(), 3);
    QVERIFY(win->windowTitle().endsWith(QStringLiteral("(") + env->ctx().ledgerPath + QStringLiteral(")")));
    QVERIFY(win->windowTitle().contains(QStringLiteral("Tallox Ver.")));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerWindowSheet::periodWithoutEntries()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 1500);
    env->addEntry(QStringLiteral("2005-05-03"), 1, 700, 0, 200);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(2, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(cell(9, 1), QStringLiteral("2000"));
    QCOMPARE(cell(2, 2), QStringLiteral("2005-06-15"));
    QCOMPARE(cell(9, 2), QString()); // the entry row has no balance
    QCOMPARE(sheet()->activeCol(), 4);
    QCOMPARE(sheet()->activeRow(), 2);
    QCOMPARE(sheet()->formula(11, 1), QStringLiteral("SUM(R1C6:R2C6)"));
    for (int c = 5; c <= 8; ++c)
        QVERIFY(Money::fromLeading(stripCell(c)).isZero());
}

void TestLedgerWindowSheet::unknownCardReadsAsDeleted()
{
    env->addCard(1, QStringLiteral("신한카드"));
    const int known = env->addEntry(QStringLiteral("2005-06-02"), 1, 100);
    const int unknown = env->addEntry(QStringLiteral("2005-06-03"), 77, 200);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(rows(), 4);
    QCOMPARE(cell(1, 2), QString::number(known));
    QCOMPARE(cell(4, 2), QStringLiteral("신한카드"));
    QCOMPARE(cell(1, 3), QString::number(unknown));
    QCOMPARE(cell(3, 3), QStringLiteral("77"));
    QCOMPARE(cell(4, 3), MissingCardName(77)); // as the summary names it
    QCOMPARE(cell(6, 3), QStringLiteral("200"));
    QCOMPARE(cell(9, 3), QStringLiteral("300"));
}

void TestLedgerWindowSheet::mixedCardsOrderedByDateAndKey()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("국민카드"));
    const int a = env->addEntry(QStringLiteral("2005-06-05"), 2, 10);
    const int b = env->addEntry(QStringLiteral("2005-06-01"), 1, 20);
    const int c = env->addEntry(QStringLiteral("2005-06-05"), 1, 30);
    const int d = env->addEntry(QStringLiteral("2005-06-03"), 2, 40);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(rows(), 6);
    QCOMPARE(cell(1, 2), QString::number(b));
    QCOMPARE(cell(1, 3), QString::number(d));
    QCOMPARE(cell(1, 4), QString::number(a));
    QCOMPARE(cell(1, 5), QString::number(c));
    QCOMPARE(cell(4, 3), QStringLiteral("국민카드"));
    QCOMPARE(cell(9, 5), QStringLiteral("100"));
}

void TestLedgerWindowSheet::cardFilterShowsOneCard()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("국민카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 1000);
    env->addTransfer(QStringLiteral("2005-04"), 2, 5000);
    env->addEntry(QStringLiteral("2005-06-05"), 2, 10);
    env->addEntry(QStringLiteral("2005-06-01"), 1, 20);
    openWindow();
    // The filter lists the cards by name after the empty "all cards" item.
    QCOMPARE(cardFilter()->count(), 3);
    QCOMPARE(cardFilter()->itemText(0), QString());
    QCOMPARE(cardFilter()->itemText(1), QStringLiteral("국민카드"));
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), 1);
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(9, 1), QStringLiteral("1000"));
    QCOMPARE(cell(4, 2), QStringLiteral("신한카드"));
    QCOMPARE(cell(9, 2), QStringLiteral("1020"));
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), 0);
    QCOMPARE(rows(), 4);
    QCOMPARE(cell(9, 1), QStringLiteral("6000"));
    QCOMPARE(cell(9, 3), QStringLiteral("6030"));
}

void TestLedgerWindowSheet::zeroAmountsLeaveCellsEmpty()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-02"), 1, 0, 0, 0, 0);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(cell(5, 2), QStringLiteral("0")); // slips are written even when 0
    QCOMPARE(cell(6, 2), QString());
    QCOMPARE(cell(7, 2), QString());
    QCOMPARE(cell(8, 2), QString());
    QCOMPARE(cell(9, 2), QStringLiteral("0"));
}

void TestLedgerWindowSheet::balancesAndTotalsFollowTheRows()
{
    // Brought forward 1000; (500, 10, 0) and (0, 0, 700) give 1490 and 790.
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-05"), 1, 1000);
    env->addEntry(QStringLiteral("2005-06-02"), 1, 500, 10, 0, 3);
    env->addEntry(QStringLiteral("2005-06-03"), 1, 0, 0, 700, 2);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(cell(9, 1), QStringLiteral("1000"));
    QCOMPARE(cell(9, 2), QStringLiteral("1490"));
    QCOMPARE(cell(9, 3), QStringLiteral("790"));
    QCOMPARE(sheet()->formula(10, 1), QStringLiteral("SUM(R1C5:R4C5)"));
    QCOMPARE(sheet()->formula(13, 1), QStringLiteral("SUM(R1C8:R4C8)"));
    QCOMPARE(stripCell(5), QStringLiteral("5"));
    QCOMPARE(stripCell(6), QStringLiteral("500"));
    QCOMPARE(stripCell(7), QStringLiteral("10"));
    QCOMPARE(stripCell(8), QStringLiteral("700"));
    QCOMPARE(stripCell(9), QString());
    QCOMPARE(strip()->displayText(8, 1), QStringLiteral("700"));
}

void TestLedgerWindowSheet::payOutOnlyRowLowersBalance()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-02"), 1, 0, 0, 1234.5);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(cell(6, 2), QString());
    QCOMPARE(cell(8, 2), QStringLiteral("1234.5"));
    QCOMPARE(cell(9, 2), QStringLiteral("-1234.5"));
    QCOMPARE(stripCell(8), QStringLiteral("1234.5"));
}

void TestLedgerWindowSheet::broughtForwardRowIsBlueAndLocked()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    QCOMPARE(sheet()->foreColor(2, 1), QColor(0, 80, 250));
    QCOMPARE(sheet()->foreColor(9, 1), QColor(0, 80, 250));
    for (int c = 1; c <= 13; ++c)
        QVERIFY(sheet()->isLocked(c, 1));
    QVERIFY(sheet()->isLocked(9, 2));
    QVERIFY(sheet()->isLocked(9, 3));
    QVERIFY(!sheet()->isLocked(6, 2));
    QVERIFY(!sheet()->isLocked(4, 3));
    QVERIFY(sheet()->colHidden(1));
    QVERIFY(sheet()->colHidden(3));
    QVERIFY(sheet()->colHidden(10));
    QCOMPARE(sheet()->colId(2), QStringLiteral("SDATE"));
    QCOMPARE(sheet()->colId(8), QStringLiteral("billcoll"));
    QCOMPARE(sheet()->headerText(8), QStringLiteral("카드사결제액"));
}

void TestLedgerWindowSheet::firstDayAfterLastDayGivesNoEntries()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-05"), 1, 300);
    env->addEntry(QStringLiteral("2005-06-10"), 1, 100);
    openWindow();
    view(QStringLiteral("2005-06-20"), QStringLiteral("2005-06-01"));
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(9, 1), QStringLiteral("400"));
}

void TestLedgerWindowSheet::headerSortKeepsFirstAndLastRows()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-05"), 1, 1000);
    env->addEntry(QStringLiteral("2005-06-01"), 1, 300);
    env->addEntry(QStringLiteral("2005-06-02"), 1, 100);
    env->addEntry(QStringLiteral("2005-06-03"), 1, 200);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    bool handled = false;
    Q_EMIT sheet()->sortRequested(6, Qt::AscendingOrder, &handled);
    QVERIFY(handled);
    QCOMPARE(cell(2, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(cell(6, 2), QStringLiteral("100"));
    QCOMPARE(cell(6, 3), QStringLiteral("200"));
    QCOMPARE(cell(6, 4), QStringLiteral("300"));
    QCOMPARE(cell(4, 5), QString()); // the entry row stays last
    QCOMPARE(cell(2, 5), QStringLiteral("2005-06-15"));
    // Each row keeps its balance in date order.
    QCOMPARE(cell(9, 2), QStringLiteral("1400"));
    QCOMPARE(cell(9, 3), QStringLiteral("1600"));
    QCOMPARE(cell(9, 4), QStringLiteral("1300"));
    QVERIFY(sheet()->isLocked(2, 1));
    // A store on the sorted sheet, then 일자: the date order with its balances.
    typeInto(6, 2, QStringLiteral("150"));
    Q_EMIT sheet()->sortRequested(2, Qt::AscendingOrder, &handled);
    const QStringList dateOrder{QStringLiteral("2005-06-01 1300"), QStringLiteral("2005-06-02 1450"),
                                QStringLiteral("2005-06-03 1650")};
    for (int r = 2; r <= 4; ++r)
        QCOMPARE(cell(2, r) + QLatin1Char(' ') + cell(9, r), dateOrder[r - 2]);
}

void TestLedgerWindowSheet::manyEntriesLoadInOnePass()
{
    // The timing on 20,000 rows is a benchmark (bench/bench_ledger.cpp); here the content.
    const int count = 500;
    env->addCard(1, QStringLiteral("신한카드"));
    {
        Database& db = env->ctx().ledger;
        Transaction tx(db);
        for (int i = 0; i < count; ++i)
            db.execute(QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                                      " VALUES (?, 1, ?, ?, 0, 1)"),
                       {QStringLiteral("2005-06-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                        qint64(10000) * (i % 100), qint64(10000) * (i % 3)});
        QVERIFY(tx.commit());
    }
    openWindow();
    SpreadGrid scratch;
    DesignLedgerColumns(&scratch);
    QVERIFY(LoadLedgerSheet(&scratch, env->ctx().ledger, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), 0,
                            Money(), QStringLiteral("2005-06-15"), nullptr));
    QCOMPARE(scratch.maxRows(), count + 2);
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(rows(), count + 2);
    Money expected;
    for (int i = 0; i < count; ++i)
        expected += Money::fromWon(i % 100) - Money::fromWon(i % 3);
    QCOMPARE(cell(9, count + 1), expected.toPlainString());
    QCOMPARE(stripCell(5), QString::number(count));
}

QTEST_MAIN(TestLedgerWindowSheet)
#include "tst_ledgerwindow_sheet.moc"

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
    QCOMPARE(cell(LedgerModel::Date, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(cell(LedgerModel::Date, 2), QStringLiteral("2005-06-15"));
    QCOMPARE(cell(LedgerModel::Date, 3), QStringLiteral("2005-06-15")); // the entry row, dated today
    QCOMPARE(cell(LedgerModel::CardName, 3), QString());
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    QCOMPARE(activeRow(), 3);
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
    QCOMPARE(cell(LedgerModel::Date, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("2000"));
    QCOMPARE(cell(LedgerModel::Date, 2), QStringLiteral("2005-06-15"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QString()); // the entry row has no balance
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    QCOMPARE(activeRow(), 2);
    QVERIFY(model()->totals().has_value());
    for (int c = LedgerModel::Slips; c <= LedgerModel::BillColl; ++c)
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
    QCOMPARE(keyText(2), QString::number(known));
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("신한카드"));
    QCOMPARE(keyText(3), QString::number(unknown));
    QCOMPARE(cardText(3), QStringLiteral("77"));
    QCOMPARE(cell(LedgerModel::CardName, 3), MissingCardName(77)); // as the summary names it
    QCOMPARE(cell(LedgerModel::Sale, 3), QStringLiteral("200"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("300"));
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
    QCOMPARE(keyText(2), QString::number(b));
    QCOMPARE(keyText(3), QString::number(d));
    QCOMPARE(keyText(4), QString::number(a));
    QCOMPARE(keyText(5), QString::number(c));
    QCOMPARE(cell(LedgerModel::CardName, 3), QStringLiteral("국민카드"));
    QCOMPARE(cell(LedgerModel::Balance, 5), QStringLiteral("100"));
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
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("1000"));
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("신한카드"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("1020"));
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), 0);
    QCOMPARE(rows(), 4);
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("6000"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("6030"));
}

void TestLedgerWindowSheet::zeroAmountsLeaveCellsEmpty()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-02"), 1, 0, 0, 0, 0);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(cell(LedgerModel::Slips, 2), QStringLiteral("0")); // slips are written even when 0
    QCOMPARE(cell(LedgerModel::Sale, 2), QString());
    QCOMPARE(cell(LedgerModel::Fee, 2), QString());
    QCOMPARE(cell(LedgerModel::BillColl, 2), QString());
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("0"));
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
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("1000"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("1490"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("790"));
    QCOMPARE(model()->totals()->slips, 5);
    QCOMPARE(model()->totals()->billcoll, Money::fromWon(700));
    QCOMPARE(stripCell(LedgerModel::Slips), QStringLiteral("5"));
    QCOMPARE(stripCell(LedgerModel::Sale), QStringLiteral("500"));
    QCOMPARE(stripCell(LedgerModel::Fee), QStringLiteral("10"));
    QCOMPARE(stripCell(LedgerModel::BillColl), QStringLiteral("700"));
    QCOMPARE(stripCell(LedgerModel::Balance), QString());
    QCOMPARE(strip()->displayText(LedgerModel::BillColl), QStringLiteral("700"));
}

void TestLedgerWindowSheet::payOutOnlyRowLowersBalance()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-02"), 1, 0, 0, 1234.5);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(cell(LedgerModel::Sale, 2), QString());
    QCOMPARE(cell(LedgerModel::BillColl, 2), QStringLiteral("1234.5"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("-1234.5"));
    QCOMPARE(stripCell(LedgerModel::BillColl), QStringLiteral("1234.5"));
}

void TestLedgerWindowSheet::broughtForwardRowIsBlueAndLocked()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    for (int c : {LedgerModel::Date, LedgerModel::Balance})
        QCOMPARE(model()->index(0, c).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 80, 250));
    for (int c = 0; c < LedgerModel::ColumnCount; ++c)
        QVERIFY(!editable(c, 1));
    QVERIFY(!editable(LedgerModel::Balance, 2));
    QVERIFY(!editable(LedgerModel::Balance, 3));
    QVERIFY(editable(LedgerModel::Sale, 2));
    QVERIFY(editable(LedgerModel::CardName, 3));
    // The columns the user sees, and no others (no key, card code or sums).
    QStringList titles;
    for (int c = 0; c < model()->columnCount(); ++c)
        titles << model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"일자", "카드명", "건수", "매출액", "수수료", "카드사결제액", "잔액"}));
    QCOMPARE(LedgerModel::FieldOf(LedgerModel::Date), QStringLiteral("sdate"));
    QCOMPARE(LedgerModel::FieldOf(LedgerModel::BillColl), QStringLiteral("billcoll"));
}

void TestLedgerWindowSheet::firstDayAfterLastDayGivesNoEntries()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-05"), 1, 300);
    env->addEntry(QStringLiteral("2005-06-10"), 1, 100);
    openWindow();
    view(QStringLiteral("2005-06-20"), QStringLiteral("2005-06-01"));
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("400"));
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
    sortBy(LedgerModel::Sale, Qt::AscendingOrder);
    QCOMPARE(cell(LedgerModel::Date, 1), QStringLiteral("[전기이월]"));
    QCOMPARE(cell(LedgerModel::Sale, 2), QStringLiteral("100"));
    QCOMPARE(cell(LedgerModel::Sale, 3), QStringLiteral("200"));
    QCOMPARE(cell(LedgerModel::Sale, 4), QStringLiteral("300"));
    QCOMPARE(cell(LedgerModel::CardName, 5), QString()); // the entry row stays last
    QCOMPARE(cell(LedgerModel::Date, 5), QStringLiteral("2005-06-15"));
    // Each row keeps its balance in date order.
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("1400"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("1600"));
    QCOMPARE(cell(LedgerModel::Balance, 4), QStringLiteral("1300"));
    QVERIFY(!editable(LedgerModel::Date, 1));
    // A store on the sorted sheet, then 일자: the date order with its balances.
    typeInto(LedgerModel::Sale, 2, QStringLiteral("150"));
    sortBy(LedgerModel::Date, Qt::AscendingOrder);
    const QStringList dateOrder{QStringLiteral("2005-06-01 1300"), QStringLiteral("2005-06-02 1450"),
                                QStringLiteral("2005-06-03 1650")};
    for (int r = 2; r <= 4; ++r)
        QCOMPARE(cell(LedgerModel::Date, r) + QLatin1Char(' ') + cell(LedgerModel::Balance, r), dateOrder[r - 2]);
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
    QCOMPARE(cell(LedgerModel::Balance, count + 1), expected.toPlainString());
    QCOMPARE(stripCell(LedgerModel::Slips), QString::number(count));
}

QTEST_MAIN(TestLedgerWindowSheet)
#include "tst_ledgerwindow_sheet.moc"

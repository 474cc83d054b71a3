#include "TestSupport.h"

#include "core/Clock.h"
#include "core/SharedQueries.h"
#include "summary/SumBillData.h"

#include <QRandomGenerator>

class TestSummary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void lines_workedExample();
    void lines_entriesOnlyOutsidePeriod();
    void lines_unknownCardLeftOut_cardWithoutEntriesAbsent();
    void lines_emptyLedger();
    void lines_orderedByNameThenCode();
    void lines_nullSlipCountsAndExactFractions();
    void prevBalances_equalSingleCardRoutineOnVariedData();
    void prevBalances_periodRightAfterLatestMonthAddsNoEntries();
    void prevBalances_invalidStartReported();
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

void TestSummary::lines_unknownCardLeftOut_cardWithoutEntriesAbsent()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addCard(5, QStringLiteral("삼성")); // no entries at all
    env.addEntry(QStringLiteral("2005-06-01"), 1, 10);
    env.addEntry(QStringLiteral("2005-06-01"), 9, 1000); // card 9 has no card row
    env.addTransfer(QStringLiteral("2005-05"), 9, 50);

    QList<SumBillLine> lines;
    QVERIFY(LoadSumBillLines(env.ctx().ledger, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &lines));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].cardCode, 1);
    QVERIFY(!lineOf(lines, 5));
    QVERIFY(!lineOf(lines, 9));
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
    QVERIFY(!PrevBalancesByCard(env.ctx().ledger, QStringLiteral("2005-13-01"), &b));
    QVERIFY(b.isEmpty());
    TALLOX_COMPARE_LAST_BOX("plain", "Tallox",
                            "Error 13 (invalid date: 2005-13-01) in procedure PrevBalancesByCard of Module modSumBill");
}

QTEST_MAIN(TestSummary)
#include "tst_summary.moc"

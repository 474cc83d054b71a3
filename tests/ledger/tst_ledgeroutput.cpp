#include "TestSupport.h"

#include "data/ledger/LedgerOutput.h"
#include "data/ledger/LedgerRows.h"

// The printed and exported ledger sheet, streamed from the books, against
// the typed rows of the same period: every figure as the rows give it.
class TestLedgerOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        TestEnv& env = *m_env;
        env.addCard(1, QStringLiteral("BC카드"), 2.5);
        env.addCard(2, QStringLiteral("신한카드"), 3.0);
        env.addEntry("2005-03-10", 1, 1000);
        env.addEntry("2005-05-03", 1, 500, 10, 0, 2);
        env.addEntry("2005-05-20", 2, 0, 0, 700, 1);
        env.addEntry("2005-05-20", 1, 120.5, 3, 40, 4);
        env.addEntry("2005-06-02", 2, 300, 9, 0, 3);
        env.addEntry("2005-02-30", 1, 999); // no real day: on no sheet
        env.addTransfer("2005-03", 1, 1000);
    }
    void cleanup() { m_env.reset(); }
    void rows_equalTheTypedRows_data();
    void rows_equalTheTypedRows();
    void stopsAndOverflow();

private:
    std::unique_ptr<TestEnv> m_env;
};

void TestLedgerOutput::rows_equalTheTypedRows_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("entries");
    QTest::newRow("May, all cards") << "2005-05-01"
                                    << "2005-05-31" << 0 << 3;
    QTest::newRow("May, card 1") << "2005-05-01"
                                 << "2005-05-31" << 1 << 2;
    QTest::newRow("March to June") << "2005-03-01"
                                   << "2005-06-30" << 0 << 5;
    QTest::newRow("June, card 2") << "2005-06-01"
                                  << "2005-06-30" << 2 << 1;
    QTest::newRow("an empty month") << "2005-08-01"
                                    << "2005-08-31" << 0 << 0;
}

void TestLedgerOutput::rows_equalTheTypedRows()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, card);
    QFETCH(int, entries);
    Database& ledger = m_env->ctx().ledger;
    LedgerRows typed;
    QVERIFY(LoadLedgerRows(ledger, from, to, card, &typed, nullptr));
    QCOMPARE(int(typed.entries.size()), entries);
    const QList<std::optional<Money>> balances = RunningBalances(typed.broughtForward, typed.entries);
    const std::optional<LedgerTotals> totals = SumEntries(typed.entries);
    QVERIFY(totals);

    LedgerOutputSheet sheet(ledger, from, to, card);
    QList<SheetRow> rows;
    ErrorInfo e;
    QVERIFY(sheet.forEachRow(
        [&rows](const SheetRow& r) {
            rows.append(r);
            return true;
        },
        &e));
    // Brought forward, the entries, the totals.
    QCOMPARE(int(rows.size()), entries + 2);
    QCOMPARE(sheet.rowsHandedOut(), entries + 2);
    QCOMPARE(rows.first()[6].number, std::optional<double>(typed.broughtForward.toDouble()));
    QCOMPARE(rows.first()[0].fore, kBroughtForwardFore);
    QCOMPARE(ShownText(rows.first()[6]), typed.broughtForward.toDisplayString(0, true));
    for (int i = 0; i < entries; ++i) {
        const SheetRow& r = rows[i + 1];
        QCOMPARE(r[6].number, std::optional<double>(balances[i]->toDouble()));
        QCOMPARE(r[3].number.value_or(0), typed.entries[i].sale.toDouble());
        QCOMPARE(r[5].number.value_or(0), typed.entries[i].billcoll.toDouble());
    }
    const SheetRow& total = rows.last();
    QCOMPARE(total[0].text, SheetTotalLabel());
    QVERIFY(total[0].bold);
    QCOMPARE(total[2].number, std::optional<double>(double(totals->slips)));
    QCOMPARE(total[3].number, std::optional<double>(totals->sale.toDouble()));
    QCOMPARE(total[4].number, std::optional<double>(totals->fee.toDouble()));
    QCOMPARE(total[5].number, std::optional<double>(totals->billcoll.toDouble()));
    QVERIFY(!total[6].number); // no balance on the totals row
}

void TestLedgerOutput::stopsAndOverflow()
{
    Database& ledger = m_env->ctx().ledger;
    LedgerOutputSheet sheet(ledger, "2005-03-01", "2005-06-30", 0);
    // A reader that stops after two rows: false, and no error.
    int seen = 0;
    ErrorInfo e;
    QVERIFY(!sheet.forEachRow([&seen](const SheetRow&) { return ++seen < 2; }, &e));
    QCOMPARE(seen, 2);
    QVERIFY(!e.isSet());
    QVERIFY(!sheet.readError().isSet());
    // A balance beyond the range of money: the sheet stops with the overflow, before the totals.
    QVERIFY(ledger.execute("UPDATE Tallox SET sale = 9223372036854775000 WHERE sdate = '2005-05-20'") >= 0);
    seen = 0;
    QVERIFY(!sheet.forEachRow(
        [&seen](const SheetRow&) {
            ++seen;
            return true;
        },
        &e));
    QVERIFY(e.isSet());
    QVERIFY(sheet.readError().isSet());
    QCOMPARE(seen, 3); // brought forward, 03-10 and 05-03
}

QTEST_MAIN(TestLedgerOutput)
#include "tst_ledgeroutput.moc"

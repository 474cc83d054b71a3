#include "LedgerWindowTestBase.h"

// F4: deleting the entry of the active row.
class TestLedgerWindowDelete : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init() { startEnv(); }
    void cleanup() { stopEnv(); }

    void f4OnBroughtForwardRowAsksNothing();
    void f4OnEntryRowAsksNothing();
    void deleteRecomputesBalancesAndTotals();
    void deleteAnsweredNoKeepsEntry();
};

void TestLedgerWindowDelete::f4OnBroughtForwardRowAsksNothing()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    gotoCell(LedgerModel::CardName, 1);
    pressKey(Qt::Key_F4);
    QCOMPARE(MessageHook::shown().size(), 1);
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "삭제할 자료를 선택하세요.");
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
    QCOMPARE(rows(), 3);
}

void TestLedgerWindowDelete::f4OnEntryRowAsksNothing()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    gotoCell(LedgerModel::CardName, 3);
    // F4 reaches the window whatever control has the focus, the cell editor included.
    typeText(QStringLiteral("x"), false);
    QVERIFY(sheet()->cellEditor());
    QTest::keyClick(sheet()->cellEditor(), Qt::Key_F4);
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "삭제할 자료를 선택하세요.");
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
}

void TestLedgerWindowDelete::deleteRecomputesBalancesAndTotals()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 0);
    env->addTransfer(QStringLiteral("2005-05"), 1, 1800);
    env->addEntry(QStringLiteral("2005-05-01"), 1, 1000, 0, 0, 1);
    const int gone = env->addEntry(QStringLiteral("2005-05-02"), 1, 500, 0, 0, 2);
    env->addEntry(QStringLiteral("2005-05-03"), 1, 300, 0, 0, 4);
    openWindow();
    view(QStringLiteral("2005-05-01"), QStringLiteral("2005-05-31"));
    QCOMPARE(cell(LedgerModel::Balance, 4), QStringLiteral("1800"));
    QCOMPARE(stripCell(LedgerModel::Sale), QStringLiteral("1800"));
    MessageHook::answer(MsgAnswer::Yes);
    gotoCell(LedgerModel::Sale, 3);
    // While the question is asked, the whole row is shown selected.
    QList<int> selectedColumns;
    MessageHook::setObserver([&](const MessageHook::Shown&) {
        for (int c = 0; c < LedgerModel::ColumnCount; ++c) {
            if (sheet()->selectionModel()->isSelected(model()->index(2, c)))
                selectedColumns << c;
        }
    });
    pressKey(Qt::Key_F4);
    QCOMPARE(selectedColumns, (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().kind, QStringLiteral("question"));
    QCOMPARE(MessageHook::shown().first().title, QStringLiteral("삭제"));
    // It names the entry: date, card and sales.
    QCOMPARE(MessageHook::shown().first().text,
             QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?\r\n\r\n2005-05-02  신한카드  매출액 500"));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 2);
    QVERIFY(!env->ctx().ledger.scalar(QStringLiteral("SELECT code FROM Tallox WHERE code = ?"), {gone}).isValid());
    QCOMPARE(rows(), 4);
    QCOMPARE(cell(LedgerModel::Sale, 3), QStringLiteral("300"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("1000"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("1300"));
    QCOMPARE(cell(LedgerModel::CardName, 4), QString()); // the entry row is still last
    QCOMPARE(model()->totals()->sale, Money::fromWon(1300));
    QCOMPARE(stripCell(LedgerModel::Slips), QStringLiteral("5"));
    QCOMPARE(stripCell(LedgerModel::Sale), QStringLiteral("1300"));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 1), Money::fromWon(1300));
}

void TestLedgerWindowDelete::deleteAnsweredNoKeepsEntry()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    MessageHook::answer(MsgAnswer::No);
    gotoCell(LedgerModel::Sale, 2);
    pressKey(Qt::Key_F4);
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(LedgerModel::Sale, 2), QStringLiteral("100"));
}

QTEST_MAIN(TestLedgerWindowDelete)
#include "tst_ledgerwindow_delete.moc"

#include "TestSupport.h"

#include "data/books/SharedQueries.h"
#include "data/ledger/LedgerStore.h"
#include "data/summary/SumBillData.h"
#include "gui/ledger/LedgerModel.h"

#include <QAbstractItemModelTester>
#include <QSqlQuery>
#include <limits>

namespace {
const QString kEditFailed = QStringLiteral("자료를 수정하는 중 오류가 발생했습니다.");

QString errorBox(const QString& text, int number, const QString& description)
{
    return text + QStringLiteral("\r\n오류번호 : ") + QString::number(number) + QStringLiteral("\r\n오류내용 : ") +
           description;
}

// All carry-over rows as "month card amount" lines, in order.
QStringList transferRows(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT sMonth, cardcode, amount FROM transfer ORDER BY cardcode, sMonth"));
    while (q.next())
        rows << QStringLiteral("%1 %2 %3")
                    .arg(q.value(0).toString(), q.value(1).toString(),
                         Money::fromUnits(q.value(2).toLongLong()).toPlainString());
    return rows;
}

QStringList entryRows(Database& db)
{
    QStringList rows;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT code, sdate, cardcode, sale, fee, billcoll, numsheet FROM Tallox ORDER BY code"));
    while (q.next()) {
        QStringList cols;
        for (int i = 0; i < 7; ++i)
            cols << q.value(i).toString();
        rows << cols.join(QLatin1Char(' '));
    }
    return rows;
}

QVariant field(Database& db, int code, const QString& name)
{
    return db.scalar(QStringLiteral("SELECT %1 FROM Tallox WHERE code = ?").arg(name), {code});
}
} // namespace

class TestLedgerStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { MessageHook::reset(); }
    void autoFee_examples();

    void insert_readsBackItsOwnKey();
    void insert_createsPreviousMonthRow();
    void insert_refusesBadDateOrCard();
    void insert_failureStoresNothing();

    void checkPrevBalance_edges();
    void checkPrevBalance_sameMonthQueriesOnce();
    void checkPrevBalance_currentAndFutureMonth();

    void calcPrevBaln_shiftsFromMonthOn();
    void carryOver_failuresAsCodes();
    void calcPrevBaln_currentMonthLeavesCompletedRows();

    void edit_dateWithinMonth();
    void edit_dateAcrossMonths();
    void edit_dateForwardIntoMissingMonth();
    void edit_cardChange();
    void edit_cardChangeInCurrentMonthCoversNewCard();
    void edit_amountsAndSlipCount();
    void edit_refusals();
    void edit_failureHalfWayLeavesAllUnchanged();

    void delete_shiftsAndRemoves();
    void delete_refusalsAndFailure();

    void rebuild_workedExample();
    void rebuild_emptyLedgerAndCurrentMonthOnly();
    void rebuild_failureKeepsTable();
    void rebuild_stoppedKeepsTable();
    void rebuild_resetsMemory();

    void check_findsChangedRowAndCleanAfterRebuild();

    void rows_loadPeriodAndCard_data();
    void rows_balancesByBlocks_data();
    void rows_balancesByBlocks();
    void rows_loadPeriodAndCard();
    void model_rightAfterEveryStore_data();
    void model_rightAfterEveryStore();
    void model_sortsByTypedValues_data();
    void model_sortsByTypedValues();
    void model_entryRowDate();
};

void TestLedgerStore::autoFee_examples()
{
    QCOMPARE(LedgerStore::AutoFee(2.5, Money::fromWon(900)), Money::fromWon(23));
    QCOMPARE(LedgerStore::AutoFee(3.0, Money::fromWon(650)), Money::fromWon(20));
    QCOMPARE(LedgerStore::AutoFee(2.5, Money::fromWon(3)), Money::fromWon(0));
    QCOMPARE(LedgerStore::AutoFee(2.5, Money::fromWon(-900)), Money::fromWon(-23));
    QCOMPARE(LedgerStore::AutoFee(2.35, Money::fromWon(1000)), Money::fromWon(24)); // 23.5
    QCOMPARE(LedgerStore::AutoFee(3.0, QStringLiteral("650")), Money::fromWon(20));
    QCOMPARE(LedgerStore::AutoFee(3.0, QStringLiteral("1,000원")), Money::fromWon(30));
    QCOMPARE(LedgerStore::AutoFee(3.0, QString()), Money());
    QCOMPARE(LedgerStore::AutoFee(3.0, QStringLiteral("abc")), Money());
    QCOMPARE(LedgerStore::AutoFee(0.0, Money::fromWon(650)), Money());
    QCOMPARE(LedgerStore::AutoFee(100.0, Money::fromWon(10'000'000'000LL)), Money::fromWon(10'000'000'000LL));
}

void TestLedgerStore::insert_readsBackItsOwnKey()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    // A trigger that adds a row with a larger key: the largest key is not ours.
    QVERIFY(AddTestTrigger(
        db, QStringLiteral("t_extra"), QStringLiteral("AFTER INSERT ON Tallox"), QStringLiteral("NEW.cardcode <> 99"),
        QStringLiteral("INSERT INTO Tallox (code, sdate, cardcode) VALUES (NEW.code + 100, '1999-01-01', 99)")));
    LedgerStore store(db);
    ErrorInfo err;
    int key = 0;
    QVERIFY(Say(store.InsertRecord(QStringLiteral("2005-03-07"), 3, &key, &err), err));
    QVERIFY(key >= 1);
    QCOMPARE(field(db, key, QStringLiteral("sdate")).toString(), QStringLiteral("2005-03-07"));
    QCOMPARE(field(db, key, QStringLiteral("cardcode")).toInt(), 3);
    QCOMPARE(field(db, key, QStringLiteral("sale")).toLongLong(), 0);
    QCOMPARE(field(db, key, QStringLiteral("fee")).toLongLong(), 0);
    QCOMPARE(field(db, key, QStringLiteral("billcoll")).toLongLong(), 0);
    QVERIFY(db.scalar(QStringLiteral("SELECT MAX(code) FROM Tallox")).toInt() > key);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::insert_createsPreviousMonthRow()
{
    TestEnv env;
    env.addEntry(QStringLiteral("2005-03-10"), 1, 100);
    env.addEntry(QStringLiteral("2005-04-05"), 1, 80, 10, 20);
    env.addEntry(QStringLiteral("2005-05-05"), 2, 999); // another card
    LedgerStore store(env.ctx().ledger);
    ErrorInfo err;
    int key = 0;
    QVERIFY(Say(store.InsertRecord(QStringLiteral("2005-05-20"), 1, &key, &err), err));
    QCOMPARE(transferRows(env.ctx().ledger), QStringList{QStringLiteral("2005-04 1 150")});
    // An entry of the current month: the May row.
    QVERIFY(Say(store.InsertRecord(QStringLiteral("2005-06-03"), 1, &key, &err), err));
    QCOMPARE(transferRows(env.ctx().ledger),
             (QStringList{QStringLiteral("2005-04 1 150"), QStringLiteral("2005-05 1 150")}));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::insert_refusesBadDateOrCard()
{
    TestEnv env;
    LedgerStore store(env.ctx().ledger);
    ErrorInfo err;
    int key = -5;
    for (const QString& bad : {QStringLiteral("2005-02-30"), QStringLiteral("2005-3-7"), QString(),
                               QStringLiteral("2005-03-07'); DROP TABLE Tallox; --")}) {
        MessageHook::reset();
        QVERIFY(!Say(store.InsertRecord(bad, 1, &key, &err), err));
        TALLOX_COMPARE_LAST_BOX(
            "error", "오류",
            errorBox(QStringLiteral("자료를 저장하는 중 오류가 발생했습니다."), 13, QStringLiteral("Type mismatch")));
    }
    QVERIFY(!Say(store.InsertRecord(QStringLiteral("2005-03-07"), 0, &key, &err), err));
    QCOMPARE(key, -5);
    QCOMPARE(env.count(QStringLiteral("Tallox")), 0);
    QCOMPARE(env.count(QStringLiteral("transfer")), 0);
}

void TestLedgerStore::insert_failureStoresNothing()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    QVERIFY(AddTestTrigger(db, QStringLiteral("t_block"), QStringLiteral("BEFORE INSERT ON transfer")));
    LedgerStore store(db);
    ErrorInfo err;
    int key = 0;
    QVERIFY(!Say(store.InsertRecord(QStringLiteral("2005-05-20"), 1, &key, &err), err));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("error"));
    QVERIFY(MessageHook::shown().last().text.startsWith(QStringLiteral("자료를 저장하는 중 오류가 발생했습니다.\r\n")));
    QVERIFY(MessageHook::shown().last().text.contains(QStringLiteral("blocked")));
    QCOMPARE(env.count(QStringLiteral("Tallox")), 0);
    QCOMPARE(env.count(QStringLiteral("transfer")), 0);
    QCOMPARE(key, 0);
    // The failed attempt is not remembered as handled.
    QVERIFY(DropTestTrigger(db, QStringLiteral("t_block")));
    QVERIFY(Say(store.InsertRecord(QStringLiteral("2005-05-21"), 1, &key, &err), err));
    QCOMPARE(transferRows(db), QStringList{QStringLiteral("2005-04 1 0")});
}

void TestLedgerStore::checkPrevBalance_edges()
{
    TestEnv env;
    env.addEntry(QStringLiteral("2004-12-31"), 1, 40);
    env.addEntry(QStringLiteral("2005-01-31"), 1, 2);
    env.addEntry(QStringLiteral("2005-02-28"), 1, 7);
    env.addEntry(QStringLiteral("2005-04-30"), 1, 11);
    LedgerStore store(env.ctx().ledger);
    ErrorInfo err;
    // The 31st after a 30-day month and after February: the calendar month before.
    store.CheckPrevBalance(QStringLiteral("2005-05-31"), 1);
    store.CheckPrevBalance(QStringLiteral("2005-03-31"), 1);
    // January: December of the year before.
    store.CheckPrevBalance(QStringLiteral("2005-01-15"), 1);
    QCOMPARE(
        transferRows(env.ctx().ledger),
        (QStringList{QStringLiteral("2004-12 1 40"), QStringLiteral("2005-02 1 49"), QStringLiteral("2005-04 1 60")}));
    QVERIFY(MessageHook::shown().isEmpty());
    // An existing row is left as it is.
    store.CheckPrevBalance(QStringLiteral("2005-05-01"), 2);
    store.CheckPrevBalance(QStringLiteral("2005-03-02"), 1);
    QCOMPARE(env.transferAmount(QStringLiteral("2005-02"), 1), Money::fromWon(49));
}

void TestLedgerStore::checkPrevBalance_sameMonthQueriesOnce()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addEntry(QStringLiteral("2005-03-10"), 1, 100);
    LedgerStore store(db);
    ErrorInfo err;
    store.CheckPrevBalance(QStringLiteral("2005-05-03"), 1);
    QCOMPARE(transferRows(db), QStringList{QStringLiteral("2005-04 1 100")});
    // Removed behind the program's back: the second call of the same month and
    // card does not look again, so the row stays missing. On a server another
    // computer may have removed it, so there it looks every time.
    db.execute(QStringLiteral("DELETE FROM transfer"));
    store.CheckPrevBalance(QStringLiteral("2005-05-28"), 1);
    QCOMPARE(env.count(QStringLiteral("transfer")), db.isServer() ? 1 : 0);
    db.execute(QStringLiteral("DELETE FROM transfer"));
    // Another card, then the first card again: looked up afresh.
    store.CheckPrevBalance(QStringLiteral("2005-05-28"), 2);
    store.CheckPrevBalance(QStringLiteral("2005-05-28"), 1);
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-04 1 100"), QStringLiteral("2005-04 2 0")}));
    db.execute(QStringLiteral("DELETE FROM transfer"));
    store.ResetPrevBalanceMemory();
    store.CheckPrevBalance(QStringLiteral("2005-05-28"), 1);
    QCOMPARE(transferRows(db), QStringList{QStringLiteral("2005-04 1 100")});
}

void TestLedgerStore::checkPrevBalance_currentAndFutureMonth()
{
    TestEnv env; // today 2005-06-15
    Database& db = env.ctx().ledger;
    env.addTransfer(QStringLiteral("2005-04"), 1, 0);
    env.addEntry(QStringLiteral("2005-05-10"), 1, 100);
    env.addEntry(QStringLiteral("2005-06-10"), 1, 30);
    LedgerStore store(db);
    ErrorInfo err;
    store.CheckPrevBalance(QStringLiteral("2005-06-20"), 1);
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-04 1 0"), QStringLiteral("2005-05 1 100")}));
    // A future-dated entry gets the row of the (not yet completed) month before
    // it too, exact now and kept exact by every shift, so that the card is
    // covered once that month is completed.
    store.CheckPrevBalance(QStringLiteral("2005-08-01"), 1);
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-04 1 0"), QStringLiteral("2005-05 1 100"),
                                            QStringLiteral("2005-07 1 130")}));
    // A later change of a June entry moves that July row with it.
    store.CalcPrevBaln(QStringLiteral("2005-06-10"), Money::fromWon(5), 1);
    QCOMPARE(env.transferAmount(QStringLiteral("2005-07"), 1), Money::fromWon(135));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-05"), 1), Money::fromWon(100));
    db.execute(QStringLiteral("UPDATE Tallox SET sale = sale + 50000 WHERE sdate = '2005-06-10'"));
    QVERIFY(MessageHook::shown().isEmpty());
    QVERIFY(store.CheckCarryOver().clean());
}

// A carry-over row the engine refused, or an insert that stored nothing:
// the code and the place say which, the books stay as they were.
void TestLedgerStore::carryOver_failuresAsCodes()
{
    struct Case {
        const char* what;
        const char* trigger;
        bool ignore; // the row is skipped instead of refused
        bool shift;  // CalcPrevBaln rather than CheckPrevBalance
        ErrorCode code;
        ErrorPlace place;
    };
    const Case cases[] = {
        {"insert refused", "BEFORE INSERT ON transfer", false, false, ErrorCode::Engine, ErrorPlace::CarryOverCheck},
        {"insert skipped", "BEFORE INSERT ON transfer", true, false, ErrorCode::CarryOverFailed, ErrorPlace::None},
        {"shift refused", "BEFORE UPDATE ON transfer", false, true, ErrorCode::Engine, ErrorPlace::CarryOverShift},
    };
    for (const Case& c : cases) {
        TestEnv env;
        Database& db = env.ctx().ledger;
        env.addTransfer(QStringLiteral("2005-02"), 1, 10);
        env.addTransfer(QStringLiteral("2005-03"), 1, 20);
        const QString skip = db.isServer() ? QStringLiteral("RETURN NULL") : QStringLiteral("SELECT RAISE(IGNORE)");
        QVERIFY(AddTestTrigger(db, QStringLiteral("t_block"), QString::fromLatin1(c.trigger), QString(),
                               c.ignore ? skip : QString()));
        const QStringList before = transferRows(db);
        LedgerStore store(db);
        ErrorInfo err;
        QVERIFY2(c.shift ? !store.CalcPrevBaln(QStringLiteral("2005-03-10"), Money::fromWon(5), 1, &err)
                         : !store.CheckPrevBalance(QStringLiteral("2005-03-10"), 2, &err),
                 c.what);
        QVERIFY2(err.code == c.code, c.what);
        QVERIFY2(err.place == c.place, c.what);
        QCOMPARE(transferRows(db), before);
    }
}

void TestLedgerStore::calcPrevBaln_shiftsFromMonthOn()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addTransfer(QStringLiteral("2005-02"), 1, 0);
    env.addTransfer(QStringLiteral("2005-03"), 1, 100);
    env.addTransfer(QStringLiteral("2005-04"), 1, 150);
    env.addTransfer(QStringLiteral("2005-04"), 2, 70);
    LedgerStore store(db);
    ErrorInfo err;
    store.CalcPrevBaln(QStringLiteral("2005-03-31"), -Money::fromWon(5000), 1);
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 -4900"),
                                            QStringLiteral("2005-04 1 -4850"), QStringLiteral("2005-04 2 70")}));
    store.CalcPrevBaln(QStringLiteral("2005-04-01"), Money::fromDouble(0.5), 2);
    QCOMPARE(env.transferAmount(QStringLiteral("2005-04"), 2), Money::fromDouble(70.5));
    // The month before was created first (card 2 had no March row).
    QCOMPARE(env.transferAmount(QStringLiteral("2005-03"), 2), Money());
    bool exists = false;
    env.transferAmount(QStringLiteral("2005-03"), 2, &exists);
    QVERIFY(exists);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::calcPrevBaln_currentMonthLeavesCompletedRows()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addTransfer(QStringLiteral("2005-04"), 1, 0);
    env.addTransfer(QStringLiteral("2005-05"), 1, 100);
    LedgerStore store(db);
    ErrorInfo err;
    store.CalcPrevBaln(QStringLiteral("2005-06-15"), Money::fromWon(100), 1);
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-04 1 0"), QStringLiteral("2005-05 1 100")}));
}

namespace {
// Card 1 after the rebuild of the worked example: nets 100 (March), 50 (April), 30 (June).
struct Example {
    int march = 0, april = 0, june = 0;
    explicit Example(TestEnv& env)
    {
        march = env.addEntry(QStringLiteral("2005-03-10"), 1, 120, 5, 15);
        april = env.addEntry(QStringLiteral("2005-04-05"), 1, 50);
        june = env.addEntry(QStringLiteral("2005-06-02"), 1, 30);
        LedgerStore store(env.ctx().ledger);
        ErrorInfo err;
        if (!Say(store.ReBaln(&err), err))
            qFatal("rebuild failed");
    }
};
} // namespace

void TestLedgerStore::edit_dateWithinMonth()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    const QStringList before = transferRows(db);
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("SDATE"), QStringLiteral("2005-03-31"), &err), err));
    QCOMPARE(field(db, ex.march, QStringLiteral("sdate")).toString(), QStringLiteral("2005-03-31"));
    QCOMPARE(transferRows(db), before);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::edit_dateAcrossMonths()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    // March (net 100) to April: -100 from March on, +100 from April on.
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("sdate"), QStringLiteral("2005-04-02"), &err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 0"),
                                            QStringLiteral("2005-04 1 150")}));
    // And back to January: the December row is created, January on gets +100.
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("sdate"), QStringLiteral("2005-01-20"), &err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2004-12 1 0"), QStringLiteral("2005-02 1 100"),
                                            QStringLiteral("2005-03 1 100"), QStringLiteral("2005-04 1 150")}));
    // Into the current month: it leaves every completed month.
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("sdate"), QStringLiteral("2005-06-30"), &err), err));
    QCOMPARE(transferRows(db),
             (QStringList{QStringLiteral("2004-12 1 0"), QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 0"),
                          QStringLiteral("2005-04 1 50"), QStringLiteral("2005-05 1 50")}));
    QVERIFY(store.CheckCarryOver().clean());
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-30"), 1), Money::fromWon(80));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::edit_dateForwardIntoMissingMonth()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addTransfer(QStringLiteral("2005-01"), 2, 0);
    const int key = env.addEntry(QStringLiteral("2005-02-10"), 2, 40);
    LedgerStore store(db);
    ErrorInfo err;
    // The March row did not exist; made before the entry leaves February, it
    // must not count the entry that now lies in April.
    QVERIFY(Say(store.RecordEditCol(key, QStringLiteral("sdate"), QStringLiteral("2005-04-05"), &err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-01 2 0"), QStringLiteral("2005-03 2 0")}));
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-04-01"), 2), Money());
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-05-01"), 2), Money::fromWon(40));
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::edit_cardChange()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("CardCode"), QStringLiteral("3"), &err), err));
    QCOMPARE(field(db, ex.march, QStringLiteral("cardcode")).toInt(), 3);
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 0"),
                                            QStringLiteral("2005-04 1 50"), QStringLiteral("2005-02 3 0")}));
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-01"), 3), Money::fromWon(100));
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-01"), 0), Money::fromWon(150));
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::edit_cardChangeInCurrentMonthCoversNewCard()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    // The June entry moves to card 4, which has no carry-over row yet: it
    // gets its May row, or its entries would never be brought forward.
    QVERIFY(Say(store.RecordEditCol(ex.june, QStringLiteral("cardcode"), 4, &err), err));
    bool exists = false;
    QCOMPARE(env.transferAmount(QStringLiteral("2005-05"), 4, &exists), Money());
    QVERIFY(exists);
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-03"), 4), Money::fromWon(30));
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-03"), 1), Money::fromWon(150));
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::edit_amountsAndSlipCount()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    // Sale of March from 120 to 220: +100 from March on.
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("Sale"), QStringLiteral("220"), &err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 200"),
                                            QStringLiteral("2005-04 1 250")}));
    QCOMPARE(field(db, ex.march, QStringLiteral("sale")).toLongLong(), Money::fromWon(220).units());
    // Fee of April up by 100: -100 from April on.
    QVERIFY(Say(store.RecordEditCol(ex.april, QStringLiteral("FEE"), QStringLiteral("100"), &err), err));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(150));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-03"), 1), Money::fromWon(200));
    // Pay-out of March from 15 to 115.5: -100.5 from March on.
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("billcoll"), QStringLiteral("115.5"), &err), err));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-03"), 1), Money::fromDouble(99.5));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-04"), 1), Money::fromDouble(49.5));
    // The automatic fee arrives as a number.
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("fee"), 23.0, &err), err));
    QCOMPARE(field(db, ex.march, QStringLiteral("fee")).toLongLong(), Money::fromWon(23).units());
    QCOMPARE(env.transferAmount(QStringLiteral("2005-03"), 1), Money::fromDouble(81.5));
    // Slip count: no carry-over change.
    const QStringList before = transferRows(db);
    QVERIFY(Say(store.RecordEditCol(ex.march, QStringLiteral("NumSheet"), QStringLiteral("12"), &err), err));
    QCOMPARE(field(db, ex.march, QStringLiteral("numsheet")).toInt(), 12);
    QCOMPARE(transferRows(db), before);
    // A June sale moves no completed row.
    QVERIFY(Say(store.RecordEditCol(ex.june, QStringLiteral("sale"), QStringLiteral("1000"), &err), err));
    QCOMPARE(transferRows(db), before);
    // The sheet's limits are accepted.
    QVERIFY(Say(store.RecordEditCol(ex.june, QStringLiteral("sale"), QStringLiteral("-10,000,000,000"), &err), err));
    QVERIFY(Say(store.RecordEditCol(ex.june, QStringLiteral("sale"), QStringLiteral("10000000000"), &err), err));
    QVERIFY(MessageHook::shown().isEmpty());
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::edit_refusals()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    const QStringList transfers = transferRows(db);
    const QStringList entries = entryRows(db);
    LedgerStore store(db);
    ErrorInfo err;

    QVERIFY(!Say(store.RecordEditCol(0, QStringLiteral("sale"), QStringLiteral("1"), &err), err));
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "코드 정의 오류입니다.");
    QCOMPARE(err.code, ErrorCode::NoRecord);
    QVERIFY(!Say(store.RecordEditCol(999, QStringLiteral("sale"), QStringLiteral("1"), &err), err));
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "코드[999]에 해당하는 자료를 찾을 수 없습니다.");
    QCOMPARE(err.code, ErrorCode::NoRecord);

    using C = ErrorCode;
    struct Case {
        const char* field;
        QVariant value;
        ErrorCode code;
    };
    const QList<Case> cases = {
        {"sale", QString(), C::TypeMismatch},
        {"fee", QStringLiteral("   "), C::TypeMismatch},
        {"billcoll", QStringLiteral("12a"), C::TypeMismatch},
        {"sale", QStringLiteral("1 OR 1=1"), C::TypeMismatch},
        {"sale", QVariant(), C::TypeMismatch},
        {"sale", QStringLiteral("10000000000.0001"), C::Overflow},
        {"fee", QStringLiteral("-10000000001"), C::Overflow},
        {"billcoll", 1e12, C::Overflow},
        {"sdate", QStringLiteral("2005-02-30"), C::TypeMismatch},
        {"sdate", QStringLiteral("2005-3-7"), C::TypeMismatch},
        {"sdate", QString(), C::TypeMismatch},
        {"cardcode", QStringLiteral("abc"), C::TypeMismatch},
        {"cardcode", QStringLiteral("0"), C::TypeMismatch},
        {"numsheet", QString(), C::TypeMismatch},
        {"numsheet", QStringLiteral("99999999999"), C::Overflow},
        {"code", QStringLiteral("5"), C::NoSuchField},
        {"sale = 0, fee", QStringLiteral("5"), C::NoSuchField},
    };
    for (const Case& c : cases) {
        err = ErrorInfo();
        QVERIFY2(!store.RecordEditCol(ex.march, QString::fromLatin1(c.field), c.value, &err), c.field);
        QVERIFY2(err.code == c.code, c.field);
        QCOMPARE(err.kind, ErrorInfo::Kind::Engine);
        QCOMPARE(err.what, kEditFailed);
    }
    // The box still reads as it always has.
    MessageHook::reset();
    ShowError(err);
    TALLOX_COMPARE_LAST_BOX("error", "오류",
                            errorBox(kEditFailed, 3265, QStringLiteral("Item not found in this collection.")));
    QCOMPARE(transferRows(db), transfers);
    QCOMPARE(entryRows(db), entries);
}

void TestLedgerStore::edit_failureHalfWayLeavesAllUnchanged()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addTransfer(QStringLiteral("2005-02"), 1, 0);
    env.addTransfer(QStringLiteral("2005-03"), 1, 100);
    env.addEntry(QStringLiteral("2005-03-10"), 1, 100);
    const int key = env.addEntry(QStringLiteral("2005-05-10"), 1, 10); // no April row yet
    QVERIFY(AddTestTrigger(db, QStringLiteral("t_block"), QStringLiteral("BEFORE UPDATE ON Tallox")));
    const QStringList transfers = transferRows(db);
    const QStringList entries = entryRows(db);
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(!Say(store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("50"), &err), err));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown().last().text.startsWith(kEditFailed + QStringLiteral("\r\n")));
    QVERIFY(MessageHook::shown().last().text.contains(QStringLiteral("blocked")));
    QCOMPARE(transferRows(db), transfers);
    QCOMPARE(entryRows(db), entries);
    // Month moves roll back as a whole too.
    QVERIFY(!Say(store.RecordEditCol(key, QStringLiteral("sdate"), QStringLiteral("2005-01-03"), &err), err));
    QVERIFY(!Say(store.RecordEditCol(key, QStringLiteral("cardcode"), 7, &err), err));
    QCOMPARE(transferRows(db), transfers);
    QCOMPARE(entryRows(db), entries);
    // Nothing was remembered as handled: once the write works, April is created.
    QVERIFY(DropTestTrigger(db, QStringLiteral("t_block")));
    MessageHook::reset();
    QVERIFY(Say(store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("50"), &err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 100"),
                                            QStringLiteral("2005-04 1 100")}));
    QVERIFY(store.CheckCarryOver().clean());
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::delete_shiftsAndRemoves()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(Say(store.DeleteRecord(ex.march, &err), err));
    QVERIFY(!field(db, ex.march, QStringLiteral("code")).isValid());
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 0"),
                                            QStringLiteral("2005-04 1 50")}));
    QVERIFY(Say(store.DeleteRecord(ex.june, &err), err));
    QCOMPARE(env.count(QStringLiteral("Tallox")), 1);
    QVERIFY(store.CheckCarryOver().clean());
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::delete_refusalsAndFailure()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(!Say(store.DeleteRecord(0, &err), err));
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "코드 정의 오류입니다.");
    QVERIFY(!Say(store.DeleteRecord(4711, &err), err));
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "코드[4711]에 해당하는 자료를 찾을 수 없습니다.");
    QVERIFY(AddTestTrigger(db, QStringLiteral("t_block"), QStringLiteral("BEFORE DELETE ON Tallox")));
    const QStringList transfers = transferRows(db);
    const QStringList entries = entryRows(db);
    MessageHook::reset();
    QVERIFY(!Say(store.DeleteRecord(ex.april, &err), err));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown().last().text.startsWith(QStringLiteral("자료를 삭제하는 중 오류가 발생했습니다.\r\n")));
    QCOMPARE(transferRows(db), transfers);
    QCOMPARE(entryRows(db), entries);
}

void TestLedgerStore::rebuild_workedExample()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addEntry(QStringLiteral("2005-03-02"), 1, 60);
    env.addEntry(QStringLiteral("2005-03-30"), 1, 50, 4, 6);
    env.addEntry(QStringLiteral("2005-04-11"), 1, 50);
    env.addEntry(QStringLiteral("2005-06-01"), 1, 30);
    env.addTransfer(QStringLiteral("2001-01"), 1, 12345); // thrown away
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(Say(store.ReBaln(&err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-02 1 0"), QStringLiteral("2005-03 1 100"),
                                            QStringLiteral("2005-04 1 150")}));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerStore::rebuild_emptyLedgerAndCurrentMonthOnly()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addTransfer(QStringLiteral("2005-01"), 1, 5);
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(Say(store.ReBaln(&err), err));
    QCOMPARE(env.count(QStringLiteral("transfer")), 0);
    env.addEntry(QStringLiteral("2005-06-03"), 2, 70);
    env.addEntry(QStringLiteral("2005-07-03"), 3, 70); // first month in the future
    QVERIFY(Say(store.ReBaln(&err), err));
    QCOMPARE(transferRows(db), (QStringList{QStringLiteral("2005-05 2 0"), QStringLiteral("2005-06 3 0")}));
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::rebuild_failureKeepsTable()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addEntry(QStringLiteral("2005-03-02"), 1, 60);
    env.addEntry(QStringLiteral("2005-04-02"), 1, 60);
    env.addTransfer(QStringLiteral("2005-03"), 1, 1);
    env.addTransfer(QStringLiteral("2005-04"), 1, 2);
    QVERIFY(AddTestTrigger(db, QStringLiteral("t_block"), QStringLiteral("BEFORE INSERT ON transfer"),
                           QStringLiteral("NEW.sMonth = '2005-04'")));
    const QStringList before = transferRows(db);
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(!Say(store.ReBaln(&err), err));
    QCOMPARE(err.code, ErrorCode::Engine);
    QCOMPARE(err.place, ErrorPlace::Rebuild);
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("plain"));
    QCOMPARE(MessageHook::shown().last().title, QStringLiteral("Tallox"));
    QVERIFY(MessageHook::shown().last().text.startsWith(QStringLiteral("Error ")));
    QVERIFY(MessageHook::shown().last().text.contains(QStringLiteral("blocked")));
    QVERIFY(MessageHook::shown().last().text.endsWith(
        QStringLiteral(" in procedure mnuTool_ReBaln_Click of Form frmMain")));
    QCOMPARE(transferRows(db), before);
    QCOMPARE(db.transactionDepth(), 0);
}

// A rebuild stopped from its progress window keeps the table as a failed one does;
// one that is watched but not stopped hears of all its work.
void TestLedgerStore::rebuild_stoppedKeepsTable()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    for (int month = 0; month < 300; ++month) // more month groups than one progress step
        env.addEntry(QDate(1980, 1, 2).addMonths(month).toString(Qt::ISODate), 1 + month % 2, 10);
    env.addTransfer(QStringLiteral("1980-01"), 1, 7);
    const QStringList before = transferRows(db);
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(!store.ReBaln(&err, [](qint64, qint64) { return false; }));
    QCOMPARE(err.kind, ErrorInfo::Kind::Notice);
    QVERIFY(err.what.contains(QStringLiteral("취소")));
    QCOMPARE(transferRows(db), before);
    qint64 lastDone = 0, lastTotal = 0;
    QVERIFY(Say(store.ReBaln(&err,
                             [&](qint64 done, qint64 total) {
                                 lastDone = done;
                                 lastTotal = total;
                                 return true;
                             }),
                err));
    QVERIFY(lastDone > 0 && lastDone <= lastTotal && lastTotal >= 300);
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::rebuild_resetsMemory()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    int key = 0;
    QVERIFY(Say(store.InsertRecord(QStringLiteral("2005-05-03"), 1, &key, &err), err));
    QVERIFY(Say(store.DeleteRecord(key, &err), err));
    QVERIFY(Say(store.ReBaln(&err), err)); // no entries left: empty table
    QCOMPARE(env.count(QStringLiteral("transfer")), 0);
    QVERIFY(Say(store.InsertRecord(QStringLiteral("2005-05-10"), 1, &key, &err), err));
    QCOMPARE(transferRows(db), QStringList{QStringLiteral("2005-04 1 0")});
}

void TestLedgerStore::check_findsChangedRowAndCleanAfterRebuild()
{
    TestEnv env;
    Example ex(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    ErrorInfo err;
    QVERIFY(store.CheckCarryOver().clean());
    db.execute(QStringLiteral("UPDATE transfer SET amount = amount + 70000 WHERE sMonth = '2005-03'"));
    env.addEntry(QStringLiteral("2005-02-01"), 8, 5); // a card with no row at all
    env.addEntry(QStringLiteral("2005-01-01"), 1, 9); // before card 1's first row
    CarryOverCheck check = store.CheckCarryOver();
    QVERIFY(check.ok);
    QVERIFY(!check.clean());
    QCOMPARE(check.rows.size(), 3); // February (the new entry), March, April
    QCOMPARE(check.rows[1].month, QStringLiteral("2005-03"));
    QCOMPARE(check.rows[1].card, 1);
    QCOMPARE(check.rows[1].stored, Money::fromWon(107));
    QCOMPARE(check.rows[1].expected, Money::fromWon(109));
    QCOMPARE(check.uncovered.size(), 2);
    QCOMPARE(check.uncovered[0].card, 1);
    QCOMPARE(check.uncovered[0].firstMonth, QStringLiteral("2005-01"));
    QCOMPARE(check.uncovered[1].card, 8);
    QCOMPARE(check.uncovered[1].firstMonth, QStringLiteral("2005-02"));
    QVERIFY(Say(store.ReBaln(&err), err));
    QVERIFY(store.CheckCarryOver().clean());
    QVERIFY(MessageHook::shown().isEmpty());
}

namespace {
// Cards 1 가카드 and 2 나카드; May 100 won on card 1 is brought forward into June.
void ModelBooks(TestEnv& env)
{
    env.addCard(1, QStringLiteral("가카드"));
    env.addCard(2, QStringLiteral("나카드"));
    env.addEntry(QStringLiteral("2005-05-20"), 1, 100);
    env.addEntry(QStringLiteral("2005-06-02"), 1, 30);
    env.addEntry(QStringLiteral("2005-06-05"), 2, 9);
    env.addEntry(QStringLiteral("2005-06-10"), 1, 10, 1);
    env.addEntry(QStringLiteral("2005-07-01"), 1, 5);
    ErrorInfo e;
    if (!LedgerStore(env.ctx().ledger).ReBaln(&e))
        qFatal("rebuild failed");
}

QString ModelText(const LedgerModel& m, int row, int col, int role = Qt::EditRole)
{
    return m.data(m.index(row, col), role).toString();
}

// The sheet as the user reads it: "bf AMOUNT", "DATE CARD SALE BALANCE" per entry, "entry DATE", "sums SALE FEE".
QStringList ModelLines(const LedgerModel& m)
{
    QStringList lines{QStringLiteral("bf ") + ModelText(m, 0, LedgerModel::Balance)};
    for (int r = 1; r < m.entryRow(); ++r)
        lines << QStringList{ModelText(m, r, LedgerModel::Date), ModelText(m, r, LedgerModel::CardName),
                             ModelText(m, r, LedgerModel::Sale), ModelText(m, r, LedgerModel::Balance)}
                     .join(QLatin1Char(' '));
    lines << QStringLiteral("entry ") + ModelText(m, m.entryRow(), LedgerModel::Date);
    const std::optional<LedgerTotals> t = m.totals();
    lines << (t ? QStringLiteral("sums %1 %2").arg(t->sale.toPlainString(), t->fee.toPlainString())
                : QStringLiteral("sums none"));
    return lines;
}
} // namespace

void TestLedgerStore::rows_loadPeriodAndCard_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<bool>("deleteCard2");
    QTest::addColumn<QStringList>("lines");
    const QString sums = QStringLiteral("sums 49 1");
    QTest::newRow("all cards") << 0 << false << QStringList{"bf 100",
                                                            "2005-06-02 가카드 30 130",
                                                            "2005-06-05 나카드 9 139",
                                                            "2005-06-10 가카드 10 148",
                                                            "entry 2005-06-15",
                                                            sums};
    QTest::newRow("one card") << 1 << false
                              << QStringList{"bf 100", "2005-06-02 가카드 30 130", "2005-06-10 가카드 10 139",
                                             "entry 2005-06-15", "sums 40 1"};
    QTest::newRow("deleted card company") << 0 << true
                                          << QStringList{"bf 100",
                                                         "2005-06-02 가카드 30 130",
                                                         "2005-06-05 " + MissingCardName(2) + " 9 139",
                                                         "2005-06-10 가카드 10 148",
                                                         "entry 2005-06-15",
                                                         sums};
}

void TestLedgerStore::rows_loadPeriodAndCard()
{
    QFETCH(int, card);
    QFETCH(bool, deleteCard2);
    QFETCH(QStringList, lines);
    TestEnv env;
    ModelBooks(env);
    if (deleteCard2)
        QCOMPARE(env.ctx().card.execute(QStringLiteral("DELETE FROM Plastra WHERE code = 2")), 1);
    LedgerRows rows;
    ErrorInfo e;
    QVERIFY(Say(LoadLedgerRows(env.ctx().ledger, "2005-06-01", "2005-06-30", card, &rows, &e), e));
    QCOMPARE(rows.broughtForward, Money::fromWon(100));
    QCOMPARE(rows.entries.size(), lines.size() - 3);
    LedgerStore store(env.ctx().ledger);
    LedgerModel model(store, env.ctx().ledger);
    QAbstractItemModelTester tester(&model);
    QVERIFY(Say(model.load("2005-06-01", "2005-06-30", card, &e), e));
    QCOMPARE(ModelLines(model), lines);
    // Key and card code are roles of the row, not cells.
    QCOMPARE(model.data(model.index(1, LedgerModel::Sale), LedgerModel::KeyRole).toInt(), rows.entries[0].key);
    QCOMPARE(model.data(model.index(1, LedgerModel::Date), LedgerModel::CardCodeRole).toInt(), 1);
    QCOMPARE(model.rowOfKey(rows.entries.constLast().key), model.entryRow() - 1);
    QCOMPARE(model.columnCount(), 7);
}

// Balances kept per block agree with a plain run over every entry after each kind of change.
void TestLedgerStore::rows_balancesByBlocks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("change"); // "sale", "swing" (out of range and back), "insert", "remove", "start"
    QTest::addColumn<int>("at");
    QTest::newRow("one block") << 10 << "sale" << 3;
    QTest::newRow("middle block") << 3000 << "sale" << 1500;
    QTest::newRow("last of a block") << 3000 << "sale" << 2047;
    QTest::newRow("out of range, then none") << 3000 << "swing" << 100;
    QTest::newRow("insert at the top") << 3000 << "insert" << 0;
    QTest::newRow("remove in the last block") << 3000 << "remove" << 2999;
    QTest::newRow("remove in the first block") << 3000 << "remove" << 5;
    QTest::newRow("new opening balance") << 3000 << "start" << 0;
}

void TestLedgerStore::rows_balancesByBlocks()
{
    QFETCH(int, count);
    QFETCH(QString, change);
    QFETCH(int, at);
    QList<LedgerEntryRow> entries;
    for (int i = 0; i < count; ++i) {
        LedgerEntryRow e;
        e.key = i + 1;
        e.sale = Money::fromWon(i * 37 % 1000);
        e.fee = Money::fromWon(i % 7);
        e.billcoll = Money::fromWon(i % 13 == 0 ? 4000 : 0);
        entries << e;
    }
    Money start = Money::fromWon(100);
    LedgerBalances run;
    run.reset(start, &entries);
    (void)run.at(count - 1); // every block known before the change
    const Money huge = Money::fromUnits(std::numeric_limits<qint64>::max() - 10);
    if (change == "sale" || change == "swing") {
        entries[at].sale = change == "sale" ? Money::fromWon(123456) : huge;
        entries[at].billcoll = change == "sale" ? entries[at].billcoll : huge;
        run.changed(at, at);
    } else if (change == "insert") {
        entries.insert(at, entries[5]);
        run.changed(at);
    } else if (change == "remove") {
        entries.removeAt(at);
        run.changed(at);
    } else {
        start = Money::fromWon(-5000);
        run.setStart(start);
    }
    const QList<std::optional<Money>> expected = RunningBalances(start, entries);
    for (int i = int(entries.size()) - 1; i >= 0; i -= 97) // blocks out of order too
        QCOMPARE(run.at(i), expected[i]);
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(run.at(i), expected[i]);
    QCOMPARE(run.all(), std::vector<std::optional<Money>>(expected.cbegin(), expected.cend()));
    QCOMPARE(expected.constLast().has_value(), change != "swing");
}

// Each store through the model leaves it as a fresh load of the books would show them.
void TestLedgerStore::model_rightAfterEveryStore_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("lines");
    const int date = LedgerModel::Date, name = LedgerModel::CardName, sale = LedgerModel::Sale;
    const QString a2 = "2005-06-02 가카드 30 130", b5 = "2005-06-05 나카드 9 139", a10 = "2005-06-10 가카드 10 148";
    const QString entry = "entry 2005-06-15";
    QTest::newRow("sale") << 0 << 1 << sale << QVariant("50") << QStringList{"bf 100",
                                                                             "2005-06-02 가카드 50 150",
                                                                             "2005-06-05 나카드 9 159",
                                                                             "2005-06-10 가카드 10 168",
                                                                             entry,
                                                                             "sums 69 1"};
    QTest::newRow("sale emptied") << 0 << 1 << sale << QVariant("") << QStringList{"bf 100",
                                                                                   "2005-06-02 가카드  100",
                                                                                   "2005-06-05 나카드 9 109",
                                                                                   "2005-06-10 가카드 10 118",
                                                                                   entry,
                                                                                   "sums 19 1"};
    QTest::newRow("date within period")
        << 0 << 1 << date << QVariant("7")
        << QStringList{"bf 100", "2005-06-05 나카드 9 109", "2005-06-07 가카드 30 139", a10, entry, "sums 49 1"};
    QTest::newRow("date after period") << 0 << 1 << date << QVariant("2005-07-03")
                                       << QStringList{"bf 100", "2005-06-05 나카드 9 109", "2005-06-10 가카드 10 118",
                                                      entry, "sums 19 1"};
    QTest::newRow("date before period") << 0 << 2 << date << QVariant("2005-05-31")
                                        << QStringList{"bf 109", "2005-06-02 가카드 30 139", a10, entry, "sums 40 1"};
    QTest::newRow("card off the filter") << 1 << 1 << name << QVariant(2)
                                         << QStringList{"bf 100", "2005-06-10 가카드 10 109", entry, "sums 10 1"};
    QTest::newRow("card, all cards") << 0 << 1 << name << QVariant(2)
                                     << QStringList{"bf 100", "2005-06-02 나카드 30 130", b5, a10, entry, "sums 49 1"};
    QTest::newRow("new entry") << 0 << 4 << name << QVariant(2)
                               << QStringList{"bf 100", a2, b5, a10, "2005-06-15 나카드  148", entry, "sums 49 1"};
}

void TestLedgerStore::model_rightAfterEveryStore()
{
    QFETCH(int, card);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QVariant, value);
    QFETCH(QStringList, lines);
    TestEnv env;
    ModelBooks(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    LedgerModel model(store, db);
    QAbstractItemModelTester tester(&model);
    ErrorInfo e;
    QVERIFY(Say(model.load("2005-06-01", "2005-06-30", card, &e), e));
    const int role = col == LedgerModel::CardName ? int(LedgerModel::CardCodeRole) : int(Qt::EditRole);
    QVERIFY(Say(model.setData(model.index(row, col), value, role), model.lastError()));
    QCOMPARE(ModelLines(model), lines);
    LedgerModel fresh(store, db);
    QVERIFY(fresh.load("2005-06-01", "2005-06-30", card));
    QCOMPARE(ModelLines(fresh), lines);
    QVERIFY(store.CheckCarryOver().clean());
}

void TestLedgerStore::model_sortsByTypedValues_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("dates"); // "DAY:BALANCE" top to bottom: each keeps its date-order balance
    QTest::newRow("sale, numbers as numbers")
        << int(LedgerModel::Sale) << int(Qt::AscendingOrder) << QStringList{"04:19", "02:9", "03:19", "05:-81"};
    QTest::newRow("sale, descending") << int(LedgerModel::Sale) << int(Qt::DescendingOrder)
                                      << QStringList{"05:-81", "03:19", "02:9", "04:19"};
    QTest::newRow("pay-out") << int(LedgerModel::BillColl) << int(Qt::DescendingOrder)
                             << QStringList{"05:-81", "02:9", "03:19", "04:19"};
    QTest::newRow("balance") << int(LedgerModel::Balance) << int(Qt::AscendingOrder)
                             << QStringList{"05:-81", "02:9", "03:19", "04:19"};
    QTest::newRow("date, descending") << int(LedgerModel::Date) << int(Qt::DescendingOrder)
                                      << QStringList{"05:-81", "04:19", "03:19", "02:9"};
    QTest::newRow("date again") << int(LedgerModel::Date) << int(Qt::AscendingOrder)
                                << QStringList{"02:9", "03:19", "04:19", "05:-81"};
}

void TestLedgerStore::model_sortsByTypedValues()
{
    QFETCH(int, col);
    QFETCH(int, order);
    QFETCH(QStringList, dates);
    TestEnv env;
    env.addCard(1, QStringLiteral("가카드"));
    const int first = env.addEntry(QStringLiteral("2005-06-02"), 1, 9);
    env.addEntry(QStringLiteral("2005-06-03"), 1, 10);
    env.addEntry(QStringLiteral("2005-06-04"), 1, 0);
    const int last = env.addEntry(QStringLiteral("2005-06-05"), 1, 100, 0, 200);
    LedgerStore store(env.ctx().ledger);
    LedgerModel model(store, env.ctx().ledger);
    QAbstractItemModelTester tester(&model);
    QVERIFY(model.load("2005-06-01", "2005-06-30", 0));
    model.sort(LedgerModel::Balance, Qt::DescendingOrder); // whatever came before
    model.sort(col, Qt::SortOrder(order));
    QStringList shown;
    for (int r = 1; r < model.entryRow(); ++r)
        shown << ModelText(model, r, LedgerModel::Date).right(2) + ':' + ModelText(model, r, LedgerModel::Balance);
    QCOMPARE(shown, dates);
    QCOMPARE(ModelText(model, 0, LedgerModel::Date), BroughtForwardLabel());
    QCOMPARE(ModelText(model, model.entryRow(), LedgerModel::Date), QStringLiteral("2005-06-15"));
    // A store on a sorted sheet keeps every balance in date order.
    QVERIFY(Say(model.setData(model.index(model.rowOfKey(first), LedgerModel::Sale), QStringLiteral("20")),
                model.lastError()));
    QCOMPARE(model.balance(model.rowOfKey(last)), Money::fromWon(-70));
    QCOMPARE(model.balance(model.rowOfKey(first)), Money::fromWon(20));
}

// The entry row's date is the one it shows; a reload puts back the period's default.
void TestLedgerStore::model_entryRowDate()
{
    TestEnv env;
    ModelBooks(env);
    Database& db = env.ctx().ledger;
    LedgerStore store(db);
    LedgerModel model(store, db);
    QAbstractItemModelTester tester(&model);
    QVERIFY(model.load("2005-06-01", "2005-06-30", 0));
    const int entry = model.entryRow();
    QCOMPARE(ModelText(model, entry, LedgerModel::Date), QStringLiteral("2005-06-15"));
    QVERIFY(!model.setData(model.index(entry, LedgerModel::Date), QStringLiteral("2005-02-30")));
    QVERIFY(model.lastError().isSet());
    QVERIFY(model.setData(model.index(entry, LedgerModel::Date), QStringLiteral("3")));
    QCOMPARE(ModelText(model, entry, LedgerModel::Date), QStringLiteral("2005-06-03"));
    QVERIFY(model.setData(model.index(entry, LedgerModel::CardName), 2, LedgerModel::CardCodeRole));
    const int key = model.data(model.index(2, 0), LedgerModel::KeyRole).toInt();
    QCOMPARE(field(db, key, QStringLiteral("sdate")).toString(), QStringLiteral("2005-06-03"));
    QCOMPARE(ModelText(model, 2, LedgerModel::CardName), QStringLiteral("나카드"));
    QCOMPARE(ModelText(model, model.entryRow(), LedgerModel::Date), QStringLiteral("2005-06-03"));
    QVERIFY(model.reload());
    QCOMPARE(ModelText(model, model.entryRow(), LedgerModel::Date), QStringLiteral("2005-06-15"));
    QVERIFY(model.load("2005-05-01", "2005-05-31", 0));
    QCOMPARE(ModelText(model, model.entryRow(), LedgerModel::Date), QStringLiteral("2005-05-31"));
    QVERIFY(model.load("2005-07-01", "2005-07-31", 0));
    QCOMPARE(ModelText(model, model.entryRow(), LedgerModel::Date), QStringLiteral("2005-07-01"));
}

QTEST_MAIN(TestLedgerStore)
#include "tst_ledgerstore.moc"

#include "TestSupport.h"

#include "data/base/Clock.h"
#include "data/books/SharedQueries.h"
#include "data/ledger/LedgerStore.h"

#include <QRandomGenerator>
#include <QSqlQuery>

// Random sequences of stores, edits, moves and deletes over several cards and
// months; afterwards the carry-over table must agree with the ledger and every
// brought-forward balance must be the plain sum of the entries before it.
class TestCarryOverInvariant : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { MessageHook::reset(); }
    void randomSequence_data();
    void randomSequence();
    void monthEndsWhileTyping();
    void storedRowsCreatedAfterLaterRows();

private:
    static void fast(Database& db)
    {
        // Durability is not under test here; skipping the disk syncs keeps the run short.
        db.execute(QStringLiteral("PRAGMA synchronous = OFF"));
    }
    void runOps(LedgerStore& store, Database& db, QRandomGenerator& rng, int count);
    void verify(Database& db, LedgerStore& store, QHash<QString, qint64>* balances = nullptr);
};

namespace {
const int kCards = 4;

Money plainSumBefore(Database& db, int card, const QString& day)
{
    return Money::fromUnits(db.scalar(QStringLiteral("SELECT COALESCE(SUM(sale - billcoll - fee), 0) FROM Tallox"
                                                     " WHERE cardcode = ? AND sdate < ?"),
                                      {card, day})
                                .toLongLong());
}

QList<int> keys(Database& db)
{
    QList<int> out;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT code FROM Tallox ORDER BY code"));
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

QString randomDate(QRandomGenerator& rng)
{
    // October 2004 to September 2005 around a today in June 2005; month ends often.
    QDate first(2004, 10, 1);
    first = first.addMonths(rng.bounded(12));
    const int pick = rng.bounded(4);
    const int day = pick == 0 ? first.daysInMonth() : pick == 1 ? 1 : 1 + rng.bounded(first.daysInMonth());
    return DateText::day(QDate(first.year(), first.month(), day));
}

QString randomAmount(QRandomGenerator& rng)
{
    const qint64 won = rng.bounded(-3000, 20000);
    if (rng.bounded(5) == 0)
        return QString::number(won) + QStringLiteral(".") +
               QString::number(rng.bounded(1, 10000)).rightJustified(4, '0');
    return QString::number(won);
}

QStringList periodStarts()
{
    QStringList days;
    for (QDate m(2004, 8, 1); m <= QDate(2005, 12, 1); m = m.addMonths(1)) {
        days << DateText::day(m) << DateText::day(m.addDays(9))
             << DateText::day(QDate(m.year(), m.month(), m.daysInMonth()));
    }
    return days;
}
} // namespace

void TestCarryOverInvariant::runOps(LedgerStore& store, Database& db, QRandomGenerator& rng, int count)
{
    for (int i = 0; i < count; ++i) {
        const QList<int> existing = keys(db);
        const int op = existing.isEmpty() ? 0 : rng.bounded(100);
        const int key = existing.isEmpty() ? 0 : existing.at(rng.bounded(int(existing.size())));
        bool ok = true;
        if (op < 30) {
            int newKey = 0;
            ok = store.InsertRecord(randomDate(rng), 1 + rng.bounded(kCards), &newKey);
            if (ok && rng.bounded(10) < 8)
                ok = store.RecordEditCol(newKey, QStringLiteral("sale"), randomAmount(rng));
            if (ok && rng.bounded(10) < 5)
                ok = store.RecordEditCol(newKey, QStringLiteral("fee"),
                                         LedgerStore::AutoFee(2.5, Money::fromWon(rng.bounded(20000))).toDouble());
        } else if (op < 48) {
            static const QStringList amounts = {QStringLiteral("sale"), QStringLiteral("FEE"),
                                                QStringLiteral("BillColl")};
            ok = store.RecordEditCol(key, amounts.at(rng.bounded(3)), randomAmount(rng));
        } else if (op < 63) {
            ok = store.RecordEditCol(key, QStringLiteral("sDate"), randomDate(rng));
        } else if (op < 75) {
            ok = store.RecordEditCol(key, QStringLiteral("CARDCODE"), 1 + rng.bounded(kCards));
        } else if (op < 80) {
            ok = store.RecordEditCol(key, QStringLiteral("numsheet"), QString::number(rng.bounded(50)));
        } else if (op < 90) {
            ok = store.DeleteRecord(key);
        } else if (op < 95) {
            // A refused edit in between changes nothing.
            QVERIFY(!store.RecordEditCol(key, QStringLiteral("sale"), QString()));
            MessageHook::reset();
        } else {
            // Date and card together, as a quick re-entry.
            ok = store.RecordEditCol(key, QStringLiteral("sdate"), randomDate(rng)) &&
                 store.RecordEditCol(key, QStringLiteral("cardcode"), 1 + rng.bounded(kCards));
        }
        QVERIFY2(ok, qPrintable(QStringLiteral("operation %1 (kind %2) failed").arg(i).arg(op)));
    }
}

void TestCarryOverInvariant::verify(Database& db, LedgerStore& store, QHash<QString, qint64>* balances)
{
    QVERIFY2(MessageHook::shown().isEmpty(),
             qPrintable(MessageHook::shown().isEmpty() ? QString() : MessageHook::shown().first().text));
    const QString current = DateText::currentMonth();

    // Every stored row of a completed month (and, kept the same way, every other row) matches the ledger.
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT sMonth, cardcode, amount FROM transfer"));
    QSet<int> cardsWithRows;
    int completed = 0;
    while (q.next()) {
        const QString month = q.value(0).toString();
        const int card = q.value(1).toInt();
        cardsWithRows.insert(card);
        const Money stored = Money::fromUnits(q.value(2).toLongLong());
        const Money expected = plainSumBefore(db, card, DateText::firstDayAfterMonth(month));
        if (month < current)
            ++completed;
        QVERIFY2(stored == expected, qPrintable(QStringLiteral("row %1 card %2: stored %3, ledger %4")
                                                    .arg(month)
                                                    .arg(card)
                                                    .arg(stored.toPlainString(), expected.toPlainString())));
    }
    q.finish();
    QVERIFY(completed > 0);

    // Every card that has entries has carry-over rows.
    QSqlQuery c = db.newQuery();
    c.exec(QStringLiteral("SELECT DISTINCT cardcode FROM Tallox"));
    while (c.next())
        QVERIFY2(cardsWithRows.contains(c.value(0).toInt()), qPrintable(c.value(0).toString()));
    c.finish();

    // Brought-forward balances: the plain sum of everything before the period.
    for (const QString& day : periodStarts()) {
        Money all;
        for (int card : std::as_const(cardsWithRows)) {
            const Money expected = plainSumBefore(db, card, day);
            const Money got = GetPrevBalance(db, day, card);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("period %1 card %2: %3, ledger %4")
                                                     .arg(day)
                                                     .arg(card)
                                                     .arg(got.toPlainString(), expected.toPlainString())));
            all += expected;
            if (balances)
                balances->insert(day + QLatin1Char('/') + QString::number(card), got.units());
        }
        QCOMPARE(GetPrevBalance(db, day, 0), all);
    }
    QVERIFY(store.CheckCarryOver().clean());
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCarryOverInvariant::randomSequence_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 20050615") << 20050615u;
    QTest::newRow("seed 777") << 777u;
}

void TestCarryOverInvariant::randomSequence()
{
    QFETCH(quint32, seed);
    TestEnv env;
    Database& db = env.ctx().ledger;
    fast(db);
    LedgerStore store(db);
    QRandomGenerator rng(seed);
    runOps(store, db, rng, 250);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(env.count(QStringLiteral("Tallox")) > 20);
    QHash<QString, qint64> before;
    verify(db, store, &before);
    if (QTest::currentTestFailed())
        return;

    // The rebuild gives the same balances, and editing goes on right after it.
    QVERIFY(store.ReBaln());
    QHash<QString, qint64> after;
    verify(db, store, &after);
    QCOMPARE(after, before);
    runOps(store, db, rng, 60);
    verify(db, store);
}

// Today moves on while entries are typed: months complete under the program.
void TestCarryOverInvariant::monthEndsWhileTyping()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    fast(db);
    LedgerStore store(db);
    QRandomGenerator rng(4242);
    runOps(store, db, rng, 120);
    verify(db, store);
    Clock::setToday(QDate(2005, 7, 1));
    runOps(store, db, rng, 100);
    verify(db, store);
    Clock::setToday(QDate(2005, 9, 30));
    runOps(store, db, rng, 100);
    verify(db, store);
    Clock::setToday(QDate(2005, 10, 1)); // every entry's month is completed now
    QHash<QString, qint64> before;
    verify(db, store, &before);
    QVERIFY(store.ReBaln());
    QHash<QString, qint64> after;
    verify(db, store, &after);
    QCOMPARE(after, before);
}

// Rows made for earlier months after later rows exist, and a future entry of
// a card that has no rows yet.
void TestCarryOverInvariant::storedRowsCreatedAfterLaterRows()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    fast(db);
    LedgerStore store(db);
    int key = 0;
    QVERIFY(store.InsertRecord(QStringLiteral("2005-05-10"), 1, &key));
    QVERIFY(store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("500")));
    QVERIFY(store.InsertRecord(QStringLiteral("2005-02-10"), 1, &key)); // January row made after April's
    QVERIFY(store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("70")));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-01"), 1), Money());
    QCOMPARE(env.transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(70));
    QVERIFY(store.InsertRecord(QStringLiteral("2005-04-30"), 1, &key)); // March row between
    QVERIFY(store.RecordEditCol(key, QStringLiteral("billcoll"), QStringLiteral("20")));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-03"), 1), Money::fromWon(70));
    QCOMPARE(env.transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(50));

    // Card 2 only in August (future); September arrives.
    QVERIFY(store.InsertRecord(QStringLiteral("2005-08-03"), 2, &key));
    QVERIFY(store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("300")));
    Clock::setToday(QDate(2005, 9, 5));
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-09-01"), 2), Money::fromWon(300));
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-09-01"), 0), Money::fromWon(850));
    verify(db, store);
}

QTEST_MAIN(TestCarryOverInvariant)
#include "tst_carryover_invariant.moc"

#include "TestSupport.h"

#include "base/Clock.h"
#include "cards/CardStore.h"
#include "core/DbAccess.h"
#include "core/History.h"
#include "ledger/HistorySheet.h"
#include "ledger/LedgerHistory.h"
#include "ledger/LedgerStore.h"
#include "platform/SpreadGrid.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QSqlRecord>
#include <pwd.h>
#include <unistd.h>

// The history rows of the stores, and undo and redo read from them.
class TestLedgerHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { MessageHook::reset(); }
    void undoAllThenRedoAll_data();
    void undoAllThenRedoAll();
    void failedStoreLeavesNoRow_data();
    void failedStoreLeavesNoRow();
    void cardStoresWriteRows();
    void booksWithoutHistory();
};

namespace {
const int kCards = 4;

// A table's rows in a fixed order, every column, as text.
QStringList tableRows(Database& db, const QString& table, const QString& order)
{
    QStringList rows;
    QSqlQuery q = db.newQuery();
    q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, order));
    while (q.next()) {
        QStringList cells;
        for (int c = 0; c < q.record().count(); ++c)
            cells << (q.value(c).isNull() ? QStringLiteral("NULL") : q.value(c).toString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

struct Books {
    QStringList entries;
    QStringList carryOver;
    bool operator==(const Books&) const = default;
};

Books snapshot(Database& db)
{
    return {tableRows(db, QStringLiteral("Tallox"), QStringLiteral("code")),
            tableRows(db, QStringLiteral("transfer"), QStringLiteral("cardcode, sMonth"))};
}

QString randomDate(QRandomGenerator& rng)
{
    // Around a today in June 2005: completed, current and future months.
    const QDate first = QDate(2004, 11, 1).addMonths(rng.bounded(10));
    return DateText::day(first.addDays(rng.bounded(first.daysInMonth())));
}

QString randomAmount(QRandomGenerator& rng)
{
    const qint64 won = rng.bounded(-2000, 50000);
    return rng.bounded(6) == 0 ? QStringLiteral("%1.25").arg(won) : QString::number(won);
}

int randomKey(Database& db, QRandomGenerator& rng)
{
    return db
        .scalar(QStringLiteral("SELECT code FROM Tallox ORDER BY code LIMIT 1 OFFSET ?"),
                {rng.bounded(db.scalar(QStringLiteral("SELECT count(*) FROM Tallox")).toInt())})
        .toInt();
}

// One random store of any kind: insert, edit of each field (the fee joined
// to its sale now and then), delete.
bool randomStore(LedgerStore& store, Database& db, QRandomGenerator& rng)
{
    const int key = randomKey(db, rng);
    const int op = key == 0 ? 0 : rng.bounded(9);
    int newKey = 0;
    switch (op) {
    case 0:
        return store.InsertRecord(randomDate(rng), 1 + rng.bounded(kCards), &newKey);
    case 1:
        return store.RecordEditCol(key, QStringLiteral("sdate"), randomDate(rng));
    case 2:
        return store.RecordEditCol(key, QStringLiteral("cardcode"), 1 + rng.bounded(kCards));
    case 3:
        return store.RecordEditCol(key, QStringLiteral("numsheet"), rng.bounded(40));
    case 4:
        return store.RecordEditCol(key, QStringLiteral("fee"), randomAmount(rng));
    case 5:
        return store.RecordEditCol(key, QStringLiteral("billcoll"), randomAmount(rng));
    case 6:
        return store.DeleteRecord(key);
    default:
        if (!store.RecordEditCol(key, QStringLiteral("sale"), randomAmount(rng)))
            return false;
        store.JoinNextToLastChange();
        return store.RecordEditCol(key, QStringLiteral("fee"), rng.bounded(500));
    }
}
} // namespace

void TestLedgerHistory::undoAllThenRedoAll_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("stores");
    QTest::newRow("seed 1") << 1u << 300;
    QTest::newRow("seed 77") << 77u << 300;
    QTest::newRow("seed 2026") << 2026u << 200;
}

void TestLedgerHistory::undoAllThenRedoAll()
{
    QFETCH(quint32, seed);
    QFETCH(int, stores);
    TestEnv env;
    Database& db = env.ctx().ledger;
    db.execute(QStringLiteral("PRAGMA synchronous = OFF"));
    for (int c = 1; c <= kCards; ++c)
        env.addCard(c, QStringLiteral("카드%1").arg(c));
    QRandomGenerator rng(seed);
    for (int i = 0; i < 15; ++i)
        env.addEntry(randomDate(rng), 1 + rng.bounded(kCards), rng.bounded(9000));
    LedgerStore store(db);
    ErrorInfo re;
    QVERIFY2(store.ReBaln(&re), qPrintable(ErrorLine(re))); // books in order to start from; undo reaches back to here
    LedgerHistory history(store, db);
    const Books start = snapshot(db);

    for (int i = 0; i < stores; ++i) {
        QVERIFY2(randomStore(store, db, rng), qPrintable(QStringLiteral("store %1").arg(i)));
        // Now and then a few undos (and redos) in between, then typing goes on.
        if (rng.bounded(12) == 0) {
            for (int u = rng.bounded(1, 4); u > 0; --u)
                QVERIFY(history.Undo());
            if (rng.bounded(2) == 0)
                QVERIFY(history.Redo());
        }
    }
    const Books end = snapshot(db);
    int undone = 0;
    while (history.NextUndo()) {
        ErrorInfo e;
        QVERIFY2(history.Undo(nullptr, &e), qPrintable(ErrorLine(e)));
        ++undone;
    }
    QVERIFY(undone > stores / 2);
    QCOMPARE(snapshot(db).entries, start.entries);
    QCOMPARE(snapshot(db).carryOver, start.carryOver);
    while (history.NextRedo()) {
        ErrorInfo e;
        QVERIFY2(history.Redo(nullptr, &e), qPrintable(ErrorLine(e)));
    }
    QCOMPARE(snapshot(db).entries, end.entries);
    QCOMPARE(snapshot(db).carryOver, end.carryOver);
    QVERIFY(store.CheckCarryOver().clean());
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerHistory::failedStoreLeavesNoRow_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("refusing"); // the statement a trigger refuses
    for (const char* store : {"insert", "sale", "date", "delete"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, history row").arg(store)))
            << QString::fromLatin1(store) << QStringLiteral("INSERT ON history");
        QTest::newRow(qPrintable(QStringLiteral("%1, carry-over").arg(store)))
            << QString::fromLatin1(store) << QStringLiteral("UPDATE ON transfer");
    }
}

void TestLedgerHistory::failedStoreLeavesNoRow()
{
    QFETCH(QString, store);
    QFETCH(QString, refusing);
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addCard(1, QStringLiteral("신한카드"));
    const int key = env.addEntry(QStringLiteral("2005-03-10"), 1, 500);
    LedgerStore s(db);
    QVERIFY(s.ReBaln());
    QVERIFY(s.CheckPrevBalance(QStringLiteral("2005-05-02"), 1)); // so that the insert needs no new row
    const Books before = snapshot(db);
    const QStringList rowsBefore = tableRows(db, QStringLiteral("history"), QStringLiteral("id"));
    QVERIFY(db.execute(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                           .arg(refusing)) >= 0);
    ErrorInfo e;
    int newKey = 0;
    const bool ok = store == QLatin1String("insert") ? s.InsertRecord(QStringLiteral("2005-05-03"), 1, &newKey, &e)
                    : store == QLatin1String("sale") ? s.RecordEditCol(key, QStringLiteral("sale"), 900, &e)
                    : store == QLatin1String("date")
                        ? s.RecordEditCol(key, QStringLiteral("sdate"), QStringLiteral("2005-04-01"), &e)
                        : s.DeleteRecord(key, &e);
    // An insert moves no carry-over row: only the history trigger can stop it.
    if (store == QLatin1String("insert") && refusing.startsWith(QLatin1String("UPDATE"))) {
        QVERIFY(ok);
        return;
    }
    QVERIFY(!ok);
    QVERIFY(e.isSet());
    QVERIFY(snapshot(db) == before);
    QCOMPARE(tableRows(db, QStringLiteral("history"), QStringLiteral("id")), rowsBefore);
}

void TestLedgerHistory::cardStoresWriteRows()
{
    TestEnv env;
    Database& card = env.ctx().card;
    int code = 0;
    ErrorInfo e;
    // Rows name the system account, not what USER or the home folder say.
    const QByteArray oldUser = qgetenv("USER");
    qputenv("USER", "not-the-account");
    const auto restoreUser = qScopeGuard([&oldUser] { qputenv("USER", oldUser); });
    QVERIFY(CardStore::Save(card, env.ctx().cardPath, {0, QStringLiteral("BC카드"), 1.5, 25}, &code, &e));
    QCOMPARE(env.ctx().ledger.scalar(QStringLiteral("SELECT username FROM history")).toString(),
             QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
    QVERIFY(CardStore::Save(card, env.ctx().cardPath, {code, QStringLiteral("비씨카드"), 1.5, 25}, &code, &e));
    QCOMPARE(CardStore::Delete(card, code, &e), CardStore::DeleteOutcome::Deleted);
    Database& ledger = env.ctx().ledger;
    QCOMPARE(
        tableRows(ledger, QStringLiteral("(SELECT kind, code, old_value IS NULL, new_value IS NULL FROM history)"),
                  QStringLiteral("rowid")),
        (QStringList{QStringLiteral("card-added|%1|1|0").arg(code), QStringLiteral("card-changed|%1|0|0").arg(code),
                     QStringLiteral("card-deleted|%1|0|1").arg(code)}));
    // The deleted card's whole row is kept.
    QCOMPARE(History::ParseRowJson(
                 ledger.scalar(QStringLiteral("SELECT old_value FROM history ORDER BY id DESC")).toString())
                 .value(QStringLiteral("name"))
                 .toString(),
             QStringLiteral("비씨카드"));
    // A history row that cannot be written stores no card either.
    QVERIFY(card.execute(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON history"
                                        " BEGIN SELECT RAISE(ABORT, 'refused'); END")) >= 0);
    QVERIFY(!CardStore::Save(card, env.ctx().cardPath, {0, QStringLiteral("삼성카드"), 2, 1}, &code, &e));
    QCOMPARE(card.scalar(QStringLiteral("SELECT count(*) FROM Plastra")).toInt(), 0);
}

void TestLedgerHistory::booksWithoutHistory()
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addCard(1, QStringLiteral("신한카드"));
    QVERIFY(db.execute(QStringLiteral("DROP TABLE history")) >= 0);
    // Reading needs no table: an empty sheet, nothing to undo.
    SpreadGrid sheet;
    ErrorInfo e;
    QVERIFY(BuildHistorySheet(&sheet, db, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &e));
    QCOMPARE(sheet.maxRows(), 0);
    LedgerStore store(db);
    LedgerHistory history(store, db);
    QVERIFY(!history.NextUndo(&e));
    QVERIFY(!e.isSet());
    // The upgrade of a writing use brings the table, and stores write to it.
    QVERIFY(UpgradeSchema(db, &e));
    int key = 0;
    QVERIFY(store.InsertRecord(QStringLiteral("2005-06-15"), 1, &key));
    QVERIFY(store.RecordEditCol(key, QStringLiteral("sale"), 120000));
    QCOMPARE(history.NextUndo()->text, QStringLiteral("2005-06-15 신한카드 매출액 0 → 120,000"));
    QVERIFY(BuildHistorySheet(&sheet, db, QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), &e));
    QCOMPARE(sheet.maxRows(), 2);
    QCOMPARE(sheet.displayText(HistoryCol::New, 1), QStringLiteral("120,000"));
    QCOMPARE(sheet.text(HistoryCol::Kind, 2), QStringLiteral("입력"));
}

QTEST_MAIN(TestLedgerHistory)
#include "tst_ledgerhistory.moc"

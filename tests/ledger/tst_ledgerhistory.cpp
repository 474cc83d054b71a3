#include "TestSupport.h"

#include "data/base/Clock.h"
#include "data/books/Backup.h"
#include "data/books/DbAccess.h"
#include "data/books/History.h"
#include "data/cards/CardStore.h"
#include "data/ledger/LedgerHistory.h"
#include "data/ledger/LedgerStore.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/HistorySheet.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QSqlRecord>
#include <pwd.h>
#include <sqlite3.h>
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
    void nextStep_readsAsMuchOnLongHistory();
    void wholesaleChange_endsUndoAndRedo_data();
    void wholesaleChange_endsUndoAndRedo();
    // These two run on the server as well (tst_ledgerhistory_pg).
    void newCardCode_pastEveryUsedCode_data();
    void newCardCode_pastEveryUsedCode();
    void undoRedo_cardNoLongerTheSame_data();
    void undoRedo_cardNoLongerTheSame();
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
    QVERIFY(CardStore::Save(card, {0, QStringLiteral("BC카드"), 1.5, 25}, &code, &e));
    QCOMPARE(env.ctx().ledger.scalar(QStringLiteral("SELECT username FROM history")).toString(),
             QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
    QVERIFY(CardStore::Save(card, {code, QStringLiteral("비씨카드"), 1.5, 25}, &code, &e));
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
    QVERIFY(!CardStore::Save(card, {0, QStringLiteral("삼성카드"), 2, 1}, &code, &e));
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

namespace {
int CountVmSteps(void* counter)
{
    ++*static_cast<qint64*>(counter);
    return 0;
}

// The SQLite instructions that finding the next undo and redo takes on books
// whose history holds `older` rows before the typist's own changes.
qint64 NextStepCost(int older)
{
    TestEnv env;
    Database& db = env.ctx().ledger;
    env.addCard(1, QStringLiteral("신한카드"));
    db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?)"
                              " INSERT INTO history (at, kind, code, field) SELECT '2005-01-01', 'field-changed', i,"
                              " 'sale' FROM n"),
               {older});
    LedgerStore store(db);
    LedgerHistory history(store, db);
    int key = 0;
    store.InsertRecord(QStringLiteral("2005-06-15"), 1, &key);
    store.RecordEditCol(key, QStringLiteral("sale"), 120000);
    store.JoinNextToLastChange();
    store.RecordEditCol(key, QStringLiteral("fee"), 1000);
    history.Undo();
    sqlite3* handle = *static_cast<sqlite3* const*>(db.handle().driver()->handle().data());
    qint64 steps = 0;
    sqlite3_progress_handler(handle, 1, CountVmSteps, &steps);
    const bool found = history.NextUndo() && history.NextRedo();
    sqlite3_progress_handler(handle, 0, nullptr, nullptr);
    return found ? steps : -1;
}
} // namespace

// The undo menu asks after every typed change and at start-up: what it reads
// does not grow with the history.
void TestLedgerHistory::nextStep_readsAsMuchOnLongHistory()
{
    const qint64 shortHistory = NextStepCost(100);
    const qint64 longHistory = NextStepCost(20000);
    QVERIFY(shortHistory > 0);
    QVERIFY2(longHistory < 2 * shortHistory, qPrintable(QStringLiteral("%1 / %2").arg(longHistory).arg(shortHistory)));
}

void TestLedgerHistory::wholesaleChange_endsUndoAndRedo_data()
{
    QTest::addColumn<QString>("change");
    for (const char* change : {"rebuild", "import", "restore"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

// Two typed changes, the second undone; then the books change wholesale (a
// restore: to a backup taken just then). Neither may be taken back or applied
// again across that change, and its row says what it was.
void TestLedgerHistory::wholesaleChange_endsUndoAndRedo()
{
    QFETCH(QString, change);
    TestEnv env;
    env.addCard(1, QStringLiteral("신한카드"));
    auto store = std::make_unique<LedgerStore>(env.ctx().ledger);
    QVERIFY(store->ReBaln());
    int key = 0;
    QVERIFY(store->InsertRecord(QStringLiteral("2005-06-10"), 1, &key));
    QVERIFY(store->RecordEditCol(key, QStringLiteral("sale"), 5000));
    QVERIFY(LedgerHistory(*store, env.ctx().ledger).Undo());
    ErrorInfo e;
    if (change == QLatin1String("rebuild"))
        QVERIFY(store->ReBaln(&e));
    if (change == QLatin1String("import")) {
        LedgerStore::StoredEntry entry;
        entry.date = QStringLiteral("2005-06-11");
        entry.card = 1;
        QVERIFY(store->ImportEntries({entry}, QStringLiteral("sales.csv"), &e));
    }
    if (change == QLatin1String("restore")) {
        BackupInfo made;
        QVERIFY(Backup::Take(env.dbFolder(), Backup::DefaultRoot(), true, &made, &e));
        QVERIFY(store->RecordEditCol(key, QStringLiteral("fee"), 30)); // after the backup: gone with the restore
        store.reset();
        env.ctx().closeAll();
        QVERIFY2(Backup::RestoreWithBackup(env.dbFolder(), made.path, &e), qPrintable(ErrorLine(e)));
        QVERIFY(env.ctx().openFolder(env.dbFolder(), &e));
        store = std::make_unique<LedgerStore>(env.ctx().ledger);
        QCOMPARE(env.ctx().ledger.scalar(QStringLiteral("SELECT new_value FROM history ORDER BY id DESC")).toString(),
                 QStringLiteral("백업 %1 (자료 1건)").arg(made.name));
    }
    QCOMPARE(env.ctx().ledger.scalar(QStringLiteral("SELECT kind FROM history ORDER BY id DESC")).toString(), change);
    LedgerHistory history(*store, env.ctx().ledger);
    QVERIFY(!history.NextUndo(&e) && !e.isSet());
    QVERIFY(!history.NextRedo(&e) && !e.isSet());
}

void TestLedgerHistory::newCardCode_pastEveryUsedCode_data()
{
    QTest::addColumn<int>("cards");          // registered straight: codes 1..N, no history rows
    QTest::addColumn<QList<int>>("entries"); // entries stored straight, by card code
    QTest::addColumn<QList<int>>("carry");   // carry-over rows stored straight, by card code
    QTest::addColumn<int>("typed");          // an entry typed on this card, then deleted: history rows only
    QTest::addColumn<int>("movedFrom");      // an entry of this card moved to card 1: only a field's old value
    QTest::addColumn<int>("deleted");        // a card deleted at the end (negative: straight, no history row)
    QTest::addColumn<int>("next");
    QTest::newRow("new books") << 0 << QList<int>{} << QList<int>{} << 0 << 0 << 0 << 1;
    QTest::newRow("largest in Plastra") << 3 << QList<int>{2} << QList<int>{1} << 0 << 0 << 0 << 4;
    QTest::newRow("entries keep a deleted card's code") << 3 << QList<int>{3, 8} << QList<int>{} << 0 << 0 << 3 << 9;
    QTest::newRow("carry-over row of a deleted card") << 3 << QList<int>{} << QList<int>{3} << 0 << 0 << 3 << 4;
    QTest::newRow("only the card's own history rows") << 3 << QList<int>{} << QList<int>{} << 0 << 0 << 3 << 4;
    QTest::newRow("only a typed and deleted entry") << 2 << QList<int>{} << QList<int>{} << 2 << 0 << -2 << 3;
    QTest::newRow("only the old value of a card change") << 2 << QList<int>{} << QList<int>{} << 0 << 7 << 0 << 8;
    QTest::newRow("history beyond Plastra and ledger") << 4 << QList<int>{2} << QList<int>{1} << 3 << 6 << 4 << 7;
}

// A new card company never gets a code that an entry, a carry-over row or a
// history row ever used: old entries and undo steps would become its own.
void TestLedgerHistory::newCardCode_pastEveryUsedCode()
{
    QFETCH(int, cards);
    QFETCH(QList<int>, entries);
    QFETCH(QList<int>, carry);
    QFETCH(int, typed);
    QFETCH(int, movedFrom);
    QFETCH(int, deleted);
    QFETCH(int, next);
    TestEnv env;
    AppContext& ctx = env.ctx();
    ErrorInfo e;
    int code = 0;
    for (int c = 1; c <= cards; ++c)
        env.addCard(c, QStringLiteral("카드%1").arg(c));
    for (const int card : entries)
        env.addEntry(QStringLiteral("2005-05-02"), card, 100);
    for (const int card : carry)
        env.addTransfer(QStringLiteral("2005-04"), card, 100);
    LedgerStore store(ctx.ledger);
    int key = 0;
    if (typed)
        QVERIFY(store.InsertRecord(QStringLiteral("2005-06-10"), typed, &key, &e) && store.DeleteRecord(key, &e));
    if (movedFrom) {
        key = env.addEntry(QStringLiteral("2005-06-11"), movedFrom, 100);
        QVERIFY(store.RecordEditCol(key, QStringLiteral("cardcode"), 1, &e) && store.DeleteRecord(key, &e));
    }
    if (deleted > 0)
        QCOMPARE(CardStore::Delete(ctx.card, deleted, &e), CardStore::DeleteOutcome::Deleted);
    if (deleted < 0)
        QCOMPARE(ctx.card.execute(QStringLiteral("DELETE FROM Plastra WHERE code = ?"), {-deleted}), 1);
    QVERIFY2(CardStore::Save(ctx.card, {0, QStringLiteral("새카드"), 1, 1}, &code, &e), qPrintable(ErrorLine(e)));
    QCOMPARE(code, next);
}

void TestLedgerHistory::undoRedo_cardNoLongerTheSame_data()
{
    // Steps: "type" an entry on card 1, "move" it to card 2, "undo", "delete N"
    // a card, "reuse 1" (code 1 given to another company, as older versions
    // did), "rename 1"; then the last step, whose outcome is checked.
    using R = LedgerHistory::Refusal;
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("refusal");
    QTest::newRow("redo, card deleted") << "type undo delete1 redo" << int(R::CardDeleted);
    QTest::newRow("redo, code given to another card") << "type undo delete1 reuse1 redo" << int(R::CardReplaced);
    QTest::newRow("undo, card deleted") << "type delete1 undo" << int(R::CardDeleted);
    QTest::newRow("undo of a move, old card deleted") << "type move delete1 undo" << int(R::CardDeleted);
    QTest::newRow("redo of a move, new card replaced") << "type move undo delete2 reuse2 redo" << int(R::CardReplaced);
    QTest::newRow("redo, card renamed") << "type undo rename1 redo" << int(R::None);
    QTest::newRow("redo, another card deleted") << "type undo delete2 redo" << int(R::None);
    QTest::newRow("undo, card changed before") << "rename1 type undo" << int(R::None);
}

// Undo and redo never file an entry under a card company other than the one
// it was typed for: refused with the reason, the books left as they are.
void TestLedgerHistory::undoRedo_cardNoLongerTheSame()
{
    QFETCH(QString, steps);
    QFETCH(int, refusal);
    TestEnv env;
    AppContext& ctx = env.ctx();
    ErrorInfo e;
    int code = 0;
    for (const char* name : {"BC카드", "신한카드"})
        QVERIFY(CardStore::Save(ctx.card, {0, QString::fromUtf8(name), 1, 1}, &code, &e));
    LedgerStore store(ctx.ledger);
    LedgerHistory history(store, ctx.ledger);
    int key = 0;
    QStringList list = steps.split(QLatin1Char(' '));
    const QString last = list.takeLast();
    for (const QString& step : std::as_const(list)) {
        const int card = step.right(1).toInt();
        const bool ok = step == QLatin1String("type")   ? store.InsertRecord(QStringLiteral("2005-06-10"), 1, &key, &e)
                        : step == QLatin1String("move") ? store.RecordEditCol(key, QStringLiteral("cardcode"), 2, &e)
                        : step == QLatin1String("undo") ? history.Undo(nullptr, &e)
                        : step.startsWith(QLatin1String("delete"))
                            ? CardStore::Delete(ctx.card, card, &e) == CardStore::DeleteOutcome::Deleted
                            : CardStore::Save(ctx.card,
                                              {card,
                                               step.startsWith(QLatin1String("reuse")) ? QStringLiteral("삼성카드")
                                                                                       : QStringLiteral("비씨카드"),
                                               1, 1},
                                              &code, &e);
        QVERIFY2(ok, qPrintable(step + QLatin1Char(' ') + ErrorLine(e)));
    }
    const Books before = snapshot(ctx.ledger);
    const bool ran = last == QLatin1String("undo") ? history.Undo(nullptr, &e) : history.Redo(nullptr, &e);
    QCOMPARE(int(history.lastRefusal()), refusal);
    QCOMPARE(ran, refusal == int(LedgerHistory::Refusal::None));
    if (!ran) {
        QCOMPARE(e.kind, ErrorInfo::Kind::Notice);
        QVERIFY(snapshot(ctx.ledger) == before);
    }
}

QTEST_MAIN(TestLedgerHistory)
#include "tst_ledgerhistory.moc"

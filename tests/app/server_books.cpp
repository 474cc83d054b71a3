// What only books on a server have: --init-server, the faults named on the
// command line, --copy to a folder and back, a role that may only read, a
// change of another connection showing in an open window, and two clerks at
// once (this executable runs itself twice as workers that make random stores
// at the same time on the same cards and months; afterwards the ledger holds
// exactly what each stored, and tallox --check, run meanwhile and after, is
// clean), a connection cut at a store's COMMIT and one cut while the window is idle,
// and two imports at once.
#include "LedgerWindowTestBase.h"
#include "ServerBooks.h"

#include "app/CommandLine.h"

#include "data/base/Clock.h"
#include "data/books/Backup.h"
#include "data/db/StoreRetry.h"
#include "data/ledger/LedgerStore.h"
#include "gui/ledger/BackupDialog.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/settlement/SettlementSheet.h"
#include "gui/settlement/SettlementWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kWorkerStores = 300;

struct Kept {
    QString date;
    int card = 0;
    qint64 sale = 0;
};

QString randomDate(QRandomGenerator& rng)
{
    const QDate first = QDate(2005, 1, 1).addMonths(rng.bounded(5));
    const int day = rng.bounded(2) ? first.daysInMonth() : 1 + rng.bounded(first.daysInMonth());
    return DateText::day(QDate(first.year(), first.month(), day));
}

// One random store on this worker's own entries; `kept` follows what was stored.
bool randomStore(LedgerStore& store, QRandomGenerator& rng, QMap<int, Kept>* kept, int* busy)
{
    ErrorInfo e;
    const int pick = kept->isEmpty() ? 0 : rng.bounded(10);
    const int key = kept->isEmpty() ? 0 : kept->keys().at(rng.bounded(int(kept->size())));
    const int won = 1000 * (1 + rng.bounded(500));
    const qint64 sale = Money::fromDouble(won).units();
    bool ok = true;
    if (pick < 4) {
        Kept k{randomDate(rng), 1 + rng.bounded(3), 0};
        int added = 0;
        ok = store.InsertRecord(k.date, k.card, &added, &e);
        if (ok)
            kept->insert(added, k);
    } else if (pick < 7) {
        ok = store.RecordEditCol(key, QStringLiteral("sale"), QString::number(won), &e);
        if (ok)
            (*kept)[key].sale = sale;
    } else if (pick < 8) {
        const QString date = randomDate(rng);
        ok = store.RecordEditCol(key, QStringLiteral("sdate"), date, &e);
        if (ok)
            (*kept)[key].date = date;
    } else if (pick < 9) {
        const int card = 1 + rng.bounded(3);
        ok = store.RecordEditCol(key, QStringLiteral("cardcode"), card, &e);
        if (ok)
            (*kept)[key].card = card;
    } else {
        ok = store.DeleteRecord(key, &e);
        if (ok)
            kept->remove(key);
    }
    if (!ok && e.engineCode == Database::ServerBusy)
        ++*busy; // nothing of it was stored: `kept` is still right
    else if (!ok)
        QTextStream(stderr) << "store failed: " << e.description << " " << e.what << Qt::endl;
    return ok || e.engineCode == Database::ServerBusy;
}

// The worker: prints "key date card sale" for every entry it keeps in the end.
int runWorker(const QString& address, quint32 seed)
{
    Clock::setToday(QDate(2005, 6, 15));
    AppContext ctx;
    ErrorInfo e;
    if (!ctx.openFolder(address, &e)) {
        QTextStream(stderr) << "cannot open: " << e.description << Qt::endl;
        return 2;
    }
    LedgerStore store(ctx.ledger);
    QRandomGenerator rng(seed);
    QMap<int, Kept> kept;
    int busy = 0;
    for (int i = 0; i < kWorkerStores; ++i) {
        if (!randomStore(store, rng, &kept, &busy))
            return 1;
    }
    QTextStream out(stdout);
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        out << it.key() << ' ' << it->date << ' ' << it->card << ' ' << it->sale << '\n';
    QTextStream(stderr) << "busy " << busy << Qt::endl;
    return 0;
}

// A TCP forwarder on 127.0.0.1 in front of the test server. Told to, it cuts
// both connections at the client's next COMMIT: after forwarding it (the
// server commits, its reply is lost) or instead of forwarding it.
class CommitCutter {
public:
    enum Cut { None, ReplyLost, CommitLost };
    explicit CommitCutter(int serverPort) : m_serverPort(serverPort)
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = loopback(0);
        socklen_t size = sizeof a;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&a), size) != 0 || ::listen(m_listen, 8) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            qFatal("proxy: cannot listen");
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~CommitCutter()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    int port() const { return m_port; }
    void cutNextCommit(Cut cut) { m_cut = cut; }
    int cuts() const { return m_cuts; }

private:
    static sockaddr_in loopback(int port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(quint16(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    static void sendAll(int fd, const char* data, ssize_t size)
    {
        for (ssize_t sent = 0, n = 0; sent < size && (n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL)) > 0;)
            sent += n;
    }
    void run()
    {
        // The simple-query message that carries a COMMIT.
        static const QByteArray commit("Q\0\0\0\x0b"
                                       "COMMIT\0",
                                       12);
        std::vector<std::pair<int, int>> pairs; // client, server
        char buf[65536];
        while (!m_stop) {
            std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
            for (const auto& [client, server] : pairs) {
                fds.push_back({client, POLLIN, 0});
                fds.push_back({server, POLLIN, 0});
            }
            if (::poll(fds.data(), fds.size(), 20) <= 0)
                continue;
            std::vector<std::pair<int, int>> kept;
            for (size_t i = 0; i < pairs.size(); ++i) {
                auto [client, server] = pairs[i];
                bool open = true;
                if (fds[1 + 2 * i].revents) {
                    const ssize_t n = ::recv(client, buf, sizeof buf, 0);
                    const Cut cut = m_cut;
                    if (n > 0 && cut != None && QByteArray::fromRawData(buf, n).contains(commit)) {
                        m_cut = None;
                        ::close(client);
                        if (cut == ReplyLost) {
                            // The server has the COMMIT, and answers it to nobody.
                            sendAll(server, buf, n);
                            pollfd wait{server, POLLIN, 0};
                            if (::poll(&wait, 1, 5000) > 0)
                                ::recv(server, buf, sizeof buf, 0);
                        }
                        ::close(server);
                        ++m_cuts;
                        continue;
                    }
                    if (n > 0)
                        sendAll(server, buf, n);
                    open = n > 0;
                }
                if (open && fds[2 + 2 * i].revents) {
                    const ssize_t n = ::recv(server, buf, sizeof buf, 0);
                    if (n > 0)
                        sendAll(client, buf, n);
                    open = n > 0;
                }
                if (open) {
                    kept.push_back(pairs[i]);
                } else {
                    ::close(client);
                    ::close(server);
                }
            }
            pairs = std::move(kept);
            if (fds[0].revents) {
                const int client = ::accept(m_listen, nullptr, nullptr);
                const int server = ::socket(AF_INET, SOCK_STREAM, 0);
                const sockaddr_in a = loopback(m_serverPort);
                if (::connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
                    pairs.push_back({client, server});
                } else {
                    ::close(client);
                    ::close(server);
                }
            }
        }
        for (const auto& [client, server] : pairs) {
            ::close(client);
            ::close(server);
        }
    }

    int m_serverPort = 0;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<Cut> m_cut{None};
    std::atomic<int> m_cuts{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Ends every other session on the books, as a server restart does.
bool endOtherSessions(Database& db)
{
    return db.execute(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                     "WHERE datname = current_database() AND pid <> pg_backend_pid()")) >= 0;
}
} // namespace

class TestServerBooks : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY2(TestsOnServer(), "runs on the test server only (TALLOX_TEST_ENGINE=postgres)"); }
    void cleanup() { stopEnv(); }
    void initServerOnce();
    void faultsAreNamed_data();
    void faultsAreNamed();
    void copyRoundTrip();
    void readerMayNotStore();
    void otherComputersStoreShows();
    void backupMenusSayTheServer();
    void otherComputersPayoutShowsInSettlement();
    void lostConnectionReopens();
    void lostConnectionReadReopens();
    void lostCommitStoresOnce_data();
    void lostCommitStoresOnce();
    void retriesAreBounded();
    void twoClerksAtOnce();
    void twoImportsAtOnce();
};

// An address on the test server for another database (or user, port, password).
QString addressWith(const QString& books, const QString& db, const QString& user = QString(), int port = 0)
{
    QUrl url(books);
    url.setPath(QLatin1Char('/') + db);
    if (!user.isEmpty())
        url.setUserName(user);
    if (port > 0)
        url.setPort(port);
    return url.toString();
}

// A database without Tallox's tables, made anew.
QString emptyDatabase(const QString& books, const QString& name)
{
    Database admin;
    admin.open(books, nullptr, false, false, false);
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS ") + name);
    admin.execute(QStringLiteral("CREATE DATABASE ") + name);
    return addressWith(books, name);
}

void TestServerBooks::initServerOnce()
{
    startEnv();
    const QString address = emptyDatabase(env->dbFolder(), QStringLiteral("tallox_init"));
    const CommandRun before = RunTallox({address, QStringLiteral("--check")});
    QCOMPARE(before.status, 3);
    QVERIFY2(before.err.contains(QStringLiteral("--init-server")), qPrintable(before.err));
    QCOMPARE(RunTallox({QStringLiteral("--init-server"), address}).status, 0);
    QCOMPARE(RunTallox({address, QStringLiteral("--check")}).status, 0);
    const CommandRun again = RunTallox({QStringLiteral("--init-server"), address});
    QCOMPARE(again.status, 3);
    QVERIFY2(again.err.contains(QStringLiteral("이미 Tallox 장부가")), qPrintable(again.err));
}

void TestServerBooks::faultsAreNamed_data()
{
    QTest::addColumn<QString>("db");
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("said");
    QTest::newRow("server down") << QString() << QString() << 1 << QStringLiteral("서버에 연결할 수 없습니다");
    QTest::newRow("password refused") << QString() << QStringLiteral("tallox_pw") << 0
                                      << QStringLiteral("암호를 받아들이지 않습니다");
    QTest::newRow("no database") << QStringLiteral("no_such_books") << QString() << 0
                                 << QStringLiteral("데이터베이스가 없습니다");
    QTest::newRow("no schema") << QStringLiteral("tallox_empty") << QString() << 0
                               << QStringLiteral("Tallox 장부가 없습니다");
}

void TestServerBooks::faultsAreNamed()
{
    QFETCH(QString, db);
    QFETCH(QString, user);
    QFETCH(int, port);
    QFETCH(QString, said);
    startEnv();
    if (db == QLatin1String("tallox_empty"))
        emptyDatabase(env->dbFolder(), db);
    const QString books = env->dbFolder();
    const QString address = addressWith(books, db.isEmpty() ? QUrl(books).path().mid(1) : db, user, port);
    qputenv("PGPASSWORD", "wrong");
    const CommandRun run = RunTallox({address, QStringLiteral("--check")});
    qunsetenv("PGPASSWORD");
    QCOMPARE(run.status, 3);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
}

// Every row of every table, as text: what a copy must keep.
QStringList dump(const QString& books)
{
    AppContext ctx;
    if (!ctx.openFolder(books, nullptr, true))
        return {QStringLiteral("cannot open")};
    QStringList rows;
    for (const char* sql : {"SELECT code, name, fee, setday FROM card.Plastra ORDER BY code",
                            "SELECT code, sdate, cardcode, sale, fee, billcoll, numsheet FROM Tallox ORDER BY code",
                            "SELECT sMonth, amount, cardcode FROM transfer ORDER BY cardcode, sMonth",
                            "SELECT id, kind, code, old_value, new_value, undo_state FROM main.history ORDER BY id"}) {
        QSqlQuery q = ctx.ledger.newQuery();
        q.exec(QLatin1String(sql));
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            rows << fields.join(QLatin1Char('|'));
        }
    }
    return rows;
}

void TestServerBooks::copyRoundTrip()
{
    startEnv();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("books"));
    const QString back = dir.filePath(QStringLiteral("back"));
    QCOMPARE(RunTallox({QStringLiteral("--demo"), folder, QStringLiteral("--cards"), QStringLiteral("5"),
                        QStringLiteral("--years"), QStringLiteral("1")})
                 .status,
             0);
    const CommandRun up = RunTallox({QStringLiteral("--copy"), folder, env->dbFolder()});
    QVERIFY2(up.status == 0, qPrintable(up.err));
    QCOMPARE(RunTallox({QStringLiteral("--copy"), env->dbFolder(), back}).status, 0);
    const QStringList original = dump(folder);
    QVERIFY(original.size() > 100);
    QCOMPARE(dump(env->dbFolder()), original);
    QCOMPARE(dump(back), original);
    // A target that holds entries is refused and keeps them.
    const CommandRun again = RunTallox({QStringLiteral("--copy"), folder, env->dbFolder()});
    QCOMPARE(again.status, 3);
    QCOMPARE(dump(env->dbFolder()), original);
}

void TestServerBooks::readerMayNotStore()
{
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    const int key = env->addEntry(QStringLiteral("2005-06-01"), 1, 1000);
    for (const char* grant : {"GRANT USAGE ON SCHEMA main, card TO tallox_reader",
                              "GRANT SELECT ON ALL TABLES IN SCHEMA main, card TO tallox_reader"})
        QVERIFY(env->ctx().ledger.execute(QLatin1String(grant)) >= 0);
    const QString reader =
        addressWith(env->dbFolder(), QUrl(env->dbFolder()).path().mid(1), QStringLiteral("tallox_reader"));
    QCOMPARE(RunTallox({env->dbFolder(), QStringLiteral("--rebuild")}).status, 0);
    QCOMPARE(RunTallox({reader, QStringLiteral("--check")}).status, 0);
    const CommandRun rebuild = RunTallox({reader, QStringLiteral("--rebuild")});
    QCOMPARE(rebuild.status, 3);
    QVERIFY2(rebuild.err.contains(QStringLiteral("읽기만")), qPrintable(rebuild.err));
    AppContext ctx;
    QVERIFY(ctx.openFolder(reader));
    ErrorInfo e;
    LedgerStore store(ctx.ledger);
    QVERIFY(!store.RecordEditCol(key, QStringLiteral("sale"), QStringLiteral("5000"), &e));
    QVERIFY2(e.description.contains(QStringLiteral("읽기만")), qPrintable(e.description));
    QCOMPARE(env->ctx().ledger.scalar(QStringLiteral("SELECT sale FROM Tallox")).toLongLong(),
             Money::fromWon(1000).units());
}

void TestServerBooks::otherComputersStoreShows()
{
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    const int first = env->addEntry(QStringLiteral("2005-06-01"), 1, 1000);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(rows(), 3);
    gotoCell(LedgerModel::Sale, rowOfKey(first));
    AppContext other;
    QVERIFY(other.openFolder(env->dbFolder()));
    LedgerStore store(other.ledger);
    int added = 0;
    QVERIFY(store.InsertRecord(QStringLiteral("2005-05-31"), 1, &added));
    QVERIFY(store.InsertRecord(QStringLiteral("2005-06-02"), 1, &added));
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 5000);
    // The cursor stays on the entry it was on.
    QCOMPARE(activeRow(), rowOfKey(first));
    QCOMPARE(activeCol(), int(LedgerModel::Sale));
}

// 지금 백업, 백업에서 복원 and the backup before 잔액 재정리 take no files of
// server books: the first two say where they are backed up, the rebuild warns of nothing.
void TestServerBooks::backupMenusSayTheServer()
{
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    env->addEntry(QStringLiteral("2005-06-01"), 1, 1000);
    openWindow();
    for (const char* menu : {"mnuTool_Backup", "mnuTool_Restore"}) {
        MessageHook::reset();
        win->findChild<QAction*>(QLatin1String(menu))->trigger();
        QVERIFY(!win->backupTask()->isRunning());
        QCOMPARE(MessageHook::shown().size(), 1);
        QVERIFY2(MessageHook::shown().last().text.contains(QStringLiteral("pg_dump")),
                 qPrintable(MessageHook::shown().last().text));
    }
    MessageHook::reset();
    MessageHook::answer(MsgAnswer::Yes);
    win->findChild<QAction*>(QStringLiteral("mnuTool_ReBaln"))->trigger();
    QVERIFY(!win->backupTask()->isRunning());
    for (const auto& box : MessageHook::shown())
        QVERIFY2(!box.text.contains(QStringLiteral("백업")), qPrintable(box.text));
    QVERIFY(!QFileInfo::exists(Backup::DefaultRoot()) || Backup::List(Backup::DefaultRoot()).isEmpty());
}

// A pay-out another computer stores shows in the open settlement window.
void TestServerBooks::otherComputersPayoutShowsInSettlement()
{
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    env->addEntry(QStringLiteral("2005-06-01"), 1, 1000);
    openWindow();
    win->findChild<QAction*>(QStringLiteral("mnuTool_Settlement"))->trigger();
    SettlementWindow* w = SettlementWindow::OpenInstance();
    QVERIFY(w);
    QCOMPARE(w->grid()->text(SettlementCol::Overdue, 1), QStringLiteral("1000"));
    AppContext other;
    QVERIFY(other.openFolder(env->dbFolder()));
    QCOMPARE(other.ledger.execute(QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                                                 " VALUES (?, ?, 0, 0, ?, 0)"),
                                  {QStringLiteral("2005-06-02"), 1, Money::fromWon(1000).units()}),
             1);
    QTRY_COMPARE_WITH_TIMEOUT(w->grid()->text(SettlementCol::Overdue, 1), QString(), 5000);
}

// The window's connection cut by the server (a restart, a dropped network):
// the next store opens it again and goes through, and the sheet reloads.
void TestServerBooks::lostConnectionReopens()
{
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    const int first = env->addEntry(QStringLiteral("2005-06-01"), 1, 1000);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    AppContext other;
    QVERIFY(other.openFolder(env->dbFolder()));
    QVERIFY(endOtherSessions(other.ledger));
    typeInto(LedgerModel::Sale, rowOfKey(first), QStringLiteral("7000"));
    LedgerStore store(other.ledger);
    QCOMPARE(store.ReadEntry(first, nullptr)->sale, Money::fromDouble(7000));
    QVERIFY2(MessageHook::shown().isEmpty(), qPrintable(MessageHook::shown().value(0).text));
    // Live sheets listen again on the new connection.
    int added = 0;
    QVERIFY(store.InsertRecord(QStringLiteral("2005-06-02"), 1, &added));
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 5000);
}

// The same with the window idle: the next 조회 opens the connection again
// and shows the books, with no box.
void TestServerBooks::lostConnectionReadReopens()
{
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    env->addEntry(QStringLiteral("2005-06-01"), 1, 1000);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    AppContext other;
    QVERIFY(other.openFolder(env->dbFolder()));
    QVERIFY(endOtherSessions(other.ledger));
    LedgerStore(other.ledger).InsertRecord(QStringLiteral("2005-06-02"), 1, nullptr);
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QVERIFY2(MessageHook::shown().isEmpty(), qPrintable(MessageHook::shown().value(0).text));
    QCOMPARE(rows(), 4);
}

// The connection cut at a store's COMMIT (between program and server): the
// store asks the server whether it committed and, whatever the answer, the
// change is kept exactly once, with one history row.
void TestServerBooks::lostCommitStoresOnce_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<bool>("remove"); // a deletion, else a new entry
    QTest::newRow("reply lost, new entry") << int(CommitCutter::ReplyLost) << false;
    QTest::newRow("commit lost, new entry") << int(CommitCutter::CommitLost) << false;
    QTest::newRow("reply lost, deletion") << int(CommitCutter::ReplyLost) << true;
    QTest::newRow("commit lost, deletion") << int(CommitCutter::CommitLost) << true;
}

void TestServerBooks::lostCommitStoresOnce()
{
    QFETCH(int, cut);
    QFETCH(bool, remove);
    startEnv();
    env->addCard(1, QStringLiteral("카드1"));
    int first = 0;
    QVERIFY(LedgerStore(env->ctx().ledger).InsertRecord(QStringLiteral("2005-05-10"), 1, &first));
    QUrl address(env->dbFolder());
    CommitCutter proxy(address.port());
    address.setPort(proxy.port());
    address.setQuery(QStringLiteral("sslmode=disable"));
    AppContext via;
    QVERIFY(via.openFolder(address.toString()));
    LedgerStore store(via.ledger);
    proxy.cutNextCommit(CommitCutter::Cut(cut));
    ErrorInfo e;
    int added = 0;
    const bool ok =
        remove ? store.DeleteRecord(first, &e) : store.InsertRecord(QStringLiteral("2005-05-12"), 1, &added, &e);
    QVERIFY2(ok, qPrintable(e.what + QLatin1Char(' ') + e.description));
    QCOMPARE(proxy.cuts(), 1);
    QCOMPARE(env->count(QStringLiteral("Tallox")), remove ? 0 : 2);
    const History::Kind kind = remove ? History::Kind::EntryDeleted : History::Kind::EntryAdded;
    QCOMPARE(env->ctx()
                 .ledger
                 .scalar(QStringLiteral("SELECT count(*) FROM main.history WHERE kind = ?"), {History::KindText(kind)})
                 .toInt(),
             remove ? 1 : 2);
    QCOMPARE(store.LastHistoryId(),
             env->ctx().ledger.scalar(QStringLiteral("SELECT max(id) FROM main.history")).toLongLong());
    if (!remove)
        QCOMPARE(store.ReadEntry(added, nullptr)->date, QStringLiteral("2005-05-12"));
    QVERIFY(LedgerStore(env->ctx().ledger).CheckCarryOver().clean());
}

// A store the server refuses for another computer's change runs again; one
// refused every time ends with the books-busy notice, after a bounded number of runs.
void TestServerBooks::retriesAreBounded()
{
    startEnv();
    Database& db = env->ctx().ledger;
    int runs = 0;
    ErrorInfo e;
    QVERIFY(StoreWithRetry(db, &e, [&](ErrorInfo* err) {
        *err = {++runs < 3 ? int(Database::ServerSerialization) : 0, QString()};
        return runs == 3;
    }));
    QCOMPARE(runs, 3);
    runs = 0;
    QVERIFY(!StoreWithRetry(db, &e, [&](ErrorInfo* err) {
        ++runs;
        *err = {int(Database::ServerDeadlock), QStringLiteral("deadlock detected")};
        return false;
    }));
    QVERIFY(runs > 3 && runs < 100);
    QCOMPARE(e.code, ErrorCode::Engine);
    QCOMPARE(e.engineCode, int(Database::ServerBusy));
    QVERIFY2(e.what.contains(QStringLiteral("다른 컴퓨터")), qPrintable(e.what));
    // Any other failure is told at once.
    runs = 0;
    QVERIFY(!StoreWithRetry(db, &e, [&](ErrorInfo* err) {
        ++runs;
        *err = {23505, QStringLiteral("duplicate key")};
        return false;
    }));
    QCOMPARE(runs, 1);
    QCOMPARE(e.engineCode, 23505);
}

void TestServerBooks::twoClerksAtOnce()
{
    startEnv();
    TestEnv& env = *this->env;
    for (int card = 1; card <= 3; ++card)
        env.addCard(card, QStringLiteral("카드%1").arg(card));
    QList<QProcess*> workers;
    for (int i = 0; i < 2; ++i) {
        auto* p = new QProcess(this);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--worker"), env.dbFolder(), QString::number(17 + i)});
        workers << p;
    }
    // Meanwhile --check sees the books at one moment: no disagreement that is not there.
    const auto running = [&] {
        return std::any_of(workers.cbegin(), workers.cend(),
                           [](QProcess* p) { return p->state() != QProcess::NotRunning && !p->waitForFinished(0); });
    };
    int checks = 0;
    for (; running(); ++checks) {
        const CommandRun check = RunTallox({env.dbFolder(), QStringLiteral("--check")});
        QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
    }
    qInfo() << checks << "checks while storing";
    QStringList expected;
    for (QProcess* p : workers) {
        QVERIFY(p->state() == QProcess::NotRunning || p->waitForFinished(600000));
        const QString err = QString::fromUtf8(p->readAllStandardError());
        QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, qPrintable(err));
        qInfo().noquote() << err.trimmed();
        expected += QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList stored;
    QSqlQuery q = env.ctx().ledger.newQuery();
    QVERIFY(q.exec(QStringLiteral("SELECT code, sdate, cardcode, sale FROM Tallox ORDER BY code")));
    while (q.next())
        stored << QStringLiteral("%1 %2 %3 %4")
                      .arg(q.value(0).toInt())
                      .arg(q.value(1).toString())
                      .arg(q.value(2).toInt())
                      .arg(q.value(3).toLongLong());
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return a.section(' ', 0, 0).toInt() < b.section(' ', 0, 0).toInt();
    });
    QVERIFY(!stored.isEmpty());
    QCOMPARE(stored, expected);
    const CommandRun check = RunTallox({env.dbFolder(), QStringLiteral("--check")});
    QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
}

// Two imports into the same cards and months at once: the server refuses one
// of the two transactions for the other's change, it runs again, and both
// files are stored whole. Server books take no file backup, and say so.
void TestServerBooks::twoImportsAtOnce()
{
    startEnv();
    TestEnv& env = *this->env;
    for (int card = 1; card <= 3; ++card)
        env.addCard(card, QStringLiteral("카드%1").arg(card));
    const QString profile = env.appFolder() + QStringLiteral("/two.txt");
    QFile p(profile);
    QVERIFY(p.open(QIODevice::WriteOnly) && p.write("name=two\nskip=1\ndate=1\ncard=2\nsale=3\n") > 0);
    p.close();
    constexpr int kRounds = 3, kRows = 1000;
    for (int round = 0; round < kRounds; ++round) {
        QList<QProcess*> imports;
        for (int i = 0; i < 2; ++i) {
            const QString file = env.appFolder() + QStringLiteral("/sales%1.csv").arg(i);
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("일자,카드,매출\n");
            for (int k = 0; k < kRows; ++k) // every file its own amounts: no row is a duplicate
                f.write(QStringLiteral("2005-%1-%2,카드%3,%4\n")
                            .arg(1 + k % 5, 2, 10, QLatin1Char('0'))
                            .arg(1 + k % 28, 2, 10, QLatin1Char('0'))
                            .arg(1 + k % 3)
                            .arg(1000 * (2 * round + i + 1) + k)
                            .toUtf8());
            f.close();
            auto* run = new QProcess(this);
            run->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--tallox"), env.dbFolder(), QStringLiteral("--import"), file,
                        QStringLiteral("--profile"), profile});
            imports << run;
        }
        for (QProcess* run : imports) {
            QVERIFY(run->waitForFinished(300000));
            const QString out = QString::fromUtf8(run->readAllStandardOutput() + run->readAllStandardError());
            QVERIFY2(run->exitStatus() == QProcess::NormalExit && run->exitCode() == 0, qPrintable(out));
            QVERIFY2(out.contains(QStringLiteral("저장 %1건").arg(kRows)), qPrintable(out));
            QVERIFY2(out.contains(QStringLiteral("서버의 장부라 파일로 백업하지 않았습니다")) &&
                         !out.contains(QStringLiteral("백업하지 못했습니다")),
                     qPrintable(out));
        }
    }
    QCOMPARE(env.count(QStringLiteral("Tallox")), 2 * kRounds * kRows);
    const CommandRun check = RunTallox({env.dbFolder(), QStringLiteral("--check")});
    QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
}

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--worker") == 0) {
        QCoreApplication app(argc, argv);
        return runWorker(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toUInt());
    }
    if (argc > 2 && qstrcmp(argv[1], "--tallox") == 0) { // a tallox run of its own, with the test's environment
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return RunCommandLine(ParseCommandLine(app.arguments().mid(2)), out, err);
    }
    QApplication app(argc, argv);
    TestServerBooks test;
    return QTest::qExec(&test, argc, argv);
}

#include "server_books.moc"

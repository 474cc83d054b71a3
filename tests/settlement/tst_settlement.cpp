#include "TestSupport.h"

#include "app/CommandLine.h"
#include "data/ledger/LedgerStore.h"
#include "data/settlement/Holidays.h"
#include "data/settlement/Settlement.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <map>

class TestSettlement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void holidays_fileAndBusinessDays_data();
    void holidays_fileAndBusinessDays();
    void holidays_badLineRefused_ownFileFirst();

    void figures_handChecked_data();
    void figures_handChecked();
    void figures_againstDayByDaySimulation();

    void overdueCommand_data();
    void overdueCommand();
    void settlementCommand_writesTheSheet();
    void depositStatementImportsAsPayouts();
};

void TestSettlement::init()
{
    MessageHook::reset();
}

namespace {
Holidays Shipped()
{
    Holidays h;
    if (!Holidays::Load(Holidays::BuiltInFile(), &h))
        qFatal("the built-in holidays do not load");
    return h;
}

QDate Day(const char* text)
{
    return QDate::fromString(QLatin1String(text), Qt::ISODate);
}

Money Won(qint64 won)
{
    return Money::fromWon(won);
}

const SettlementLine* LineOf(const Settlement& s, int code)
{
    for (const SettlementLine& l : s.lines) {
        if (l.cardCode == code)
            return &l;
    }
    return nullptr;
}
} // namespace

void TestSettlement::holidays_fileAndBusinessDays_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("due");
    QTest::newRow("Friday, one day: Monday") << "2026-12-04" << 1 << "2026-12-07";
    QTest::newRow("Saturday, none: the same day") << "2026-12-05" << 0 << "2026-12-05";
    QTest::newRow("before 설날 (16-18 Feb)") << "2026-02-12" << 2 << "2026-02-19";
    QTest::newRow("before 추석 (24-26 Sep)") << "2026-09-23" << 1 << "2026-09-28";
    QTest::newRow("substitute for 개천절") << "2026-10-02" << 1 << "2026-10-06";
    QTest::newRow("substitute for 3·1절") << "2026-02-27" << 1 << "2026-03-03";
    QTest::newRow("2027 substitute for 설날") << "2027-02-05" << 1 << "2027-02-10";
    QTest::newRow("year not in the file: weekends only") << "2031-12-31" << 1 << "2032-01-01";
}

void TestSettlement::holidays_fileAndBusinessDays()
{
    QFETCH(QString, from);
    QFETCH(int, days);
    QFETCH(QString, due);
    const Holidays h = Shipped();
    QCOMPARE(h.addBusinessDays(QDate::fromString(from, Qt::ISODate), days).toString(Qt::ISODate), due);
    QCOMPARE(h.years().first(), 2018);
    QCOMPARE(h.years().last(), 2027);
    QCOMPARE(h.missingYears(Day("2026-12-20"), Day("2028-01-03")), QList<int>{2028});
    QCOMPARE(h.name(Day("2026-02-17")), QStringLiteral("설날"));
}

void TestSettlement::holidays_badLineRefused_ownFileFirst()
{
    TestEnv env;
    Holidays h;
    ErrorInfo e;
    QVERIFY(!Holidays::Parse(QStringLiteral("# mine\n2026-01-01 새해\n2026-13-01 oops\n"), QStringLiteral("x.txt"), &h,
                             &e));
    QVERIFY2(e.what.contains(QStringLiteral("3행")) && e.what.contains(QStringLiteral("2026-13-01")),
             qPrintable(e.what));
    // The books folder's file wins over the application folder's, which wins over the built-in one.
    const QString books = QDir(env.appFolder()).filePath(QStringLiteral("books"));
    QDir().mkpath(books);
    QCOMPARE(Holidays::FileFor(books), Holidays::BuiltInFile());
    for (const QString& folder : {env.appFolder(), books}) {
        QFile f(QDir(folder).filePath(QStringLiteral("holidays.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2030-01-01 1월 1일\n");
        f.close();
        QCOMPARE(Holidays::FileFor(books), QDir::cleanPath(f.fileName()));
    }
    QVERIFY(Holidays::LoadFor(books, &h, &e));
    QCOMPARE(h.years(), QList<int>{2030});
}

// Card 1 (settlement days and rate given per row) and card 2 without any entry.
// Entries: "date sale fee payout" in won. Upcoming: "day:amount" of the next 14 days.
void TestSettlement::figures_handChecked_data()
{
    QTest::addColumn<int>("setday");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("day");
    QTest::addColumn<qint64>("outstanding");
    QTest::addColumn<qint64>("overdue");
    QTest::addColumn<qint64>("dueToday");
    QTest::addColumn<qint64>("paidAhead");
    QTest::addColumn<QString>("oldest");
    QTest::addColumn<int>("daysLate");
    QTest::addColumn<QString>("upcoming");
    QTest::addColumn<QString>("feeDiff");
    const QStringList week{"2026-12-01 10000 200 0", "2026-12-02 10000 200 0", "2026-12-03 10000 200 0"};
    QTest::newRow("Friday's sale due Monday, seen on Saturday")
        << 1 << QStringList{"2026-12-04 100000 2000 0"} << "2026-12-05" << 98000ll << 0ll << 0ll << 0ll << "" << 0
        << "2026-12-07:98000"
        << "";
    QTest::newRow("due today") << 1 << QStringList{"2026-12-04 100000 2000 0"} << "2026-12-07" << 98000ll << 98000ll
                               << 98000ll << 0ll << "2026-12-04" << 0 << ""
                               << "";
    QTest::newRow("a business day late") << 1 << QStringList{"2026-12-04 100000 2000 0"} << "2026-12-08" << 98000ll
                                         << 98000ll << 0ll << 0ll << "2026-12-04" << 1 << ""
                                         << "";
    QTest::newRow("설날 block: not yet due") << 2 << QStringList{"2026-02-12 50000 1000 0"} << "2026-02-18" << 49000ll
                                             << 0ll << 0ll << 0ll << "" << 0 << "2026-02-19:49000"
                                             << "";
    QTest::newRow("설날 block: a day late") << 2 << QStringList{"2026-02-12 50000 1000 0"} << "2026-02-20" << 49000ll
                                            << 49000ll << 0ll << 0ll << "2026-02-12" << 1 << ""
                                            << "";
    QTest::newRow("추석 block") << 1 << QStringList{"2026-09-23 30000 600 0"} << "2026-09-28" << 29400ll << 29400ll
                                << 29400ll << 0ll << "2026-09-23" << 0 << ""
                                << "";
    QTest::newRow("substitute holiday not due") << 1 << QStringList{"2026-10-02 30000 600 0"} << "2026-10-05" << 29400ll
                                                << 0ll << 0ll << 0ll << "" << 0 << "2026-10-06:29400"
                                                << "";
    QTest::newRow("setday 0: paid the same day") << 0 << QStringList{"2026-12-05 20000 400 0"} << "2026-12-05"
                                                 << 19600ll << 19600ll << 19600ll << 0ll << "2026-12-05" << 0 << ""
                                                 << "";
    QTest::newRow("one pay-out for three days") << 1 << (week + QStringList{"2026-12-04 0 0 29400"}) << "2026-12-04"
                                                << 0ll << 0ll << 0ll << 0ll << "" << 0 << ""
                                                << "";
    QTest::newRow("short pay-out: the newest day stays")
        << 1 << (week + QStringList{"2026-12-04 0 0 20000"}) << "2026-12-07" << 9400ll << 9400ll << 0ll << 0ll
        << "2026-12-03" << 1 << ""
        << "";
    QTest::newRow("paid before its due day") << 3 << QStringList{"2026-12-01 10000 200 0", "2026-12-02 0 0 9800"}
                                             << "2026-12-03" << 0ll << 0ll << 0ll << 9800ll << "" << 0 << ""
                                             << "";
    QTest::newRow("no real day: left out") << 1 << QStringList{"2026-02-30 500000 0 0", "2026-12-04 10000 200 0"}
                                           << "2026-12-08" << 9800ll << 9800ll << 0ll << 0ll << "2026-12-04" << 1 << ""
                                           << "";
    QTest::newRow("later sales do not count yet")
        << 1 << QStringList{"2026-12-04 10000 200 0", "2026-12-09 5000 0 0"} << "2026-12-04" << 9800ll << 0ll << 0ll
        << 0ll << "" << 0 << "2026-12-07:9800"
        << "";
    QTest::newRow("fee 0.10 points over the rate") << 1 << QStringList{"2026-12-01 100000 2100 98000"} << "2026-12-01"
                                                   << -100ll << 0ll << 0ll << 98000ll << "" << 0 << ""
                                                   << "0.10";
    QTest::newRow("fee 0.04 points over: not marked") << 1 << QStringList{"2026-12-01 100000 2040 0"} << "2026-12-01"
                                                      << 97960ll << 0ll << 0ll << 0ll << "" << 0 << "2026-12-02:97960"
                                                      << "";
}

void TestSettlement::figures_handChecked()
{
    QFETCH(int, setday);
    QFETCH(QStringList, entries);
    QFETCH(QString, day);
    QFETCH(qint64, outstanding);
    QFETCH(qint64, overdue);
    QFETCH(qint64, dueToday);
    QFETCH(qint64, paidAhead);
    QFETCH(QString, oldest);
    QFETCH(int, daysLate);
    QFETCH(QString, upcoming);
    QFETCH(QString, feeDiff);
    TestEnv env;
    env.addCard(1, QStringLiteral("BC카드"), 2.0, setday);
    env.addCard(2, QStringLiteral("가나카드"), 1.5, 3);
    for (const QString& entry : entries) {
        const QStringList f = entry.split(QLatin1Char(' '));
        env.addEntry(f[0], 1, f[1].toDouble(), f[2].toDouble(), f[3].toDouble());
    }
    const QDate d = QDate::fromString(day, Qt::ISODate);
    Settlement s;
    ErrorInfo e;
    QVERIFY(Say(LoadSettlement(env.ctx().ledger, Shipped(), d.addDays(-31), d, 0, &s, &e), e));
    QCOMPARE(s.lines.size(), 2);
    const SettlementLine& none = *LineOf(s, 2); // a card company without sales has its line
    QVERIFY(none.outstanding.isZero() && none.overdue.isZero() && none.oldestUnpaid.isNull() && !none.keptRate());
    const SettlementLine& l = *LineOf(s, 1);
    QCOMPARE(l.outstanding, Won(outstanding));
    QCOMPARE(l.overdue, Won(overdue));
    QCOMPARE(l.dueToday, Won(dueToday));
    QCOMPARE(l.paidAhead, Won(paidAhead));
    QCOMPARE(l.oldestUnpaid.toString(Qt::ISODate), oldest);
    QCOMPARE(l.daysLate, daysLate);
    QString due;
    for (int i = 0; i < kUpcomingDays; ++i) {
        if (!l.upcoming[size_t(i)].isZero())
            due += s.upcomingDay(i).toString(Qt::ISODate) + QLatin1Char(':') + l.upcoming[size_t(i)].toPlainString();
    }
    QCOMPARE(due, upcoming);
    const std::optional<double> diff = l.feeDifference();
    QCOMPARE(diff ? QString::number(*diff, 'f', 2) : QString(), feeDiff);
    QCOMPARE(s.uncoveredYears, QList<int>{});
}

namespace {
// The oracle: every calendar day in turn, amounts fall due on their pay-out
// day, and each pay-out pays the queue of due amounts from its front.
struct SimSale {
    QDate day;
    qint64 net = 0; // units
};
struct SimFigures {
    qint64 outstanding = 0, paidBy = 0, overdue = 0, dueToday = 0, paidAhead = 0;
    qint64 periodSales = 0, periodFees = 0;
    QDate oldest;
    int daysLate = 0;
    std::array<qint64, kUpcomingDays> upcoming{};
};

bool IsBusinessDay(const QSet<QDate>& holidays, const QDate& d)
{
    return d.dayOfWeek() < 6 && !holidays.contains(d);
}

QDate PayoutDay(const QSet<QDate>& holidays, QDate d, int setday)
{
    for (int left = setday; left > 0;) {
        d = d.addDays(1);
        if (IsBusinessDay(holidays, d))
            --left;
    }
    return d;
}

struct SimEntry {
    QDate day;
    qint64 sale = 0, fee = 0, payout = 0;
};

SimFigures Simulate(const QList<SimEntry>& entries, int setday, const QSet<QDate>& holidays, const QDate& from,
                    const QDate& day)
{
    SimFigures f;
    std::map<QDate, qint64> salesByDay, paidByDay;
    for (const SimEntry& e : entries) {
        if (!e.day.isValid() || e.day > day)
            continue;
        salesByDay[e.day] += e.sale - e.fee;
        paidByDay[e.day] += e.payout;
        if (e.day >= from) {
            f.periodSales += e.sale;
            f.periodFees += e.fee;
        }
    }
    std::map<QDate, QList<SimSale>> fallsDue;
    for (const auto& [d, net] : salesByDay) {
        if (net != 0)
            fallsDue[PayoutDay(holidays, d, setday)].append({d, net});
    }
    QList<SimSale> queue; // due, not paid, oldest first
    qint64 credit = 0;
    const auto pay = [&](qint64 amount) {
        while (amount > 0 && !queue.isEmpty()) {
            const qint64 used = std::min(amount, queue.first().net);
            queue.first().net -= used;
            amount -= used;
            if (queue.first().net == 0)
                queue.removeFirst();
        }
        credit += amount;
    };
    const QDate first = salesByDay.empty() ? day : std::min(salesByDay.begin()->first, paidByDay.begin()->first);
    for (QDate t = first; t <= day.addDays(kUpcomingDays); t = t.addDays(1)) {
        qint64 fallingDue = 0;
        for (SimSale s : fallsDue[t]) {
            const qint64 used = std::min(credit, s.net);
            credit -= used;
            s.net -= used;
            fallingDue += s.net;
            if (t <= day && s.net > 0)
                queue.append(s);
        }
        if (t > day) {
            f.upcoming[size_t(day.daysTo(t) - 1)] = fallingDue;
            continue;
        }
        if (t == day)
            f.dueToday = fallingDue;
        f.paidBy += paidByDay[t];
        pay(paidByDay[t]);
        if (t == day) {
            for (const SimSale& s : queue)
                f.overdue += s.net;
            f.paidAhead = credit;
            f.dueToday = std::min(f.dueToday, f.overdue);
            if (!queue.isEmpty()) {
                f.oldest = queue.first().day;
                for (QDate u = PayoutDay(holidays, f.oldest, setday).addDays(1); u <= day; u = u.addDays(1))
                    f.daysLate += IsBusinessDay(holidays, u) ? 1 : 0;
            }
        }
    }
    for (const auto& [d, net] : salesByDay)
        f.outstanding += net;
    f.outstanding -= f.paidBy;
    return f;
}
} // namespace

void TestSettlement::figures_againstDayByDaySimulation()
{
    TestEnv env;
    const Holidays holidays = Shipped();
    const QList<QDate> list = holidays.dates();
    const QSet<QDate> holidaySet(list.begin(), list.end());
    QRandomGenerator rng(20261209);
    const int setdays[] = {0, 2, 4};
    QHash<int, QList<SimEntry>> byCard;
    {
        Transaction tx(env.ctx().ledger);
        for (int card = 1; card <= 3; ++card) {
            env.addCard(card, QStringLiteral("카드%1").arg(card), 1.5 + card * 0.3, setdays[card - 1]);
            qint64 owed = 0;
            for (QDate d = Day("2025-01-01"); d <= Day("2026-12-31"); d = d.addDays(1)) {
                for (int n = int(rng.bounded(3)); n > 0; --n) {
                    const qint64 sale = rng.bounded(1, 500) * 1000;
                    const qint64 fee = sale * (15 + card * 3 + int(rng.bounded(2))) / 1000;
                    env.addEntry(d.toString(Qt::ISODate), card, double(sale), double(fee));
                    byCard[card].append({d, sale * 10000, fee * 10000, 0});
                    owed += sale - fee;
                }
                // Pay-outs now and then: about what is owed, sometimes short, sometimes too much;
                // card 3 pays seldom and short, so that its debts reach months back.
                const bool slow = card == 3;
                const qint64 paid =
                    owed * ((slow ? 30 : 80) + int(rng.bounded(30))) / 100 - int(rng.bounded(50)) * 1000;
                if (IsBusinessDay(holidaySet, d) && rng.bounded(slow ? 40 : 3) == 0 && paid > 0) {
                    env.addEntry(d.toString(Qt::ISODate), card, 0, 0, double(paid));
                    byCard[card].append({d, 0, 0, paid * 10000});
                    owed -= paid;
                }
            }
            env.addEntry(QStringLiteral("2025-02-29"), card, 777000); // no real day: in no figure
        }
        QVERIFY(tx.commit());
    }
    // The carry-over table as Tallox keeps it: what was owed a month or two back comes from it.
    QVERIFY(LedgerStore(env.ctx().ledger).ReBaln());
    QList<QDate> days{Day("2025-01-01"), Day("2026-02-16"), Day("2026-09-25"), Day("2026-12-31")};
    for (int i = 0; i < 12; ++i)
        days << Day("2025-01-01").addDays(rng.bounded(730));
    for (const QDate& day : days) {
        const QDate from = day.addMonths(-2);
        Settlement s;
        ErrorInfo e;
        QVERIFY(Say(LoadSettlement(env.ctx().ledger, holidays, from, day, 0, &s, &e), e));
        QCOMPARE(s.lines.size(), 3);
        for (int card = 1; card <= 3; ++card) {
            const SimFigures want = Simulate(byCard[card], setdays[card - 1], holidaySet, from, day);
            const SettlementLine& got = *LineOf(s, card);
            const QByteArray where = QStringLiteral("card %1 on %2").arg(card).arg(day.toString(Qt::ISODate)).toUtf8();
            QVERIFY2(got.outstanding.units() == want.outstanding, where);
            QVERIFY2(got.overdue.units() == want.overdue, where);
            QVERIFY2(got.dueToday.units() == want.dueToday, where);
            QVERIFY2(got.paidAhead.units() == want.paidAhead, where);
            QVERIFY2(got.oldestUnpaid == want.oldest, where);
            QVERIFY2(got.daysLate == want.daysLate, where);
            QVERIFY2(got.periodSales.units() == want.periodSales && got.periodFees.units() == want.periodFees, where);
            for (int i = 0; i < kUpcomingDays; ++i)
                QVERIFY2(got.upcoming[size_t(i)].units() == want.upcoming[size_t(i)], where);
        }
    }
}

// Card 1 (setday 1): a sale on Tuesday 1 December 2026, due on the 2nd, never paid.
void TestSettlement::overdueCommand_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");
    QTest::newRow("3 days late, more than the default 2") << QStringList{"--overdue"} << 1 << "2026-12-01";
    QTest::newRow("not more than --days 3") << QStringList{"--overdue", "--days", "3"} << 0 << "";
    QTest::newRow("--days 0") << QStringList{"--overdue", "--days", "0"} << 1 << "BC카드";
    QTest::newRow("a bad --days") << QStringList{"--overdue", "--days", "x"} << 2 << "";
    QTest::newRow("--days without --overdue") << QStringList{"--check", "--days", "1"} << 2 << "";
}

void TestSettlement::overdueCommand()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, printed);
    TestEnv env(Day("2026-12-07"));
    env.addCard(1, QStringLiteral("BC카드"), 2.0, 1);
    env.addCard(2, QStringLiteral("삼성카드"), 2.0, 1);
    env.addEntry(QStringLiteral("2026-12-01"), 1, 10000, 200);
    env.addEntry(QStringLiteral("2026-12-04"), 2, 10000, 200, 9800);
    const CommandRun run = RunTallox(QStringList{env.dbFolder()} + options);
    QVERIFY2(run.status == status, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains(printed), qPrintable(run.out));
    QCOMPARE(run.out.contains(QStringLiteral("삼성카드")), false);
}

void TestSettlement::settlementCommand_writesTheSheet()
{
    TestEnv env(Day("2026-12-07"));
    env.addCard(1, QStringLiteral("BC카드"), 2.0, 1);
    env.addEntry(QStringLiteral("2026-12-04"), 1, 100000, 2000);
    QTemporaryDir out;
    const QString xlsx = out.filePath(QStringLiteral("s.xlsx"));
    CommandRun run = RunTallox({env.dbFolder(), QStringLiteral("--settlement"), QStringLiteral("2026-12-08"), xlsx});
    QVERIFY2(run.status == ExitOk, qPrintable(run.err));
    QVERIFY(QFileInfo(xlsx).size() > 0);
    QVERIFY2(run.out.contains(QStringLiteral("2026-12-08")), qPrintable(run.out));
    const QString pdf = out.filePath(QStringLiteral("s.pdf"));
    run =
        RunTallox({env.dbFolder(), QStringLiteral("--settlement"), QStringLiteral("--card"), QStringLiteral("1"), pdf});
    QVERIFY2(run.status == ExitOk, qPrintable(run.err));
    QVERIFY(QFileInfo(pdf).size() > 0);
    run = RunTallox({env.dbFolder(), QStringLiteral("--settlement"), QStringLiteral("--card"), QStringLiteral("9"),
                     out.filePath(QStringLiteral("t.pdf"))});
    QCOMPARE(run.status, int(ExitUsage));
    run = RunTallox({env.dbFolder(), QStringLiteral("--settlement"), out.filePath(QStringLiteral("t.csv"))});
    QCOMPARE(run.status, int(ExitUsage));
}

void TestSettlement::depositStatementImportsAsPayouts()
{
    TestEnv env(Day("2026-12-03"));
    env.addCard(1, QStringLiteral("신한카드"), 2.0, 1);
    env.addCard(2, QStringLiteral("KB국민카드"), 2.0, 1);
    env.addEntry(QStringLiteral("2026-12-01"), 1, 1234000, 24680);
    env.addEntry(QStringLiteral("2026-12-01"), 2, 150000, 3000);
    const QDir examples(QStringLiteral(TALLOX_EXAMPLES));
    const CommandRun run =
        RunTallox({env.dbFolder(), QStringLiteral("--import"), examples.filePath(QStringLiteral("deposits.csv")),
                   QStringLiteral("--profile"), examples.filePath(QStringLiteral("deposit-statement.txt"))});
    QVERIFY2(run.status == ExitOk, qPrintable(run.out + run.err));
    // The books were written by another connection: read them afresh.
    AppContext ctx;
    QVERIFY(ctx.openFolder(env.dbFolder()));
    const Holidays holidays = Shipped();
    const struct {
        const char* day;
        qint64 kbOverdue;
    } days[] = {{"2026-12-02", 47000}, {"2026-12-03", 0}};
    for (const auto& d : days) {
        Settlement s;
        ErrorInfo e;
        QVERIFY(Say(LoadSettlement(ctx.ledger, holidays, Day("2026-12-01"), Day(d.day), 0, &s, &e), e));
        QCOMPARE(LineOf(s, 1)->outstanding, Money());
        QCOMPARE(LineOf(s, 1)->overdue, Money());
        QCOMPARE(LineOf(s, 2)->overdue, Won(d.kbOverdue));
        QCOMPARE(LineOf(s, 2)->dueToday, Won(d.kbOverdue));
    }
    ctx.closeAll();
}

QTEST_MAIN(TestSettlement)
#include "tst_settlement.moc"

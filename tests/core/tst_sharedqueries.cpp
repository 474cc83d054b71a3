#include "TestSupport.h"

#include "data/books/SharedQueries.h"
#include "gui/toolkit/Utils.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <functional>

class TestSharedQueries : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { MessageHook::reset(); }
    void fillPlastra_emptyItemThenByName();
    void fillPlastra_emptyTable();
    void getNextCode_emptyAndFilled();
    void getNextCode_refusesNonIdentifiers();
    void getNextCode_missingTableReportsQuery();
    void getPrevBalance_workedExample();
    void getPrevBalance_noTransferRowsIsZero();
    void getPrevBalance_firstOfMonthAfterLatestRow();
    void getPrevBalance_allCardsEachFromItsOwnMonth();
    void getFee_rateMissingAndNull();
    void errors_areCodes();
    void centerForm_centresAndTakesIcon();
    void setImeMode_hints();
};

void TestSharedQueries::fillPlastra_emptyItemThenByName()
{
    TestEnv env;
    env.addCard(2, QStringLiteral("하나카드"));
    env.addCard(7, QStringLiteral("국민카드"));
    env.addCard(3, QStringLiteral("비씨카드"));
    QComboBox combo;
    combo.addItem(QStringLiteral("old"), 99);
    FillPlastra(env.ctx().card, &combo);
    QCOMPARE(combo.count(), 4);
    QCOMPARE(combo.currentIndex(), 0);
    QCOMPARE(combo.itemText(0), QString());
    QCOMPARE(combo.itemData(0).toInt(), 0);
    QCOMPARE(combo.itemText(1), QStringLiteral("국민카드"));
    QCOMPARE(combo.itemData(1).toInt(), 7);
    QCOMPARE(combo.itemText(2), QStringLiteral("비씨카드"));
    QCOMPARE(combo.itemData(2).toInt(), 3);
    QCOMPARE(combo.itemText(3), QStringLiteral("하나카드"));
    QCOMPARE(combo.itemData(3).toInt(), 2);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSharedQueries::fillPlastra_emptyTable()
{
    TestEnv env;
    QComboBox combo;
    FillPlastra(env.ctx().card, &combo);
    QCOMPARE(combo.count(), 1);
    QCOMPARE(combo.currentIndex(), 0);
}

void TestSharedQueries::getNextCode_emptyAndFilled()
{
    TestEnv env;
    QCOMPARE(GetNextCode(env.ctx().card, QStringLiteral("Plastra"), QStringLiteral("code")), 1);
    env.addCard(1, QStringLiteral("a"));
    env.addCard(5, QStringLiteral("b"));
    QCOMPARE(GetNextCode(env.ctx().card, QStringLiteral("Plastra"), QStringLiteral("code")), 6);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSharedQueries::getNextCode_refusesNonIdentifiers()
{
    TestEnv env;
    env.addCard(4, QStringLiteral("a"));
    ErrorInfo e;
    QCOMPARE(GetNextCode(env.ctx().card, QStringLiteral("Plastra; DELETE FROM Plastra"), QStringLiteral("code"), &e),
             -1);
    ShowError(e);
    QCOMPARE(GetNextCode(env.ctx().card, QStringLiteral("Plastra"), QStringLiteral("code) FROM Plastra --"), &e), -1);
    ShowError(e);
    QCOMPARE(MessageHook::shown().size(), 2);
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("Error ")));
    QVERIFY(MessageHook::shown().first().text.endsWith(QStringLiteral(" in procedure GetNextCode of Module modMain")));
    QCOMPARE(env.ctx().card.scalar(QStringLiteral("SELECT count(*) FROM Plastra")).toInt(), 1);
}

void TestSharedQueries::getNextCode_missingTableReportsQuery()
{
    TestEnv env;
    ErrorInfo e;
    QCOMPARE(GetNextCode(env.ctx().card, QStringLiteral("NoSuch"), QStringLiteral("code"), &e), -1);
    ShowError(e);
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().title, QStringLiteral("Query"));
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("Jet Data Base Engine의 식을 확인하세요.\r")));
}

// Card 3, period from 2005-06-15: May nets 20, 1 to 14 June nets 5.
void TestSharedQueries::getPrevBalance_workedExample()
{
    TestEnv env;
    env.addEntry(QStringLiteral("2005-05-03"), 3, 30, 5, 5);
    env.addEntry(QStringLiteral("2005-05-31"), 3, 0, 0, 0);
    env.addEntry(QStringLiteral("2005-06-01"), 3, 10, 2, 0);
    env.addEntry(QStringLiteral("2005-06-14"), 3, 0, 1, 2);
    env.addEntry(QStringLiteral("2005-06-15"), 3, 1000); // in the period: not brought forward
    env.addEntry(QStringLiteral("2005-05-10"), 4, 777);  // another card
    env.addTransfer(QStringLiteral("2005-04"), 3, 100);
    Database& db = env.ctx().ledger;
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-15"), 3), Money::fromWon(125));
    env.addTransfer(QStringLiteral("2005-05"), 3, 120);
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-15"), 3), Money::fromWon(125));
    // Rows of the period's own month and later are not used.
    env.addTransfer(QStringLiteral("2005-06"), 3, 9999);
    QCOMPARE(GetPrevBalance(db, QStringLiteral("2005-06-15"), 3), Money::fromWon(125));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSharedQueries::getPrevBalance_noTransferRowsIsZero()
{
    TestEnv env;
    env.addEntry(QStringLiteral("2005-01-03"), 1, 500);
    env.addEntry(QStringLiteral("2005-02-03"), 2, 700);
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-01"), 0), Money());
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-01"), 1), Money());
}

void TestSharedQueries::getPrevBalance_firstOfMonthAfterLatestRow()
{
    TestEnv env;
    env.addTransfer(QStringLiteral("2005-05"), 1, 120);
    env.addEntry(QStringLiteral("2005-05-20"), 1, 50); // already inside the May row
    env.addEntry(QStringLiteral("2005-06-01"), 1, 70); // inside the period
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-01"), 1), Money::fromWon(120));
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-02"), 1), Money::fromWon(190));
}

void TestSharedQueries::getPrevBalance_allCardsEachFromItsOwnMonth()
{
    TestEnv env;
    env.addTransfer(QStringLiteral("2005-04"), 3, 100);
    env.addEntry(QStringLiteral("2005-05-03"), 3, 25);
    env.addTransfer(QStringLiteral("2005-02"), 4, 50);
    env.addEntry(QStringLiteral("2005-03-09"), 4, 10);
    env.addEntry(QStringLiteral("2005-06-01"), 4, 1.5);
    env.addEntry(QStringLiteral("2005-03-09"), 5, 999); // no carry-over row: not counted
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-15"), 0), Money::fromDouble(186.5));
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-15"), 4), Money::fromDouble(61.5));
    QCOMPARE(GetPrevBalance(env.ctx().ledger, QStringLiteral("2005-06-15"), 5), Money());
}

void TestSharedQueries::getFee_rateMissingAndNull()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("a"), 2.5);
    env.addCard(2, QStringLiteral("b"), 0);
    env.ctx().card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee) VALUES (3, 'c', NULL)"));
    QCOMPARE(GetFee(env.ctx().card, 1), 2.5);
    QCOMPARE(GetFee(env.ctx().card, 2), 0.0);
    QCOMPARE(GetFee(env.ctx().card, 3), 0.0);
    QCOMPARE(GetFee(env.ctx().card, 42), 0.0);
    QVERIFY(MessageHook::shown().isEmpty());
}

// The routines hand back what went wrong as a code (and the engine's own
// code), and where for those worded as a routine's failure.
void TestSharedQueries::errors_areCodes()
{
    TestEnv env;
    Database& card = env.ctx().card;
    Database& ledger = env.ctx().ledger;
    card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee) VALUES (2, 'b', 'x')"));
    Database closed;
    QHash<int, Money> balances;
    struct Case {
        const char* what;
        std::function<void(ErrorInfo*)> run;
        ErrorCode code;
        int engineCode;
        ErrorPlace place;
    };
    const QList<Case> cases = {
        {"rate no number", [&](ErrorInfo* e) { GetFee(card, 2, e); }, ErrorCode::TypeMismatch, 0, ErrorPlace::Fee},
        {"period start no day",
         [&](ErrorInfo* e) { PrevBalancesByCard(ledger, QStringLiteral("2005-13-01"), &balances, e); },
         ErrorCode::TypeMismatch, 0, ErrorPlace::PrevBalances},
        {"one card's balance", [&](ErrorInfo* e) { GetPrevBalance(ledger, QStringLiteral("x"), 1, e); },
         ErrorCode::TypeMismatch, 0, ErrorPlace::PrevBalance},
        {"name no identifier", [&](ErrorInfo* e) { GetNextCode(card, QStringLiteral("a;b"), QStringLiteral("c"), e); },
         ErrorCode::BadName, 0, ErrorPlace::NextCode},
        {"closed handle",
         [&](ErrorInfo* e) { GetNextCode(closed, QStringLiteral("Plastra"), QStringLiteral("code"), e); },
         ErrorCode::NoConnection, 0, ErrorPlace::None},
        {"missing table", [&](ErrorInfo* e) { GetNextCode(card, QStringLiteral("NoSuch"), QStringLiteral("code"), e); },
         ErrorCode::Engine, 1, ErrorPlace::None}, // SQLITE_ERROR
        {"closed card book",
         [&](ErrorInfo* e) {
             QList<CardName> names;
             ListCardNames(closed, &names, e);
         },
         ErrorCode::NoConnection, 0, ErrorPlace::None},
        {"carry-over amount NULL",
         [&](ErrorInfo* e) {
             // Books of an older make, whose amounts may be NULL.
             ledger.execute(QStringLiteral("DROP TABLE transfer"));
             ledger.execute(QStringLiteral("CREATE TABLE transfer (sMonth TEXT, amount INTEGER, cardcode INTEGER)"));
             ledger.execute(QStringLiteral("INSERT INTO transfer VALUES ('2005-01', NULL, 1)"));
             PrevBalancesByCard(ledger, QStringLiteral("2005-03-01"), &balances, e);
         },
         ErrorCode::MissingValue, 0, ErrorPlace::PrevBalances},
    };
    for (const Case& c : cases) {
        ErrorInfo e;
        c.run(&e);
        QVERIFY2(e.code == c.code, c.what);
        QVERIFY2(e.engineCode == c.engineCode, c.what);
        QVERIFY2(e.place == c.place, c.what);
    }
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSharedQueries::centerForm_centresAndTakesIcon()
{
    QPixmap pix(16, 16);
    pix.fill(Qt::red);
    const QIcon appIcon(pix);
    QApplication::setWindowIcon(appIcon);
    QWidget w;
    w.resize(300, 200);
    CenterForm(&w, true);
    const QRect area = w.screen()->availableGeometry();
    const QSize size = w.frameGeometry().size();
    QCOMPARE(w.pos(),
             QPoint(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2));
    QCOMPARE(w.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());

    // A window placed already (its own position) stays where it is.
    QWidget placed;
    placed.resize(100, 100);
    placed.move(7, 9);
    CenterForm(&placed, false);
    QCOMPARE(placed.pos(), QPoint(7, 9));
}

void TestSharedQueries::setImeMode_hints()
{
    QWidget w;
    auto* edit = new QLineEdit(&w);
    w.show();
    QApplication::setActiveWindow(&w);
    edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit));
    SetImeMode(false);
    QVERIFY(edit->inputMethodHints().testFlag(Qt::ImhPreferLatin));
    SetImeMode(true);
    QVERIFY(!edit->inputMethodHints().testFlag(Qt::ImhPreferLatin));
    QVERIFY(!edit->inputMethodHints().testFlag(Qt::ImhLatinOnly));
}

QTEST_MAIN(TestSharedQueries)
#include "tst_sharedqueries.moc"

#include "LedgerWindowTestBase.h"

#include "data/books/AppPaths.h"
#include "gui/cards/frmPlastra_sel.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/ledger/LedgerStatusLine.h"
#include "gui/toolkit/ModalRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

// Typing entries into the sheet: the entry row, card search, amounts, the
// automatic fee, carry-over rows and the cursor rules.
class TestLedgerWindowEdit : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init() { startEnv(); }
    void cleanup() { stopEnv(); }

    void typicalEntryEndToEnd();
    void sevenIsTheSeventhOfThisMonth();
    void pickerClosedWithoutChoiceStoresNothing();
    void severalMatchesGoThroughThePicker();
    void noMatchRegistersANewCard();
    void noMatchDeclinedStoresNothing();
    void keysAfterRegisteringGoToTheSheet();
    void amountOnEntryRowBeforeCard();
    void enterOnEmptyCardNameOpensSearch();
    void invalidDateIsPutBack();
    void amountCellsTakeOnlyNumbers_data();
    void amountCellsTakeOnlyNumbers();
    void clearedAmountStoresZero_data();
    void clearedAmountStoresZero();
    void amountOutOfRangeIsPutBack();
    void failedStoreShowsStoredValue();
    void dateMoveAcrossMonthsShiftsCarryOver();
    void dateMoveWithinMonthChangesOnlyDate();
    void cardChangeShiftsBothCards();
    void autoFeeOffComputesNothing();
    void autoFeeWithZeroRateLeavesFee();
    void autoFeeSwitchIsStored();
    void enterFromPayOutGoesToNewEntry();
    void editInMiddleRecomputesBalancesBelow();
    void entryRowDateReachedByClickAndLeft();
    void bareNumberCardIsNamedInStatusLine();
    void storedEntryTakesItsPlace_data();
    void storedEntryTakesItsPlace();
};

namespace {
// Picks the row of the picker's grid whose text contains `name`, then its select button.
ModalHook::Handler PickCard(const QString& name)
{
    return [name](QDialog* d) {
        auto* grid = d->findChild<SpreadGrid*>(QStringLiteral("spList"));
        QVERIFY(grid);
        for (int r = 1; r <= grid->maxRows(); ++r) {
            for (int c = 1; c <= grid->maxCols(); ++c) {
                if (grid->text(c, r) == name) {
                    grid->setActiveCell(c, r);
                    auto* sel = d->findChild<QPushButton*>(QStringLiteral("btnSel"));
                    QVERIFY(sel);
                    sel->click();
                    return;
                }
            }
        }
        QFAIL("card not listed in the picker");
    };
}
} // namespace

void TestLedgerWindowEdit::typicalEntryEndToEnd()
{
    env->addCard(1, QStringLiteral("신한카드"), 2.5);
    env->addCard(2, QStringLiteral("국민카드"), 3.0);
    // Carry-over rows: May and April completed (today is 15 June 2005).
    env->addTransfer(QStringLiteral("2005-03"), 1, 0);
    env->addTransfer(QStringLiteral("2005-04"), 1, 100);
    env->addTransfer(QStringLiteral("2005-05"), 1, 100);
    env->addEntry(QStringLiteral("2005-05-02"), 1, 0, 0, 0);
    openWindow();
    QVERIFY(autoFee()->isChecked());
    view(QStringLiteral("2005-05-01"), QStringLiteral("2005-05-31"));
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("100"));

    // The date: "7" is the 7th of the current month; 0507 the 7th of May.
    typeInto(LedgerModel::Date, 3, QStringLiteral("0507"));
    QCOMPARE(cell(LedgerModel::Date, 3), QStringLiteral("2005-05-07"));
    QCOMPARE(win->entryDate(), QStringLiteral("2005-05-07"));
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1); // a date alone stores nothing

    // The card: one match, no picker; the entry is inserted and a new entry row follows.
    typeText(QStringLiteral("신한"));
    QVERIFY(ModalHook::shown().isEmpty());
    const int key = lastKey();
    QCOMPARE(env->count(QStringLiteral("Tallox")), 2);
    QCOMPARE(keyText(3), QString::number(key));
    QCOMPARE(cardText(3), QStringLiteral("1"));
    QCOMPARE(cell(LedgerModel::CardName, 3), QStringLiteral("신한카드"));
    QCOMPARE(rows(), 4);
    QCOMPARE(cell(LedgerModel::Date, 4), QStringLiteral("2005-05-07"));
    QCOMPARE(activeCol(), int(LedgerModel::Slips));
    QCOMPARE(activeRow(), 3);

    typeText(QStringLiteral("3"));
    QCOMPARE(activeCol(), int(LedgerModel::Sale));
    // The sale: the fee follows (2.5 % of 900 = 22.5, stored 23) and Enter
    // jumps to the card name of the new entry row.
    typeText(QStringLiteral("900"));
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    QCOMPARE(activeRow(), 4);
    // The status line says where the cursor went (not to the pay-out).
    QCOMPARE(win->statusBar()->currentMessage(), LedgerStatusLine::nextEntryText());

    const QVariantMap e = entry(key);
    QCOMPARE(e[QStringLiteral("sdate")].toString(), QStringLiteral("2005-05-07"));
    QCOMPARE(e[QStringLiteral("cardcode")].toInt(), 1);
    QCOMPARE(e[QStringLiteral("numsheet")].toInt(), 3);
    QCOMPARE(e[QStringLiteral("sale")].toString(), QStringLiteral("900"));
    QCOMPARE(e[QStringLiteral("fee")].toString(), QStringLiteral("23"));
    QCOMPARE(e[QStringLiteral("billcoll")].toString(), QStringLiteral("0"));
    QCOMPARE(cell(LedgerModel::Fee, 3), QStringLiteral("23"));

    // Carry-over: April untouched, May moved by the net 877.
    QCOMPARE(env->transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(100));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 1), Money::fromWon(977));

    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("100"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("977"));
    QCOMPARE(cell(LedgerModel::Balance, 4), QString());
    QCOMPARE(stripCell(LedgerModel::Slips), QStringLiteral("4"));
    QCOMPARE(stripCell(LedgerModel::Sale), QStringLiteral("900"));
    QCOMPARE(stripCell(LedgerModel::Fee), QStringLiteral("23"));
    QCOMPARE(stripCell(LedgerModel::BillColl), QStringLiteral("0"));
    QCOMPARE(MessageHook::shown().size(), 0);
}

void TestLedgerWindowEdit::sevenIsTheSeventhOfThisMonth()
{
    env->addCard(1, QStringLiteral("신한카드"), 2.5);
    env->addTransfer(QStringLiteral("2005-04"), 1, 0);
    env->addTransfer(QStringLiteral("2005-05"), 1, 400);
    openWindow();
    typeInto(LedgerModel::Date, 2, QStringLiteral("7"));
    QCOMPARE(cell(LedgerModel::Date, 2), QStringLiteral("2005-06-07"));
    typeText(QStringLiteral("신한"));
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(LedgerModel::Date, 3), QStringLiteral("2005-06-07")); // the next entry row takes the typed date
    typeText(QString(), true);                                          // slips left empty
    typeText(QStringLiteral("3"));
    // 2.5 % of 3 is 0.075: the fee stays 0 and the cell empty.
    const int key = lastKey();
    QCOMPARE(entry(key)[QStringLiteral("sale")].toString(), QStringLiteral("3"));
    QCOMPARE(entry(key)[QStringLiteral("fee")].toString(), QStringLiteral("0"));
    QCOMPARE(cell(LedgerModel::Fee, 2), QString());
    // A June entry moves no stored carry-over row; May's row exists already.
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 1), Money::fromWon(400));
    QCOMPARE(env->count(QStringLiteral("transfer")), 2);
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("400"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("403"));
    QCOMPARE(activeRow(), 3);
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
}

void TestLedgerWindowEdit::pickerClosedWithoutChoiceStoresNothing()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("신한BC"));
    openWindow();
    ModalHook::push([](QDialog* d) { d->reject(); });
    typeInto(LedgerModel::CardName, 2, QStringLiteral("신한"));
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_sel")});
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
    QCOMPARE(cell(LedgerModel::CardName, 2), QString());
    QCOMPARE(cardText(2), QString());
    QCOMPARE(rows(), 2);
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
}

void TestLedgerWindowEdit::severalMatchesGoThroughThePicker()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("신한BC"));
    openWindow();
    ModalHook::push(PickCard(QStringLiteral("신한BC")));
    typeInto(LedgerModel::CardName, 2, QStringLiteral("신한"));
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_sel")});
    QVERIFY(ModalHook::unhandled().isEmpty());
    const int key = lastKey();
    QCOMPARE(entry(key)[QStringLiteral("cardcode")].toInt(), 2);
    QCOMPARE(entry(key)[QStringLiteral("sdate")].toString(), QStringLiteral("2005-06-15"));
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("신한BC"));
    QCOMPARE(cardText(2), QStringLiteral("2"));
    QCOMPARE(rows(), 3);
}

void TestLedgerWindowEdit::noMatchRegistersANewCard()
{
    env->addCard(1, QStringLiteral("신한카드"));
    openWindow();
    MessageHook::answer(MsgAnswer::Yes);
    ModalHook::push([](QDialog* d) {
        auto* fee = d->findChild<QLineEdit*>(QStringLiteral("txtFee"));
        QVERIFY(fee);
        fee->setText(QStringLiteral("2"));
        d->findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    });
    typeInto(LedgerModel::CardName, 2, QStringLiteral("하나카드"));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().title, QStringLiteral("신용카드 검색"));
    QCOMPARE(MessageHook::shown().first().text,
             QStringLiteral("검색한 신용카드가 등록되어 있지 않습니다.\r\n신규 등록하겠습니까?"));
    const int newCode =
        env->ctx()
            .card.scalar(QStringLiteral("SELECT code FROM Plastra WHERE name = ?"), {QStringLiteral("하나카드")})
            .toInt();
    QVERIFY(newCode > 1);
    QCOMPARE(entry(lastKey())[QStringLiteral("cardcode")].toInt(), newCode);
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("하나카드"));
    // The card filter knows the new card.
    QVERIFY(cardFilter()->findData(newCode) > 0);
}

// The keys typed after the editor closed must reach the slips cell of the new
// entry, as they would from the keyboard: to whatever has the focus.
void TestLedgerWindowEdit::keysAfterRegisteringGoToTheSheet()
{
    openWindow();
    MessageHook::answer(MsgAnswer::Yes);
    ModalHook::push([](QDialog* d) {
        auto* fee = d->findChild<QLineEdit*>(QStringLiteral("txtFee"));
        fee->setFocus();
        fee->setText(QStringLiteral("2.5"));
        d->findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    });
    typeInto(LedgerModel::CardName, 2, QStringLiteral("국민카드"));
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_write")});
    QTRY_COMPARE(QApplication::activeWindow(), win);
    QCOMPARE(QApplication::focusWidget(), sheet());
    QCOMPARE(activeCol(), int(LedgerModel::Slips));
    QCOMPARE(activeRow(), 2);
    for (const char* text : {"3", "10000"}) {
        for (const QChar ch : QString::fromLatin1(text))
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    const QVariantMap e = entry(lastKey());
    QCOMPARE(e[QStringLiteral("numsheet")].toInt(), 3);
    QCOMPARE(e[QStringLiteral("sale")].toString(), QStringLiteral("10000"));
}

void TestLedgerWindowEdit::noMatchDeclinedStoresNothing()
{
    env->addCard(1, QStringLiteral("신한카드"));
    openWindow();
    MessageHook::answer(MsgAnswer::No);
    typeInto(LedgerModel::CardName, 2, QStringLiteral("하나"));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
    QCOMPARE(cell(LedgerModel::CardName, 2), QString());
    QCOMPARE(cardText(2), QString());
    QCOMPARE(rows(), 2);
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    QCOMPARE(activeRow(), 2);
}

void TestLedgerWindowEdit::amountOnEntryRowBeforeCard()
{
    env->addCard(1, QStringLiteral("신한카드"));
    openWindow();
    typeInto(LedgerModel::Sale, 2, QStringLiteral("5000"));
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "카드명을 먼저 입력하세요.");
    QCOMPARE(cell(LedgerModel::Sale, 2), QString());
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
    QCOMPARE(env->count(QStringLiteral("transfer")), 0);
    QCOMPARE(Money::fromLeading(stripCell(LedgerModel::Sale)), Money());
}

void TestLedgerWindowEdit::enterOnEmptyCardNameOpensSearch()
{
    openWindow(); // no cards at all
    MessageHook::answer(MsgAnswer::No);
    gotoCell(LedgerModel::CardName, 2);
    pressEnter();
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().text, QStringLiteral("등록된 신용카드가 없습니다.\r\n신규 등록하겠습니까?"));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
}

void TestLedgerWindowEdit::invalidDateIsPutBack()
{
    env->addCard(1, QStringLiteral("신한카드"));
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    typeInto(LedgerModel::Date, 2, QStringLiteral("0231"));
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("[0231]는 날짜형식이 아닙니다.")));
    QCOMPARE(cell(LedgerModel::Date, 2), QStringLiteral("2005-06-15"));
    QCOMPARE(entry(key)[QStringLiteral("sdate")].toString(), QStringLiteral("2005-06-15"));
    QCOMPARE(win->entryDate(), QStringLiteral("2005-06-15"));
    QCOMPARE(activeCol(), int(LedgerModel::Date)); // the cursor stays on the refused cell
}

void TestLedgerWindowEdit::amountCellsTakeOnlyNumbers_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // and stored; "" keeps what the entry had
    const QList<std::pair<int, const char*>> columns = {{LedgerModel::Slips, "numsheet"},
                                                        {LedgerModel::Sale, "sale"},
                                                        {LedgerModel::Fee, "fee"},
                                                        {LedgerModel::BillColl, "billcoll"}};
    for (const auto& [col, field] : columns) {
        QTest::addRow("%s letters", field) << col << field << QStringLiteral("abc") << QString();
        QTest::addRow("%s hangul", field) << col << field << QStringLiteral("가") << QString();
        QTest::addRow("%s digits and a letter", field) << col << field << QStringLiteral("12a") << QStringLiteral("12");
    }
}

void TestLedgerWindowEdit::amountCellsTakeOnlyNumbers()
{
    QFETCH(int, col);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    env->addCard(1, QStringLiteral("신한카드"));
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 500, 20, 100, 3);
    openWindow();
    const QString before = cell(col, 2);
    const QString storedBefore = entry(key)[field].toString();
    typeInto(col, 2, typed);
    QVERIFY(MessageHook::shown().isEmpty()); // no type mismatch box
    QCOMPARE(cell(col, 2), shown.isEmpty() ? before : shown);
    QCOMPARE(entry(key)[field].toString(), shown.isEmpty() ? storedBefore : shown);
    const QVariantMap e = entry(key);
    const Money balance = Money::parse(e[QStringLiteral("sale")].toString()).value() -
                          Money::parse(e[QStringLiteral("fee")].toString()).value() -
                          Money::parse(e[QStringLiteral("billcoll")].toString()).value();
    QCOMPARE(cell(LedgerModel::Balance, 2), balance.toPlainString());
}

void TestLedgerWindowEdit::clearedAmountStoresZero_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("shown"); // as a fresh load shows the stored 0
    QTest::newRow("slips") << int(LedgerModel::Slips) << QStringLiteral("numsheet") << QStringLiteral("380") << "0";
    QTest::newRow("sale") << int(LedgerModel::Sale) << QStringLiteral("sale") << QStringLiteral("-120") << "";
    QTest::newRow("fee") << int(LedgerModel::Fee) << QStringLiteral("fee") << QStringLiteral("400") << "";
    QTest::newRow("pay-out") << int(LedgerModel::BillColl) << QStringLiteral("billcoll") << QStringLiteral("480") << "";
}

void TestLedgerWindowEdit::clearedAmountStoresZero()
{
    QFETCH(int, col);
    QFETCH(QString, field);
    QFETCH(QString, balance);
    QFETCH(QString, shown);
    env->addCard(1, QStringLiteral("신한카드"));
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 500, 20, 100, 3);
    openWindow();
    gotoCell(col, 2);
    pressKey(Qt::Key_Backspace); // the cell's editor opens emptied
    QVERIFY(sheet()->cellEditor());
    QCOMPARE(sheet()->cellEditor()->text(), QString());
    pressEnter();
    QVERIFY(MessageHook::shown().isEmpty());
    QCOMPARE(entry(key)[field].toString(), QStringLiteral("0"));
    QCOMPARE(cell(col, 2), shown);
    QCOMPARE(cell(LedgerModel::Balance, 2), balance);
    QCOMPARE(stripCell(col), QStringLiteral("0")); // the only entry's figure left the sum
}

void TestLedgerWindowEdit::amountOutOfRangeIsPutBack()
{
    env->addCard(1, QStringLiteral("신한카드"));
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 500);
    openWindow();
    typeInto(LedgerModel::BillColl, 2, QStringLiteral("10000000001"));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(cell(LedgerModel::BillColl, 2), QString());
    QCOMPARE(entry(key)[QStringLiteral("billcoll")].toString(), QStringLiteral("0"));
    typeInto(LedgerModel::BillColl, 2, QStringLiteral("-10000000000"));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(entry(key)[QStringLiteral("billcoll")].toString(), QStringLiteral("-10000000000"));
}

void TestLedgerWindowEdit::failedStoreShowsStoredValue()
{
    env->addCard(1, QStringLiteral("신한카드"));
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 500);
    // The engine refuses one particular value.
    QVERIFY(env->ctx().ledger.execute(
                QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF sale ON Tallox"
                               " WHEN NEW.sale = 12340000 BEGIN SELECT RAISE(ABORT, 'refused'); END")) >= 0);
    openWindow();
    autoFee()->setChecked(false);
    typeInto(LedgerModel::Sale, 2, QStringLiteral("1234"));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().kind, QStringLiteral("error"));
    QCOMPARE(cell(LedgerModel::Sale, 2), QStringLiteral("500"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("500"));
    QCOMPARE(entry(key)[QStringLiteral("sale")].toString(), QStringLiteral("500"));
    QCOMPARE(stripCell(LedgerModel::Sale), QStringLiteral("500"));
}

void TestLedgerWindowEdit::dateMoveAcrossMonthsShiftsCarryOver()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-03"), 1, 0);
    env->addTransfer(QStringLiteral("2005-04"), 1, 0);
    env->addTransfer(QStringLiteral("2005-05"), 1, 1000);
    const int key = env->addEntry(QStringLiteral("2005-05-10"), 1, 1000);
    openWindow();
    view(QStringLiteral("2005-04-01"), QStringLiteral("2005-05-31"));
    typeInto(LedgerModel::Date, 2, QStringLiteral("20050410"));
    QCOMPARE(cell(LedgerModel::Date, 2), QStringLiteral("2005-04-10"));
    QCOMPARE(entry(key)[QStringLiteral("sdate")].toString(), QStringLiteral("2005-04-10"));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-03"), 1), Money());
    QCOMPARE(env->transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(1000));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 1), Money::fromWon(1000));
    // An entry's own date leaves the entry row's date alone (the period's default: its last day before today).
    QCOMPARE(win->entryDate(), QStringLiteral("2005-05-31"));
    QCOMPARE(cell(LedgerModel::Date, rows()), QStringLiteral("2005-05-31"));
}

void TestLedgerWindowEdit::dateMoveWithinMonthChangesOnlyDate()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 0);
    env->addTransfer(QStringLiteral("2005-05"), 1, 1000);
    const int key = env->addEntry(QStringLiteral("2005-05-10"), 1, 1000);
    openWindow();
    view(QStringLiteral("2005-05-01"), QStringLiteral("2005-05-31"));
    typeInto(LedgerModel::Date, 2, QStringLiteral("0520"));
    QCOMPARE(entry(key)[QStringLiteral("sdate")].toString(), QStringLiteral("2005-05-20"));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 1), Money::fromWon(1000));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-04"), 1), Money());
}

void TestLedgerWindowEdit::cardChangeShiftsBothCards()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("국민카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 0);
    env->addTransfer(QStringLiteral("2005-05"), 1, 800);
    env->addTransfer(QStringLiteral("2005-04"), 2, 0);
    env->addTransfer(QStringLiteral("2005-05"), 2, 0);
    const int key = env->addEntry(QStringLiteral("2005-05-10"), 1, 1000, 0, 200);
    openWindow();
    view(QStringLiteral("2005-05-01"), QStringLiteral("2005-05-31"));
    typeInto(LedgerModel::CardName, 2, QStringLiteral("국민"));
    QCOMPARE(entry(key)[QStringLiteral("cardcode")].toInt(), 2);
    QCOMPARE(cardText(2), QStringLiteral("2"));
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("국민카드"));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 1), Money());
    QCOMPARE(env->transferAmount(QStringLiteral("2005-05"), 2), Money::fromWon(800));
    QCOMPARE(rows(), 3); // no new row: the entry existed
}

void TestLedgerWindowEdit::autoFeeOffComputesNothing()
{
    env->addCard(1, QStringLiteral("신한카드"), 2.5);
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 0);
    openWindow();
    autoFee()->setChecked(false);
    typeInto(LedgerModel::Sale, 2, QStringLiteral("1000"));
    QCOMPARE(entry(key)[QStringLiteral("fee")].toString(), QStringLiteral("0"));
    QCOMPARE(cell(LedgerModel::Fee, 2), QString());
    // Without the automatic fee Enter goes on to the fee.
    QCOMPARE(activeCol(), int(LedgerModel::Fee));
    typeText(QStringLiteral("30"));
    QCOMPARE(entry(key)[QStringLiteral("fee")].toString(), QStringLiteral("30"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("970"));
    QCOMPARE(activeCol(), int(LedgerModel::BillColl));
}

void TestLedgerWindowEdit::autoFeeWithZeroRateLeavesFee()
{
    env->addCard(1, QStringLiteral("신한카드"), 0);
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 0, 15);
    openWindow();
    QVERIFY(autoFee()->isChecked());
    typeInto(LedgerModel::Sale, 2, QStringLiteral("650"));
    QCOMPARE(entry(key)[QStringLiteral("fee")].toString(), QStringLiteral("15"));
    QCOMPARE(cell(LedgerModel::Fee, 2), QStringLiteral("15"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("635"));
}

void TestLedgerWindowEdit::autoFeeSwitchIsStored()
{
    openWindow();
    QVERIFY(autoFee()->isChecked()); // on for a new user
    autoFee()->click();
    QCOMPARE(UserSettings()->value(QStringLiteral("Configuration/FeeAutoInput")).toString(), QStringLiteral("0"));
    closeWindow();
    openWindow();
    QVERIFY(!autoFee()->isChecked());
    autoFee()->click();
    QCOMPARE(UserSettings()->value(QStringLiteral("Configuration/FeeAutoInput")).toString(), QStringLiteral("1"));
}

void TestLedgerWindowEdit::enterFromPayOutGoesToNewEntry()
{
    env->addCard(1, QStringLiteral("신한카드"), 3);
    const int key = env->addEntry(QStringLiteral("2005-06-15"), 1, 0);
    openWindow();
    typeInto(LedgerModel::BillColl, 2, QStringLiteral("700"));
    QCOMPARE(entry(key)[QStringLiteral("billcoll")].toString(), QStringLiteral("700"));
    // Past the pay-out Enter goes to the next row's date; on the entry row
    // that becomes its card name.
    QCOMPARE(activeRow(), 3);
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("-700"));
    QCOMPARE(stripCell(LedgerModel::BillColl), QStringLiteral("700"));
}

void TestLedgerWindowEdit::editInMiddleRecomputesBalancesBelow()
{
    env->addCard(1, QStringLiteral("신한카드"), 3);
    env->addEntry(QStringLiteral("2005-06-01"), 1, 100);
    const int mid = env->addEntry(QStringLiteral("2005-06-02"), 1, 200);
    env->addEntry(QStringLiteral("2005-06-03"), 1, 300);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    // 3 % of 650 = 19.5: stored 20.
    typeInto(LedgerModel::Sale, 3, QStringLiteral("650"));
    QCOMPARE(entry(mid)[QStringLiteral("sale")].toString(), QStringLiteral("650"));
    QCOMPARE(entry(mid)[QStringLiteral("fee")].toString(), QStringLiteral("20"));
    QCOMPARE(cell(LedgerModel::Balance, 2), QStringLiteral("100"));
    QCOMPARE(cell(LedgerModel::Balance, 3), QStringLiteral("730"));
    QCOMPARE(cell(LedgerModel::Balance, 4), QStringLiteral("1030"));
    QCOMPARE(stripCell(LedgerModel::Sale), QStringLiteral("1050"));
    QCOMPARE(stripCell(LedgerModel::Fee), QStringLiteral("20"));
    // Not the last entry: Enter simply moves on to the pay-out.
    QCOMPARE(activeRow(), 3);
    QCOMPARE(activeCol(), int(LedgerModel::BillColl));
}

void TestLedgerWindowEdit::entryRowDateReachedByClickAndLeft()
{
    env->addCard(3, QStringLiteral("BC카드"));
    openWindow();
    const int entryRow = rows();
    // The keyboard still starts a new entry at its card company...
    gotoCell(LedgerModel::Date, entryRow - 1);
    QTest::keyClick(sheet(), Qt::Key_Down);
    QCOMPARE(activeCol(), int(LedgerModel::CardName));
    // ...but a click on the date cell, or Left from the card name, reaches the date.
    gotoCell(LedgerModel::Date, entryRow - 1);
    clickCell(LedgerModel::Date, entryRow);
    QCOMPARE(activeCol(), int(LedgerModel::Date));
    gotoCell(LedgerModel::CardName, entryRow);
    QTest::keyClick(sheet(), Qt::Key_Left);
    QCOMPARE(activeCol(), int(LedgerModel::Date));
    typeText(QStringLiteral("3"));
    QCOMPARE(cell(LedgerModel::Date, entryRow), QStringLiteral("2005-06-03"));
    QCOMPARE(cell(LedgerModel::CardName, entryRow), QString());
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
}

void TestLedgerWindowEdit::bareNumberCardIsNamedInStatusLine()
{
    env->addCard(3, QStringLiteral("BC카드"));
    openWindow();
    typeInto(LedgerModel::CardName, rows(), QStringLiteral("3"));
    QCOMPARE(entry(lastKey())[QStringLiteral("cardcode")].toInt(), 3);
    QVERIFY2(win->statusBar()->currentMessage().contains(QStringLiteral("카드코드 3 BC카드")),
             qPrintable(win->statusBar()->currentMessage()));
}

void TestLedgerWindowEdit::storedEntryTakesItsPlace_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("lines"); // "DATE BALANCE" from the brought-forward row on
    QTest::addColumn<int>("cursorRow");
    QTest::newRow("after the period") << 0 << int(LedgerModel::Date) << "20050705"
                                      << QStringList{"[전기이월] 1000", "2005-06-02 1100", "2005-06-03 1300"} << 2;
    QTest::newRow("before the period") << 0 << int(LedgerModel::Date) << "20050520"
                                       << QStringList{"[전기이월] 1300", "2005-06-02 1400", "2005-06-03 1600"} << 2;
    QTest::newRow("off the card filter") << 1 << int(LedgerModel::CardName) << "국민"
                                         << QStringList{"[전기이월] 1000", "2005-06-02 1100", "2005-06-03 1300"} << 2;
    QTest::newRow("later in the period") << 0 << int(LedgerModel::Date) << "20050620"
                                         << QStringList{"[전기이월] 1000", "2005-06-02 1100", "2005-06-03 1300",
                                                        "2005-06-20 1600"}
                                         << 4;
}

// A stored date or card that takes the entry out of the period or the card
// filter takes it off the sheet; one that moves it in the period moves it.
void TestLedgerWindowEdit::storedEntryTakesItsPlace()
{
    QFETCH(int, card);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QStringList, lines);
    QFETCH(int, cursorRow);
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("국민카드"));
    env->addTransfer(QStringLiteral("2005-05"), 1, 1000);
    env->addEntry(QStringLiteral("2005-06-01"), 1, 300);
    env->addEntry(QStringLiteral("2005-06-02"), 1, 100);
    env->addEntry(QStringLiteral("2005-06-03"), 1, 200);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), card);
    typeInto(col, 2, typed);
    QStringList shown;
    for (int r = 1; r < rows(); ++r)
        shown << cell(LedgerModel::Date, r) + QLatin1Char(' ') + cell(LedgerModel::Balance, r);
    QCOMPARE(shown, lines);
    QCOMPARE(activeRow(), cursorRow);
    QCOMPARE(cell(LedgerModel::Date, rows()), QStringLiteral("2005-06-15"));
}

QTEST_MAIN(TestLedgerWindowEdit)
#include "tst_ledgerwindow_edit.moc"

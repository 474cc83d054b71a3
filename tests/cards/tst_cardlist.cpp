#include "CardTestHelpers.h"

#include "gui/cards/frmPlastra_read.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/toolkit/ModalRun.h"

#include <QLabel>

using namespace CardTest;

class TestCardList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void listsEveryCardByNameWithItsCount();
    void settlementDaysColumnIsShown();
    void enterInSearchBoxReloadsByPartOfName();
    void apostropheInSearchIsFound();
    void wildcardCharactersAreTakenLiterally();
    void threeNewCardsWithContinueAreAppended();
    void functionKeysReachTheWindow();
    void editOverwritesTheActiveRow();
    void editOrDeleteWithEmptyGridAsksForSelection();
    void doubleClickOnHeaderDoesNothing();
    void enterInGridOpensEditor();
    void deleteAnsweredNoChangesNothing();
    void deletingLastRowLeavesZeroCount();
    void deleteWarnsAboutLedgerEntries();
    void deleteOfVanishedCardWarns();
    void deleteRefusedByEngine();
    void deleteEngineErrorIsReported();
    void missingDatabaseLeavesEmptyList();

private:
    std::unique_ptr<TestEnv> env;
    void addThreeCards()
    {
        env->addCard(3, QStringLiteral("삼성"), 2.5);
        env->addCard(1, QStringLiteral("국민"), 1.75);
        env->addCard(2, QStringLiteral("비씨"), 3.0);
    }
};

void TestCardList::init()
{
    env = std::make_unique<TestEnv>();
    ModalHook::enable();
    ModalHook::reset();
}

void TestCardList::cleanup()
{
    QVERIFY2(ModalHook::unhandled().isEmpty(), qPrintable(ModalHook::unhandled().join(u',')));
    QVERIFY2(MessageHook::unscripted().isEmpty(), qPrintable(MessageHook::unscripted().join(u',')));
    ModalHook::disable();
    env.reset();
}

void TestCardList::listsEveryCardByNameWithItsCount()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    QCOMPARE(w.windowTitle(), QStringLiteral("신용카드 목록"));
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("국민"), QStringLiteral("비씨"), QStringLiteral("삼성")}));
    QCOMPARE(column(grid, 1), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(column(grid, 3), (QStringList{QStringLiteral("1.75"), QStringLiteral("3"), QStringLiteral("2.5")}));
    QCOMPARE(grid->displayText(3, 1), QStringLiteral("1.75"));
    QCOMPARE(grid->displayText(3, 2), QStringLiteral("3.00"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    3"));
    QCOMPARE(frmPlastra_read::RecordCountText(123456), QStringLiteral("등록수:123456"));
    QVERIFY(grid->isLocked(2, 1));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardList::settlementDaysColumnIsShown()
{
    env->addCard(1, QStringLiteral("BC카드"), 2.0, 3);
    frmPlastra_read w(env->ctx().cardPath);
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QCOMPARE(grid->maxCols(), 4);
    QVERIFY(!grid->colHidden(4));
    QCOMPARE(grid->headerText(4), QStringLiteral("결제일"));
    QCOMPARE(grid->text(4, 1), QStringLiteral("3"));
    QVERIFY(qAbs(grid->colWidth(4) - 5.87) < 0.001);
    QVERIFY(qAbs(grid->colWidth(2) - 24.62) < 0.001);
    QCOMPARE(grid->headerText(2), QStringLiteral("카 드 명"));
    // The anchor lies above the client area but for its bottom edge.
    auto* anchor = w.findChild<QLineEdit*>(QStringLiteral("subFormPos"));
    QVERIFY(anchor->geometry().top() < 0);
    QVERIFY(anchor->geometry().bottom() >= 0);
}

void TestCardList::enterInSearchBoxReloadsByPartOfName()
{
    addThreeCards();
    env->addCard(4, QStringLiteral("삼성카드"));
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    auto* search = w.findChild<QLineEdit*>(QStringLiteral("txtinput"));
    typeText(search, QStringLiteral("성"));
    QCOMPARE(grid->maxRows(), 4); // typing alone does not reload
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("삼성"), QStringLiteral("삼성카드")}));
    QCOMPARE(search->text(), QStringLiteral("성"));
    QVERIFY(w.isVisible());
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    2"));
    QVERIFY(ModalHook::shown().isEmpty()); // Enter pressed no button
}

void TestCardList::apostropheInSearchIsFound()
{
    addThreeCards();
    env->addCard(7, QStringLiteral("O'Neil 카드"));
    frmPlastra_read w(env->ctx().cardPath);
    auto* search = w.findChild<QLineEdit*>(QStringLiteral("txtinput"));
    typeText(search, QStringLiteral("O'Neil"));
    QTest::keyClick(search, Qt::Key_Return);
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QCOMPARE(column(grid, 1), QStringList{QStringLiteral("7")});
    QVERIFY(MessageHook::shown().isEmpty());
    // Text that would change an SQL statement is just text that matches nothing.
    search->setText(QStringLiteral("' OR 1=1 --"));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(grid->maxRows(), 0);
    QVERIFY(MessageHook::shown().isEmpty());
    QCOMPARE(cardTable(*env).size(), 4);
}

void TestCardList::wildcardCharactersAreTakenLiterally()
{
    env->addCard(1, QStringLiteral("50%할인"));
    env->addCard(2, QStringLiteral("5할인"));
    env->addCard(3, QStringLiteral("A_B"));
    env->addCard(4, QStringLiteral("AXB"));
    env->addCard(5, QStringLiteral("별*카드"));
    env->addCard(6, QStringLiteral("별카드"));
    frmPlastra_read w(env->ctx().cardPath);
    auto* search = w.findChild<QLineEdit*>(QStringLiteral("txtinput"));
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    const struct {
        QString text;
        QStringList codes;
    } cases[] = {{QStringLiteral("%"), {QStringLiteral("1")}},
                 {QStringLiteral("A_B"), {QStringLiteral("3")}},
                 {QStringLiteral("*"), {QStringLiteral("5")}},
                 {QStringLiteral("\\"), {}},
                 {QStringLiteral("할인"), {QStringLiteral("1"), QStringLiteral("2")}}};
    for (const auto& c : cases) {
        search->setText(c.text);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(column(grid, 1), c.codes);
    }
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardList::threeNewCardsWithContinueAreAppended()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    ModalHook::push([](QDialog* d) {
        auto* ed = qobject_cast<frmPlastra_write*>(d);
        QVERIFY(ed);
        QCOMPARE(ed->Mode(), 1);
        QVERIFY(ed->continueAdd());
        for (const QString& name : {QStringLiteral("하나"), QStringLiteral("가나"), QStringLiteral("신한")}) {
            typeInto(d, "txtName", name);
            press(d, "btnSave");
            QVERIFY(d->isVisible());
        }
        press(d, "btnClose");
    });
    press(&w, "btnAdd");
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_write")});
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    // Appended in the order of storing, out of name order, until the next reload.
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("국민"), QStringLiteral("비씨"), QStringLiteral("삼성"),
                                           QStringLiteral("하나"), QStringLiteral("가나"), QStringLiteral("신한")}));
    QCOMPARE(column(grid, 1), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                           QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    6"));
    QCOMPARE(grid->activeRow(), 6);
    QCOMPARE(cardTable(*env).size(), 6);
}

void TestCardList::functionKeysReachTheWindow()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    auto* search = w.findChild<QLineEdit*>(QStringLiteral("txtinput"));
    int modes[2] = {0, 0};
    ModalHook::push([&](QDialog* d) { modes[0] = qobject_cast<frmPlastra_write*>(d)->Mode(); });
    ModalHook::push([&](QDialog* d) { modes[1] = qobject_cast<frmPlastra_write*>(d)->Mode(); });
    search->setFocus();
    QTest::keyClick(search, Qt::Key_F2);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F3);
    QCOMPARE(modes[0], 1);
    QCOMPARE(modes[1], 2);
    QCOMPARE(ModalHook::unhandled().size(), 2); // both left open by their handlers
    ModalHook::reset();
    MessageHook::answer(MsgAnswer::No);
    QTest::keyClick(search, Qt::Key_F4);
    TALLOX_COMPARE_LAST_BOX("question", "카드삭제", "[국민]를 정말로 삭제 하시겠습니까?");
}

void TestCardList::editOverwritesTheActiveRow()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(2, 2); // 비씨, code 2
    auto* anchor = w.findChild<QLineEdit*>(QStringLiteral("subFormPos"));
    const QPoint below = anchor->mapToGlobal(QPoint(0, anchor->height()));
    ModalHook::push([below](QDialog* d) {
        // The editor's top-left corner sits just below the hidden anchor, inside the list's client area.
        QCOMPARE(d->pos(), below);
        auto* ed = qobject_cast<frmPlastra_write*>(d);
        QCOMPARE(ed->windowTitle(), QStringLiteral("기존 카드 수정"));
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("txtName"))->text(), QStringLiteral("비씨"));
        QVERIFY(!d->findChild<QWidget*>(QStringLiteral("ChkContinueAdd"))->isVisible());
        typeInto(d, "txtName", QStringLiteral("비씨카드"));
        typeInto(d, "txtFee", QStringLiteral("1.2"));
        press(d, "btnSave");
    });
    press(&w, "btnEdit");
    QCOMPARE(ModalHook::shown().size(), 1);
    QCOMPARE(grid->maxRows(), 3);
    QCOMPARE(grid->text(1, 2), QStringLiteral("2"));
    QCOMPARE(grid->text(2, 2), QStringLiteral("비씨카드"));
    QCOMPARE(grid->text(3, 2), QStringLiteral("1.2"));
    QCOMPARE(grid->activeRow(), 2);
    QCOMPARE(cardTable(*env),
             (QStringList{QStringLiteral("1 국민"), QStringLiteral("2 비씨카드"), QStringLiteral("3 삼성")}));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    3"));
}

void TestCardList::editOrDeleteWithEmptyGridAsksForSelection()
{
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    press(&w, "btnEdit");
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "수정할 카드를 선택하세요.");
    press(&w, "btnDelete");
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "삭제할 카드를 선택하세요.");
    QVERIFY(ModalHook::shown().isEmpty());
}

void TestCardList::doubleClickOnHeaderDoesNothing()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    Q_EMIT grid->dblClick(2, 0);
    QVERIFY(ModalHook::shown().isEmpty());
    int code = 0;
    ModalHook::push([&](QDialog* d) {
        code = qobject_cast<frmPlastra_write*>(d)->currentCode();
        press(d, "btnClose");
    });
    grid->setActiveCell(2, 3);
    Q_EMIT grid->dblClick(2, 3);
    QCOMPARE(ModalHook::shown().size(), 1);
    QCOMPARE(code, 3);
}

void TestCardList::enterInGridOpensEditor()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(1, 1);
    int code = 0;
    ModalHook::push([&](QDialog* d) {
        code = qobject_cast<frmPlastra_write*>(d)->currentCode();
        press(d, "btnClose");
    });
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(ModalHook::shown().size(), 1);
    QCOMPARE(code, 1);
    QVERIFY(w.isVisible());
}

void TestCardList::deleteAnsweredNoChangesNothing()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(2, 3);
    MessageHook::answer(MsgAnswer::No);
    press(&w, "btnDelete");
    TALLOX_COMPARE_LAST_BOX("question", "카드삭제", "[삼성]를 정말로 삭제 하시겠습니까?");
    QCOMPARE(cardTable(*env).size(), 3);
    QCOMPARE(grid->maxRows(), 3);
    QCOMPARE(w.focusWidget(), static_cast<QWidget*>(grid));
}

void TestCardList::deletingLastRowLeavesZeroCount()
{
    env->addCard(5, QStringLiteral("국민"));
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    1"));
    MessageHook::answer(MsgAnswer::Yes);
    press(&w, "btnDelete");
    QCOMPARE(MessageHook::shown().size(), 1);
    QVERIFY(cardTable(*env).isEmpty());
    QCOMPARE(grid->maxRows(), 0);
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    0"));
}

void TestCardList::deleteWarnsAboutLedgerEntries()
{
    addThreeCards();
    env->addEntry(QStringLiteral("2005-06-01"), 2, 10000);
    env->addEntry(QStringLiteral("2005-06-02"), 2, 20000);
    env->addEntry(QStringLiteral("2005-06-02"), 1, 20000);
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(1, 2); // 비씨
    MessageHook::answer(MsgAnswer::Yes);
    press(&w, "btnDelete");
    TALLOX_COMPARE_LAST_BOX(
        "question", "카드삭제",
        "[비씨]를 정말로 삭제 하시겠습니까?\r\n\r\n이 카드를 사용하는 장부 자료가 2건 있습니다.\r\n"
        "장부 자료는 지워지지 않고 카드코드를 그대로 가지며, 장부에서 카드명만 보이지 않게 됩니다.");
    QCOMPARE(cardTable(*env), (QStringList{QStringLiteral("1 국민"), QStringLiteral("3 삼성")}));
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("국민"), QStringLiteral("삼성")}));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 3); // the ledger keeps every entry
}

void TestCardList::deleteOfVanishedCardWarns()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    auto* grid = w.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(1, 3);
    QVERIFY(env->ctx().card.execute(QStringLiteral("DELETE FROM Plastra WHERE code = 3")) == 1);
    MessageHook::answer(MsgAnswer::Yes);
    press(&w, "btnDelete");
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "코드[3]에 해당하는 자료를 삭제 할 수 없습니다.");
    QCOMPARE(grid->maxRows(), 3);
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    3"));
}

void TestCardList::deleteRefusedByEngine()
{
    addThreeCards();
    QVERIFY(env->ctx().card.execute(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON Plastra "
                                                   "BEGIN SELECT RAISE(ABORT, 'in use'); END")) >= 0);
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    MessageHook::answer(MsgAnswer::Yes);
    press(&w, "btnDelete");
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "해당 카드의 자료가 다른곳에서 사용되고 있어 삭제할 수 없습니다.");
    QCOMPARE(w.findChild<SpreadGrid*>(QStringLiteral("spList"))->maxRows(), 3);
    QCOMPARE(cardTable(*env).size(), 3);
}

void TestCardList::deleteEngineErrorIsReported()
{
    addThreeCards();
    frmPlastra_read w(env->ctx().cardPath);
    w.show();
    QVERIFY(env->ctx().card.execute(QStringLiteral("ALTER TABLE Plastra RENAME TO Plastra_old")) >= 0);
    MessageHook::answer(MsgAnswer::Yes);
    press(&w, "btnDelete");
    const MessageHook::Shown box = MessageHook::shown().last();
    QCOMPARE(box.kind, QStringLiteral("error"));
    QVERIFY2(box.text.startsWith(QStringLiteral("자료를 삭제하는 중 오류가 발생했습니다.\r\n오류번호 : ")),
             qPrintable(box.text));
    QCOMPARE(w.findChild<SpreadGrid*>(QStringLiteral("spList"))->maxRows(), 3);
}

void TestCardList::missingDatabaseLeavesEmptyList()
{
    frmPlastra_read w(env->dbFolder() + QStringLiteral("/없음.db"));
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "신용카드 데이터베이스를 열 수 없습니다.");
    QCOMPARE(w.findChild<SpreadGrid*>(QStringLiteral("spList"))->maxRows(), 0);
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblRecCnt"))->text(), QStringLiteral("등록수:    0"));
}

QTEST_MAIN(TestCardList)
#include "tst_cardlist.moc"

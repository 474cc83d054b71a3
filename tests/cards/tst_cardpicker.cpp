#include "CardTestHelpers.h"

#include "gui/cards/frmPlastra_sel.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/toolkit/ModalRun.h"

using namespace CardTest;

namespace {
QString choice(const QString& code, const QString& name)
{
    return code + QChar(0) + name;
}
} // namespace

class TestCardPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void loadingLeavesGridEmpty();
    void emptyTextListsEveryCard();
    void singleCardTableSetsResult();
    void searchesByCodeAndByNamePart();
    void singleMatchSetsResult();
    void noMatchLeavesResultEmpty();
    void closingKeepsResultEmptyAndObjectUsable();
    void chooseByButton();
    void chooseByDoubleClickAndEnter();
    void opensOnTheFirstRowSoEnterPicksIt();
    void chooseWithoutRowsAsksForSelection();
    void apostropheIsFound();
    void addedCardCanBeChosenAtOnce();
    void editOverwritesThreeColumns();
    void deleteAsksItsOwnQuestion();

private:
    std::unique_ptr<TestEnv> env;
    void addCards()
    {
        env->addCard(3, QStringLiteral("삼성"), 2.5);
        env->addCard(12, QStringLiteral("BC3카드"), 1.0);
        env->addCard(5, QStringLiteral("국민"), 1.75);
    }
};

void TestCardPicker::init()
{
    env = std::make_unique<TestEnv>();
    ModalHook::enable();
    ModalHook::reset();
}

void TestCardPicker::cleanup()
{
    QVERIFY2(ModalHook::unhandled().isEmpty(), qPrintable(ModalHook::unhandled().join(u',')));
    QVERIFY2(MessageHook::unscripted().isEmpty(), qPrintable(MessageHook::unscripted().join(u',')));
    ModalHook::disable();
    env.reset();
}

void TestCardPicker::loadingLeavesGridEmpty()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.windowTitle(), QStringLiteral("신용카드 선택"));
    auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QCOMPARE(grid->maxRows(), 0);
    QCOMPARE(grid->maxCols(), 3);
    QCOMPARE(grid->headerText(2), QStringLiteral("카드명"));
    QCOMPARE(p.result(), QString());
    QVERIFY(p.findChild<QWidget*>(QStringLiteral("btnSel")));
    QVERIFY(!p.findChild<QWidget*>(QStringLiteral("lblRecCnt")));
    QCOMPARE(p.pos(), QPoint(0, 0));
}

void TestCardPicker::emptyTextListsEveryCard()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QString()), 3);
    auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("BC3카드"), QStringLiteral("국민"), QStringLiteral("삼성")}));
    QCOMPARE(p.result(), QString());
}

void TestCardPicker::singleCardTableSetsResult()
{
    env->addCard(8, QStringLiteral("롯데"));
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QString()), 1);
    QCOMPARE(p.result(), choice(QStringLiteral("8"), QStringLiteral("롯데")));
}

void TestCardPicker::searchesByCodeAndByNamePart()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
    // Code 3, and every name containing the digit 3, in name order.
    QCOMPARE(p.FindRecords(QStringLiteral("3")), 2);
    QCOMPARE(column(grid, 1), (QStringList{QStringLiteral("12"), QStringLiteral("3")}));
    QCOMPARE(p.FindRecords(QStringLiteral("12")), 1);
    QCOMPARE(p.result(), choice(QStringLiteral("12"), QStringLiteral("BC3카드")));
    QCOMPARE(p.findChild<QLineEdit*>(QStringLiteral("txtinput"))->text(), QStringLiteral("12"));
    QCOMPARE(p.FindRecords(QStringLiteral("카드")), 1);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardPicker::singleMatchSetsResult()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QStringLiteral("국")), 1);
    QCOMPARE(p.result(), choice(QStringLiteral("5"), QStringLiteral("국민")));
}

void TestCardPicker::noMatchLeavesResultEmpty()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QStringLiteral("없는카드")), 0);
    QCOMPARE(p.result(), QString());
    QCOMPARE(p.FindRecords(QStringLiteral("0")), 0);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardPicker::closingKeepsResultEmptyAndObjectUsable()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QString()), 3);
    ModalHook::push([](QDialog* d) { press(d, "btnClose"); });
    QCOMPARE(ExecModal(&p), int(QDialog::Rejected));
    QVERIFY(!p.isVisible());
    QCOMPARE(p.result(), QString());
    // The object keeps its connection after its window has closed.
    QVERIFY(p.databaseOpen());
    QCOMPARE(p.FindRecords(QStringLiteral("삼")), 1);
}

void TestCardPicker::chooseByButton()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    p.FindRecords(QString());
    ModalHook::push([](QDialog* d) {
        d->findChild<SpreadGrid*>(QStringLiteral("spList"))->setActiveCell(1, 2);
        press(d, "btnSel");
    });
    QCOMPARE(ExecModal(&p), int(QDialog::Accepted));
    QVERIFY(!p.isVisible());
    QCOMPARE(p.result(), choice(QStringLiteral("5"), QStringLiteral("국민")));
}

void TestCardPicker::chooseByDoubleClickAndEnter()
{
    addCards();
    {
        frmPlastra_sel p(env->ctx().cardPath);
        p.FindRecords(QString());
        auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
        p.show();
        Q_EMIT grid->dblClick(1, 0); // the header row chooses nothing
        QVERIFY(p.isVisible());
        QCOMPARE(p.result(), QString());
        grid->setActiveCell(2, 3);
        Q_EMIT grid->dblClick(2, 3);
        QVERIFY(!p.isVisible());
        QCOMPARE(p.result(), choice(QStringLiteral("3"), QStringLiteral("삼성")));
    }
    {
        frmPlastra_sel p(env->ctx().cardPath);
        p.FindRecords(QString());
        auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
        p.show();
        grid->setActiveCell(1, 1);
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(!p.isVisible());
        QCOMPARE(p.result(), choice(QStringLiteral("12"), QStringLiteral("BC3카드")));
    }
    QVERIFY(ModalHook::shown().isEmpty()); // choosing opened no editor
}

void TestCardPicker::opensOnTheFirstRowSoEnterPicksIt()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QString()), 3);
    ModalHook::push([](QDialog* d) {
        auto* grid = d->findChild<SpreadGrid*>(QStringLiteral("spList"));
        QCOMPARE(grid->activeRow(), 1);
        QVERIFY(grid->selectionModel()->isRowSelected(0, QModelIndex()));
        QCOMPARE(d->focusWidget(), static_cast<QWidget*>(grid));
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(ExecModal(&p), int(QDialog::Accepted));
    QCOMPARE(p.result(), choice(QStringLiteral("12"), QStringLiteral("BC3카드")));
}

void TestCardPicker::chooseWithoutRowsAsksForSelection()
{
    frmPlastra_sel p(env->ctx().cardPath);
    p.FindRecords(QStringLiteral("아무것도"));
    p.show();
    press(&p, "btnSel");
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "리스트에서 자료를 선택하세요.");
    QVERIFY(p.isVisible());
    QCOMPARE(p.result(), QString());
}

void TestCardPicker::apostropheIsFound()
{
    addCards();
    env->addCard(20, QStringLiteral("Mc'Card"));
    frmPlastra_sel p(env->ctx().cardPath);
    QCOMPARE(p.FindRecords(QStringLiteral("c'C")), 1);
    QCOMPARE(p.result(), choice(QStringLiteral("20"), QStringLiteral("Mc'Card")));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardPicker::addedCardCanBeChosenAtOnce()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    p.FindRecords(QStringLiteral("삼"));
    p.show();
    ModalHook::push([](QDialog* d) {
        QVERIFY(qobject_cast<frmPlastra_write*>(d)->continueAdd());
        typeInto(d, "txtName", QStringLiteral("하나"));
        press(d, "btnSave");
        press(d, "btnClose");
    });
    press(&p, "btnAdd");
    auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
    // Appended although it does not match the search text.
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("삼성"), QStringLiteral("하나")}));
    QCOMPARE(grid->activeRow(), 2);
    press(&p, "btnSel");
    QCOMPARE(p.result(), choice(QStringLiteral("13"), QStringLiteral("하나")));
}

void TestCardPicker::editOverwritesThreeColumns()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    p.FindRecords(QString());
    p.show();
    auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(1, 3); // 삼성
    ModalHook::push([](QDialog* d) {
        typeInto(d, "txtFee", QStringLiteral("3.25"));
        press(d, "btnSave");
    });
    press(&p, "btnEdit");
    QCOMPARE(grid->text(1, 3), QStringLiteral("3"));
    QCOMPARE(grid->text(2, 3), QStringLiteral("삼성"));
    QCOMPARE(grid->text(3, 3), QStringLiteral("3.25"));
    QCOMPARE(grid->maxRows(), 3);
}

void TestCardPicker::deleteAsksItsOwnQuestion()
{
    addCards();
    frmPlastra_sel p(env->ctx().cardPath);
    p.FindRecords(QString());
    p.show();
    auto* grid = p.findChild<SpreadGrid*>(QStringLiteral("spList"));
    grid->setActiveCell(1, 2);
    MessageHook::answer(MsgAnswer::Yes);
    press(&p, "btnDelete");
    TALLOX_COMPARE_LAST_BOX("question", "카드삭제", "[국민] 카드를 정말로 삭제 하시겠습니까?");
    QCOMPARE(column(grid, 2), (QStringList{QStringLiteral("BC3카드"), QStringLiteral("삼성")}));
    QCOMPARE(cardTable(*env), (QStringList{QStringLiteral("3 삼성"), QStringLiteral("12 BC3카드")}));
}

QTEST_MAIN(TestCardPicker)
#include "tst_cardpicker.moc"

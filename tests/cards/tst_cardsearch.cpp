#include "CardTestHelpers.h"

#include "gui/cards/CardSearch.h"
#include "gui/cards/frmPlastra_sel.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/toolkit/ModalRun.h"

using namespace CardTest;

namespace {
struct Outcome {
    QString name;
    int code = -99;
    bool newCard = true;
};
} // namespace

class TestCardSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void exactlyOneMatchNeverShowsThePicker();
    void severalMatchesShowThePickerAtTheAnchor();
    void pickerClosedWithoutChoiceGivesNothing();
    void noMatchAnsweredNoGivesNothing();
    void emptyTextWithEmptyTableAsksToRegister();
    void noMatchAnsweredYesRegistersTheCard();
    void noMatchYesThenEditorClosedGivesNothing();
    void noMatchWithoutNewCardsOnlyInforms();
    void apostropheNameIsFound();

private:
    Outcome search(const QString& name, bool allowNew = true)
    {
        Outcome o;
        o.name = SearchCard(env->ctx().cardPath, name, &o.code, anchorWidget, 2, allowNew, &o.newCard);
        return o;
    }

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<QWidget> host;
    QWidget* anchorWidget = nullptr;
};

void TestCardSearch::init()
{
    env = std::make_unique<TestEnv>();
    ModalHook::enable();
    ModalHook::reset();
    host = std::make_unique<QWidget>();
    host->resize(800, 600);
    anchorWidget = new QWidget(host.get());
    anchorWidget->setGeometry(100, 40, 600, 30);
    host->show();
}

void TestCardSearch::cleanup()
{
    QVERIFY2(ModalHook::unhandled().isEmpty(), qPrintable(ModalHook::unhandled().join(u',')));
    QVERIFY2(MessageHook::unscripted().isEmpty(), qPrintable(MessageHook::unscripted().join(u',')));
    ModalHook::disable();
    host.reset();
    env.reset();
}

void TestCardSearch::exactlyOneMatchNeverShowsThePicker()
{
    env->addCard(3, QStringLiteral("삼성"));
    env->addCard(5, QStringLiteral("국민"));
    const Outcome o = search(QStringLiteral("국민"));
    QCOMPARE(o.name, QStringLiteral("국민"));
    QCOMPARE(o.code, 5);
    QCOMPARE(o.newCard, false);
    QVERIFY(ModalHook::shown().isEmpty());
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardSearch::severalMatchesShowThePickerAtTheAnchor()
{
    env->addCard(3, QStringLiteral("삼성"));
    env->addCard(4, QStringLiteral("삼성카드"));
    env->addCard(5, QStringLiteral("국민"));
    QPoint pickerPos;
    QStringList listed;
    ModalHook::push([&](QDialog* d) {
        QVERIFY(qobject_cast<frmPlastra_sel*>(d));
        pickerPos = d->pos();
        auto* grid = d->findChild<SpreadGrid*>(QStringLiteral("spList"));
        listed = column(grid, 2);
        grid->setActiveCell(1, 2);
        press(d, "btnSel");
    });
    const Outcome o = search(QStringLiteral("삼성"));
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_sel")});
    QCOMPARE(listed, (QStringList{QStringLiteral("삼성"), QStringLiteral("삼성카드")}));
    QCOMPARE(o.name, QStringLiteral("삼성카드"));
    QCOMPARE(o.code, 4);
    QCOMPARE(o.newCard, false);
    // Below the anchor (placement mode 2 centres it horizontally over the anchor).
    const QPoint a = anchorWidget->mapToGlobal(QPoint(0, 0));
    QCOMPARE(pickerPos.y(), a.y() + anchorWidget->height());
}

void TestCardSearch::pickerClosedWithoutChoiceGivesNothing()
{
    env->addCard(3, QStringLiteral("삼성"));
    env->addCard(4, QStringLiteral("삼성카드"));
    ModalHook::push([](QDialog* d) { press(d, "btnClose"); });
    const Outcome o = search(QStringLiteral("삼성"));
    QCOMPARE(o.name, QString());
    QCOMPARE(o.code, 0);
    QCOMPARE(o.newCard, false);
}

void TestCardSearch::noMatchAnsweredNoGivesNothing()
{
    env->addCard(3, QStringLiteral("삼성"));
    MessageHook::answer(MsgAnswer::No);
    const Outcome o = search(QStringLiteral("하나"));
    TALLOX_COMPARE_LAST_BOX("question", "신용카드 검색",
                            "검색한 신용카드가 등록되어 있지 않습니다.\r\n신규 등록하겠습니까?");
    QCOMPARE(o.name, QString());
    QCOMPARE(o.code, 0);
    QCOMPARE(o.newCard, false);
    QVERIFY(ModalHook::shown().isEmpty());
    QCOMPARE(cardTable(*env).size(), 1);
}

void TestCardSearch::emptyTextWithEmptyTableAsksToRegister()
{
    MessageHook::answer(MsgAnswer::No);
    const Outcome o = search(QString());
    TALLOX_COMPARE_LAST_BOX("question", "신용카드 검색", "등록된 신용카드가 없습니다.\r\n신규 등록하겠습니까?");
    QCOMPARE(o.code, 0);
    QCOMPARE(o.name, QString());
}

void TestCardSearch::noMatchAnsweredYesRegistersTheCard()
{
    env->addCard(3, QStringLiteral("삼성"));
    MessageHook::answer(MsgAnswer::Yes);
    ModalHook::push([](QDialog* d) {
        auto* ed = qobject_cast<frmPlastra_write*>(d);
        QVERIFY(ed);
        QCOMPARE(ed->windowTitle(), QStringLiteral("신규 카드 등록"));
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("txtName"))->text(), QStringLiteral("하나"));
        QVERIFY(!d->findChild<QWidget*>(QStringLiteral("ChkContinueAdd"))->isVisible());
        press(d, "btnSave");
        QVERIFY(!d->isVisible()); // closes by itself after the store
    });
    const Outcome o = search(QStringLiteral("하나"));
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_write")});
    QCOMPARE(o.name, QStringLiteral("하나"));
    QCOMPARE(o.code, 4);
    QCOMPARE(o.newCard, true);
    QCOMPARE(cardTable(*env), (QStringList{QStringLiteral("3 삼성"), QStringLiteral("4 하나")}));
}

void TestCardSearch::noMatchYesThenEditorClosedGivesNothing()
{
    MessageHook::answer(MsgAnswer::Yes);
    ModalHook::push([](QDialog* d) { press(d, "btnClose"); });
    const Outcome o = search(QStringLiteral("하나"));
    QCOMPARE(o.name, QString());
    QCOMPARE(o.code, 0);
    QVERIFY(cardTable(*env).isEmpty());
}

void TestCardSearch::noMatchWithoutNewCardsOnlyInforms()
{
    env->addCard(3, QStringLiteral("삼성"));
    Outcome o = search(QStringLiteral("하나"), false);
    TALLOX_COMPARE_LAST_BOX("info", "신용카드 검색", "검색한 신용카드가 등록되어 있지 않습니다.");
    QCOMPARE(o.name, QString());
    QCOMPARE(o.code, 0);
    QCOMPARE(o.newCard, false);
    QVERIFY(ModalHook::shown().isEmpty());

    env->ctx().card.execute(QStringLiteral("DELETE FROM Plastra"));
    o = search(QString(), false);
    TALLOX_COMPARE_LAST_BOX("info", "신용카드 검색", "등록된 신용카드가 없습니다.");
    QCOMPARE(o.code, 0);
}

void TestCardSearch::apostropheNameIsFound()
{
    env->addCard(9, QStringLiteral("O'Neil"));
    env->addCard(3, QStringLiteral("삼성"));
    const Outcome o = search(QStringLiteral("O'Neil"));
    QCOMPARE(o.name, QStringLiteral("O'Neil"));
    QCOMPARE(o.code, 9);
    QVERIFY(MessageHook::shown().isEmpty());
}

QTEST_MAIN(TestCardSearch)
#include "tst_cardsearch.moc"

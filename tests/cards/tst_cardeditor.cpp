#include "CardTestHelpers.h"

#include "gui/cards/NumericEdit.h"
#include "gui/cards/PlastraSync.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/toolkit/FloatMsg.h"
#include "gui/toolkit/ModalRun.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using CardTest::typeText;

namespace {
struct SyncCall {
    int code;
    bool isNew;
    bool operator==(const SyncCall&) const = default;
};

class RecordingTarget : public PlastraSyncTarget {
public:
    void SyncUpdatePlastra(int code, bool isNew) override { calls.append({code, isNew}); }
    QList<SyncCall> calls;
};

struct StoredCard {
    QString name;
    double fee = -1;
    int setday = -1;
    bool exists = false;
};

StoredCard storedCard(TestEnv& env, int code)
{
    StoredCard c;
    QSqlQuery q = env.ctx().card.newQuery();
    q.prepare(QStringLiteral("SELECT name, fee, setday FROM Plastra WHERE code = ?"));
    q.addBindValue(code);
    if (q.exec() && q.next()) {
        c.exists = true;
        c.name = q.value(0).toString();
        c.fee = q.value(1).toDouble();
        c.setday = q.value(2).toInt();
    }
    return c;
}

int cardCount(TestEnv& env)
{
    return env.ctx().card.scalar(QStringLiteral("SELECT count(*) FROM Plastra")).toInt();
}
} // namespace

class TestCardEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void threeNewCardsInARowGetConsecutiveCodes();
    void firstCardOfEmptyTableGetsCodeOne();
    void editingKeepsTheCodeAndTellsTheCaller();
    void emptyNameIsRequired();
    void singleZeroIsAName();
    void nameTakesAtMostTwentyCharacters();
    void feeShowsGroupingButStoresThePlainNumber();
    void feeThatIsNoNumberIsSaid();
    void engineErrorRollsBackAndKeepsTheWindowOpen();
    void noModeAndNoCodeCannotStore();
    void codeStillUsedByTheLedgerIsNotGivenAgain();
    void defaultNameHidesTheContinueBox();
    void closeWithoutStoringLeavesNothing();
    void settlementDaysAndHelpAreShown();
    void enterInTheInputs_data();
    void enterInTheInputs();
    void feeShowsPercentBesideItsBox();
    void missingDatabaseIsReported();
};

void TestCardEditor::init()
{
    ModalHook::reset();
}

void TestCardEditor::threeNewCardsInARowGetConsecutiveCodes()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addCard(7, QStringLiteral("비씨"));
    RecordingTarget target;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.setContinueAdd(true);
    ed.setCallForm(&target);
    ed.show();
    QCOMPARE(ed.windowTitle(), QStringLiteral("신규 카드 등록"));

    auto* txtName = ed.findChild<QLineEdit*>(QStringLiteral("txtName"));
    auto* btnSave = ed.findChild<QPushButton*>(QStringLiteral("btnSave"));
    QVERIFY(txtName && btnSave);

    QString noticeText;
    QTimer::singleShot(150, [&] {
        if (frmFloatMsg* n = CurrentFloatMsg())
            noticeText = n->text();
    });
    const QStringList names{QStringLiteral("삼성"), QStringLiteral("신한"), QStringLiteral("현대")};
    for (const QString& name : names) {
        typeText(txtName, name);
        btnSave->click();
        QVERIFY(ed.isVisible());
        QCOMPARE(txtName->text(), QString());
        QCOMPARE(ed.focusWidget(), static_cast<QWidget*>(txtName));
        QCOMPARE(ed.findChild<QLineEdit*>(QStringLiteral("txtFee"))->text(), QStringLiteral("0.00"));
    }
    QCOMPARE(noticeText, QStringLiteral("자료가 저장되었습니다."));
    QCOMPARE(target.calls, (QList<SyncCall>{{8, true}, {9, true}, {10, true}}));
    QCOMPARE(storedCard(env, 8).name, QStringLiteral("삼성"));
    QCOMPARE(storedCard(env, 9).name, QStringLiteral("신한"));
    QCOMPARE(storedCard(env, 10).name, QStringLiteral("현대"));
    QCOMPARE(storedCard(env, 10).fee, 0.0);
    QCOMPARE(storedCard(env, 10).setday, 0);
    QCOMPARE(ed.CCode(), 10);
    QCOMPARE(ed.CName(), QStringLiteral("현대"));
    QCOMPARE(ed.windowTitle(), QStringLiteral("신규 카드 등록"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardEditor::firstCardOfEmptyTableGetsCodeOne()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("국민카드"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QVERIFY(!ed.isVisible());
    QCOMPARE(ed.result(), int(QDialog::Accepted));
    QCOMPARE(ed.CCode(), 1);
    QCOMPARE(ed.CName(), QStringLiteral("국민카드"));
    QCOMPARE(storedCard(env, 1).name, QStringLiteral("국민카드"));
    QCOMPARE(cardCount(env), 1);
}

void TestCardEditor::editingKeepsTheCodeAndTellsTheCaller()
{
    TestEnv env;
    env.addCard(3, QStringLiteral("국민"), 1.5, 4);
    env.addCard(9, QStringLiteral("비씨"), 2.0);
    RecordingTarget target;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(2);
    ed.setCCode(3);
    ed.setCallForm(&target);
    ed.show();
    QCOMPARE(ed.windowTitle(), QStringLiteral("기존 카드 수정"));
    auto* chk = ed.findChild<QCheckBox*>(QStringLiteral("ChkContinueAdd"));
    QVERIFY(!chk->isVisible());
    QVERIFY(!chk->isChecked());
    auto* txtName = ed.findChild<QLineEdit*>(QStringLiteral("txtName"));
    auto* txtFee = ed.findChild<NumericEdit*>(QStringLiteral("txtFee"));
    QCOMPARE(txtName->text(), QStringLiteral("국민"));
    QCOMPARE(txtFee->text(), QStringLiteral("1.50"));
    QCOMPARE(ed.currentCode(), 3);
    QCOMPARE(ed.CCode(), 0); // setting the code loads; it is not "stored last"

    txtName->selectAll();
    typeText(txtName, QStringLiteral("국민카드"));
    txtFee->selectAll();
    typeText(txtFee, QStringLiteral("2.5"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();

    QVERIFY(!ed.isVisible());
    QCOMPARE(target.calls, (QList<SyncCall>{{3, false}}));
    const StoredCard c = storedCard(env, 3);
    QCOMPARE(c.name, QStringLiteral("국민카드"));
    QCOMPARE(c.fee, 2.5);
    QCOMPARE(c.setday, 4); // settlement days left alone are written back unchanged
    QCOMPARE(cardCount(env), 2);
    QCOMPARE(ed.CCode(), 3);
    QCOMPARE(ed.CName(), QStringLiteral("국민카드"));
}

void TestCardEditor::emptyNameIsRequired()
{
    TestEnv env;
    RecordingTarget target;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.setCallForm(&target);
    ed.show();
    auto* txtFee = ed.findChild<QLineEdit*>(QStringLiteral("txtFee"));
    txtFee->setFocus();
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    TALLOX_COMPARE_LAST_BOX("info", "필수입력", "[카드명]은(는) 필수 입력 사항입니다.");
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::Information);
    QVERIFY(ed.isVisible());
    QCOMPARE(ed.focusWidget(), ed.findChild<QWidget*>(QStringLiteral("txtName")));
    QCOMPARE(cardCount(env), 0);
    QVERIFY(target.calls.isEmpty());
    QCOMPARE(ed.CCode(), 0);
}

void TestCardEditor::singleZeroIsAName()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("0"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QVERIFY(MessageHook::shown().isEmpty());
    QCOMPARE(storedCard(env, 1).name, QStringLiteral("0"));
}

void TestCardEditor::nameTakesAtMostTwentyCharacters()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    auto* txtName = ed.findChild<QLineEdit*>(QStringLiteral("txtName"));
    const QString twenty = QStringLiteral("가나다라마바사아자차카타파하가나다라마바");
    QCOMPARE(twenty.size(), 20);
    typeText(txtName, twenty + QStringLiteral("사"));
    QCOMPARE(txtName->text(), twenty);
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QCOMPARE(storedCard(env, 1).name, twenty);
}

void TestCardEditor::feeShowsGroupingButStoresThePlainNumber()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    auto* txtFee = ed.findChild<NumericEdit*>(QStringLiteral("txtFee"));
    QCOMPARE(txtFee->text(), QStringLiteral("0.00"));
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("국민"));
    txtFee->selectAll();
    typeText(txtFee, QStringLiteral("1234.567x"));
    QCOMPARE(txtFee->text(), QStringLiteral("1234.56")); // two decimals, numbers only
    QTest::keyClick(txtFee, Qt::Key_Return);
    QCOMPARE(txtFee->text(), QStringLiteral("1,234.56"));
    QCOMPARE(txtFee->plainText(), QStringLiteral("1234.56"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QCOMPARE(storedCard(env, 1).fee, 1234.56);
}

void TestCardEditor::feeThatIsNoNumberIsSaid()
{
    TestEnv env;
    env.addCard(2, QStringLiteral("국민"), 3.0);
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(2);
    ed.setCCode(2);
    ed.show();
    auto* txtFee = ed.findChild<NumericEdit*>(QStringLiteral("txtFee"));
    auto* hint = ed.findChild<QLabel*>(QStringLiteral("lblFeeHint"));
    typeText(txtFee, QStringLiteral("x")); // a key the box refuses is said beside it
    QVERIFY(hint->isVisibleTo(&ed));
    QCOMPARE(hint->text(), frmPlastra_write::FeeHint());
    txtFee->setNumberText(QStringLiteral("abc"));
    QCOMPARE(txtFee->text(), QStringLiteral("abc"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox",
                            "수수료율 'abc'을(를) 읽을 수 없습니다.\r\n0 이상의 숫자로 입력하세요 (예: 1.5).");
    QCOMPARE(storedCard(env, 2).fee, 3.0); // not stored as 0
    QVERIFY(ed.isVisible());
    QCOMPARE(ed.focusWidget(), txtFee);

    txtFee->clear(); // an emptied box is no fee
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QCOMPARE(storedCard(env, 2).fee, 0.0);
    QCOMPARE(MessageHook::shown().size(), 1);
}

void TestCardEditor::engineErrorRollsBackAndKeepsTheWindowOpen()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    QVERIFY(env.ctx().card.execute(QStringLiteral("CREATE TRIGGER no_insert BEFORE INSERT ON Plastra "
                                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END")) >= 0);
    RecordingTarget target;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.setCallForm(&target);
    ed.show();
    auto* txtName = ed.findChild<QLineEdit*>(QStringLiteral("txtName"));
    typeText(txtName, QStringLiteral("삼성"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();

    QVERIFY(!MessageHook::shown().isEmpty());
    const MessageHook::Shown box = MessageHook::shown().last();
    QCOMPARE(box.kind, QStringLiteral("error"));
    QCOMPARE(box.title, QStringLiteral("오류"));
    QVERIFY2(box.text.startsWith(QStringLiteral("자료를 저장하는 중 오류가 발생했습니다.\r\n오류번호 : ")),
             qPrintable(box.text));
    QVERIFY(box.text.contains(QStringLiteral("refused")));
    QVERIFY(ed.isVisible());
    QCOMPARE(txtName->text(), QStringLiteral("삼성"));
    QVERIFY(target.calls.isEmpty());
    QCOMPARE(ed.CCode(), 0);
    QCOMPARE(cardCount(env), 1);
    // Nothing was left half-done: the connection is usable and outside a transaction.
    QVERIFY(env.ctx().card.execute(QStringLiteral("DROP TRIGGER no_insert")) >= 0);
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QVERIFY(!ed.isVisible());
    QCOMPARE(storedCard(env, 2).name, QStringLiteral("삼성"));
}

void TestCardEditor::noModeAndNoCodeCannotStore()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.show();
    QCOMPARE(ed.windowTitle(), QStringLiteral("신용카드 추가"));
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("국민"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "CODE 생성 및 정의 오류입니다.");
    QVERIFY(ed.isVisible());
    QCOMPARE(cardCount(env), 0);
}

void TestCardEditor::codeStillUsedByTheLedgerIsNotGivenAgain()
{
    TestEnv env;
    env.addCard(1, QStringLiteral("국민"));
    env.addCard(2, QStringLiteral("비씨"));
    env.addEntry(QStringLiteral("2005-06-01"), 3, 10000); // its card company was deleted
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("삼성"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QCOMPARE(ed.CCode(), 4);
    QVERIFY(!storedCard(env, 3).exists);
    QCOMPARE(storedCard(env, 4).name, QStringLiteral("삼성"));
}

void TestCardEditor::defaultNameHidesTheContinueBox()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.setContinueAdd(true);
    ed.setDefaultName(QStringLiteral("롯데"));
    ed.show();
    auto* chk = ed.findChild<QCheckBox*>(QStringLiteral("ChkContinueAdd"));
    QVERIFY(!chk->isVisible());
    QVERIFY(!chk->isChecked());
    QCOMPARE(ed.findChild<QLineEdit*>(QStringLiteral("txtName"))->text(), QStringLiteral("롯데"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QVERIFY(!ed.isVisible()); // closes by itself after the store
    QCOMPARE(ed.CCode(), 1);
    QCOMPARE(ed.CName(), QStringLiteral("롯데"));
}

void TestCardEditor::closeWithoutStoringLeavesNothing()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.setDefaultName(QStringLiteral("롯데"));
    ed.show();
    ed.findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
    QVERIFY(!ed.isVisible());
    QCOMPARE(ed.CCode(), 0);
    QCOMPARE(ed.CName(), QString());
    QVERIFY(!ed.databaseOpen());
    QCOMPARE(cardCount(env), 0);
}

void TestCardEditor::settlementDaysAndHelpAreShown()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    QVERIFY(ed.findChild<QWidget*>(QStringLiteral("txtSetDay"))->isVisible());
    auto* label = ed.findChild<QLabel*>(QStringLiteral("lblSetDay"));
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral(" 결제일수"));
    auto* help = ed.findChild<QPushButton*>(QStringLiteral("cmdHelp"));
    QVERIFY(help->isVisible());
    // Typed days are stored with the card.
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("BC카드"));
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtSetDay")), QStringLiteral("3"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    QCOMPARE(storedCard(env, 1).setday, 3);
    QCOMPARE(ed.findChild<QLineEdit*>(QStringLiteral("txtSetDay"))->maxLength(), 2);
    help->click();
    TALLOX_COMPARE_LAST_BOX("info", "Tallox",
                            "결제일수란 카드사로부터 실수금을 하기까지의 대기일수를 말합니다.\r\n\r\n"
                            "이는 입금전표 작성시 결제일자를 자동으로 계산하기 위해 사용됩니다.\r\n\r\n"
                            "예를 들어 4를 입력시 고객이 카드로 입금처리 한 날로 부터 4일후에\r\n\r\n"
                            "카드사로부터 해당금액을 결제받음을 의미합니다.");
}

void TestCardEditor::enterInTheInputs_data()
{
    QTest::addColumn<bool>("continueAdd");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<QString>("focusAfter");
    QTest::newRow("name goes on to the fee") << false << "txtName" << false << true << "txtFee";
    QTest::newRow("fee goes on to the settlement days") << false << "txtFee" << false << true << "txtSetDay";
    // The settlement days are the last input.
    QTest::newRow("days save and close") << false << "txtSetDay" << true << false << "";
    QTest::newRow("days save, next card") << true << "txtSetDay" << true << true << "txtName";
}

void TestCardEditor::enterInTheInputs()
{
    QFETCH(bool, continueAdd);
    QFETCH(QString, box);
    QFETCH(bool, saved);
    QFETCH(bool, stillOpen);
    QFETCH(QString, focusAfter);
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.setContinueAdd(continueAdd);
    ed.show();
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("국민카드"));
    ed.findChild<QLineEdit*>(QStringLiteral("txtFee"))->setText(QStringLiteral("2.5"));
    auto* input = ed.findChild<QLineEdit*>(box);
    input->setFocus();
    QTest::keyClick(input, Qt::Key_Return);
    QCOMPARE(cardCount(env), saved ? 1 : 0);
    if (saved)
        QCOMPARE(storedCard(env, 1).fee, 2.5);
    QCOMPARE(ed.isVisible(), stillOpen);
    if (stillOpen)
        QCOMPARE(ed.focusWidget()->objectName(), focusAfter);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestCardEditor::feeShowsPercentBesideItsBox()
{
    TestEnv env;
    frmPlastra_write ed(env.ctx().cardPath);
    ed.setMode(1);
    ed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ed));
    auto* fee = ed.findChild<QLineEdit*>(QStringLiteral("txtFee"));
    auto* unit = ed.findChild<QLabel*>(QStringLiteral("lblFeeUnit"));
    QVERIFY(unit);
    QCOMPARE(unit->text(), QStringLiteral("%"));
    QVERIFY(unit->isVisible());
    const QRect feeBox(fee->mapTo(&ed, QPoint(0, 0)), fee->size());
    const QRect unitBox(unit->mapTo(&ed, QPoint(0, 0)), unit->size());
    QVERIFY(unitBox.left() > feeBox.right());
    QVERIFY(qAbs(unitBox.center().y() - feeBox.center().y()) <= 2);
    // The settlement days come below the fee, the help button beside them.
    auto* days = ed.findChild<QLineEdit*>(QStringLiteral("txtSetDay"));
    auto* help = ed.findChild<QPushButton*>(QStringLiteral("cmdHelp"));
    QVERIFY(days->mapTo(&ed, QPoint(0, 0)).y() > feeBox.bottom());
    QVERIFY(help->mapTo(&ed, QPoint(0, 0)).x() > days->mapTo(&ed, QPoint(0, 0)).x() + days->width() - 1);
}

void TestCardEditor::missingDatabaseIsReported()
{
    TestEnv env;
    frmPlastra_write ed(env.dbFolder() + QStringLiteral("/없음.db"));
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "신용카드 데이터베이스를 열 수 없습니다.");
    QCOMPARE(MessageHook::shown().first().kind, QStringLiteral("error"));
    ed.setMode(1);
    ed.show();
    typeText(ed.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("국민"));
    ed.findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox", "CODE 생성 및 정의 오류입니다.");
    QVERIFY(ed.isVisible());
}

QTEST_MAIN(TestCardEditor)
#include "tst_cardeditor.moc"

#include "TestSupport.h"

#include "gui/toolkit/FloatMsg.h"

#include <QElapsedTimer>
#include <QTimer>

class TestFloatMsg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modalNoticeHoldsCallerForItsTime();
    void modelessNoticeStaysOnTopUntilClosed();
    void newNoticeReplacesOld();
};

void TestFloatMsg::modalNoticeHoldsCallerForItsTime()
{
    QString seenText;
    QColor seenColor;
    QTimer::singleShot(100, [&] {
        if (frmFloatMsg* n = CurrentFloatMsg()) {
            seenText = n->text();
            seenColor = n->backgroundColor();
        }
    });
    QElapsedTimer t;
    t.start();
    ShowFloatMsg(QStringLiteral("자료를 삭제하였습니다."), 500, 1, FloatMsgColor());
    QVERIFY(t.elapsed() >= 450);
    QCOMPARE(seenText, QStringLiteral("자료를 삭제하였습니다."));
    QCOMPARE(seenColor, QColor(0, 255, 255));
    QTRY_VERIFY(CurrentFloatMsg() == nullptr);
}

void TestFloatMsg::modelessNoticeStaysOnTopUntilClosed()
{
    ShowFloatMsg(QStringLiteral("이월금액 재계산중..."), 0, 0, FloatMsgColor());
    frmFloatMsg* n = CurrentFloatMsg();
    QVERIFY(n);
    QVERIFY(n->isVisible());
    QVERIFY(!n->isModal());
    QVERIFY(n->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!n->timerActive());
    QTest::qWait(100);
    QVERIFY(CurrentFloatMsg() && CurrentFloatMsg()->isVisible());
    CloseFloatMsg();
    QVERIFY(CurrentFloatMsg() == nullptr);
}

void TestFloatMsg::newNoticeReplacesOld()
{
    ShowFloatMsg(QStringLiteral("a"), 0, 0, FloatMsgColor());
    QPointer<frmFloatMsg> first = CurrentFloatMsg();
    ShowFloatMsg(QStringLiteral("b"), 0, 0, FloatMsgColor());
    QTRY_VERIFY(first.isNull() || !first->isVisible());
    QCOMPARE(CurrentFloatMsg()->text(), QStringLiteral("b"));
    CloseFloatMsg();
}

QTEST_MAIN(TestFloatMsg)
#include "tst_floatmsg.moc"

#include "TestSupport.h"

#include "data/books/AppInfo.h"
#include "data/books/AppPaths.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/Utils.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QVBoxLayout>

// Window placement, combo-box routines, keyboard navigation, the home page and the calculator.
class TestUtils : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void place_modes_data();
    void place_modes();
    void place_centredOverAnchor();
    void place_aboveAnchorBottomTouchesTop();
    void place_countsClientAreaOnly();
    void place_shownWindowKeepsSize();
    void cmbGetItemData_cases();
    void cmbSetSize_listWidthAndRows();
    void cmbSetSize_noComboReportsError();
    void cmbShowList_dropsFocusedComboOnly();
    void keyToTab_followsTabOrder();
    void keyToTab_otherKeysDoNothing();
    void goHomePage_noOpensNothing();
    void goHomePage_yesOpensAddress();
    void calculator_firstFoundOnPath();
    void calculator_noneFound();

private:
    std::unique_ptr<TestEnv> m_env;
    QByteArray m_path;
};

void TestUtils::init()
{
    m_env = std::make_unique<TestEnv>(QDate(2005, 6, 15), false);
    LaunchHook::enable();
    LaunchHook::reset();
    m_path = qgetenv("PATH");
}

void TestUtils::cleanup()
{
    qputenv("PATH", m_path);
    UserSettings()->remove(QStringLiteral("General/HomePage"));
    LaunchHook::reset();
    QVERIFY(MessageHook::unscripted().isEmpty());
    m_env.reset();
}

namespace {
// A window at a known place with an anchor control inside it.
struct Scene {
    QWidget host;
    QFrame* anchor;
    QWidget popup;

    Scene(int frameWidth = 0)
    {
        host.setGeometry(100, 80, 700, 500);
        anchor = new QFrame(&host);
        if (frameWidth > 0) {
            anchor->setFrameStyle(QFrame::Box | QFrame::Plain);
            anchor->setLineWidth(frameWidth);
        }
        anchor->setGeometry(250, 200, 120, 30);
        host.show();
        popup.resize(300, 160);
    }
    QPoint client() const { return anchor->mapToGlobal(anchor->contentsRect().topLeft()); }
};
} // namespace

void TestUtils::place_modes_data()
{
    QTest::addColumn<int>("hMode");
    QTest::addColumn<int>("vMode");
    QTest::addColumn<QPoint>("offset"); // from the anchor's client corner
    QTest::newRow("left aligned, below") << 0 << 3 << QPoint(0, 30);
    QTest::newRow("right aligned, below") << 1 << 3 << QPoint(120 - 300, 30);
    QTest::newRow("centred, below") << 2 << 3 << QPoint(-(300 - 120) / 2, 30);
    QTest::newRow("left aligned, above") << 0 << 4 << QPoint(0, -160);
    QTest::newRow("vertical 0 is below too") << 0 << 0 << QPoint(0, 30);
}

void TestUtils::place_modes()
{
    QFETCH(int, hMode);
    QFETCH(int, vMode);
    QFETCH(QPoint, offset);
    Scene s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    QCOMPARE(s.client(), s.host.geometry().topLeft() + QPoint(250, 200));
    PlaceFormAtControl(&s.popup, s.anchor, hMode, vMode);
    QCOMPARE(s.popup.pos(), s.client() + offset);
    QCOMPARE(s.popup.size(), QSize(300, 160));

    // Any other horizontal mode puts the window at the screen's left edge.
    PlaceFormAtControl(&s.popup, s.anchor, 7, vMode);
    QCOMPARE(s.popup.pos(), QPoint(0, s.client().y() + offset.y()));
}

void TestUtils::place_centredOverAnchor()
{
    Scene s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    PlaceFormAtControl(&s.popup, s.anchor, 2, 3);
    const QRect anchorOnScreen(s.anchor->mapToGlobal(QPoint(0, 0)), s.anchor->size());
    QCOMPARE(s.popup.pos().x() + s.popup.width() / 2, anchorOnScreen.center().x() + 1);
    QCOMPARE(s.popup.pos().y(), anchorOnScreen.bottom() + 1);
}

void TestUtils::place_aboveAnchorBottomTouchesTop()
{
    Scene s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    PlaceFormAtControl(&s.popup, s.anchor, 1, 4);
    const QRect anchorOnScreen(s.anchor->mapToGlobal(QPoint(0, 0)), s.anchor->size());
    QCOMPARE(s.popup.geometry().bottom() + 1, anchorOnScreen.top());
    QCOMPARE(s.popup.geometry().right(), anchorOnScreen.right());
}

void TestUtils::place_countsClientAreaOnly()
{
    // A framed anchor: the corner is that of its inner area, the frame not counted.
    Scene s(3);
    QVERIFY(QTest::qWaitForWindowExposed(&s.host));
    PlaceFormAtControl(&s.popup, s.anchor, 0, 3);
    QCOMPARE(s.popup.pos(), s.host.geometry().topLeft() + QPoint(253, 203 + 30));
}

void TestUtils::place_shownWindowKeepsSize()
{
    Scene s;
    s.popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.popup));
    const QSize before = s.popup.frameGeometry().size();
    PlaceFormAtControl(&s.popup, s.anchor, 0, 4);
    QCOMPARE(s.popup.frameGeometry().size(), before);
    QCOMPARE(s.popup.frameGeometry().bottom() + 1, s.client().y());
    // A child widget is placed in its parent's coordinates.
    QWidget child(&s.host);
    child.resize(40, 20);
    PlaceFormAtControl(&child, s.anchor, 0, 3);
    QCOMPARE(child.pos(), QPoint(250, 230));
}

void TestUtils::cmbGetItemData_cases()
{
    QComboBox combo;
    QCOMPARE(CmbGetItemData(&combo, -1), -1);
    QCOMPARE(CmbGetItemData(nullptr, 5), 5);
    combo.addItem(QString(), 0);
    combo.addItem(QStringLiteral("국민"), 12);
    combo.addItem(QStringLiteral("비씨"));
    combo.setCurrentIndex(1);
    QCOMPARE(CmbGetItemData(&combo, -1), 12);
    combo.setCurrentIndex(0);
    QCOMPARE(CmbGetItemData(&combo, -1), 0);
    combo.setCurrentIndex(2); // an entry without item data reads 0
    QCOMPARE(CmbGetItemData(&combo, -1), 0);
    combo.setCurrentIndex(-1);
    QCOMPARE(CmbGetItemData(&combo, 0), 0);
    QCOMPARE(CmbGetItemData(&combo, 77), 77);
}

void TestUtils::cmbSetSize_listWidthAndRows()
{
    QWidget host;
    auto* combo = new QComboBox(&host);
    combo->setObjectName(QStringLiteral("cmbPlastra"));
    for (int i = 0; i < 40; ++i)
        combo->addItem(QStringLiteral("카드 %1").arg(i), i);
    combo->resize(120, 24);
    CmbSetSize(combo, 4500, 5000);
    QCOMPARE(combo->view()->minimumWidth(), int(4500 / TwipsPerPixelX()));
    const int rowHeight = combo->view()->sizeHintForRow(0);
    QVERIFY(rowHeight > 0);
    QCOMPARE(combo->maxVisibleItems(), (int(5000 / TwipsPerPixelY()) - 24) / rowHeight);
    QVERIFY(combo->maxVisibleItems() > 5);
    // A height that leaves no room for the list still shows one row.
    CmbSetSize(combo, 1000, 100);
    QCOMPARE(combo->maxVisibleItems(), 1);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestUtils::cmbSetSize_noComboReportsError()
{
    CmbSetSize(nullptr, 1000, 1000);
    TALLOX_COMPARE_LAST_BOX("plain", AppTitle(),
                            "Error 91 (Object variable not set) in procedure CmbSetSize of Module modComboBox");
}

void TestUtils::cmbShowList_dropsFocusedComboOnly()
{
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* edit = new QLineEdit(&w);
    auto* combo = new QComboBox(&w);
    combo->addItems({QString(), QStringLiteral("국민"), QStringLiteral("비씨")});
    layout->addWidget(edit);
    layout->addWidget(combo);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    CmbShowList(); // the focused control is no combo box
    QVERIFY(!combo->view()->isVisible());

    combo->setFocus();
    QTRY_VERIFY(combo->hasFocus());
    CmbShowList();
    QTRY_VERIFY(combo->view()->isVisible());
    combo->hidePopup();
}

namespace {
struct TabWindow {
    QWidget w;
    QLineEdit* a;
    QLineEdit* b;
    QLineEdit* disabled;
    QLabel* label;
    QLineEdit* hidden;
    QComboBox* c;

    TabWindow()
    {
        auto* layout = new QVBoxLayout(&w);
        a = new QLineEdit(&w);
        b = new QLineEdit(&w);
        disabled = new QLineEdit(&w);
        disabled->setEnabled(false);
        label = new QLabel(QStringLiteral("검색카드"), &w);
        hidden = new QLineEdit(&w);
        c = new QComboBox(&w);
        for (QWidget* x : {static_cast<QWidget*>(a), static_cast<QWidget*>(b), static_cast<QWidget*>(disabled),
                           static_cast<QWidget*>(label), static_cast<QWidget*>(hidden), static_cast<QWidget*>(c)})
            layout->addWidget(x);
        w.show();
        hidden->hide();
        w.activateWindow();
    }
};
} // namespace

void TestUtils::keyToTab_followsTabOrder()
{
    TabWindow t;
    QVERIFY(QTest::qWaitForWindowActive(&t.w));
    t.b->setFocus();
    QTRY_VERIFY(t.b->hasFocus());

    KeyToTab(t.b, 13); // Enter: the disabled, label-only and hidden controls are passed over
    QTRY_VERIFY(t.c->hasFocus());
    KeyToTab(t.c, 39); // Right: past the last control to the first, as Tab
    QTRY_VERIFY(t.a->hasFocus());
    KeyToTab(t.a, 37); // Left: back, as Shift+Tab
    QTRY_VERIFY(t.c->hasFocus());
    KeyToTab(t.c, 37);
    QTRY_VERIFY(t.b->hasFocus());

    // The window's tab order, not the order of creation.
    QWidget::setTabOrder(t.a, t.c);
    QWidget::setTabOrder(t.c, t.b);
    t.a->setFocus();
    QTRY_VERIFY(t.a->hasFocus());
    KeyToTab(t.a, 13);
    QTRY_VERIFY(t.c->hasFocus());
    KeyToTab(t.c, 39);
    QTRY_VERIFY(t.b->hasFocus());
}

void TestUtils::keyToTab_otherKeysDoNothing()
{
    TabWindow t;
    QVERIFY(QTest::qWaitForWindowActive(&t.w));
    t.b->setFocus();
    QTRY_VERIFY(t.b->hasFocus());
    for (int key : {38, 40, 9, 27, 65, 0}) { // Up, Down, Tab, Escape, A
        KeyToTab(t.b, key);
        QCoreApplication::processEvents();
        QVERIFY2(t.b->hasFocus(), qPrintable(QString::number(key)));
    }
    KeyToTab(nullptr, 13); // no control: nothing
}

void TestUtils::goHomePage_noOpensNothing()
{
    MessageHook::answer(MsgAnswer::No);
    GoHomePage();
    QVERIFY(LaunchHook::openedUrls().isEmpty());
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().icon, MsgIcon::Question);
    TALLOX_COMPARE_LAST_BOX("question", AppTitle(), "고객지원센터 홈페이지로 이동하시겠습니까?");
}

void TestUtils::goHomePage_yesOpensAddress()
{
    MessageHook::answer(MsgAnswer::Yes);
    GoHomePage();
    QCOMPARE(LaunchHook::openedUrls(), QList<QUrl>{QUrl(DefaultHomePageAddress())});
    QVERIFY(QUrl(DefaultHomePageAddress()).isValid());

    UserSettings()->setValue(QStringLiteral("General/HomePage"), QStringLiteral("https://help.example.org/"));
    MessageHook::answer(MsgAnswer::Yes);
    GoHomePage();
    QCOMPARE(LaunchHook::openedUrls().size(), 2);
    QCOMPARE(LaunchHook::openedUrls().last(), QUrl(QStringLiteral("https://help.example.org/")));
}

namespace {
void writeProgram(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
} // namespace

void TestUtils::calculator_firstFoundOnPath()
{
    QTemporaryDir bin;
    writeProgram(bin.path() + QStringLiteral("/xcalc"));
    writeProgram(bin.path() + QStringLiteral("/kcalc"));
    qputenv("PATH", bin.path().toUtf8());
    QVERIFY(StartCalculator());
    QCOMPARE(LaunchHook::startedPrograms(), QStringList{bin.path() + QStringLiteral("/kcalc")});

    QFile::remove(bin.path() + QStringLiteral("/kcalc"));
    QVERIFY(StartCalculator());
    QCOMPARE(LaunchHook::startedPrograms().last(), bin.path() + QStringLiteral("/xcalc"));
}

void TestUtils::calculator_noneFound()
{
    QTemporaryDir bin;
    qputenv("PATH", bin.path().toUtf8());
    QVERIFY(!StartCalculator());
    QVERIFY(LaunchHook::startedPrograms().isEmpty());

    // Without the hook an actual start is tried, and still nothing is found.
    LaunchHook::disable();
    QVERIFY(!StartCalculator());
    LaunchHook::enable();
}

QTEST_MAIN(TestUtils)
#include "tst_utils.moc"

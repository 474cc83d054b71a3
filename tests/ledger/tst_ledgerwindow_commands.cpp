#include "LedgerWindowTestBase.h"

#include "data/books/Backup.h"
#include "gui/cards/frmPlastra_read.h"
#include "gui/cards/frmPlastra_sel.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/ledger/BackupDialog.h"
#include "gui/ledger/CarryOverCheckDialog.h"
#include "gui/ledger/HistoryWindow.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/ledger/LedgerStatusLine.h"
#include "gui/settlement/SettlementSheet.h"
#include "gui/settlement/SettlementWindow.h"
#include "gui/summary/frmSumBill.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/HelpWindow.h"
#include "gui/toolkit/ModalRun.h"
#include "gui/toolkit/PeriodBar.h"
#include "gui/toolkit/Utils.h"
#include "output/PrintComponent.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolButton>

// The search bar, the buttons, the function keys and the tool menu.
class TestLedgerWindowCommands : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init() { startEnv(); }
    void cleanup()
    {
        LaunchHook::disable();
        ExcelExportHook::setOpener({});
        stopEnv();
    }

    void chainBoxWithArrows();
    void arrowsCrossMonthsAndYears();
    void enterInDateBoxMovesFocusWithoutReload();
    void enterInLastDateBoxShowsThePeriod();
    void focusAndTabOrder_data();
    void focusAndTabOrder();
    void cardEditorSavedFocusBackInCardList();
    void cardChoiceWaitsForView();
    void enterInCardFilterViews();
    void f3FocusesCardFilter();
    void functionKeysWorkFromAnyControl();
    void cardButtonRefillsFilter();
    void printUsesDatesInBoxes();
    void excelExportKeepsLocks();
    void rebuildAnsweredNoDoesNothing();
    void rebuildRewritesCarryOver();
    void carryOverCheckFindsAndRebuilds();
    void carryOverCheckClean();
    void calculatorMissing();
    void homePageAsksFirst();
    void menuTexts();
    void deleteQuestionsPreselectNo();
    void backupAndRestoreFromTheMenu();
    void summaryOpensOnceNotModal();
    void settlementNoticeWindowAndLedger();
    void firstStepsAndStatusLine();
    void helpAndAbout();
    void everyButtonHasAToolTip();
};

void TestLedgerWindowCommands::chainBoxWithArrows()
{
    openWindow();
    QCheckBox* chain = win->findChild<QCheckBox*>(QStringLiteral("chkChain"));
    QVERIFY(chain);
    QCOMPARE(chain->text(), QStringLiteral("양쪽 날짜 동시에 변경"));
    period()->udDateCng(0)->upButton()->click();
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-06-16"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-06-15"));
    chain->setChecked(true);
    period()->udDateCng(0)->upButton()->click();
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-06-17"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-06-17"));
    period()->udDateCng(1)->downButton()->click();
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-06-16"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-06-16"));
    // A period change does not reload the sheet.
    QCOMPARE(rows(), 2);
}

void TestLedgerWindowCommands::arrowsCrossMonthsAndYears()
{
    openWindow();
    setPeriod(QStringLiteral("2004-02-28"), QStringLiteral("2004-12-31"));
    period()->udDateCng(0)->upButton()->click();
    period()->udDateCng(1)->upButton()->click();
    QCOMPARE(period()->dateText(0), QStringLiteral("2004-02-29"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-01-01"));
    setPeriod(QStringLiteral("2005-03-01"), QStringLiteral("2005-03-01"));
    period()->udDateCng(0)->downButton()->click();
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-02-28"));
}

void TestLedgerWindowCommands::enterInDateBoxMovesFocusWithoutReload()
{
    env->addCard(1, QStringLiteral("신한카드"));
    openWindow();
    QCOMPARE(rows(), 2);
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    SpreadGrid* box = period()->spDate(0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(QApplication::focusWidget() != box);
    QCOMPARE(rows(), 2);
    QTest::keyClick(sheet(), Qt::Key_F5);
    QCOMPARE(rows(), 3);
}

void TestLedgerWindowCommands::enterInLastDateBoxShowsThePeriod()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-05-15"), 1, 100);
    openWindow();
    QCOMPARE(rows(), 2);
    setPeriod(QStringLiteral("2005-05-01"), QStringLiteral("2005-05-31"));
    SpreadGrid* box = period()->spDate(1);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(rows(), 3);
    // The card filter's list stays closed, so the next F5 is not swallowed.
    QVERIFY(!cardFilter()->view()->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QCOMPARE(rows(), 3);
}

namespace {
// The control a user sees with the focus: a cell editor counts as its grid.
QString focusName()
{
    QWidget* w = QApplication::focusWidget();
    while (w && (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

QString valueOf(QWidget* window, const QString& name)
{
    QWidget* w = window->findChild<QWidget*>(name);
    if (auto* grid = qobject_cast<SpreadGrid*>(w))
        return grid->text(1, 1);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    return QStringLiteral("(no %1)").arg(name);
}

// Plays "@box 1201 Tab 1207 Enter" on the control with the focus, as a keyboard would.
void play(QWidget* window, const QString& keys)
{
    const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
        {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
        {"Backtab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {"Enter", {Qt::Key_Return, Qt::NoModifier}}};
    for (const QString& word : keys.split(QLatin1Char(' '))) {
        if (word.startsWith(QLatin1Char('@'))) {
            window->findChild<QWidget*>(word.mid(1))->setFocus(Qt::MouseFocusReason);
        } else if (named.contains(word)) {
            QTest::keyClick(QApplication::focusWidget(), named[word].first, named[word].second);
        } else {
            for (const QChar ch : word) {
                const Qt::Key key = ch.unicode() < 128 && ch.isDigit() ? Qt::Key(ch.unicode()) : Qt::Key_unknown;
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key, QString(ch), Qt::NoModifier);
            }
        }
    }
}
} // namespace

// Each window as the keyboard meets it: Tab leaves a date box, Enter in the
// last date box shows the period, Enter into a text box selects what it holds.
void TestLedgerWindowCommands::focusAndTabOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QStringList>("values"); // "control=value"
    const QStringList today{"spDate0=2005-06-15", "spDate1=2005-06-15"};
    QTest::newRow("ledger: Tab leaves the first date")
        << "ledger"
        << "@spDate0 1201 Tab"
        << "spDate1" << QStringList{"spDate0=2005-12-01", "spDate1=2005-06-15"};
    QTest::newRow("ledger: a period typed with Tab and Enter")
        << "ledger"
        << "@spDate0 1201 Tab 1207 Enter"
        << "spList" << QStringList{"spDate0=2005-12-01", "spDate1=2005-12-07"};
    QTest::newRow("ledger: Shift+Tab back to the first date") << "ledger"
                                                              << "@spDate1 Backtab"
                                                              << "spDate0" << today;
    QTest::newRow("ledger: fee switch, view, summary") << "ledger"
                                                       << "@chkAutoFee Tab Tab"
                                                       << "btnSum" << today;
    QTest::newRow("summary: a period typed with Tab and Enter")
        << "summary"
        << "@spDate0 0301 Tab 0331 Enter"
        << "spList" << QStringList{"spDate0=2005-03-01", "spDate1=2005-03-31"};
    QTest::newRow("summary: last date, chain box, view") << "summary"
                                                         << "@spDate1 Tab Tab"
                                                         << "btnView" << today;
    QTest::newRow("history: a period typed with Tab and Enter")
        << "history"
        << "@spDate0 0601 Tab 0610 Enter"
        << "spHistory" << QStringList{"spDate0=2005-06-01", "spDate1=2005-06-10"};
    QTest::newRow("card list: Tab leaves the list") << "cardlist"
                                                    << "@spList Tab"
                                                    << "btnAdd" << QStringList();
    QTest::newRow("card editor: rate typed after Enter") << "cardeditor"
                                                         << "@txtName 신한카드 Enter 1.5"
                                                         << "txtFee" << QStringList{"txtFee=1.5"};
    QTest::newRow("card editor: rate typed after Tab") << "cardeditor"
                                                       << "@txtName 신한카드 Tab 1.5"
                                                       << "txtFee" << QStringList{"txtFee=1.5"};
    QTest::newRow("card editor: back to the name") << "cardeditor"
                                                   << "@txtFee Backtab"
                                                   << "txtName" << QStringList{"txtFee=0.00"};
}

void TestLedgerWindowCommands::focusAndTabOrder()
{
    QFETCH(QString, window);
    QFETCH(QString, keys);
    QFETCH(QString, focus);
    QFETCH(QStringList, values);
    std::unique_ptr<QWidget> own;
    QWidget* w = nullptr;
    if (window == QLatin1String("ledger")) {
        w = openWindow();
    } else {
        if (window == QLatin1String("summary"))
            own = std::make_unique<frmSumBill>(env->ctx());
        else if (window == QLatin1String("history"))
            own = std::make_unique<HistoryWindow>(env->ctx());
        else if (window == QLatin1String("cardlist"))
            own = std::make_unique<frmPlastra_read>(env->ctx().cardPath);
        else
            own = std::make_unique<frmPlastra_write>(env->ctx().cardPath);
        w = own.get();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    play(w, keys);
    QCOMPARE(focusName(), focus);
    for (const QString& v : values)
        QCOMPARE(v.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') + valueOf(w, v.section(QLatin1Char('='), 0, 0)),
                 v);
    QVERIFY(MessageHook::shown().isEmpty());
}

// After the card editor saves (and goes on with the next card), it keeps the
// focus, so Esc closes it; then the card list has it, then the ledger.
void TestLedgerWindowCommands::cardEditorSavedFocusBackInCardList()
{
    openWindow();
    const auto active = [] { return QApplication::activeWindow() ? QApplication::activeWindow()->objectName() : ""; };
    QStringList seen; // the active window and the focus after each step
    ModalHook::push([&](QDialog* list) {
        QTRY_COMPARE(QApplication::activeWindow(), list);
        ModalHook::push([&](QDialog* editor) {
            QTRY_COMPARE(QApplication::activeWindow(), editor);
            play(editor, QStringLiteral("@txtName 신한카드 Enter 1.5 Enter 2 Enter"));
            QTRY_VERIFY(QApplication::focusWidget()); // the notice "saved" has come and gone
            seen << active() + QLatin1Char(' ') + focusName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        list->findChild<QPushButton*>(QStringLiteral("btnAdd"))->click();
        QTRY_COMPARE(QApplication::activeWindow(), list);
        seen << active() + QLatin1Char(' ') + focusName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    win->findChild<QPushButton*>(QStringLiteral("btnCard"))->click();
    QTRY_VERIFY(QApplication::activeWindow());
    seen << active();
    QCOMPARE(seen, (QStringList{"frmPlastra_write txtName", "frmPlastra_read spList", "frmMain"}));
    QCOMPARE(ModalHook::unhandled(), QStringList()); // Esc closed both
    QCOMPARE(env->ctx().card.scalar(QStringLiteral("SELECT fee FROM Plastra")).toDouble(), 1.5);
    QCOMPARE(env->ctx().card.scalar(QStringLiteral("SELECT setday FROM Plastra")).toInt(), 2);
}

void TestLedgerWindowCommands::cardChoiceWaitsForView()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("국민카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    env->addEntry(QStringLiteral("2005-06-15"), 2, 200);
    openWindow();
    QCOMPARE(rows(), 4);
    selectCard(2);
    QCOMPARE(rows(), 4);
    win->findChild<QPushButton*>(QStringLiteral("btnView"))->click();
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("국민카드"));
}

void TestLedgerWindowCommands::enterInCardFilterViews()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addCard(2, QStringLiteral("국민카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    env->addEntry(QStringLiteral("2005-06-15"), 2, 200);
    openWindow();
    selectCard(1);
    QTest::keyClick(cardFilter(), Qt::Key_Return);
    cardFilter()->hidePopup();
    QCOMPARE(rows(), 3);
    QCOMPARE(cell(LedgerModel::CardName, 2), QStringLiteral("신한카드"));
}

void TestLedgerWindowCommands::f3FocusesCardFilter()
{
    openWindow();
    QCOMPARE(cardFilter()->toolTip(), QStringLiteral("단축키: F3"));
    gotoCell(LedgerModel::CardName, 2);
    QTest::keyClick(sheet(), Qt::Key_F3);
    // The focus lands on the card filter, whose list drops down at once.
    QTRY_VERIFY(cardFilter()->view()->isVisible());
    QVERIFY(QApplication::focusWidget() == cardFilter() || QApplication::focusWidget() == cardFilter()->view());
    cardFilter()->hidePopup();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(cardFilter()));
}

void TestLedgerWindowCommands::functionKeysWorkFromAnyControl()
{
    env->addCard(1, QStringLiteral("신한카드"));
    openWindow();
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    auto* btn = win->findChild<QPushButton*>(QStringLiteral("btnPrint"));
    QTest::keyClick(btn, Qt::Key_F5);
    QCOMPARE(rows(), 3);
    // F8 prints (to the PDF target of the test).
    QTest::keyClick(period()->spDate(1), Qt::Key_F8);
    QVERIFY(QFileInfo::exists(env->appFolder() + QStringLiteral("/print.pdf")));
}

void TestLedgerWindowCommands::cardButtonRefillsFilter()
{
    env->addCard(1, QStringLiteral("신한카드"));
    openWindow();
    selectCard(1);
    ModalHook::push([this](QDialog* d) {
        QVERIFY(qobject_cast<frmPlastra_read*>(d));
        env->addCard(5, QStringLiteral("롯데카드"));
        d->reject();
    });
    win->findChild<QPushButton*>(QStringLiteral("btnCard"))->click();
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmPlastra_read")});
    // The chosen card stays chosen, with its text; once it is deleted, all cards.
    QCOMPARE(cardFilter()->currentData().toInt(), 1);
    QCOMPARE(cardFilter()->currentText(), QStringLiteral("신한카드"));
    QCOMPARE(cardFilter()->count(), 3);
    QVERIFY(cardFilter()->findData(5) > 0);
    ModalHook::push([this](QDialog* d) {
        env->ctx().card.execute(QStringLiteral("DELETE FROM Plastra WHERE code = 1"));
        d->reject();
    });
    win->findChild<QPushButton*>(QStringLiteral("btnCard"))->click();
    QCOMPARE(cardFilter()->currentIndex(), 0);
    QCOMPARE(cardFilter()->count(), 2);
}

void TestLedgerWindowCommands::printUsesDatesInBoxes()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    setPeriod(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30")); // not reloaded
    QCOMPARE(win->PeriodLine(), QStringLiteral("( 검색기간: 2005-06-01 - 2005-06-30 )"));
    win->findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
    QVERIFY(QFileInfo(env->appFolder() + QStringLiteral("/print.pdf")).size() > 0);
}

void TestLedgerWindowCommands::excelExportKeepsLocks()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    QList<QUrl> opened;
    ExcelExportHook::setOpener([&opened](const QUrl& u) {
        opened.append(u);
        return true;
    });
    FileDialogHook::answerProposed();
    QTest::keyClick(sheet(), Qt::Key_F7);
    QCOMPARE(FileDialogHook::shown().size(), 1);
    QCOMPARE(opened.size(), 1);
    QVERIFY(QFileInfo::exists(opened.first().toLocalFile()));
    for (int c = 0; c < LedgerModel::ColumnCount; ++c)
        QVERIFY(!editable(c, 1));
    QVERIFY(!editable(LedgerModel::Balance, 2));
    QVERIFY(editable(LedgerModel::Sale, 2));
    QVERIFY(editable(LedgerModel::Date, 3));
    QVERIFY(editable(LedgerModel::CardName, 3));
    // And the sheet still takes typing.
    typeInto(LedgerModel::Sale, 2, QStringLiteral("300"));
    QCOMPARE(entry(lastKey())[QStringLiteral("sale")].toString(), QStringLiteral("300"));
}

namespace {
QString RebuildQuestion()
{
    return QStringLiteral("                    [잔액 재정리]\r\n\r\n"
                          "이월금액이 맞지 않는 경우 재계산을 통하여 자동으로 맞춥니다.\r\n"
                          "자료의 양에 따라 다소 시간이 걸릴 수도 있습니다.\r\n\r\n"
                          "진행하시겠습니까?");
}
} // namespace

void TestLedgerWindowCommands::rebuildAnsweredNoDoesNothing()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 777);
    env->addEntry(QStringLiteral("2005-04-02"), 1, 100);
    openWindow();
    MessageHook::answer(MsgAnswer::No);
    win->findChild<QAction*>(QStringLiteral("mnuTool_ReBaln"))->trigger();
    QCOMPARE(MessageHook::shown().size(), 1);
    TALLOX_COMPARE_LAST_BOX("question", "Tallox", RebuildQuestion());
    QCOMPARE(env->transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(777));
}

void TestLedgerWindowCommands::rebuildRewritesCarryOver()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-04"), 1, 777);
    env->addEntry(QStringLiteral("2005-03-02"), 1, 100);
    env->addEntry(QStringLiteral("2005-04-02"), 1, 50);
    env->addEntry(QStringLiteral("2005-06-02"), 1, 30);
    openWindow();
    MessageHook::answer(MsgAnswer::Yes);
    win->findChild<QAction*>(QStringLiteral("mnuTool_ReBaln"))->trigger();
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "잔액 재정리를 완료 하였습니다.");
    QCOMPARE(env->count(QStringLiteral("transfer")), 3);
    QCOMPARE(env->transferAmount(QStringLiteral("2005-02"), 1), Money());
    QCOMPARE(env->transferAmount(QStringLiteral("2005-03"), 1), Money::fromWon(100));
    QCOMPARE(env->transferAmount(QStringLiteral("2005-04"), 1), Money::fromWon(150));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestLedgerWindowCommands::carryOverCheckFindsAndRebuilds()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-02"), 1, 0);
    env->addTransfer(QStringLiteral("2005-03"), 1, 999); // should be 100
    env->addEntry(QStringLiteral("2005-03-02"), 1, 100);
    openWindow();
    int findings = -1;
    ModalHook::push([&findings](QDialog* d) {
        auto* grid = d->findChild<SpreadGrid*>(QStringLiteral("spCheck"));
        QVERIFY(grid);
        findings = grid->maxRows();
        QCOMPARE(grid->text(2, 1), QStringLiteral("신한카드"));
        QCOMPARE(grid->text(3, 1), QStringLiteral("2005-03"));
        d->findChild<QPushButton*>(QStringLiteral("btnReBaln"))->click();
    });
    MessageHook::answer(MsgAnswer::Yes); // the rebuild question
    win->findChild<QAction*>(QStringLiteral("mnuTool_Check"))->trigger();
    QCOMPARE(findings, 1);
    QCOMPARE(ModalHook::shown(), QStringList{QStringLiteral("frmBalnCheck")});
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "잔액 재정리를 완료 하였습니다.");
    QCOMPARE(env->transferAmount(QStringLiteral("2005-03"), 1), Money::fromWon(100));
}

void TestLedgerWindowCommands::carryOverCheckClean()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-02"), 1, 0);
    env->addTransfer(QStringLiteral("2005-03"), 1, 100);
    env->addEntry(QStringLiteral("2005-03-02"), 1, 100);
    openWindow();
    win->findChild<QAction*>(QStringLiteral("mnuTool_Check"))->trigger();
    QVERIFY(ModalHook::shown().isEmpty());
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "이월금액이 장부와 모두 일치합니다.");
}

void TestLedgerWindowCommands::calculatorMissing()
{
    openWindow();
    LaunchHook::enable();
    LaunchHook::reset();
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", env->appFolder().toUtf8());
    win->findChild<QAction*>(QStringLiteral("mnuTool_Calc"))->trigger();
    qputenv("PATH", oldPath);
    TALLOX_COMPARE_LAST_BOX("warn", "Tallox",
                            "계산기 파일을 찾을 수 없습니다.\r\n\r\n계산기 프로그램을 설치하세요: sudo apt install "
                            "gnome-calculator\r\n(gnome-calculator, kcalc, galculator, qalculate-gtk, xcalc 가운데 "
                            "하나가 있으면 됩니다)");
    QVERIFY(LaunchHook::startedPrograms().isEmpty());
}

void TestLedgerWindowCommands::homePageAsksFirst()
{
    openWindow();
    LaunchHook::enable();
    LaunchHook::reset();
    MessageHook::answer(MsgAnswer::No);
    win->findChild<QAction*>(QStringLiteral("mnuHomePage"))->trigger();
    QVERIFY(LaunchHook::openedUrls().isEmpty());
    MessageHook::answer(MsgAnswer::Yes);
    win->findChild<QAction*>(QStringLiteral("mnuHomePage"))->trigger();
    QCOMPARE(LaunchHook::openedUrls().size(), 1);
    QCOMPARE(MessageHook::shown().last().text, QStringLiteral("고객지원센터 홈페이지로 이동하시겠습니까?"));
}

void TestLedgerWindowCommands::menuTexts()
{
    openWindow();
    frmPlastra_read list(env->ctx().cardPath);
    // Window titles, menus and menu entries: object name, text, usable now.
    struct Expected {
        const char* name;
        QString text;
        bool enabled;
    };
    const Expected table[] = {
        {"frmMain", QStringLiteral("Tallox Ver.%1 (%2)").arg(TALLOX_VERSION, env->ctx().ledgerPath), true},
        {"frmPlastra_read", "신용카드 목록", true},
        {"mnuFile", "  파일(&F)  ", true},
        {"mnuExit", "종료(&X)", true},
        {"mnuEdit", "  편집(&E)  ", true},
        {"mnuEdit_Undo", "실행 취소", false}, // nothing to undo yet
        {"mnuEdit_Redo", "다시 실행", false},
        {"mnuTool", "  도구(&T)  ", true},
        {"mnuTool_ReBaln", "잔액 재정리", true},
        {"mnuTool_Settlement", "정산 현황", true},
        {"mnuTool_Calc", "계산기", true},
        {"mnuHelp", "  도움말(&H)  ", true},
        {"mnuHelp_Guide", "사용 설명서(&G)", true},
        {"mnuHomePage", "홈페이지(&P)", true},
        {"mnuHelp_About", "정보(&A)", true},
    };
    for (const Expected& e : table) {
        const QString name = QString::fromLatin1(e.name);
        QObject* o = name == win->objectName()   ? win
                     : name == list.objectName() ? &list
                                                 : win->findChild<QObject*>(name);
        QVERIFY2(o, e.name);
        QString text;
        bool enabled = true;
        if (auto* menu = qobject_cast<QMenu*>(o))
            text = menu->title(), enabled = menu->menuAction()->isEnabled();
        else if (auto* action = qobject_cast<QAction*>(o))
            text = action->text(), enabled = action->isEnabled();
        else
            text = qobject_cast<QWidget*>(o)->windowTitle();
        QCOMPARE(text, e.text);
        QVERIFY2(enabled == e.enabled, e.name);
    }
    // The menu bar holds menus only; Ctrl+Z with nothing to undo says nothing.
    for (QAction* a : win->menuBar()->actions())
        QVERIFY2(a->menu(), qPrintable(a->text()));
    QTest::keyClick(sheet(), Qt::Key_Z, Qt::ControlModifier);
    win->mnuEdit_Redo_Click();
    QVERIFY(MessageHook::shown().isEmpty());
    const QStringList captions = {QStringLiteral("조회(F5)"), QStringLiteral("집계(F6)"), QStringLiteral("엑셀(F7)"),
                                  QStringLiteral("인쇄(F8)"), QStringLiteral("카드정보"), QStringLiteral("닫기(&C)")};
    const QStringList names = {QStringLiteral("btnView"),  QStringLiteral("btnSum"),  QStringLiteral("btnExcel"),
                               QStringLiteral("btnPrint"), QStringLiteral("btnCard"), QStringLiteral("btnClose")};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(win->findChild<QPushButton*>(names[i])->text(), captions[i]);
    QCOMPARE(autoFee()->text(), QStringLiteral("수수료 자동입력"));
    win->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QVERIFY(!win->isVisible());
}

// Every question before a deletion has 아니오 preselected: Enter alone deletes nothing.
void TestLedgerWindowCommands::deleteQuestionsPreselectNo()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-15"), 1, 100);
    openWindow();
    gotoCell(LedgerModel::Sale, 2);
    MessageHook::answer(MsgAnswer::No);
    pressKey(Qt::Key_F4);
    frmPlastra_read list(env->ctx().cardPath);
    MessageHook::answer(MsgAnswer::No);
    list.findChild<QPushButton*>(QStringLiteral("btnDelete"))->click();
    QCOMPARE(MessageHook::shown().size(), 2);
    for (const MessageHook::Shown& box : MessageHook::shown()) {
        QCOMPARE(box.kind, QStringLiteral("question"));
        QVERIFY2(box.defaultAnswer == MsgAnswer::No, qPrintable(box.text));
    }
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
}

// 지금 백업 runs beside the window and says where the backup went; 백업에서
// 복원 lists it, backs up the books, puts the backup's entries back and shows them.
void TestLedgerWindowCommands::backupAndRestoreFromTheMenu()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2005-06-02"), 1, 30);
    openWindow();
    win->findChild<QAction*>(QStringLiteral("mnuTool_Backup"))->trigger();
    QTRY_VERIFY(!win->backupTask()->isRunning() && !MessageHook::shown().isEmpty());
    QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("info"));
    QVERIFY(MessageHook::shown().last().text.startsWith(QStringLiteral("백업했습니다.")));
    env->addEntry(QStringLiteral("2005-06-03"), 1, 40);
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    const int withTwo = rows();
    env->ctx().closeAll();

    ModalHook::enable();
    ModalHook::reset();
    QString listed;
    ModalHook::push([&](QDialog* d) {
        auto* list = static_cast<BackupDialog*>(d)->list();
        listed = list->item(0, 1)->text() + QLatin1Char(' ') + list->item(0, 2)->text() + QLatin1Char(' ') +
                 list->item(0, 3)->text();
        d->findChild<QPushButton*>(QStringLiteral("btnRestore"))->click();
    });
    MessageHook::answer(MsgAnswer::Yes);
    win->findChild<QAction*>(QStringLiteral("mnuTool_Restore"))->trigger();
    ModalHook::disable();
    QCOMPARE(listed, QStringLiteral("직접 백업 1 2005-06-02"));
    TALLOX_COMPARE_LAST_BOX("info", "Tallox", "백업에서 복원했습니다.");
    QCOMPARE(rows(), withTwo - 1);
    QVERIFY(env->ctx().openFolder(env->dbFolder()));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
    QCOMPARE(Backup::List(Backup::DefaultRoot()).size(), 2);
}

void TestLedgerWindowCommands::summaryOpensOnceNotModal()
{
    openWindow();
    view(QStringLiteral("2005-05-01"), QStringLiteral("2005-05-31"));
    QTest::keyClick(sheet(), Qt::Key_F6);
    frmSumBill* first = frmSumBill::OpenInstance();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    // It opens on the ledger's period, not on today.
    QCOMPARE(first->periodFrom(), QStringLiteral("2005-05-01"));
    QCOMPARE(first->periodTo(), QStringLiteral("2005-05-31"));
    win->findChild<QPushButton*>(QStringLiteral("btnSum"))->click();
    QCOMPARE(frmSumBill::OpenInstance(), first);
    QCOMPARE(win->findChildren<frmSumBill*>().size(), 1);
    // Closing the ledger closes the summary with it.
    QPointer<frmSumBill> guard(first);
    closeWindow();
    QVERIFY(guard.isNull());
    // Esc closes it, as its close button says.
    openWindow();
    QTest::keyClick(sheet(), Qt::Key_F6);
    guard = frmSumBill::OpenInstance();
    QTRY_COMPARE(QApplication::activeWindow(), guard.data());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(guard.isNull());
}

// A pay-out more than two business days late is said once at start; the
// notice, F9 and the menu open the one settlement window, whose double-click
// shows that card company's ledger from its oldest unpaid sale.
void TestLedgerWindowCommands::settlementNoticeWindowAndLedger()
{
    env->addCard(1, QStringLiteral("BC카드"), 2.0, 1);
    env->addCard(2, QStringLiteral("삼성카드"), 2.0, 1);
    env->addEntry(QStringLiteral("2005-06-01"), 1, 100000, 2000);
    env->addEntry(QStringLiteral("2005-06-14"), 2, 50000, 1000); // due today: not late
    openWindow();
    auto* notice = win->findChild<QLabel*>(QStringLiteral("lblOverdue"));
    QTRY_VERIFY(notice->isVisibleTo(win));
    QVERIFY2(notice->text().contains(QStringLiteral("미입금 1곳 98,000원, 가장 오래된 것 2005-06-01 BC카드")),
             qPrintable(notice->text()));
    Q_EMIT notice->linkActivated(QStringLiteral("settlement"));
    QPointer<SettlementWindow> w = SettlementWindow::OpenInstance();
    QVERIFY(w && w->isVisible());
    QVERIFY(!notice->isVisibleTo(win));
    win->findChild<QAction*>(QStringLiteral("mnuTool_Settlement"))->trigger();
    QCOMPARE(SettlementWindow::OpenInstance(), w.data());
    QCOMPARE(win->findChild<QAction*>(QStringLiteral("mnuTool_Settlement"))->shortcut(), QKeySequence(Qt::Key_F9));
    SpreadGrid* grid = w->grid();
    QCOMPARE(grid->text(SettlementCol::Name, 1), QStringLiteral("BC카드"));
    QCOMPARE(grid->text(SettlementCol::Overdue, 1), QStringLiteral("98000"));
    QCOMPARE(grid->text(SettlementCol::OldestUnpaid, 1), QStringLiteral("2005-06-01"));
    QCOMPARE(grid->text(SettlementCol::DueToday, 2), QStringLiteral("49000"));
    // 2005 is not in the holiday file: the window says so.
    QVERIFY(w->findChild<QLabel*>(QStringLiteral("lblNote"))->text().contains(QStringLiteral("2005년")));
    // 인쇄 prints the sheet shown, its title and the day above it.
    const QString pdf = env->appFolder() + QStringLiteral("/settlement.pdf");
    win->context().print->setPdfTarget(pdf);
    w->findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(win->context().print->lastPageCount(), 1);
    Q_EMIT grid->dblClick(1, 1);
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-06-01"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-06-15"));
    QCOMPARE(cardFilter()->currentData().toInt(), 1);
    closeWindow();
    QVERIFY(w.isNull());
}

QTEST_MAIN(TestLedgerWindowCommands)
#include "tst_ledgerwindow_commands.moc"

// Empty books say what to do first until a card company exists; the status
// line tells what is loaded and flashes each stored edit.
void TestLedgerWindowCommands::firstStepsAndStatusLine()
{
    openWindow();
    auto* firstSteps = win->findChild<QLabel*>(QStringLiteral("lblFirstSteps"));
    QVERIFY(firstSteps->isVisibleTo(win));
    QCOMPARE(firstSteps->text(), LedgerStatusLine::firstStepsText());
    auto* books = win->findChild<QLabel*>(QStringLiteral("lblBooks"));
    QVERIFY(books->text().contains(env->dbFolder()));
    QVERIFY(!books->isVisibleTo(win)); // the first steps get the whole line
    ModalHook::push([this](QDialog* d) {
        env->addCard(1, QStringLiteral("신한카드"));
        d->reject();
    });
    win->findChild<QPushButton*>(QStringLiteral("btnCard"))->click();
    QVERIFY(!firstSteps->isVisibleTo(win));
    QVERIFY(books->isVisibleTo(win));

    auto* loaded = win->findChild<QLabel*>(QStringLiteral("lblLoaded"));
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(loaded->text(), QStringLiteral("2005-06-01 ~ 2005-06-30 | 전체 카드 | 0건"));
    typeInto(LedgerModel::CardName, rows(), QStringLiteral("신한카드"));
    QCOMPARE(win->statusBar()->currentMessage(), QStringLiteral("저장됨"));
    QCOMPARE(loaded->text(), QStringLiteral("2005-06-01 ~ 2005-06-30 | 전체 카드 | 1건"));
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"), 1);
    QCOMPARE(loaded->text(), QStringLiteral("2005-06-01 ~ 2005-06-30 | 신한카드 | 1건"));
}

void TestLedgerWindowCommands::helpAndAbout()
{
    openWindow();
    pressKey(Qt::Key_F1);
    auto* help = qobject_cast<QDialog*>(QApplication::activeWindow());
    QTRY_VERIFY(help = win->findChild<QDialog*>(QStringLiteral("frmHelp")));
    const QString guide = help->findChild<QTextBrowser*>()->toPlainText();
    for (const char* topic : {"하루 매출 입력", "날짜 입력 형식", "수수료 자동입력", "고치기와 지우기",
                              "기간과 카드 선택", "이월과 잔액 검증", "인쇄와 엑셀", "자료가 있는 곳과 백업",
                              "되돌리기와 변경 내역", "월별 추이 그래프", "자료 가져오기", "Backup/secondFolder"})
        QVERIFY2(guide.contains(QString::fromUtf8(topic)), topic);
    help->close();

    win->findChild<QAction*>(QStringLiteral("mnuHelp_About"))->trigger();
    QVERIFY(MessageHook::shown().last().text.contains(QStringLiteral(TALLOX_VERSION)));
    QVERIFY(MessageHook::shown().last().text.contains(env->dbFolder()));
    // Tallox's own licence and every library's, Qt Charts' GPL 3 included.
    for (const char* licence : {"GNU 일반 공중 사용 허가서(GPL) 3판", "Qt 6 (LGPL 3; Qt Charts: GPL 3)",
                                "SQLite (퍼블릭 도메인)", "libxlsxwriter (BSD 2조항)", "libzip (BSD 3조항)", "zlib",
                                "libpq (PostgreSQL 사용 허가)", "나눔 글꼴 (SIL 오픈 폰트 사용 허가 1.1)"})
        QVERIFY2(MessageHook::shown().last().text.contains(QString::fromUtf8(licence)), licence);
    // A guide that is not there is said, not shown empty.
    QVERIFY(!ShowHelp(win, QStringLiteral(":/help/missing.html")));
    QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("warn"));
}

// Every button and check box of every window says what it does (and its key).
void TestLedgerWindowCommands::everyButtonHasAToolTip()
{
    openWindow();
    const QString cards = env->dbFolder() + QStringLiteral("/Plastra.db");
    frmSumBill summary(env->ctx());
    SettlementWindow settlement(env->ctx());
    frmPlastra_read list(cards);
    frmPlastra_sel picker(cards);
    frmPlastra_write editor(cards);
    CarryOverCheckDialog check(CarryOverCheck{}, env->ctx().card);
    for (QWidget* w : std::initializer_list<QWidget*>{win, &summary, &settlement, &list, &picker, &editor, &check}) {
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            // Qt's own: the menu bar's overflow button, a tab bar's scroll arrows.
            const bool qtsOwn = b->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<QTabBar*>(b->parent());
            if (!qtsOwn &&
                (qobject_cast<QPushButton*>(b) || qobject_cast<QCheckBox*>(b) || qobject_cast<QToolButton*>(b)))
                QVERIFY2(!b->toolTip().isEmpty(), qPrintable(w->objectName() + QLatin1Char('.') + b->objectName()));
        }
    }
}

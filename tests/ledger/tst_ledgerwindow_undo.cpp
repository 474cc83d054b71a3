#include "LedgerWindowTestBase.h"

#include "XlsxReader.h"
#include "data/books/History.h"
#include "data/ledger/LedgerStore.h"
#include "gui/ledger/HistorySheet.h"
#include "gui/ledger/HistoryWindow.h"

#include "gui/toolkit/ExcelExport.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>

// Ctrl+Z and Ctrl+Y in the ledger window, and the edit menu's texts.
class TestLedgerWindowUndo : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        startEnv();
        History::SetUserNameOverride(QStringLiteral("kim"));
        env->addCard(1, QStringLiteral("신한카드"));
        m_key = env->addEntry(QStringLiteral("2005-06-15"), 1, 120000);
    }
    void cleanup()
    {
        stopEnv();
        History::SetUserNameOverride(QString());
    }

    void typedChangeUndoneAndRedone_data();
    void typedChangeUndoneAndRedone();
    void saleAndItsFeeAreOneStep();
    void refusedWhenAnotherUserRemovedTheEntry();
    void ctrlZInCellEditorBelongsToTheEditor();
    void undoAfterRestart();
    void historyWindowListsTheChanges();

private:
    QAction* action(const char* name) const { return win->findChild<QAction*>(QString::fromLatin1(name)); }
    void ctrl(Qt::Key key) { QTest::keyClick(sheet(), key, Qt::ControlModifier); }

    int m_key = 0;
};

void TestLedgerWindowUndo::typedChangeUndoneAndRedone_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("stored"); // the cell after the redo
    QTest::newRow("sale") << int(LedgerModel::Sale) << QStringLiteral("1200000")
                          << QStringLiteral("2005-06-15 신한카드 매출액 120,000 → 1,200,000")
                          << QStringLiteral("1200000");
    QTest::newRow("slips") << int(LedgerModel::Slips) << QStringLiteral("3")
                           << QStringLiteral("2005-06-15 신한카드 건수 1 → 3") << QStringLiteral("3");
    QTest::newRow("date") << int(LedgerModel::Date) << QStringLiteral("2005-06-14")
                          << QStringLiteral("2005-06-14 신한카드 일자 2005-06-15 → 2005-06-14")
                          << QStringLiteral("2005-06-14");
}

void TestLedgerWindowUndo::typedChangeUndoneAndRedone()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, menuText);
    QFETCH(QString, stored);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    const QString before = cell(col, rowOfKey(m_key));
    typeInto(col, rowOfKey(m_key), typed);
    QCOMPARE(action("mnuEdit_Undo")->text(), QStringLiteral("실행 취소: ") + menuText);
    gotoCell(LedgerModel::CardName, rows());
    ctrl(Qt::Key_Z);
    // The old figure is back, stored and shown, and the cursor is on it.
    QCOMPARE(cell(col, rowOfKey(m_key)), before);
    QCOMPARE(activeRow(), rowOfKey(m_key));
    QCOMPARE(activeCol(), col);
    QCOMPARE(action("mnuEdit_Undo")->text(), QStringLiteral("실행 취소"));
    QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("다시 실행: ") + menuText);
    ctrl(Qt::Key_Y);
    QCOMPARE(cell(col, rowOfKey(m_key)), stored);
    QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("다시 실행"));
    // Typing after an undo ends the redo chain.
    ctrl(Qt::Key_Z);
    typeInto(LedgerModel::CardName, rows(), QStringLiteral("1"));
    QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("다시 실행"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerWindowUndo::saleAndItsFeeAreOneStep()
{
    env->ctx().card.execute(QStringLiteral("UPDATE Plastra SET fee = 2 WHERE code = 1"));
    openWindow();
    QVERIFY(autoFee()->isChecked());
    typeInto(LedgerModel::Sale, rowOfKey(m_key), QStringLiteral("10000"));
    QCOMPARE(entry(m_key).value(QStringLiteral("fee")).toString(), QStringLiteral("200"));
    ctrl(Qt::Key_Z);
    QCOMPARE(entry(m_key).value(QStringLiteral("sale")).toString(), QStringLiteral("120000"));
    QCOMPARE(entry(m_key).value(QStringLiteral("fee")).toString(), QStringLiteral("0"));
    QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("다시 실행: 2005-06-15 신한카드 매출액 120,000 → 10,000"));
    ctrl(Qt::Key_Y);
    QCOMPARE(entry(m_key).value(QStringLiteral("fee")).toString(), QStringLiteral("200"));
}

void TestLedgerWindowUndo::refusedWhenAnotherUserRemovedTheEntry()
{
    openWindow();
    typeInto(LedgerModel::Sale, rowOfKey(m_key), QStringLiteral("5000"));
    // Another user deletes the entry; that deletion stays in place.
    History::SetUserNameOverride(QStringLiteral("lee"));
    QVERIFY(win->store().DeleteRecord(m_key));
    History::SetUserNameOverride(QStringLiteral("kim"));
    ctrl(Qt::Key_Z);
    QCOMPARE(MessageHook::shown().size(), 1);
    const QString text = MessageHook::shown().last().text;
    QVERIFY2(text.startsWith(
                 QStringLiteral("실행 취소할 수 없습니다.\r\n\r\n2005-06-15 신한카드 자료는 그 뒤에 삭제되었고(")),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("lee) 그 삭제가 아직 그대로 있습니다.")), qPrintable(text));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
}

void TestLedgerWindowUndo::ctrlZInCellEditorBelongsToTheEditor()
{
    openWindow();
    typeInto(LedgerModel::Sale, rowOfKey(m_key), QStringLiteral("5000"));
    gotoCell(LedgerModel::Fee, rowOfKey(m_key));
    typeText(QStringLiteral("12"), false);
    QVERIFY(sheet()->cellEditor());
    QTest::keyClick(sheet()->cellEditor(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(sheet()->cellEditor(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(sheet()->isEditing());
    QCOMPARE(entry(m_key).value(QStringLiteral("sale")).toString(), QStringLiteral("5000"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestLedgerWindowUndo::undoAfterRestart()
{
    openWindow();
    const int row = rowOfKey(m_key);
    gotoCell(LedgerModel::Sale, row);
    MessageHook::answer(MsgAnswer::Yes);
    pressKey(Qt::Key_F4);
    QCOMPARE(env->count(QStringLiteral("Tallox")), 0);
    closeWindow();
    openWindow();
    QCOMPARE(action("mnuEdit_Undo")->text(), QStringLiteral("실행 취소: 2005-06-15 신한카드 삭제 (매출액 120,000)"));
    ctrl(Qt::Key_Z);
    // The entry is back with its key and all its fields, under the cursor.
    QCOMPARE(rowOfKey(m_key), row);
    QCOMPARE(activeRow(), row);
    QCOMPARE(cell(LedgerModel::Sale, row), QStringLiteral("120000"));
    QCOMPARE(entry(m_key).value(QStringLiteral("numsheet")).toInt(), 1);
}

void TestLedgerWindowUndo::historyWindowListsTheChanges()
{
    openWindow();
    typeInto(LedgerModel::Sale, rowOfKey(m_key), QStringLiteral("5000"));
    ctrl(Qt::Key_Z);
    action("mnuTool_History")->trigger();
    auto* w = win->findChild<HistoryWindow*>();
    QVERIFY(w);
    // Newest first: the undo, then the typed change it took back.
    SpreadGrid* grid = w->grid();
    QCOMPARE(grid->maxRows(), 2);
    QCOMPARE(grid->text(HistoryCol::Kind, 1), QStringLiteral("수정 (실행 취소)"));
    QCOMPARE(grid->text(HistoryCol::Date, 2), QStringLiteral("2005-06-15"));
    QCOMPARE(grid->text(HistoryCol::Card, 2), QStringLiteral("신한카드"));
    QCOMPARE(grid->displayText(HistoryCol::Old, 2), QStringLiteral("120,000"));
    QCOMPARE(grid->displayText(HistoryCol::New, 2), QStringLiteral("5,000"));
    QCOMPARE(grid->text(HistoryCol::State, 2), QStringLiteral("취소됨"));
    QVERIFY(grid->text(HistoryCol::Who, 2).endsWith(QStringLiteral(" kim")));
    // The workbook is that same sheet, headers first.
    QList<QUrl> opened;
    ExcelExportHook::setOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    FileDialogHook::answerProposed();
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("btnExcel")), Qt::LeftButton);
    ExcelExportHook::setOpener({});
    QCOMPARE(opened.size(), 1);
    XlsxReader book(opened.first().toLocalFile());
    // Title and period, a blank row, the headers; amounts are numbers.
    QCOMPARE(book.text(1, 1), QStringLiteral("변경 내역"));
    QCOMPARE(book.text(2, 1),
             QStringLiteral("( 검색기간: %1 - %2 )").arg(w->periodBar()->dateText(0), w->periodBar()->dateText(1)));
    QCOMPARE(book.text(4, HistoryCol::Old), QStringLiteral("이전 값"));
    QCOMPARE(book.text(6, HistoryCol::Card), QStringLiteral("신한카드"));
    for (const auto& [col, value] : {std::pair{HistoryCol::Old, "120000"}, std::pair{HistoryCol::New, "5000"}}) {
        QCOMPARE(book.cell(6, col).type, QStringLiteral("n"));
        QCOMPARE(book.text(6, col), QString::fromLatin1(value));
    }
    // Each column is as wide as its widest text (with the cell's margins), no wider.
    const QFontMetrics cells(grid->font());
    const QFontMetrics titles(grid->horizontalHeader()->font());
    for (int c = 1; c <= HistoryCol::Count; ++c) {
        int widest = titles.horizontalAdvance(grid->headerText(c));
        for (int r = 1; r <= grid->maxRows(); ++r)
            widest = std::max(widest, cells.horizontalAdvance(grid->displayText(c, r)));
        const int width = grid->columnWidth(c - 1);
        QVERIFY2(width >= widest && width <= widest + 24,
                 qPrintable(QStringLiteral("column %1: %2 for %3").arg(c).arg(width).arg(widest)));
    }
    // Asked again, the one window shows what is new.
    ctrl(Qt::Key_Y);
    action("mnuTool_History")->trigger();
    QCOMPARE(win->findChildren<HistoryWindow*>().size(), 1);
    QCOMPARE(grid->text(HistoryCol::Kind, 1), QStringLiteral("수정 (다시 실행)"));
    // Esc closes it.
    QPointer<HistoryWindow> guard(w);
    QTest::keyClick(grid, Qt::Key_Escape);
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(TestLedgerWindowUndo)
#include "tst_ledgerwindow_undo.moc"

#include "LedgerWindowTestBase.h"

#include "gui/grid/SpreadModel.h"
#include "gui/grid/Twips.h"
#include "gui/ledger/LedgerSheet.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/modSpread.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>

// Window placement, minimum size and the layout file.
class TestLedgerWindowLayout : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init() { startEnv(); }
    void cleanup() { stopEnv(); }

    void closedUnmovedWritesNothing();
    void movedAndClosedWritesFile();
    void savedLayoutIsApplied();
    void shrinkingSnapsBackToMinimum();
    void columnWidthDragIsSaved();
    void sheetFillsTheWindow();
    void rightClickOpensGridMenu();
    void stripStaysUnderWidenedColumnAfterReopen();
    void largeFiguresAndRowNumbersAreNeverCut();
    void fontSizeFromGridMenuFitsRowsAndColumns();

private:
    void verifyStripUnderSheet();
    void verifyFiguresFit(QTableView* view, int col, int firstRow, int lastRow);
    // The figures of the rows on screen (the sheet measures only those).
    void verifyShownFiguresFit();
};

namespace {
QStringList g_menuEntries;
int PickNothing(const QStringList& entries)
{
    g_menuEntries = entries;
    return 0;
}
} // namespace

void TestLedgerWindowLayout::rightClickOpensGridMenu()
{
    openWindow();
    g_menuEntries.clear();
    GridMenuHook::setPicker(&PickNothing);
    QTest::mouseClick(sheet()->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(40, 10));
    GridMenuHook::setPicker(nullptr);
    QVERIFY(g_menuEntries.contains(QStringLiteral("그리드 줄높이 변경")));
    QVERIFY(g_menuEntries.contains(QStringLiteral("폼 및 그리드 설정 초기화")));
}

void TestLedgerWindowLayout::closedUnmovedWritesNothing()
{
    openWindow();
    closeWindow();
    QVERIFY(!QFileInfo::exists(FormIniPath(QStringLiteral("frmMain"))));
}

void TestLedgerWindowLayout::movedAndClosedWritesFile()
{
    openWindow();
    win->move(win->pos() + QPoint(40, 30));
    QCoreApplication::processEvents();
    QVERIFY(win->LayoutChanged());
    closeWindow();
    const QString path = FormIniPath(QStringLiteral("frmMain"));
    QVERIFY(QFileInfo::exists(path));
    QSettings ini(path, QSettings::IniFormat);
    QVERIFY(ini.contains(QStringLiteral("FormPosition/Left")));
    QVERIFY(ini.contains(QStringLiteral("FormPosition/Width")));
    QCOMPARE(ini.value(QStringLiteral("FormPosition/WindowState")).toString(), QStringLiteral("0"));
}

void TestLedgerWindowLayout::savedLayoutIsApplied()
{
    const QString path = FormIniPath(QStringLiteral("frmMain"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("FormPosition/Left"), 1500);
        ini.setValue(QStringLiteral("FormPosition/Top"), 1200);
        ini.setValue(QStringLiteral("FormPosition/Width"), 12000);
        ini.setValue(QStringLiteral("FormPosition/Height"), 9000);
        ini.setValue(QStringLiteral("spList_ColsWidth/6"), QStringLiteral("20"));
    }
    const QDateTime written = QFileInfo(path).lastModified();
    openWindow();
    QCOMPARE(sheet()->colWidth(LedgerModel::Sale), 20.0);
    QCOMPARE(win->width(), TwipsToPixelsX(12000));
    QVERIFY(!win->LayoutChanged());
    QTest::qWait(20);
    closeWindow();
    QCOMPARE(QFileInfo(path).lastModified(), written); // unmoved: not rewritten
}

void TestLedgerWindowLayout::shrinkingSnapsBackToMinimum()
{
    openWindow();
    win->resize(50, 40);
    QCoreApplication::processEvents();
    QVERIFY(win->width() >= TwipsToPixelsX(5000));
    QVERIFY(win->height() >= TwipsToPixelsY(5000));
}

void TestLedgerWindowLayout::columnWidthDragIsSaved()
{
    openWindow();
    sheet()->setColWidth(LedgerModel::Fee, 14.5);
    Q_EMIT sheet()->columnWidthChanged(LedgerModel::Fee);
    QSettings ini(FormIniPath(QStringLiteral("frmMain")), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("spList_ColsWidth/7")).toDouble(), 14.5);
    QCOMPARE(strip()->columnWidth(LedgerModel::Fee), sheet()->widthPixels(14.5)); // the strip stays under its column
}

void TestLedgerWindowLayout::sheetFillsTheWindow()
{
    openWindow();
    win->resize(TwipsToPixelsX(12000), TwipsToPixelsY(9000));
    QCoreApplication::processEvents();
    auto* top = win->findChild<QWidget*>(QStringLiteral("pnlTop"));
    QWidget* client = win->centralWidget();
    QCOMPARE(top->width(), client->width());
    QCOMPARE(sheet()->y(), top->height() + TwipsToPixelsY(30));
    QCOMPARE(strip()->y(), sheet()->y() + sheet()->height() + TwipsToPixelsY(30));
    QCOMPARE(strip()->y() + strip()->height(), client->height());
    QCOMPARE(strip()->width(), sheet()->width());
}

// Every visible strip column starts and ends where its sheet column does, on screen.
void TestLedgerWindowLayout::verifyStripUnderSheet()
{
    QCOMPARE(strip()->verticalHeader()->width(), sheet()->verticalHeader()->width());
    for (int c = 0; c < LedgerModel::ColumnCount; ++c) {
        const QPoint top(sheet()->columnViewportPosition(c), 0);
        const QPoint bottom(strip()->columnViewportPosition(c), 0);
        QCOMPARE(strip()->viewport()->mapTo(win, bottom).x(), sheet()->viewport()->mapTo(win, top).x());
        QCOMPARE(strip()->columnWidth(c), sheet()->columnWidth(c));
    }
}

// The column is wide enough for each figure in its cell font, margins included.
void TestLedgerWindowLayout::verifyFiguresFit(QTableView* view, int col, int firstRow, int lastRow)
{
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    int widest = 0;
    for (int r = firstRow; r <= lastRow; ++r)
        widest = qMax(widest,
                      QFontMetrics(view->font()).horizontalAdvance(view->model()->index(r - 1, col).data().toString()));
    QVERIFY2(view->columnWidth(col) >= widest + 2 * margin,
             qPrintable(QStringLiteral("column %1: %2 < %3").arg(col).arg(view->columnWidth(col)).arg(widest)));
}

void TestLedgerWindowLayout::verifyShownFiguresFit()
{
    const int first = sheet()->rowAt(0) + 1;
    const int below = sheet()->rowAt(sheet()->viewport()->height() - 1);
    const int last = below < 0 ? rows() : below + 1;
    for (int col = LedgerModel::Slips; col <= LedgerModel::Balance; ++col) {
        verifyFiguresFit(sheet(), col, first, last);
        if (col != LedgerModel::Balance)
            verifyFiguresFit(strip(), col, 1, 1);
    }
}

void TestLedgerWindowLayout::stripStaysUnderWidenedColumnAfterReopen()
{
    env->addCard(1, QStringLiteral("신한카드"));
    for (int i = 0; i < 30; ++i)
        env->addEntry(QStringLiteral("2005-06-15"), 1, 500, 20, 100, 3);
    openWindow();
    // The user widens 일자 by a drag: the width goes to the layout file.
    sheet()->setColWidth(LedgerModel::Date, 30);
    Q_EMIT sheet()->columnWidthChanged(LedgerModel::Date);
    closeWindow();
    openWindow();
    QCOMPARE(sheet()->colWidth(LedgerModel::Date), 30.0);
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(stripCell(LedgerModel::BillColl), QStringLiteral("3000"));
    verifyStripUnderSheet();
    // Scrolled to its right end beside a vertical scroll bar the strip lacks, it still lines up.
    win->resize(TwipsToPixelsX(5000), TwipsToPixelsY(5000));
    QCoreApplication::processEvents();
    QVERIFY(sheet()->verticalScrollBar()->isVisible());
    sheet()->horizontalScrollBar()->setValue(sheet()->horizontalScrollBar()->maximum());
    QVERIFY(sheet()->horizontalScrollBar()->value() > 0);
    verifyStripUnderSheet();
}

void TestLedgerWindowLayout::largeFiguresAndRowNumbersAreNeverCut()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addTransfer(QStringLiteral("2005-05"), 1, 1234567890123.0);
    // 12,000 entries of a billion each, written in one statement.
    QVERIFY(env->ctx().ledger.execute(
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12000)"
                               " INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                               " SELECT '2005-06-15', 1, ?, ?, 0, 99999 FROM n"),
                {Money::fromWon(1000000000).units(), Money::fromWon(-33333333).units()}) == 12000);
    openWindow();
    view(QStringLiteral("2005-06-01"), QStringLiteral("2005-06-30"));
    QCOMPARE(rows(), 12002);
    QCOMPARE(cell(LedgerModel::Balance, 1), QStringLiteral("1234567890123"));
    // What is on screen fits, at the top and at the end of the sheet.
    verifyShownFiguresFit();
    sheet()->scrollToBottom();
    QCoreApplication::processEvents();
    QVERIFY(sheet()->rowAt(0) > 1);
    verifyShownFiguresFit();
    const int rowNumber = QFontMetrics(sheet()->verticalHeader()->font()).horizontalAdvance(QStringLiteral("12002"));
    QVERIFY(sheet()->verticalHeader()->width() >= rowNumber);
    verifyStripUnderSheet();
}

void TestLedgerWindowLayout::fontSizeFromGridMenuFitsRowsAndColumns()
{
    env->addCard(1, QStringLiteral("신한카드"));
    env->addEntry(QStringLiteral("2026-12-31"), 1, 987654321, 1234567, 0, 3);
    openWindow();
    view(QStringLiteral("2026-12-01"), QStringLiteral("2026-12-31"));
    GridMenuHook::setPicker([](const QStringList&) { return int(GridMenuCommand::FontSize); });
    MessageHook::answerInput(QStringLiteral("20"));
    QTest::mouseClick(sheet()->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(40, 10));
    GridMenuHook::setPicker(nullptr);
    QCOMPARE(sheet()->fontPoints(), 20.0);
    const QFont font = sheet()->font();
    QCOMPARE(font.pointSizeF(), 20.0);
    QVERIFY(sheet()->verticalHeader()->sectionSize(1) >= QFontMetrics(font).height());
    QCOMPARE(cell(LedgerModel::Date, 2), QStringLiteral("2026-12-31"));
    verifyFiguresFit(sheet(), LedgerModel::Date, 2, 2);
    for (int col = LedgerModel::Slips; col <= LedgerModel::Balance; ++col)
        verifyFiguresFit(sheet(), col, 1, rows());
    // The strip takes the font and its row grows with it.
    QVERIFY(strip()->verticalHeader()->sectionSize(0) >= QFontMetrics(font).height());
    verifyFiguresFit(strip(), LedgerModel::Sale, 1, 1);
    verifyStripUnderSheet();
    sheet()->horizontalScrollBar()->setValue(sheet()->horizontalScrollBar()->maximum());
    verifyStripUnderSheet();
    // Reopened, the size comes from the layout file and fits just the same.
    closeWindow();
    openWindow();
    view(QStringLiteral("2026-12-01"), QStringLiteral("2026-12-31"));
    QCOMPARE(sheet()->fontPoints(), 20.0);
    QVERIFY(sheet()->verticalHeader()->sectionSize(1) >= QFontMetrics(font).height());
    verifyFiguresFit(sheet(), LedgerModel::Date, 2, 2);
    verifyFiguresFit(strip(), LedgerModel::Sale, 1, 1);
    verifyStripUnderSheet();
}

QTEST_MAIN(TestLedgerWindowLayout)
#include "tst_ledgerwindow_layout.moc"

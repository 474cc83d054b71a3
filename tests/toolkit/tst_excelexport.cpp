#include "TestSupport.h"
#include "XlsxReader.h"

#include "data/base/Clock.h"
#include "data/books/AppInfo.h"
#include "data/books/AppPaths.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/toolkit/ExcelExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

namespace {

const QString kNoData = QStringLiteral("엑셀로 보낼 데이터가 없습니다.\r\n자료 검색후 엑셀로 보내세요.");
const QString kFailed = QStringLiteral("엑셀로 내보내기에 실패했습니다.");

// A small sheet shaped like the ledger: a hidden key column, texts, a money
// column with grouping, a bold totals row with a sum formula, an empty entry
// row at the end, row 1 and the last column locked and the rest open.
void fillLedgerLike(SpreadGrid& g, int headerRows = 1)
{
    g.setMaxCols(5);
    g.setColHeaderRows(headerRows);
    const QStringList titles{QStringLiteral("코드"), QStringLiteral("일자"), QStringLiteral("카드사"),
                             QStringLiteral("매출액"), QStringLiteral("메모")};
    for (int c = 1; c <= 5; ++c) {
        g.setHeaderText(c, titles[c - 1]);
        if (headerRows > 1)
            g.setHeaderText(c, QStringLiteral("둘째%1").arg(c), 1);
    }
    g.setColHidden(1, true);
    g.setColWidth(2, 10);
    g.setColWidth(3, 14);
    g.setColWidth(4, 12);
    g.setColWidth(5, 20);
    SpreadGrid::NumberFormat money;
    money.decimals = 0;
    money.separators = true;
    g.setCellType(4, -1, SpreadGrid::CellType::Currency, money);
    g.setMaxRows(5);
    const QStringList dates{QStringLiteral("2005-06-01"), QStringLiteral("2005-06-02"), QStringLiteral("2005-06-03")};
    const QStringList cards{QStringLiteral("국민카드"), QStringLiteral("BC카드"), QStringLiteral("삼성카드")};
    const QStringList sales{QStringLiteral("1234567"), QStringLiteral("2000"), QStringLiteral("-500")};
    for (int r = 1; r <= 3; ++r) {
        g.setText(1, r, QString::number(100 + r));
        g.setText(2, r, dates[r - 1]);
        g.setText(3, r, cards[r - 1]);
        g.setText(4, r, sales[r - 1]);
    }
    g.setText(5, 2, QStringLiteral("메모 있음"));
    g.setText(3, 4, QStringLiteral("합계"));
    g.setFormula(4, 4, QStringLiteral("SUM(R1C4:R3C4)"));
    g.setFontBold(-1, 4, true);
    g.setLock(-1, -1, false);
    g.setLock(-1, 1, true);
    g.setLock(5, -1, true);
    g.setActiveCell(3, 2);
}

struct CellState {
    QString text;
    QString formula;
    SpreadGrid::CellType type;
    bool locked;
    bool bold;
    Qt::Alignment align;
    bool operator==(const CellState&) const = default;
};

struct GridState {
    int maxRows = 0;
    int maxCols = 0;
    int dataRows = 0;
    bool reDraw = false;
    int activeCol = 0;
    int activeRow = 0;
    QList<CellState> cells;
    QStringList headers;
};

GridState snapshot(const SpreadGrid& g)
{
    GridState s;
    s.maxRows = g.maxRows();
    s.maxCols = g.maxCols();
    s.dataRows = g.dataRowCnt();
    s.reDraw = g.reDraw();
    s.activeCol = g.activeCol();
    s.activeRow = g.activeRow();
    for (int r = 1; r <= g.maxRows(); ++r) {
        for (int c = 1; c <= g.maxCols(); ++c)
            s.cells.append({g.text(c, r), g.formula(c, r), g.cellType(c, r), g.isLocked(c, r), g.fontBold(c, r),
                            g.alignment(c, r)});
    }
    for (int h = 0; h < g.colHeaderRows(); ++h) {
        for (int c = 1; c <= g.maxCols(); ++c)
            s.headers.append(g.headerText(c, h));
    }
    return s;
}

void compareState(const GridState& a, const GridState& b)
{
    QCOMPARE(a.maxRows, b.maxRows);
    QCOMPARE(a.maxCols, b.maxCols);
    QCOMPARE(a.dataRows, b.dataRows);
    QCOMPARE(a.reDraw, b.reDraw);
    QCOMPARE(a.activeCol, b.activeCol);
    QCOMPARE(a.activeRow, b.activeRow);
    QCOMPARE(a.headers, b.headers);
    QCOMPARE(a.cells.size(), b.cells.size());
    for (int i = 0; i < a.cells.size(); ++i) {
        const int row = i / a.maxCols + 1;
        const int col = i % a.maxCols + 1;
        QVERIFY2(a.cells[i] == b.cells[i], qPrintable(QStringLiteral("cell col %1 row %2 changed").arg(col).arg(row)));
    }
}

QString expFolder()
{
    return AppPaths::expExcelFolder();
}

} // namespace

class TestExcelExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void export_readBackHeadersNumbersAndGridUnchanged();
    void export_twoHeaderRowsInOrder();
    void export_emptyGridWritesNothing();
    void export_answerNoTouchesNothing();
    void export_folderBlockedWarnsAndRestores();
    void export_writeFailureWarnsAndRestores();
    void export_sameSecondGetsDistinctNames();
    void export_drawingOffStaysOff();
    void export_noProgramOffersTheFolder_data();
    void export_noProgramOffersTheFolder();
    void export_asksWhereAndRemembersTheFolder_data();
    void export_asksWhereAndRemembersTheFolder();
    void export_captionAboveTheTitles();
    void exportGridToFile_commandLineVariant();

private:
    QList<QUrl> m_opened;
};

void TestExcelExport::init()
{
    m_opened.clear();
    ExcelExportHook::setOpener([this](const QUrl& url) {
        m_opened.append(url);
        return true;
    });
}

void TestExcelExport::cleanup()
{
    ExcelExportHook::setOpener({});
}

// Long on purpose: one export followed end to end (box, file, cells, log, the grid
// afterwards); a QCOMPARE in a helper would only leave the helper on failure.
void TestExcelExport::export_readBackHeadersNumbersAndGridUnchanged()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid);
    QCOMPARE(grid.displayText(4, 4), QStringLiteral("1,236,067"));
    const GridState before = snapshot(grid);
    QSignalSpy changes(&grid, &SpreadGrid::valueChanged);

    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);

    // The save dialog is the only question.
    QVERIFY(MessageHook::shown().isEmpty());
    const QString file = expFolder() + QStringLiteral("/Exp050615_120000.xlsx");
    QCOMPARE(FileDialogHook::shown().size(), 1);
    QCOMPARE(FileDialogHook::shown().first().proposed, file);
    const QString log = expFolder() + QStringLiteral("/Exp050615_120000LOG.TXT");
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(file)});
    // No temporary file is left behind.
    QCOMPARE(QDir(expFolder()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    XlsxReader x(file);
    QVERIFY(x.isValid());
    QCOMPARE(x.sheetName(), QStringLiteral("Sheet1"));
    // Titles first (bold), the hidden key column left out.
    QCOMPARE(x.colCount(), 4);
    QCOMPARE(x.rowCount(), 5);
    QCOMPARE(x.text(1, 1), QStringLiteral("일자"));
    QCOMPARE(x.text(1, 2), QStringLiteral("카드사"));
    QCOMPARE(x.text(1, 3), QStringLiteral("매출액"));
    QCOMPARE(x.text(1, 4), QStringLiteral("메모"));
    QVERIFY(x.bold(1, 1));
    QVERIFY(x.bold(1, 3));
    // Texts stay texts, amounts are numbers with the grid's grouping.
    QCOMPARE(x.text(2, 1), QStringLiteral("2005-06-01"));
    QVERIFY(x.cell(2, 1).type != QLatin1String("n"));
    QCOMPARE(x.text(2, 2), QStringLiteral("국민카드"));
    QCOMPARE(x.cell(2, 3).type, QStringLiteral("n"));
    QCOMPARE(x.text(2, 3), QStringLiteral("1234567"));
    QCOMPARE(x.numFormat(2, 3), QStringLiteral("#,##0"));
    QCOMPARE(x.text(4, 3), QStringLiteral("-500"));
    QCOMPARE(x.text(3, 4), QStringLiteral("메모 있음"));
    QVERIFY(!x.bold(2, 2));
    // The totals row: bold, the sum as a number.
    QCOMPARE(x.text(5, 2), QStringLiteral("합계"));
    QCOMPARE(x.cell(5, 3).type, QStringLiteral("n"));
    QCOMPARE(x.text(5, 3), QStringLiteral("1236067"));
    QVERIFY(x.bold(5, 3));
    // Column widths carried over.
    QVERIFY(qAbs(x.column(1).width - 10) < 1);
    QVERIFY(qAbs(x.column(4).width - 20) < 1);

    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QString logText = QString::fromUtf8(logFile.readAll());
    QVERIFY(logText.contains(QStringLiteral("Sheet: Sheet1")));
    QVERIFY(logText.contains(QStringLiteral("Rows: 5")));
    QVERIFY(logText.contains(QStringLiteral("Columns: 4 of 5")));
    QVERIFY(logText.contains(QStringLiteral("Exp050615_120000.xlsx")));
    QVERIFY(logText.contains(QStringLiteral("2005-06-15 12:00:00")));

    // The grid is as it was: rows, texts, types, its own locks (not all locked), drawing.
    compareState(snapshot(grid), before);
    QVERIFY(grid.isLocked(2, 1));
    QVERIFY(grid.isLocked(5, 3));
    QVERIFY(!grid.isLocked(2, 2));
    QCOMPARE(grid.displayText(4, 4), QStringLiteral("1,236,067"));
    // The windows saw nothing of the borrowed title rows.
    QCOMPARE(changes.count(), 0);
}

void TestExcelExport::export_twoHeaderRowsInOrder()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid, 2);
    const GridState before = snapshot(grid);
    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("요약"), false);

    XlsxReader x(expFolder() + QStringLiteral("/Exp050615_120000.xlsx"));
    QVERIFY(x.isValid());
    QCOMPARE(x.sheetName(), QStringLiteral("요약"));
    QCOMPARE(x.rowCount(), 6);
    QCOMPARE(x.text(1, 2), QStringLiteral("카드사"));
    QCOMPARE(x.text(2, 2), QStringLiteral("둘째3"));
    QVERIFY(x.bold(2, 2));
    QCOMPARE(x.text(3, 1), QStringLiteral("2005-06-01"));
    QCOMPARE(x.text(3, 3), QStringLiteral("1234567"));
    compareState(snapshot(grid), before);
}

void TestExcelExport::export_emptyGridWritesNothing()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    grid.setMaxCols(3);
    grid.setMaxRows(4); // rows, but none holds a value
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    QCOMPARE(MessageHook::shown().size(), 1);
    TALLOX_COMPARE_LAST_BOX("info", AppTitle(), kNoData);
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::Information);
    QVERIFY(!QFileInfo::exists(expFolder()));
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(grid.maxRows(), 4);
}

void TestExcelExport::export_answerNoTouchesNothing()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid);
    const GridState before = snapshot(grid);
    QSignalSpy changes(&grid, &SpreadGrid::valueChanged);
    FileDialogHook::cancel();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    QVERIFY(MessageHook::shown().isEmpty());
    QCOMPARE(FileDialogHook::shown().size(), 1);
    QVERIFY(QDir(expFolder()).isEmpty());
    QVERIFY(m_opened.isEmpty());
    compareState(snapshot(grid), before);
    QCOMPARE(changes.count(), 0);
}

void TestExcelExport::export_folderBlockedWarnsAndRestores()
{
    TestEnv env(QDate(2005, 6, 15), false);
    // A plain file where the folder should be: the folder cannot be created.
    QFile blocker(expFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SpreadGrid grid;
    fillLedgerLike(grid);
    const GridState before = snapshot(grid);
    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    TALLOX_COMPARE_LAST_BOX("warn", AppTitle(), kFailed);
    QCOMPARE(MessageHook::shown().last().icon, MsgIcon::Warning);
    QVERIFY(m_opened.isEmpty());
    compareState(snapshot(grid), before);
}

void TestExcelExport::export_writeFailureWarnsAndRestores()
{
    TestEnv env(QDate(2005, 6, 15), false);
    // The workbook's temporary name is taken by a folder: the workbook cannot be written.
    QVERIFY(QDir().mkpath(expFolder() + QStringLiteral("/.Exp050615_120000.xlsx.part/x")));
    SpreadGrid grid;
    fillLedgerLike(grid, 2);
    grid.setReDraw(true);
    const GridState before = snapshot(grid);
    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    TALLOX_COMPARE_LAST_BOX("warn", AppTitle(), kFailed);
    QVERIFY(m_opened.isEmpty());
    QVERIFY(!QFileInfo::exists(expFolder() + QStringLiteral("/Exp050615_120000.xlsx")));
    compareState(snapshot(grid), before);
    // The log tells why.
    QFile log(expFolder() + QStringLiteral("/Exp050615_120000LOG.TXT"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("Result: failed")));
}

void TestExcelExport::export_sameSecondGetsDistinctNames()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid);
    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    grid.setText(3, 1, QStringLiteral("현대카드"));
    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);

    const QString first = expFolder() + QStringLiteral("/Exp050615_120000.xlsx");
    const QString second = expFolder() + QStringLiteral("/Exp050615_120000_2.xlsx");
    QCOMPARE(m_opened, (QList<QUrl>{QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)}));
    QVERIFY(QFileInfo::exists(expFolder() + QStringLiteral("/Exp050615_120000_2LOG.TXT")));
    QCOMPARE(XlsxReader(first).text(2, 2), QStringLiteral("국민카드"));
    QCOMPARE(XlsxReader(second).text(2, 2), QStringLiteral("현대카드"));
    // A later second takes the plain name again.
    Clock::setNow(QDateTime(QDate(2005, 6, 15), QTime(12, 0, 1)));
    QCOMPARE(NextExportNames(expFolder(), Clock::now()).workbook,
             expFolder() + QStringLiteral("/Exp050615_120001.xlsx"));
}

void TestExcelExport::export_drawingOffStaysOff()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid);
    grid.setReDraw(false);
    FileDialogHook::answerProposed();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(!grid.reDraw());
    grid.setReDraw(true);
    FileDialogHook::answerProposed();
    Clock::setNow(QDateTime(QDate(2005, 6, 15), QTime(12, 0, 5)));
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    QCOMPARE(m_opened.size(), 2);
    QVERIFY(grid.reDraw());
}

void TestExcelExport::export_noProgramOffersTheFolder_data()
{
    QTest::addColumn<bool>("workbookOpens");
    QTest::addColumn<bool>("folderOpens");
    QTest::addColumn<int>("answer"); // to the folder question
    QTest::addColumn<int>("folderTries");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("workbook opens") << true << true << -1 << 0 << QStringList{};
    QTest::newRow("no program, folder declined") << false << true << int(MsgAnswer::No) << 0 << QStringList{"question"};
    QTest::newRow("no program, folder opened") << false << true << int(MsgAnswer::Yes) << 1 << QStringList{"question"};
    QTest::newRow("no program, folder cannot open")
        << false << false << int(MsgAnswer::Yes) << 1 << QStringList{"question", "warn"};
}

void TestExcelExport::export_noProgramOffersTheFolder()
{
    QFETCH(bool, workbookOpens);
    QFETCH(bool, folderOpens);
    QFETCH(int, answer);
    QFETCH(int, folderTries);
    QFETCH(QStringList, boxes);
    TestEnv env(QDate(2005, 6, 15), false);
    const QUrl workbook = QUrl::fromLocalFile(expFolder() + QStringLiteral("/Exp050615_120000.xlsx"));
    const QUrl folder = QUrl::fromLocalFile(expFolder());
    ExcelExportHook::setOpener([&](const QUrl& url) {
        m_opened.append(url);
        return url == workbook ? workbookOpens : folderOpens;
    });
    SpreadGrid grid;
    fillLedgerLike(grid);
    FileDialogHook::answerProposed();
    if (answer >= 0)
        MessageHook::answer(MsgAnswer(answer));
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);

    QStringList kinds;
    for (const MessageHook::Shown& box : MessageHook::shown())
        kinds << box.kind;
    QCOMPARE(kinds, boxes);
    QVERIFY(MessageHook::unscripted().isEmpty());
    QCOMPARE(m_opened.value(0), workbook);
    QCOMPARE(m_opened.count(folder), folderTries);
    if (!boxes.isEmpty())
        QCOMPARE(MessageHook::shown().at(0).text,
                 QStringLiteral("엑셀 파일을 저장했습니다.\r\n") + QDir::toNativeSeparators(expFolder()) +
                     QStringLiteral("\r\nExp050615_120000.xlsx\r\n\r\n폴더를 여시겠습니까?"));
}

void TestExcelExport::export_asksWhereAndRemembersTheFolder_data()
{
    QTest::addColumn<QString>("answer");  // relative: to the folder proposed; "-": cancelled
    QTest::addColumn<QString>("written"); // below the application folder, empty: nothing
    QTest::addColumn<QString>("next");    // the folder the next dialog starts in
    QTest::newRow("proposed name") << ""
                                   << "ExpExcel/Exp050615_120000.xlsx"
                                   << "ExpExcel";
    QTest::newRow("own name, suffix added") << "5월 매출"
                                            << "ExpExcel/5월 매출.xlsx"
                                            << "ExpExcel";
    QTest::newRow("another folder is remembered") << "../mine/june.xlsx"
                                                  << "mine/june.xlsx"
                                                  << "mine";
    QTest::newRow("cancelled") << "-"
                               << ""
                               << "ExpExcel";
}

void TestExcelExport::export_asksWhereAndRemembersTheFolder()
{
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QString, next);
    TestEnv env(QDate(2005, 6, 15), false);
    QVERIFY(QDir().mkpath(env.appFolder() + QStringLiteral("/mine")));
    SpreadGrid grid;
    fillLedgerLike(grid);
    if (answer == QLatin1String("-"))
        FileDialogHook::cancel();
    else if (answer.isEmpty())
        FileDialogHook::answerProposed();
    else
        FileDialogHook::answer(answer);
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    const QString file = env.appFolder() + QLatin1Char('/') + written;
    QCOMPARE(m_opened, written.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl::fromLocalFile(file)});
    if (!written.isEmpty())
        QCOMPARE(XlsxReader(file).text(2, 2), QStringLiteral("국민카드"));
    // The log stays in ExpExcel/: beside a workbook there, under its name.
    const QString log = written.startsWith(QLatin1String("ExpExcel/"))
                            ? file.chopped(5) + QStringLiteral("LOG.TXT")
                            : expFolder() + QStringLiteral("/Exp050615_120000LOG.TXT");
    QCOMPARE(QFileInfo::exists(log), !written.isEmpty());
    FileDialogHook::cancel();
    ExportToExcelFile(&grid, QStringLiteral("Sheet1"), true);
    QCOMPARE(QFileInfo(FileDialogHook::shown().last().proposed).absolutePath(),
             QDir(env.appFolder() + QLatin1Char('/') + next).absolutePath());
    QVERIFY(FileDialogHook::unscripted().isEmpty());
    QVERIFY(MessageHook::shown().isEmpty());
}

// A grid that names its caption gets it above the column titles, a blank row between.
void TestExcelExport::export_captionAboveTheTitles()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid);
    grid.setProperty(kExportCaptionProperty, QStringList{QStringLiteral("제목"), QStringLiteral("( 기간 )")});
    const GridState before = snapshot(grid);
    const QString file = env.appFolder() + QStringLiteral("/caption.xlsx");
    QVERIFY(ExportGridToFile(&grid, QStringLiteral("Sheet1"), file));
    XlsxReader x(file);
    const QStringList firstColumn{x.text(1, 1), x.text(2, 1), x.text(3, 1), x.text(4, 1), x.text(5, 1)};
    QCOMPARE(firstColumn, (QStringList{"제목", "( 기간 )", "", "일자", "2005-06-01"}));
    QVERIFY(x.bold(1, 1));
    compareState(snapshot(grid), before);
}

void TestExcelExport::exportGridToFile_commandLineVariant()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillLedgerLike(grid);
    const GridState before = snapshot(grid);
    const QString file = env.appFolder() + QStringLiteral("/out/sheet.xlsx");
    QString error;
    // A folder that does not exist: false with a reason, no box, nothing left behind.
    QVERIFY(!ExportGridToFile(&grid, QStringLiteral("Sheet1"), file, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(MessageHook::shown().isEmpty());
    compareState(snapshot(grid), before);

    QVERIFY(QDir().mkpath(env.appFolder() + QStringLiteral("/out")));
    QVERIFY(ExportGridToFile(&grid, QStringLiteral("Sheet1"), file, &error));
    QCOMPARE(QDir(env.appFolder() + QStringLiteral("/out")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("sheet.xlsx")}); // no log unless one is asked for
    XlsxReader x(file);
    QVERIFY(x.isValid());
    QCOMPARE(x.text(1, 1), QStringLiteral("일자"));
    QCOMPARE(x.text(5, 3), QStringLiteral("1236067"));
    QVERIFY(MessageHook::shown().isEmpty());
    QVERIFY(m_opened.isEmpty());
    QVERIFY(!QFileInfo::exists(expFolder()));
    compareState(snapshot(grid), before);
}

QTEST_MAIN(TestExcelExport)
#include "tst_excelexport.moc"

#include "TestSupport.h"

#include "data/sheet/Workbook.h"
#include "gui/grid/GridSheet.h"
#include "gui/grid/SpreadGrid.h"
#include "output/PrintComponent.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// A sheet with Hangul titles, a hidden key column, money columns and a bold totals row.
void fillSheet(SpreadGrid& g, int rows, int extraWideCols = 0)
{
    const int cols = 6 + extraWideCols;
    g.setMaxCols(cols);
    g.setColHeaderRows(1);
    const QStringList titles{QStringLiteral("코드"),   QStringLiteral("일자"),   QStringLiteral("카드사"),
                             QStringLiteral("매출액"), QStringLiteral("수수료"), QStringLiteral("잔액")};
    for (int c = 1; c <= cols; ++c)
        g.setHeaderText(c, c <= 6 ? titles[c - 1] : QStringLiteral("추가%1").arg(c));
    g.setColHidden(1, true);
    g.setColWidth(2, 11);
    g.setColWidth(3, 14);
    for (int c = 4; c <= cols; ++c)
        g.setColWidth(c, 13);
    SpreadGrid::NumberFormat money;
    money.decimals = 0;
    money.separators = true;
    for (int c = 4; c <= 6; ++c)
        g.setCellType(c, -1, SpreadGrid::CellType::Currency, money);
    g.setMaxRows(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        g.setText(1, r, QString::number(r));
        g.setText(2, r, QStringLiteral("2005-06-%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0')));
        g.setText(3, r, r % 2 ? QStringLiteral("국민카드") : QStringLiteral("신한카드"));
        g.setText(4, r, QString::number(10000 * r));
        g.setText(5, r, QString::number(150 * r));
        g.setText(6, r, QString::number(9850 * r));
    }
    g.setText(3, rows + 1, QStringLiteral("합계"));
    g.setText(4, rows + 1, QString::number(10000LL * rows * (rows + 1) / 2));
    g.setFontBold(-1, rows + 1, true);
    g.setBackColor(-1, rows + 1, QColor(255, 255, 210));
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Page objects of a PDF ("/Type /Page", not the "/Type /Pages" tree).
int pdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(pdf).count(page));
}

// The first page's size in points.
QSizeF pdfMediaBox(const QByteArray& pdf)
{
    static const QRegularExpression box(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    const auto m = box.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void pdf_longSheetHasSeveralNumberedPages();
    void pdf_shortSheetOnePagePortrait();
    void pdf_wideSheetTurnsLandscape();
    void pdf_unwritableTargetWarnsAndLeavesNothing();
    void pdf_replacesAnOlderFileWhole();
    void preview_paintsTheSamePages();
    void pdf_textLayerHasRealBlanks();
    void pdf_fullDiskKeepsTheOlderFile();
    void progress_reportsAndStops_data();
    void progress_reportsAndStops();
};

void TestPrint::cleanup()
{
    PrintComponent::setPreviewHook({});
}

void TestPrint::pdf_longSheetHasSeveralNumberedPages()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 300);
    PrintComponent print;
    print.setTitle(QStringLiteral("Tallox"));
    const QString pdf = env.appFolder() + QStringLiteral("/sheet.pdf");
    print.setPdfTarget(pdf);
    QVERIFY(print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("신용카드 명세서(매출)"),
                             QString(), QStringLiteral("( 검색기간: 2005-06-01 - 2005-06-30 )"), 1, 0.7, 0.25, 0.5,
                             0.5));
    const QByteArray bytes = readAll(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    const int pages = pdfPageCount(bytes);
    QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
    QCOMPARE(print.lastPageCount(), pages);
    // 301 rows at some 45-60 rows a page.
    QVERIFY2(pages >= 5 && pages <= 9, qPrintable(QString::number(pages)));
    // A Hangul font is embedded.
    QVERIFY(bytes.contains("Nanum"));
    QVERIFY(MessageHook::shown().isEmpty());
    // Only the finished file is left.
    QCOMPARE(QDir(env.appFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("sheet.pdf")});
}

void TestPrint::pdf_shortSheetOnePagePortrait()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 12);
    PrintComponent print;
    const QString pdf = env.appFolder() + QStringLiteral("/short.pdf");
    print.setPdfTarget(pdf);
    QVERIFY(print.PrintSheet(GridSheet(grid), QStringLiteral("frmSumBill"), QStringLiteral("카드사별 집계"), QString(),
                             QStringLiteral("( 검색기간: 2005-06-01 - 2005-06-30 )"), 1, 0.5, 0.5, 0.5, 0.5));
    const QByteArray bytes = readAll(pdf);
    QCOMPARE(pdfPageCount(bytes), 1);
    QCOMPARE(print.lastPageCount(), 1);
    const QSizeF size = pdfMediaBox(bytes);
    QVERIFY2(size.height() > size.width(), "a narrow sheet prints portrait");
}

void TestPrint::pdf_wideSheetTurnsLandscape()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 20, 6);
    PrintComponent print;
    const QString pdf = env.appFolder() + QStringLiteral("/wide.pdf");
    print.setPdfTarget(pdf);
    QVERIFY(print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("넓은 표"),
                             QStringLiteral("부제목"), QString(), 1, 0.5, 0.5, 0.5, 0.5));
    const QSizeF size = pdfMediaBox(readAll(pdf));
    QVERIFY2(size.width() > size.height(), "a wide sheet prints landscape");
}

void TestPrint::pdf_unwritableTargetWarnsAndLeavesNothing()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 5);
    PrintComponent print;
    const QString pdf = env.appFolder() + QStringLiteral("/missing/folder/out.pdf");
    print.setPdfTarget(pdf);
    ErrorInfo e;
    QVERIFY(!Say(print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("제목"), QString(),
                                  QString(), 1, 0.5, 0.5, 0.5, 0.5, nullptr, &e),
                 e));
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("warn"));
    QVERIFY(MessageHook::shown().last().text.startsWith(QStringLiteral("PDF 파일을 만들 수 없습니다.")));
    QVERIFY(MessageHook::shown().last().text.contains(QStringLiteral("out.pdf")));
    QVERIFY(!QFileInfo::exists(pdf));
    QCOMPARE(print.lastPageCount(), 0);
}

void TestPrint::pdf_replacesAnOlderFileWhole()
{
    TestEnv env(QDate(2005, 6, 15), false);
    const QString pdf = env.appFolder() + QStringLiteral("/again.pdf");
    {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    SpreadGrid grid;
    fillSheet(grid, 80);
    PrintComponent print;
    print.setPdfTarget(pdf);
    QVERIFY(print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("제목"), QString(), QString(),
                             2, 0.7, 0.25, 0.5, 0.5));
    const QByteArray bytes = readAll(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(pdfPageCount(bytes), print.lastPageCount());
    QVERIFY(print.lastPageCount() >= 2);
}

void TestPrint::preview_paintsTheSamePages()
{
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 300);
    PrintComponent print;
    int previewPages = -1;
    QString previewTitle;
    PrintComponent::setPreviewHook([&](QPrintPreviewDialog& dialog) {
        previewTitle = dialog.windowTitle();
        auto* widget = dialog.findChild<QPrintPreviewWidget*>();
        QVERIFY(widget);
        widget->updatePreview();
        previewPages = widget->pageCount();
    });
    QVERIFY(print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("신용카드 명세서(매출)"),
                             QString(), QStringLiteral("( 검색기간: 2005-06-01 - 2005-06-30 )"), 1, 0.7, 0.25, 0.5,
                             0.5));
    QCOMPARE(previewTitle, QStringLiteral("신용카드 명세서(매출)"));
    QVERIFY(previewPages > 1);
    QCOMPARE(print.lastPageCount(), previewPages);
}

void TestPrint::pdf_textLayerHasRealBlanks()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 3);
    PrintComponent print;
    const QString pdf = env.appFolder() + QStringLiteral("/text.pdf");
    print.setPdfTarget(pdf);
    QVERIFY(print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("신용카드 명세서(매출)"),
                             QString(), QStringLiteral("( 검색기간: 2005-06-01 - 2005-06-30 )"), 1, 0.7, 0.25, 0.5,
                             0.5));
    QProcess p;
    p.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("신용카드 명세서(매출)")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("( 검색기간: 2005-06-01 - 2005-06-30 )")));
    QVERIFY(!text.contains(QChar(1)));
}

// A disk that fills up half-way leaves the older file of that name as it was.
void TestPrint::pdf_fullDiskKeepsTheOlderFile()
{
    if (::geteuid() != 0)
        QSKIP("a small tmpfs needs root; not run as root");
    TestEnv env(QDate(2005, 6, 15), false);
    const QString disk = env.appFolder() + QStringLiteral("/small-disk");
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}) != 0)
        QSKIP("mounting a small tmpfs was refused here");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });
    const QString pdf = disk + QStringLiteral("/report.pdf");
    const QByteArray older(20000, 'o');
    {
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(older), qint64(older.size()));
    }
    SpreadGrid grid;
    fillSheet(grid, 600);
    PrintComponent print;
    print.setPdfTarget(pdf);
    ErrorInfo e;
    QVERIFY(!print.PrintSheet(GridSheet(grid), QStringLiteral("frmMain"), QStringLiteral("제목"), QString(), QString(),
                              1, 0.5, 0.5, 0.5, 0.5, nullptr, &e));
    QVERIFY(e.what.startsWith(QStringLiteral("PDF 파일을 만들 수 없습니다.")));
    QCOMPARE(readAll(pdf), older);
    QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.pdf")});
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"

void TestPrint::progress_reportsAndStops_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("stop");
    for (const char* file : {"sheet.pdf", "sheet.xlsx"}) {
        QTest::addRow("%s, watched", file) << QString::fromLatin1(file) << false;
        QTest::addRow("%s, stopped", file) << QString::fromLatin1(file) << true;
    }
}

// A long print or export tells how far it is; stopped, it leaves no file at all.
void TestPrint::progress_reportsAndStops()
{
    QFETCH(QString, file);
    QFETCH(bool, stop);
    TestEnv env(QDate(2005, 6, 15), false);
    SpreadGrid grid;
    fillSheet(grid, 1200);
    qint64 lastDone = 0, lastTotal = 0;
    const Progress progress = [&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
        return !stop;
    };
    const QString path = env.appFolder() + QLatin1Char('/') + file;
    bool written = false;
    if (file.endsWith(QLatin1String(".pdf"))) {
        PrintComponent print;
        print.setPdfTarget(path);
        print.setProgress(progress);
        written = print.PrintSheet(GridSheet(grid), PrintDescription{}, nullptr, nullptr);
        if (!stop)
            QCOMPARE(lastTotal, qint64(print.lastPageCount()));
    } else {
        QString why;
        written = WriteWorkbook(GridSheet(grid), path, QStringLiteral("Sheet1"), &why, QString(), progress);
        if (stop)
            QCOMPARE(why, QStringLiteral("stopped"));
    }
    QCOMPARE(written, !stop);
    QVERIFY(lastDone > 0 && lastTotal > 1);
    QCOMPARE(QDir(env.appFolder()).entryList(QDir::Files | QDir::Hidden), stop ? QStringList() : QStringList{file});
}

#include "TestSupport.h"

#include "data/summary/SumBillData.h"
#include "gui/summary/SumBillChart.h"
#include "gui/summary/SumBillSheet.h"
#include "gui/summary/frmSumBill.h"
#include "gui/toolkit/ExcelExport.h"
#include "gui/toolkit/PeriodBar.h"
#include "output/PrintComponent.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTabWidget>

class TestSummaryChart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void monthly_equalsSummaryLines_data();
    void monthly_equalsSummaryLines();
    void feeRate_skipsMonthsWithoutSales_data();
    void feeRate_skipsMonthsWithoutSales();
    void picture_hasRequestedSize();
    void longPeriod_drawnInLongerBars_data();
    void longPeriod_drawnInLongerBars();
    void window_chartTabFollowsViewPrintsAndSaves();
    void window_amountNoIntegerSaysSoAndDrawsNothing();
    void window_monthLabelsReadInFull_data();
    void window_monthLabelsReadInFull();

private:
    std::unique_ptr<TestEnv> m_env;
};

void TestSummaryChart::init()
{
    MessageHook::reset();
    m_env = std::make_unique<TestEnv>();
    TestEnv& env = *m_env;
    env.addCard(1, QStringLiteral("BC카드"));
    env.addCard(2, QStringLiteral("신한카드"));
    env.addCard(3, QStringLiteral("국민카드")); // only a pay-out: no figures to draw
    env.addEntry(QStringLiteral("2004-11-20"), 1, 1000, 25);
    env.addEntry(QStringLiteral("2004-12-05"), 2, 2000, 60);
    env.addEntry(QStringLiteral("2004-12-31"), 9, 500, 10); // card 9 was deleted
    env.addEntry(QStringLiteral("2005-01-02"), 1, 300, 9);
    env.addEntry(QStringLiteral("2005-01-15"), 2, 0, 0, 700);
    env.addEntry(QStringLiteral("2005-01-20"), 3, 0, 0, 50);
    env.addEntry(QStringLiteral("2005-02-30"), 1, 99999, 999); // no real day: in no month
    env.addEntry(QStringLiteral("2005-03-10"), 1, 1000.5, 25.25);
    env.addEntry(QStringLiteral("2005-05-03"), 2, 400, 12);
    env.addEntry(QStringLiteral("2005-05-20"), 1, -100, -2); // a refund
}

void TestSummaryChart::cleanup()
{
    m_env.reset();
}

void TestSummaryChart::monthly_equalsSummaryLines_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("months");
    QTest::addColumn<int>("cards");
    QTest::newRow("one month") << "2005-05-01"
                               << "2005-05-31" << 1 << 2;
    QTest::newRow("across the year end") << "2004-12-01"
                                         << "2005-01-31" << 2 << 3;
    QTest::newRow("deleted card, whole span") << "2004-11-01"
                                              << "2005-06-30" << 8 << 3;
    QTest::newRow("one day, deleted card only") << "2004-12-31"
                                                << "2004-12-31" << 1 << 1;
    QTest::newRow("month with a bad date only") << "2005-02-01"
                                                << "2005-02-28" << 1 << 0;
    QTest::newRow("eleven years, by year") << "1995-01-01"
                                           << "2005-12-31" << 11 << 3;
    QTest::newRow("8000 years, by century") << "1001-01-01"
                                            << "9000-12-31" << 81 << 3;
}

// Per card, the months add up to the summary sheet's line of the same period.
void TestSummaryChart::monthly_equalsSummaryLines()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, months);
    QFETCH(int, cards);
    QList<SumBillLine> lines;
    MonthlySummary m;
    ErrorInfo e;
    QVERIFY(LoadSumBillLines(m_env->ctx().ledger, from, to, &lines, &e));
    QVERIFY2(LoadMonthlySummary(m_env->ctx().ledger, from, to, &m, &e), qPrintable(e.description));
    QCOMPARE(m.months.size(), months);
    QCOMPARE(m.cards.size(), cards);
    qsizetype next = 0;
    for (const SumBillLine& line : lines) {
        if (line.sales.isZero() && line.fees.isZero())
            continue;
        QVERIFY2(next < m.cards.size(), qPrintable(line.name));
        const MonthlyCardFigures& card = m.cards[next++]; // in the sheet's order
        QCOMPARE(card.cardCode, line.cardCode);
        QCOMPARE(card.name, line.name);
        Money sales, fees;
        for (qsizetype i = 0; i < m.months.size(); ++i)
            QVERIFY(Money::addTo(sales, card.sales[i]) && Money::addTo(fees, card.fees[i]));
        QCOMPARE(sales, line.sales);
        QCOMPARE(fees, line.fees);
    }
    QCOMPARE(next, m.cards.size());
}

void TestSummaryChart::feeRate_skipsMonthsWithoutSales_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QPointF>>("points"); // month index, fee rate in %
    QTest::newRow("BC") << "BC카드 수수료율" << QList<QPointF>{{0, 2.5}, {2, 3.0}, {4, 2525.0 / 1000.5}, {6, 2.0}};
    QTest::newRow("신한, none in January") << "신한카드 수수료율" << QList<QPointF>{{1, 3.0}, {6, 3.0}};
    QTest::newRow("deleted card") << "(삭제된 카드 9) 수수료율" << QList<QPointF>{{1, 2.0}};
}

void TestSummaryChart::feeRate_skipsMonthsWithoutSales()
{
    QFETCH(QString, name);
    QFETCH(QList<QPointF>, points);
    MonthlySummary m;
    QVERIFY(LoadMonthlySummary(m_env->ctx().ledger, "2004-11-01", "2005-05-31", &m));
    std::unique_ptr<QChart> chart(SumBillChart(m).makeChart());
    QLineSeries* line = nullptr;
    for (QAbstractSeries* s : chart->series()) {
        if (s->name() == name)
            line = qobject_cast<QLineSeries*>(s);
    }
    QVERIFY2(line, qPrintable(name));
    const QList<QPointF> drawn = line->points();
    QCOMPARE(drawn.size(), points.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
        QCOMPARE(drawn[i].x(), points[i].x());
        QVERIFY2(qAbs(drawn[i].y() - points[i].y()) < 1e-9, qPrintable(QString::number(drawn[i].y())));
    }
    QVERIFY(!FeeRatePercent(Money::fromWon(5), Money()).has_value());
}

void TestSummaryChart::picture_hasRequestedSize()
{
    MonthlySummary m;
    QVERIFY(LoadMonthlySummary(m_env->ctx().ledger, "2004-11-01", "2005-05-31", &m));
    const QImage image = SumBillChart(m).render(QSize(800, 450));
    QCOMPARE(image.size(), QSize(800, 450));
    QVERIFY(!image.copy(100, 100, 600, 250).allGray()); // coloured bars, not only white and text
}

void TestSummaryChart::longPeriod_drawnInLongerBars_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("monthsPerBar");
    QTest::addColumn<QStringList>("ends"); // the first and the last bar
    QTest::newRow("ten years, by month") << "1996-01-01"
                                         << "2005-12-31" << 1 << QStringList{"1996-01", "2005-12"};
    QTest::newRow("eleven years, by year") << "1995-03-01"
                                           << "2005-12-31" << 12 << QStringList{"1995", "2005"};
    QTest::newRow("200 years, by decade") << "1806-01-01"
                                          << "2005-12-31" << 120 << QStringList{"1800~1809", "2000~2009"};
    QTest::newRow("8000 years, by century") << "1001-01-01"
                                            << "9000-12-31" << 1200 << QStringList{"1000~1099", "9000~9099"};
}

// However long the period, the chart has at most kMaxChartBars bars and is
// drawn in moments (8000 years by month took half a minute and 1.5 GB).
void TestSummaryChart::longPeriod_drawnInLongerBars()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, monthsPerBar);
    QFETCH(QStringList, ends);
    m_env->addEntry(from, 1, 700, 7);
    m_env->addEntry(to, 2, 900, 9);
    QElapsedTimer clock;
    clock.start();
    MonthlySummary m;
    ErrorInfo e;
    QVERIFY2(LoadMonthlySummary(m_env->ctx().ledger, from, to, &m, &e), qPrintable(ErrorLine(e)));
    QCOMPARE(m.monthsPerBar, monthsPerBar);
    QVERIFY(m.months.size() <= kMaxChartBars);
    QCOMPARE((QStringList{m.months.constFirst(), m.months.constLast()}), ends);
    QCOMPARE(m.monthSales.constFirst(), Money::fromWon(700));
    QVERIFY(m.monthSales.constLast() >= Money::fromWon(900));
    QVERIFY(!SumBillChart(m).render(QSize(800, 450)).isNull());
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
}

void TestSummaryChart::window_chartTabFollowsViewPrintsAndSaves()
{
    frmSumBill w(m_env->ctx());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w)); // the window's keys need it active
    w.periodBar()->setDateText(0, QStringLiteral("2004-12-01"));
    w.periodBar()->setDateText(1, QStringLiteral("2005-01-31"));
    w.RefreshSheet();
    QCOMPARE(w.tabs()->tabText(0), QStringLiteral("카드사별 집계"));
    QCOMPARE(w.tabs()->tabText(1), QStringLiteral("월별 추이"));
    auto* btnExcel = w.findChild<QPushButton*>(QStringLiteral("btnExcel"));
    w.tabs()->setCurrentIndex(frmSumBill::ChartTab);
    QCOMPARE(btnExcel->text(), QStringLiteral("PNG 저장(F7)"));
    QCOMPARE(w.chart().data().months, (QStringList{"2004-12", "2005-01"}));
    auto bars = w.chartView()->chart()->series().constFirst();
    QCOMPARE(qobject_cast<QStackedBarSeries*>(bars)->count(), 3);

    // 조회 on the chart tab draws the new period at once.
    w.periodBar()->setDateText(0, QStringLiteral("2005-05-01"));
    w.periodBar()->setDateText(1, QStringLiteral("2005-05-31"));
    QTest::keyClick(&w, Qt::Key_F5);
    QCOMPARE(w.chart().data().months, QStringList{"2005-05"});
    QCOMPARE(qobject_cast<QStackedBarSeries*>(w.chartView()->chart()->series().constFirst())->count(), 2);

    int pages = -1;
    PrintComponent::setPreviewHook([&pages](QPrintPreviewDialog& p) {
        QCOMPARE(p.windowTitle(), QStringLiteral("월별 추이"));
        pages = 0;
    });
    QTest::keyClick(&w, Qt::Key_F8);
    PrintComponent::setPreviewHook({});
    QCOMPARE(pages, 0);
    const QString pdf = m_env->appFolder() + QStringLiteral("/chart.pdf");
    m_env->ctx().print->setPdfTarget(pdf);
    QTest::keyClick(&w, Qt::Key_F8);
    QCOMPARE(m_env->ctx().print->lastPageCount(), 1);
    QVERIFY(QFileInfo(pdf).size() > 1000);

    QList<QUrl> opened;
    ExcelExportHook::setOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    FileDialogHook::answerProposed();
    QTest::keyClick(&w, Qt::Key_F7);
    ExcelExportHook::setOpener({});
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first().toLocalFile().endsWith(".png"));
    QVERIFY(FileDialogHook::shown().last().proposed.endsWith(".png"));
    QCOMPARE(QImage(opened.first().toLocalFile()).size(), kSumBillChartSize);

    w.tabs()->setCurrentIndex(frmSumBill::GridTab);
    QCOMPARE(btnExcel->text(), QStringLiteral("엑셀(F7)"));
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestSummaryChart::window_amountNoIntegerSaysSoAndDrawsNothing()
{
    frmSumBill w(m_env->ctx());
    w.periodBar()->setDateText(0, QStringLiteral("2005-05-01"));
    w.periodBar()->setDateText(1, QStringLiteral("2005-05-31"));
    w.tabs()->setCurrentIndex(frmSumBill::ChartTab);
    QCOMPARE(w.chart().data().cards.size(), 0); // today's period: nothing yet
    w.RefreshSheet();
    QCOMPARE(w.chart().data().cards.size(), 2);
    QVERIFY(m_env->ctx().ledger.execute("UPDATE Tallox SET sale = 1.5 WHERE sdate = '2005-05-03'") == 1);
    MessageHook::reset();
    w.RefreshSheet();
    QCOMPARE(MessageHook::shown().size(), 1); // one box, not one per tab
    QVERIFY(w.chart().data().cards.isEmpty());
    QCOMPARE(qobject_cast<QStackedBarSeries*>(w.chartView()->chart()->series().constFirst())->count(), 0);
}

void TestSummaryChart::window_monthLabelsReadInFull_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QStringList>("named"); // months that must be labelled, at least
    QTest::newRow("a year: every month") << "2004-06-01" << QStringList{"2004-06", "2004-07", "2004-08", "2004-09",
                                                                        "2004-10", "2004-11", "2004-12", "2005-01",
                                                                        "2005-02", "2005-03", "2005-04", "2005-05"};
    QTest::newRow("three years: each January at least") << "2002-06-01" << QStringList{"2003-01", "2004-01", "2005-01"};
}

// At the window's default size no month label is cut short ("…", or "⋮" upright).
void TestSummaryChart::window_monthLabelsReadInFull()
{
    QFETCH(QString, from);
    QFETCH(QStringList, named);
    frmSumBill w(m_env->ctx());
    w.show();
    w.periodBar()->setDateText(0, from);
    w.periodBar()->setDateText(1, QStringLiteral("2005-05-31"));
    w.RefreshSheet();
    w.tabs()->setCurrentIndex(frmSumBill::ChartTab);
    const auto shownTexts = [&w] {
        QStringList shown;
        for (QGraphicsItem* item : w.chartView()->scene()->items())
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
                shown << text->toPlainText();
        return shown;
    };
    const auto allNamed = [&] {
        const QStringList shown = shownTexts();
        return std::all_of(named.cbegin(), named.cend(), [&](const QString& m) { return shown.contains(m); });
    };
    QTRY_VERIFY2_WITH_TIMEOUT(allNamed(), qPrintable(shownTexts().join(u' ')), 2000);
    for (const QString& text : shownTexts())
        QVERIFY2(!text.contains(QStringLiteral("...")) && !text.contains(QChar(0x2026)), qPrintable(text));
}

QTEST_MAIN(TestSummaryChart)
#include "tst_summarychart.moc"

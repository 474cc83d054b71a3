#include "gui/summary/SumBillChart.h"

#include "data/summary/SumBillData.h"
#include "gui/summary/SumBillSheet.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <utility>

namespace {
// Distinct colours for any number of cards: hues a golden angle apart, with
// two shades taking turns so that neighbours in a long list differ as well.
QColor CardColor(int index)
{
    const int hue = (index * 137 + 210) % 360;
    return QColor::fromHsv(hue, index % 2 ? 150 : 210, index % 2 ? 225 : 185);
}

QValueAxis* MakeValueAxis(const QString& title, const QString& format, double low, double high)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(format);
    axis->setRange(low, high > low ? high : low + 1);
    axis->applyNiceNumbers();
    return axis;
}

QBarCategoryAxis* MonthAxis(const QStringList& months, int monthsPerBar)
{
    auto* axis = new QBarCategoryAxis;
    axis->append(months);
    axis->setTitleText(
        monthsPerBar == 1 ? QCoreApplication::translate("SumBillChart", "월")
        : monthsPerBar == 12
            ? QCoreApplication::translate("SumBillChart", "연도")
            : QCoreApplication::translate("SumBillChart", "연도 (막대 하나가 %1년)").arg(monthsPerBar / 12));
    // Bars of years or decades: more than twelve labels only fit upright.
    if (monthsPerBar > 1 && months.size() > 12)
        axis->setLabelsAngle(-90);
    return axis;
}

// An axis under the month axis that names only some months, for when a label
// per month does not fit even upright.
QCategoryAxis* SparseMonthAxis(int months)
{
    auto* axis = new QCategoryAxis;
    axis->setTitleText(QCoreApplication::translate("SumBillChart", "월"));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(-0.5, double(months) - 0.5);
    axis->setStartValue(-0.5);
    axis->setGridLineVisible(false);
    axis->setVisible(false);
    return axis;
}

// Every month's label when they fit side by side, or else upright; when not
// even upright, a label every 2, 3, 4, 6 or 12 months on the sparse axis. So
// no label is ever cut short (to "…", or "⋮" upright), whatever the size.
void FitMonthLabels(QChart* chart, QBarCategoryAxis* every, QCategoryAxis* sparse, const QStringList& months)
{
    QObject::connect(chart, &QChart::plotAreaChanged, every, [every, sparse, months](const QRectF& plot) {
        if (months.isEmpty())
            return;
        const QFontMetricsF metrics(every->labelsFont());
        qreal widest = 0;
        for (const QString& month : months)
            widest = std::max(widest, metrics.horizontalAdvance(month));
        const qreal needed = widest + 2 * metrics.averageCharWidth();
        const qreal room = plot.width() / double(months.size());
        int step = 1;
        int angle = 0;
        if (needed > room && metrics.height() + metrics.averageCharWidth() <= room) {
            angle = -90;
        } else if (needed > room) {
            step = 12;
            for (int s : {2, 3, 4, 6}) {
                if (s * room >= needed) {
                    step = s;
                    break;
                }
            }
        }
        if (every->labelsAngle() != angle)
            every->setLabelsAngle(angle);
        const bool all = step == 1;
        if (every->labelsVisible() != all) {
            every->setLabelsVisible(all);
            every->setTitleVisible(all);
        }
        if (sparse->isVisible() != !all)
            sparse->setVisible(!all);
        if (all || sparse->property("step").toInt() == step)
            return;
        sparse->setProperty("step", step);
        for (const QString& label : sparse->categoriesLabels())
            sparse->remove(label);
        for (qsizetype i = 0; i < months.size(); ++i) {
            if ((months[i].mid(5, 2).toInt() - 1) % step == 0) // January, and each quarter, ...
                sparse->append(months[i], double(i));
        }
    });
}

// Beyond three years a label per month no longer fits: the months go
// unlabelled and a second axis names the years, with a grid line at each turn.
QCategoryAxis* YearAxis(QBarCategoryAxis* monthAxis, const QStringList& months)
{
    monthAxis->setLabelsVisible(false);
    monthAxis->setGridLineVisible(false);
    monthAxis->setTitleVisible(false);
    auto* axis = new QCategoryAxis;
    axis->setTitleText(QCoreApplication::translate("SumBillChart", "연도 (막대 하나가 한 달)"));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    axis->setRange(-0.5, double(months.size()) - 0.5);
    axis->setStartValue(-0.5); // the first year starts at the first bar's left edge
    for (qsizetype i = 0; i < months.size(); ++i) {
        if (i + 1 == months.size() || months[i + 1].endsWith(QStringLiteral("-01")))
            axis->append(months[i].left(4), double(i) + 0.5);
    }
    return axis;
}

// The lowest and highest stack of any month: refunds stack below zero.
std::pair<double, double> StackRange(const MonthlySummary& m)
{
    double low = 0, high = 0;
    for (qsizetype i = 0; i < m.months.size(); ++i) {
        double below = 0, above = 0;
        for (const MonthlyCardFigures& card : m.cards)
            (card.sales[i].units() < 0 ? below : above) += card.sales[i].toDouble();
        low = std::min(low, below);
        high = std::max(high, above);
    }
    return {low, high};
}

// One card's fee rate by bar; a bar without sales has no point.
QLineSeries* RateLine(const MonthlyCardFigures& card, const QColor& color, double* low, double* high)
{
    auto* line = new QLineSeries;
    line->setName(QCoreApplication::translate("SumBillChart", "%1 수수료율").arg(card.name));

    line->setPen(QPen(color.darker(125), 2));
    line->setPointsVisible(true);
    for (qsizetype i = 0; i < card.sales.size(); ++i) {
        if (const std::optional<double> rate = FeeRatePercent(card.fees[i], card.sales[i])) {
            line->append(double(i), *rate);
            *low = std::min(*low, *rate);
            *high = std::max(*high, *rate);
        }
    }
    return line;
}
} // namespace

PrintDescription SumBillChartPrintDescription(const QString& from, const QString& to)
{
    PrintDescription d = SumBillPrintDescription(from, to);
    d.title = SumBillChartCaption();
    return d;
}

QChart* SumBillChart::makeChart() const
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true); // group separators in the amounts
    chart->setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea));
    chart->setTitle(QCoreApplication::translate("SumBillChart", "카드사별 매출액(막대)과 수수료율(선): %1 - %2")
                        .arg(m_data.from, m_data.to));
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->setAlignment(Qt::AlignRight);

    QBarCategoryAxis* months = MonthAxis(m_data.months, m_data.monthsPerBar);
    const auto [low, high] = StackRange(m_data);
    QValueAxis* salesAxis =
        MakeValueAxis(QCoreApplication::translate("SumBillChart", "매출액 (원)"), QStringLiteral("%.0f"), low, high);
    chart->addAxis(months, Qt::AlignBottom);
    if (m_data.monthsPerBar == 1 && m_data.months.size() > 36) {
        chart->addAxis(YearAxis(months, m_data.months), Qt::AlignBottom);
    } else if (m_data.monthsPerBar == 1) {
        QCategoryAxis* sparse = SparseMonthAxis(int(m_data.months.size()));
        chart->addAxis(sparse, Qt::AlignBottom);
        FitMonthLabels(chart, months, sparse, m_data.months);
    }
    chart->addAxis(salesAxis, Qt::AlignLeft);

    auto* bars = new QStackedBarSeries;
    bars->setBarWidth(0.7);
    QList<QLineSeries*> lines;
    double rateLow = 0, rateHigh = 0;
    for (qsizetype c = 0; c < m_data.cards.size(); ++c) {
        const MonthlyCardFigures& card = m_data.cards[c];
        auto* set = new QBarSet(card.name);
        for (const Money& sale : card.sales)
            set->append(sale.toDouble()); // exact until here; drawing needs no more
        set->setColor(CardColor(int(c)));
        set->setBorderColor(CardColor(int(c)).darker(140));
        bars->append(set);
        lines.append(RateLine(card, CardColor(int(c)), &rateLow, &rateHigh));
    }
    chart->addSeries(bars);
    bars->attachAxis(months);
    bars->attachAxis(salesAxis);

    QValueAxis* rateAxis = MakeValueAxis(QCoreApplication::translate("SumBillChart", "수수료율 (%)"),
                                         QStringLiteral("%.2f"), rateLow, rateHigh);
    rateAxis->setGridLineVisible(false); // the amounts' grid is enough
    chart->addAxis(rateAxis, Qt::AlignRight);
    for (QLineSeries* line : lines) {
        chart->addSeries(line);
        line->attachAxis(months);
        line->attachAxis(rateAxis);
        // Each line has its card's colour: the legend names the bars only.
        for (QLegendMarker* marker : chart->legend()->markers(line))
            marker->setVisible(false);
    }
    return chart;
}

void SumBillChart::paint(QPainter* painter, const QRectF& target, const QSize& layout) const
{
    QGraphicsScene scene;
    // Drawn once: a BSP index of thousands of bars would cost more than it saves.
    scene.setItemIndexMethod(QGraphicsScene::NoIndex);
    QChart* chart = makeChart();
    scene.addItem(chart); // the scene owns it from here
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(layout)));
    // Lays the chart out now: without an event loop the request would wait.
    // A second pass takes the month labels' angle that the first one fitted.
    chart->layout()->activate();
    chart->layout()->activate();
    scene.render(painter, target, chart->geometry(), Qt::KeepAspectRatio);
}

void SumBillChart::paintPage(QPainter* painter, const QRectF& target) const
{
    constexpr int kPageLayoutWidth = 1100;
    const double ratio = target.width() > 0 ? target.height() / target.width() : 0.5;
    paint(painter, target, QSize(kPageLayoutWidth, qMax(400, qRound(kPageLayoutWidth * ratio))));
}

QImage SumBillChart::render(const QSize& size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(&painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
    return image;
}

#pragma once

#include "data/summary/SumBillMonthly.h"
#include "output/PrintComponent.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

class QChart;
class QPainter;
class QRectF;

// The tab and printout title of the monthly chart.
inline QString SumBillChartCaption()
{
    return QCoreApplication::translate("SumBillChart", "월별 추이");
}

// The size of a saved chart picture, and the size the chart is laid out at
// before it is scaled onto a printed page.
inline constexpr QSize kSumBillChartSize(1600, 900);

// How the chart of a period is printed.
PrintDescription SumBillChartPrintDescription(const QString& from, const QString& to);

// The monthly chart of the card summary: sales per card company as stacked
// bars, the fee rate each one paid as lines on a second axis. Built from one
// load of the figures; the window shows, prints and saves the same object,
// and the command line saves it.
class SumBillChart {
public:
    SumBillChart() = default;
    explicit SumBillChart(MonthlySummary data) : m_data(std::move(data)) {}

    const MonthlySummary& data() const { return m_data; }

    // A new chart of the figures; the caller (or the view it is given to) owns it.
    QChart* makeChart() const;
    // Draws the chart, laid out at `layout`, scaled into `target` keeping its shape.
    void paint(QPainter* painter, const QRectF& target, const QSize& layout = kSumBillChartSize) const;
    // Fills `target` on a printed page, laid out narrower than the saved
    // picture so that its type reads at about 8 points on A4.
    void paintPage(QPainter* painter, const QRectF& target) const;
    // The picture at `size`, on white.
    QImage render(const QSize& size = kSumBillChartSize) const;

private:
    MonthlySummary m_data;
};

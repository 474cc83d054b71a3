// The grid at a million rows: filling, memory, painting while scrolling,
// formula upkeep, row insertion and sorting.
#include "BenchRegistry.h"

#include "gui/grid/SpreadGrid.h"

#include <QPixmap>
#include <QScrollBar>

namespace {
constexpr int kRows = 1000000;
constexpr int kCols = 13;

// A ledger-like row: key, date, card code, card name, slips, amounts, balance, ...
QString cellText(int col, int row)
{
    switch (col) {
    case 1:
        return QString::number(row);
    case 2:
        return QStringLiteral("2005-%1-%2")
            .arg(row % 12 + 1, 2, 10, QLatin1Char('0'))
            .arg(row % 28 + 1, 2, 10, QLatin1Char('0'));
    case 3:
        return QString::number(row % 40 + 1);
    case 4:
        return QStringLiteral("카드사%1").arg(row % 40 + 1);
    case 5:
        return QString::number(row % 9 + 1);
    case 6:
        return QString::number(10000 + (row % 977) * 100);
    case 7:
        return QString::number((row % 977) * 3);
    case 8:
        return QString::number(row % 3 == 0 ? 5000 : 0);
    case 9:
        return QString::number(qint64(row) * 7 + 12345);
    default:
        return QStringLiteral("비고 %1").arg(row % 100);
    }
}
} // namespace

TALLOX_BENCHMARK("grid 1,000,000 x 13")
{
    const double rssBefore = CurrentRssMiB();
    SpreadGrid grid;
    grid.resize(1200, 800);
    grid.setMaxCols(kCols);

    QElapsedTimer t;
    t.start();
    grid.setMaxRows(kRows);
    report.add(QStringLiteral("MaxRows = 1,000,000"), ElapsedMs(t), QStringLiteral("ms"));

    grid.setReDraw(false);
    t.restart();
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kCols; ++c)
            grid.setText(c, r, cellText(c, r));
    const double fill = ElapsedMs(t);
    grid.setReDraw(true);
    report.add(QStringLiteral("write all 13,000,000 cells"), fill, QStringLiteral("ms"));
    report.add(QStringLiteral("  per cell"), fill * 1e6 / (double(kRows) * kCols), QStringLiteral("ns"));
    report.add(QStringLiteral("RSS growth after fill"), CurrentRssMiB() - rssBefore, QStringLiteral("MiB"));
    report.add(QStringLiteral("peak RSS after fill (VmHWM)"), PeakRssMiB(), QStringLiteral("MiB"));

    t.restart();
    QString check;
    for (int r = 1; r <= kRows; r += 7)
        check = grid.text(6, r);
    report.add(QStringLiteral("read 142,858 cells"), ElapsedMs(t), QStringLiteral("ms"));

    // Painting at several scroll positions (offscreen render of the viewport).
    grid.show();
    QPixmap pm(grid.size());
    const int positions[] = {0, kRows / 4, kRows / 2, kRows - 40};
    grid.verticalScrollBar()->setValue(0);
    grid.render(&pm); // warm-up
    double worst = 0, total = 0;
    for (int pos : positions) {
        grid.verticalScrollBar()->setValue(pos);
        t.restart();
        grid.render(&pm);
        const double ms = ElapsedMs(t);
        worst = std::max(worst, ms);
        total += ms;
    }
    report.add(QStringLiteral("paint viewport, mean of 4 scroll positions"), total / 4, QStringLiteral("ms"));
    report.add(QStringLiteral("paint viewport, worst"), worst, QStringLiteral("ms"));
    t.restart();
    for (int i = 0; i < 50; ++i) {
        grid.verticalScrollBar()->setValue(i * (kRows / 50));
        grid.render(&pm);
    }
    report.add(QStringLiteral("scroll + paint, 50 jumps"), ElapsedMs(t), QStringLiteral("ms"));

    // The totals formula over a million rows: set once, then kept by deltas.
    t.restart();
    grid.setFormula(11, 1, QStringLiteral("SUM(R1C6:R1000000C6)"));
    report.add(QStringLiteral("SUM formula over 1,000,000 rows (set)"), ElapsedMs(t), QStringLiteral("ms"));
    t.restart();
    for (int i = 0; i < 1000; ++i)
        grid.setText(6, 500000 + i, QString::number(i));
    report.add(QStringLiteral("1,000 edits under that formula"), ElapsedMs(t), QStringLiteral("ms"));

    t.restart();
    grid.insertRows(2, 1);
    report.add(QStringLiteral("InsertRows at row 2"), ElapsedMs(t), QStringLiteral("ms"));
    t.restart();
    grid.deleteRows(2, 1);
    report.add(QStringLiteral("DeleteRows at row 2"), ElapsedMs(t), QStringLiteral("ms"));
    t.restart();
    const int last = grid.dataRowCnt();
    report.add(QStringLiteral("DataRowCnt"), ElapsedMs(t), QStringLiteral("ms"));
    Q_UNUSED(last);

    t.restart();
    grid.sortRows(6, Qt::AscendingOrder, 1, kRows);
    report.add(QStringLiteral("sort all rows by an amount column"), ElapsedMs(t), QStringLiteral("ms"));
    grid.render(&pm);

    report.add(QStringLiteral("peak RSS at the end, sort included (VmHWM)"), PeakRssMiB(), QStringLiteral("MiB"));
}

// The running balance on its own: CalcBalance down a whole sheet of 100,000
// entries (what one edit in the sheet's first row costs), and the fill.
#include "BenchRegistry.h"

#include "gui/grid/SpreadGrid.h"
#include "gui/ledger/LedgerSheet.h"

#include <algorithm>

TALLOX_BENCHMARK("ledger balance 100k")
{
    constexpr int kEntries = 100000;
    SpreadGrid sheet;
    DesignLedgerColumns(&sheet);
    QElapsedTimer t;
    t.start();
    // The cells as the period query writes them, without a database.
    sheet.setMaxRows(kEntries + 1);
    sheet.setText(LedgerCol::Balance, 1, QStringLiteral("1000"));
    for (int i = 0; i < kEntries; ++i) {
        const int row = i + 2;
        sheet.setText(LedgerCol::Code, row, QString::number(i + 1));
        sheet.setText(LedgerCol::Date, row, QStringLiteral("2020-01-01"));
        if (i % 2) {
            sheet.setText(LedgerCol::BillColl, row, QString::number(9000 + (i % 977) * 97));
        } else {
            sheet.setText(LedgerCol::Sale, row, QString::number(10000 + (i % 977) * 100));
            sheet.setText(LedgerCol::Fee, row, QString::number(i % 977 * 3));
        }
    }
    AppendEntryRow(&sheet, QStringLiteral("2020-01-02"));
    report.add(QStringLiteral("100,000 rows written + SetTotalFormulas"), ElapsedMs(t), QStringLiteral("ms"));
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        sheet.setText(LedgerCol::Sale, 2, QString::number(20000 + i));
        t.restart();
        CalcBalance(&sheet, 2);
        best = std::min(best, ElapsedMs(t));
    }
    report.add(QStringLiteral("CalcBalance from row 2 over 100,000 rows"), best, QStringLiteral("ms"));
}

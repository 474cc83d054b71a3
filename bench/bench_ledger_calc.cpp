// The running balance on its own: CalcBalance down a whole sheet of 100,000
// entries (what one edit in the sheet's first row costs), and the fill.
#include "BenchRegistry.h"

#include "ledger/LedgerSheet.h"
#include "platform/SpreadGrid.h"

#include <algorithm>

TALLOX_BENCHMARK("ledger balance 100k")
{
    constexpr int kEntries = 100000;
    QVector<LedgerEntry> entries;
    entries.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        LedgerEntry e;
        e.code = i + 1;
        e.sdate = QStringLiteral("2020-01-01");
        e.cardcode = 1 + i % 40;
        e.name = QStringLiteral("카드%1").arg(e.cardcode);
        e.numsheet = 1 + i % 9;
        e.numsheetNull = false;
        e.sale = i % 2 ? Money() : Money::fromWon(10000 + (i % 977) * 100);
        e.fee = i % 2 ? Money() : Money::fromWon(i % 977 * 3);
        e.billcoll = i % 2 ? Money::fromWon(9000 + (i % 977) * 97) : Money();
        entries.append(e);
    }
    SpreadGrid sheet;
    DesignLedgerColumns(&sheet);
    QElapsedTimer t;
    t.start();
    FillLedgerSheet(&sheet, Money::fromWon(1000), &entries, QStringLiteral("2020-01-02"));
    SetTotalFormulas(&sheet);
    report.add(QStringLiteral("FillLedgerSheet + SetTotalFormulas"), ElapsedMs(t), QStringLiteral("ms"));
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        sheet.setText(LedgerCol::Sale, 2, QString::number(20000 + i));
        t.restart();
        CalcBalance(&sheet, 2);
        best = std::min(best, ElapsedMs(t));
    }
    report.add(QStringLiteral("CalcBalance from row 2 over 100,000 rows"), best, QStringLiteral("ms"));
}

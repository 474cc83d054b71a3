#pragma once

#include "data/sheet/Sheet.h"
#include "data/summary/SumBillData.h"

// How the summary of a period is printed (by the window and the command line).
PrintDescription SumBillPrintDescription(const QString& from, const QString& to);

// The summary's seven columns: 카드명, 건수, 전기이월, 매출액, 수수료, 결제액, 잔액.
inline constexpr int kSumBillColumns = 7;
QString SumBillColumnTitle(int col); // col 0..6, translated
double SumBillColumnWidth(int col);  // in characters

// The summary as the command line prints and exports it, from the typed
// lines: one row per card company, then the "[합 계]" row.
class SumBillOutputSheet : public Sheet {
public:
    SumBillOutputSheet(QList<SumBillLine> lines, const QString& from, const QString& to);

    QStringList caption() const override;
    int columnCount() const override { return kSumBillColumns; }
    double columnWidth(int col) const override { return SumBillColumnWidth(col); }
    QString headerText(int col, int) const override { return SumBillColumnTitle(col); }
    int rowCountHint() const override { return int(m_lines.size()) + 1; }
    bool forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo* error) const override;

private:
    QList<SumBillLine> m_lines;
    QString m_from;
    QString m_to;
};

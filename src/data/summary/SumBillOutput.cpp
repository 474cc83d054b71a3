#include "data/summary/SumBillOutput.h"

#include "data/books/DbAccess.h"

#include <QCoreApplication>

namespace {
struct Column {
    const char* title; // Korean source text; shown translated
    double width;
};
const Column kColumns[kSumBillColumns] = {
    {QT_TRANSLATE_NOOP("SumBillSheet", "카드명"), 18},   {QT_TRANSLATE_NOOP("SumBillSheet", "건수"), 7},
    {QT_TRANSLATE_NOOP("SumBillSheet", "전기이월"), 14}, {QT_TRANSLATE_NOOP("SumBillSheet", "매출액"), 14},
    {QT_TRANSLATE_NOOP("SumBillSheet", "수수료"), 12},   {QT_TRANSLATE_NOOP("SumBillSheet", "결제액"), 14},
    {QT_TRANSLATE_NOOP("SumBillSheet", "잔액"), 14},
};
} // namespace

PrintDescription SumBillPrintDescription(const QString& from, const QString& to)
{
    PrintDescription d;
    d.windowName = QStringLiteral("frmSumBill");
    d.title = SumBillCaption();
    d.periodLine = PrintPeriodLine(from, to);
    return d;
}

QString SumBillColumnTitle(int col)
{
    return QCoreApplication::translate("SumBillSheet", kColumns[col].title);
}

double SumBillColumnWidth(int col)
{
    return kColumns[col].width;
}

SumBillOutputSheet::SumBillOutputSheet(QList<SumBillLine> lines, const QString& from, const QString& to)
    : m_lines(std::move(lines)), m_from(from), m_to(to)
{
}

QStringList SumBillOutputSheet::caption() const
{
    return CaptionLines(SumBillPrintDescription(m_from, m_to));
}

bool SumBillOutputSheet::forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo* error) const
{
    SheetRow row(kSumBillColumns);
    qint64 slips = 0;
    Money sums[5];
    for (const SumBillLine& line : m_lines) {
        const Money amounts[5] = {line.prevBalance, line.sales, line.fees, line.payouts, line.balance()};
        row[0] = SheetCell{line.name, std::nullopt, QString(), Qt::AlignLeft | Qt::AlignVCenter};
        row[1] = MoneyCell(Money::fromWon(line.slips).units());
        slips += line.slips;
        for (int i = 0; i < 5; ++i) {
            row[2 + i] = MoneyCell(amounts[i].units());
            if (!Money::addTo(sums[i], amounts[i]))
                return fail(error, MoneyOverflow());
        }
        if (!visit(row))
            return false;
    }
    row[0] = SheetCell{SheetTotalLabel(), std::nullopt, QString(), Qt::AlignLeft | Qt::AlignVCenter};
    row[1] = MoneyCell(Money::fromWon(slips).units());
    for (int i = 0; i < 5; ++i)
        row[2 + i] = MoneyCell(sums[i].units());
    for (SheetCell& c : row)
        c.back = kSheetTotalBack;
    return visit(row);
}

#include "data/ledger/LedgerOutput.h"

#include "data/base/Money.h"
#include "data/books/DbAccess.h"
#include "data/books/SharedQueries.h"
#include "data/ledger/LedgerRows.h"

#include <QCoreApplication>

namespace {

struct Column {
    const char* title; // Korean source text; shown translated
    double width;      // characters
};

// The shown columns of the ledger sheet, as the window has them.
const Column kColumns[] = {
    {QT_TRANSLATE_NOOP("LedgerSheet", "일자"), 10.5},  {QT_TRANSLATE_NOOP("LedgerSheet", "카드명"), 17.5},
    {QT_TRANSLATE_NOOP("LedgerSheet", "건수"), 5.25},  {QT_TRANSLATE_NOOP("LedgerSheet", "매출액"), 11},
    {QT_TRANSLATE_NOOP("LedgerSheet", "수수료"), 10},  {QT_TRANSLATE_NOOP("LedgerSheet", "카드사결제액"), 11},
    {QT_TRANSLATE_NOOP("LedgerSheet", "잔액"), 11.37},
};
namespace Col {
enum : int { Date, CardName, Slips, Sale, Fee, BillColl, Balance, Count };
}

// The date column is centred, its labels included, as the window shows it.
constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;

SheetCell textCell(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    SheetCell c;
    c.text = text;
    c.align = align;
    return c;
}

SheetCell countCell(qint64 n)
{
    SheetCell c = MoneyCell(Money::fromWon(n).units());
    return c;
}

// An amount the sheet leaves empty when it is 0, as the window does.
SheetCell amountCell(const Money& m)
{
    return m.isZero() ? SheetCell() : MoneyCell(m.units());
}

} // namespace

PrintDescription LedgerPrintDescription(const QString& from, const QString& to, const QString& cardName)
{
    PrintDescription d;
    d.windowName = QStringLiteral("frmMain");
    d.title = QCoreApplication::translate("LedgerSheet", "신용카드 명세서(매출)");
    d.subTitle = cardName;
    d.periodLine = PrintPeriodLine(from, to);
    d.marginTop = 0.7;
    d.marginBottom = 0.25;
    return d;
}

LedgerOutputSheet::LedgerOutputSheet(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                                     const QString& cardName)
    : m_ledger(ledger), m_firstDay(firstDay), m_lastDay(lastDay), m_card(cardCode), m_cardName(cardName)
{
}

QStringList LedgerOutputSheet::caption() const
{
    return CaptionLines(LedgerPrintDescription(m_firstDay, m_lastDay, m_cardName));
}

int LedgerOutputSheet::columnCount() const
{
    return Col::Count;
}

double LedgerOutputSheet::columnWidth(int col) const
{
    return col < m_widths.size() && m_widths[col] > 0 ? m_widths[col] : kColumns[col].width;
}

QString LedgerOutputSheet::headerText(int col, int) const
{
    return QCoreApplication::translate("LedgerSheet", kColumns[col].title);
}

QString LedgerOutputSheet::exportTitle(int col, int) const
{
    return QString::fromUtf8(kColumns[col].title);
}

bool LedgerOutputSheet::forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo* error) const
{
    m_rows = 0;
    m_readError = ErrorInfo();
    const auto readFailed = [this, error](const ErrorInfo& e) {
        m_readError = e;
        return fail(error, e);
    };
    // The balance brought forward and the entries after it as of one moment.
    const ReadSnapshot snapshot(m_ledger);
    ErrorInfo e;
    const Money broughtForward = snapshot.ok(&e) ? GetPrevBalance(m_ledger, m_firstDay, m_card, &e) : Money();
    if (e.isSet())
        return readFailed(e);

    SheetRow row(Col::Count);
    const auto hand = [&](bool bold, quint32 fore, quint32 back) {
        for (SheetCell& c : row) {
            c.bold = bold;
            c.fore = fore;
            c.back = back;
        }
        ++m_rows;
        return visit(row);
    };
    row[Col::Date] = textCell(BroughtForwardLabel(), kCentred);
    row[Col::Balance] = MoneyCell(broughtForward.units());
    if (!hand(false, kBroughtForwardFore, 0))
        return false;

    std::optional<Money> balance = broughtForward;
    LedgerTotals totals;
    bool overflow = false;
    bool stopped = false;
    int shownDay = 0; // days repeat down the sheet: one text for each run
    QString dayText;
    const bool read = ForEachLedgerEntry(
        m_ledger, m_firstDay, m_lastDay, m_card,
        [&](const LedgerEntryRow& entry, const QString& cardName) {
            // Step by step, as the sheet has always added: a sale, less its fee and pay-out.
            balance = balance ? Money::add(*balance, entry.sale) : balance;
            balance = balance ? Money::sub(*balance, entry.fee) : balance;
            balance = balance ? Money::sub(*balance, entry.billcoll) : balance;
            if (!balance || !Money::addTo(totals.sale, entry.sale) || !Money::addTo(totals.fee, entry.fee) ||
                !Money::addTo(totals.billcoll, entry.billcoll)) {
                overflow = true;
                return false;
            }
            totals.slips += entry.slips;
            if (entry.day != shownDay) {
                shownDay = entry.day;
                dayText = entry.dateText();
            }
            row[Col::Date] = textCell(dayText, kCentred);
            row[Col::CardName] = textCell(cardName);
            row[Col::Slips] = entry.hasSlips ? countCell(entry.slips) : SheetCell();
            row[Col::Sale] = amountCell(entry.sale);
            row[Col::Fee] = amountCell(entry.fee);
            row[Col::BillColl] = amountCell(entry.billcoll);
            row[Col::Balance] = MoneyCell(balance->units());
            stopped = !hand(false, 0, 0);
            return !stopped;
        },
        &e);
    if (overflow)
        return readFailed(MoneyOverflow());
    if (!read)
        return stopped ? false : readFailed(e);

    row.fill(SheetCell());
    row[Col::Date] = textCell(SheetTotalLabel(), kCentred);
    row[Col::Slips] = countCell(totals.slips);
    row[Col::Sale] = MoneyCell(totals.sale.units());
    row[Col::Fee] = MoneyCell(totals.fee.units());
    row[Col::BillColl] = MoneyCell(totals.billcoll.units());
    return hand(true, 0, kSheetTotalBack);
}

#include "gui/ledger/LedgerSheet.h"

#include "data/books/DbAccess.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <algorithm>

namespace {
struct ColumnDesign {
    int col;
    const char* header;
    const char* id;
    double width; // 0: the grid's default
    bool hidden;
};

// Headers are the Korean source texts; the sheet shows them translated.
const ColumnDesign kColumns[] = {
    {LedgerCol::Code, "key", "CODE", 0, true},
    {LedgerCol::Date, QT_TRANSLATE_NOOP("LedgerSheet", "일자"), "SDATE", 10.5, false},
    {LedgerCol::CardCode, QT_TRANSLATE_NOOP("LedgerSheet", "카드코드"), "cardcode", 0, true},
    {LedgerCol::CardName, QT_TRANSLATE_NOOP("LedgerSheet", "카드명"), "", 17.5, false},
    {LedgerCol::NumSheet, QT_TRANSLATE_NOOP("LedgerSheet", "건수"), "numsheet", 5.25, false},
    {LedgerCol::Sale, QT_TRANSLATE_NOOP("LedgerSheet", "매출액"), "sale", 11, false},
    {LedgerCol::Fee, QT_TRANSLATE_NOOP("LedgerSheet", "수수료"), "fee", 10, false},
    {LedgerCol::BillColl, QT_TRANSLATE_NOOP("LedgerSheet", "카드사결제액"), "billcoll", 11, false},
    {LedgerCol::Balance, QT_TRANSLATE_NOOP("LedgerSheet", "잔액"), "", 11.37, false},
    {10, QT_TRANSLATE_NOOP("LedgerSheet", "매출합계"), "", 0, true},
    {11, QT_TRANSLATE_NOOP("LedgerSheet", "수수료합계"), "", 0, true},
    {12, QT_TRANSLATE_NOOP("LedgerSheet", "수금합계"), "", 0, true},
    {13, "", "", 0, true},
};

} // namespace

QString MoneyCellText(const Money& m, bool emptyZero)
{
    if (emptyZero && m.isZero())
        return QString();
    return m.toPlainString();
}

void DesignLedgerColumns(SpreadGrid* sheet)
{
    sheet->setMaxCols(LedgerCol::Count);
    sheet->setColWidth(0, 3.5);
    // A workbook exported from the sheet keeps the Korean titles in every
    // language: an import recognises Tallox's own sheet by them.
    QStringList exportTitles(LedgerCol::Count + 1);
    for (const ColumnDesign& c : kColumns) {
        sheet->setHeaderText(c.col, QCoreApplication::translate("LedgerSheet", c.header));
        exportTitles[c.col] = QString::fromUtf8(c.header);
        sheet->setColId(c.col, QString::fromLatin1(c.id));
        if (c.width > 0)
            sheet->setColWidth(c.col, c.width);
        sheet->setColHidden(c.col, c.hidden);
    }
    sheet->setProperty(kExportTitlesProperty, exportTitles);
    SpreadGrid::NumberFormat slips;
    slips.decimals = 0;
    slips.separators = true;
    slips.min = -kLedgerSlipLimit;
    slips.max = kLedgerSlipLimit;
    sheet->setCellType(LedgerCol::NumSheet, -1, SpreadGrid::CellType::Number, slips);
    SpreadGrid::NumberFormat amount;
    amount.decimals = 0;
    amount.separators = true;
    amount.min = -kLedgerAmountLimit;
    amount.max = kLedgerAmountLimit;
    for (int col = LedgerCol::Sale; col <= 12; ++col)
        sheet->setCellType(col, -1, SpreadGrid::CellType::Number, amount);
    sheet->setCellType(LedgerCol::Date, -1, SpreadGrid::CellType::Edit);
    sheet->setCellType(LedgerCol::CardName, -1, SpreadGrid::CellType::Edit);
    sheet->setTypeHAlign(LedgerCol::Date, -1, Qt::AlignHCenter);
}

namespace {
// Row 1: the brought-forward label and amount, locked and blue.
void StartSheet(SpreadGrid* sheet, const Money& broughtForward)
{
    sheet->setMaxRows(0);
    sheet->setMaxRows(1);
    sheet->setText(LedgerCol::Date, 1, BroughtForwardLabel());
    sheet->setText(LedgerCol::Balance, 1, MoneyCellText(broughtForward, false));
    sheet->setLock(-1, 1, true);
    sheet->setForeColor(-1, 1, BroughtForwardColor());
}

void WriteAmount(SpreadGrid* sheet, int col, int row, const Money& m)
{
    if (!m.isZero())
        sheet->setNumber(col, row, m);
}

// The sheet without any figure: the brought-forward row without an amount
// and the entry row. No balance is better than a wrong one.
void ShowNoFigures(SpreadGrid* sheet, const QString& entryDate)
{
    StartSheet(sheet, Money());
    sheet->setText(LedgerCol::Balance, 1, QString());
    AppendEntryRow(sheet, entryDate);
}

void FillEntryRow(SpreadGrid* sheet, int row, const LedgerEntryRow& e, const QString& cardName, const Money& balance)
{
    sheet->setText(LedgerCol::Code, row, QString::number(e.key));
    sheet->setText(LedgerCol::Date, row, e.dateText());
    sheet->setText(LedgerCol::CardCode, row, QString::number(e.card));
    sheet->setText(LedgerCol::CardName, row, cardName);
    if (e.hasSlips)
        sheet->setText(LedgerCol::NumSheet, row, QString::number(e.slips));
    WriteAmount(sheet, LedgerCol::Sale, row, e.sale);
    WriteAmount(sheet, LedgerCol::Fee, row, e.fee);
    WriteAmount(sheet, LedgerCol::BillColl, row, e.billcoll);
    sheet->setNumber(LedgerCol::Balance, row, balance);
}
} // namespace

bool FillLedgerSheet(SpreadGrid* sheet, const LedgerRows& rows, const QString& entryDate, ErrorInfo* error)
{
    const Money& broughtForward = rows.broughtForward;
    const QList<LedgerEntryRow>& entries = rows.entries;
    const bool redraw = sheet->reDraw();
    sheet->setReDraw(false);
    const QSignalBlocker quiet(sheet);
    const QList<std::optional<Money>> balances = RunningBalances(broughtForward, entries);
    // Every figure is checked before any is shown: a balance or total out of range shows none.
    const bool fits = (balances.isEmpty() || balances.constLast()) && SumEntries(entries);
    if (fits) {
        StartSheet(sheet, broughtForward);
        sheet->setMaxRows(1 + int(entries.size()));
        for (qsizetype i = 0; i < entries.size(); ++i)
            FillEntryRow(sheet, int(i) + 2, entries[i], rows.cardName(entries[i].card), *balances[i]);
        AppendEntryRow(sheet, entryDate);
    } else {
        ShowNoFigures(sheet, entryDate);
    }
    sheet->setReDraw(redraw);
    return fits || fail(error, MoneyOverflow());
}

bool LoadLedgerSheet(SpreadGrid* sheet, Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                     const Money& broughtForward, const QString& entryDate, ErrorInfo* error)
{
    LedgerRows rows{firstDay, lastDay, cardCode, broughtForward, {}, {}};
    if (!LoadLedgerEntries(ledger, firstDay, lastDay, cardCode, &rows.entries, &rows.cardNames, error)) {
        ShowNoFigures(sheet, entryDate);
        return false;
    }
    return FillLedgerSheet(sheet, rows, entryDate, error);
}

bool BuildLedgerSheet(SpreadGrid* sheet, Database& ledger, const QString& firstDay, const QString& lastDay,
                      int cardCode, const QString& entryDate, ErrorInfo* error)
{
    LedgerRows rows;
    if (!LoadLedgerRows(ledger, firstDay, lastDay, cardCode, &rows, error)) {
        ShowNoFigures(sheet, entryDate);
        return false;
    }
    return FillLedgerSheet(sheet, rows, entryDate, error);
}

void AppendEntryRow(SpreadGrid* sheet, const QString& entryDate)
{
    const int row = sheet->maxRows() + 1;
    sheet->setMaxRows(row);
    sheet->setText(LedgerCol::Date, row, entryDate);
    SetTotalFormulas(sheet);
}

Money CellMoney(const SpreadGrid* sheet, int col, int row)
{
    // A plain number is read as the grid stores it (the balance reads three
    // cells per row); anything else goes by its text.
    if (const auto stored = sheet->number(col, row))
        return *stored;
    const QString text = sheet->text(col, row);
    if (text.isEmpty())
        return Money();
    if (const auto exact = Money::parse(text))
        return *exact;
    return Money::fromLeading(text);
}

bool CalcBalance(SpreadGrid* sheet, int startRow)
{
    if (startRow < 2)
        startRow = 2;
    const int last = sheet->maxRows() - 1; // the entry row takes no part
    if (startRow > last)
        return true;
    const bool redraw = sheet->reDraw();
    sheet->setReDraw(false);
    std::optional<Money> balance = CellMoney(sheet, LedgerCol::Balance, startRow - 1);
    for (int row = startRow; row <= last; ++row) {
        // Once a balance leaves the range of money, it and all below stay empty.
        if (balance)
            balance = Money::add(*balance, CellMoney(sheet, LedgerCol::Sale, row));
        if (balance)
            balance = Money::sub(*balance, CellMoney(sheet, LedgerCol::Fee, row));
        if (balance)
            balance = Money::sub(*balance, CellMoney(sheet, LedgerCol::BillColl, row));
        if (balance)
            sheet->setNumber(LedgerCol::Balance, row, *balance);
        else
            sheet->setText(LedgerCol::Balance, row, QString());
    }
    sheet->setReDraw(redraw);
    return balance.has_value();
}

void SetTotalFormulas(SpreadGrid* sheet)
{
    if (sheet->maxCols() < 10 || sheet->maxRows() < 1)
        return;
    const int rows = sheet->maxRows();
    for (int target = LedgerCol::SumFirst; target <= LedgerCol::SumLast; ++target) {
        const int summed = target - 5;
        // Only row 1 ever carries these formulas.
        sheet->setFormula(target, 1, QString());
        sheet->setText(target, 1, QString());
        sheet->setFormula(target, 1, QStringLiteral("SUM(R1C%1:R%2C%1)").arg(summed).arg(rows));
    }
}

void CopySumsToStrip(SpreadGrid* sheet, SpreadGrid* strip)
{
    for (int col = LedgerCol::SumFirst; col <= LedgerCol::SumLast; ++col)
        strip->setText(col - 5, 1, sheet->text(col, 1));
}

void BindTotalStrip(SpreadGrid* sheet, SpreadGrid* strip)
{
    QObject::connect(sheet, &SpreadGrid::valueChanged, strip, [sheet, strip](int col, int row) {
        if (row == 1 && col >= LedgerCol::SumFirst && col <= LedgerCol::SumLast)
            strip->setText(col - 5, 1, sheet->text(col, 1));
    });
    CopySumsToStrip(sheet, strip);
}

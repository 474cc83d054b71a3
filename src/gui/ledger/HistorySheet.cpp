#include "gui/ledger/HistorySheet.h"

#include "data/ledger/HistoryRows.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"
#include "output/PrintComponent.h"

#include <QCoreApplication>

namespace {
// An amount or slip count as a number cell (decimals only when it has them,
// as LedgerHistory::AmountText shows it); a workbook of the sheet holds numbers.
void setCell(SpreadGrid* sheet, int col, int row, const QString& text, const std::optional<Money>& figure)
{
    if (!figure) {
        sheet->setText(col, row, text);
        return;
    }
    SpreadGrid::NumberFormat f;
    f.separators = true;
    f.decimals = figure->units() % Money::kScale == 0 ? 0 : 4;
    sheet->setCellType(col, row, SpreadGrid::CellType::Number, f);
    sheet->setText(col, row, figure->toPlainString());
}

void fillRow(SpreadGrid* sheet, int row, const HistoryRow& r)
{
    sheet->setText(HistoryCol::At, row, r.at);
    sheet->setText(HistoryCol::Kind, row, r.kind);
    sheet->setText(HistoryCol::Date, row, r.date);
    sheet->setText(HistoryCol::Card, row, r.card);
    sheet->setText(HistoryCol::Field, row, r.field);
    setCell(sheet, HistoryCol::Old, row, r.oldValue, r.oldFigure);
    setCell(sheet, HistoryCol::New, row, r.newValue, r.newFigure);
    sheet->setText(HistoryCol::State, row,
                   r.undone ? QCoreApplication::translate("HistorySheet", "취소됨") : QString());
    sheet->setText(HistoryCol::Who, row, r.who);
}
} // namespace

void DesignHistorySheet(SpreadGrid* sheet)
{
    struct Column {
        const char* header;
        double width;
    };
    static const Column columns[] = {
        {QT_TRANSLATE_NOOP("HistorySheet", "일시"), 18},          {QT_TRANSLATE_NOOP("HistorySheet", "내용"), 16},
        {QT_TRANSLATE_NOOP("HistorySheet", "일자"), 11},          {QT_TRANSLATE_NOOP("HistorySheet", "카드명"), 14},
        {QT_TRANSLATE_NOOP("HistorySheet", "항목"), 11},          {QT_TRANSLATE_NOOP("HistorySheet", "이전 값"), 30},
        {QT_TRANSLATE_NOOP("HistorySheet", "새 값"), 30},         {QT_TRANSLATE_NOOP("HistorySheet", "상태"), 7},
        {QT_TRANSLATE_NOOP("HistorySheet", "컴퓨터/사용자"), 18},
    };
    sheet->setMaxCols(HistoryCol::Count);
    sheet->setMaxRows(0);
    for (int c = 1; c <= HistoryCol::Count; ++c) {
        sheet->setHeaderText(c, QCoreApplication::translate("HistorySheet", columns[c - 1].header));

        sheet->setColWidth(c, columns[c - 1].width);
        sheet->setCellType(c, -1, SpreadGrid::CellType::Edit);
    }
}

bool BuildHistorySheet(SpreadGrid* sheet, Database& ledger, const QString& firstDay, const QString& lastDay,
                       ErrorInfo* error)
{
    if (sheet->maxCols() != HistoryCol::Count)
        DesignHistorySheet(sheet);
    sheet->setMaxRows(0);
    sheet->setProperty(kExportCaptionProperty, QStringList{QCoreApplication::translate("HistorySheet", "변경 내역"),
                                                           PrintPeriodLine(firstDay, lastDay)});
    QList<HistoryRow> rows;
    if (!LoadHistoryRows(ledger, firstDay, lastDay, &rows, error))
        return false;
    const bool redraw = sheet->reDraw();
    sheet->setReDraw(false);
    sheet->setMaxRows(int(rows.size()));
    for (int row = 1; row <= rows.size(); ++row)
        fillRow(sheet, row, rows.at(row - 1));
    sheet->setReDraw(redraw);
    return true;
}

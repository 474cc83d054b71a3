#include "ledger/HistorySheet.h"

#include "base/Clock.h"
#include "core/DbAccess.h"
#include "core/History.h"
#include "ledger/LedgerHistory.h"
#include "ledger/LedgerStore.h"
#include "platform/PrintComponent.h"
#include "platform/SpreadDesign.h"
#include "platform/SpreadGrid.h"

#include <QCoreApplication>
#include <QSqlQuery>

namespace {
// A whole entry or card in a few words, for the old or new value of an addition or deletion.
QString wholeRowText(History::Kind kind, const QString& json)
{
    if (json.isEmpty())
        return QString();
    const QVariantMap map = History::ParseRowJson(json);
    if (kind == History::Kind::CardAdded || kind == History::Kind::CardChanged || kind == History::Kind::CardDeleted)
        return QCoreApplication::translate("HistorySheet", "%1, 수수료 %2%, 결제일 %3")
            .arg(map.value(QStringLiteral("name")).toString(), map.value(QStringLiteral("fee")).toString(),
                 map.value(QStringLiteral("setday")).toString());
    LedgerStore::StoredEntry e;
    if (!LedgerStore::StoredEntry::fromMap(map, &e))
        return json;
    return QCoreApplication::translate("HistorySheet", "매출액 %1, 수수료 %2, 카드사결제액 %3")
        .arg(LedgerHistory::AmountText(e.sale), LedgerHistory::AmountText(e.fee),
             LedgerHistory::AmountText(e.billcoll));
}

// An amount or slip count as a number cell, so that a workbook of the sheet
// holds numbers; false for any other field or a value that is no number.
bool setFigure(SpreadGrid* sheet, int col, int row, const QString& field, const QVariant& value)
{
    const bool amount =
        field == QLatin1String("sale") || field == QLatin1String("fee") || field == QLatin1String("billcoll");
    if (!amount && field != QLatin1String("numsheet"))
        return false;
    const std::optional<Money> m = value.isNull() ? std::nullopt : Money::parse(value.toString());
    if (!m)
        return false;
    SpreadGrid::NumberFormat f;
    f.separators = true;
    f.decimals = m->units() % Money::kScale == 0 ? 0 : 4; // as LedgerHistory::AmountText shows it
    sheet->setCellType(col, row, SpreadGrid::CellType::Number, f);
    sheet->setText(col, row, m->toPlainString());
    return true;
}

QString kindText(History::Kind kind, const QString& origin)
{
    const QString label = History::KindLabel(kind);
    if (origin == QLatin1String("undo"))
        return QCoreApplication::translate("HistorySheet", "%1 (실행 취소)").arg(label);
    if (origin == QLatin1String("redo"))
        return QCoreApplication::translate("HistorySheet", "%1 (다시 실행)").arg(label);
    return label;
}

// The fields of a history row in the order BuildHistorySheet selects them.
enum Field : int {
    FAt,
    FKind,
    FDate,
    FCard,
    FCardName,
    FField,
    FOld,
    FNew,
    FOrigin,
    FUndoState,
    FComputer,
    FUser,
    FieldCount,
};

void fillRow(SpreadGrid* sheet, int row, Database& ledger, const QVariantList& v)
{
    History::Kind kind = History::Kind::FieldChanged;
    History::KindFromText(v.value(FKind).toString(), &kind);
    const QString field = v.value(FField).toString();
    sheet->setText(HistoryCol::At, row, v.value(FAt).toString());
    sheet->setText(HistoryCol::Kind, row, kindText(kind, v.value(FOrigin).toString()));
    sheet->setText(HistoryCol::Date, row, v.value(FDate).toString());
    const int card = v.value(FCard).toInt();
    sheet->setText(HistoryCol::Card, row,
                   card == 0
                       ? QString()
                       : (v.value(FCardName).isNull() ? QCoreApplication::translate("HistorySheet", "카드 %1").arg(card)
                                                      : v.value(FCardName).toString()));
    if (kind == History::Kind::FieldChanged) {
        sheet->setText(HistoryCol::Field, row, LedgerHistory::FieldLabel(field));
        for (const auto& [col, value] :
             {std::pair{HistoryCol::Old, v.value(FOld)}, std::pair{HistoryCol::New, v.value(FNew)}})
            if (!setFigure(sheet, col, row, field, value))
                sheet->setText(col, row, LedgerHistory::ValueText(ledger, field, value));
    } else if (kind == History::Kind::CarryOver || kind == History::Kind::Rebuild) {
        sheet->setText(HistoryCol::New, row, v.value(FNew).toString());
    } else {
        sheet->setText(HistoryCol::Old, row, wholeRowText(kind, v.value(FOld).toString()));
        sheet->setText(HistoryCol::New, row, wholeRowText(kind, v.value(FNew).toString()));
    }
    const bool undone = v.value(FOrigin).isNull() && v.value(FUndoState).toInt() != History::InPlace;
    sheet->setText(HistoryCol::State, row, undone ? QCoreApplication::translate("HistorySheet", "취소됨") : QString());
    sheet->setText(HistoryCol::Who, row,
                   (v.value(FComputer).toString() + QLatin1Char(' ') + v.value(FUser).toString()).trimmed());
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
    if (!History::TableExists(ledger, QStringLiteral("main")))
        return true;
    const QString dayAfter = DateText::day(DateText::parse(lastDay).addDays(1));
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs,
                      QStringLiteral("SELECT h.at, h.kind, h.sdate, h.cardcode, p.name, h.field, h.old_value,"
                                     " h.new_value, h.origin, h.undo_state, h.computer, h.username"
                                     " FROM history AS h LEFT JOIN %1.Plastra AS p ON p.code = h.cardcode"
                                     " WHERE h.at >= ? AND h.at < ? ORDER BY h.id DESC")
                          .arg(CardAlias()),
                      {firstDay, dayAfter}, error))
        return false;
    QList<QVariantList> rows;
    while (rs.next()) {
        QVariantList values;
        for (int c = 0; c < FieldCount; ++c)
            values.append(rs.value(c));
        rows.append(values);
    }
    if (!FinishRead(rs, error))
        return false;
    const bool redraw = sheet->reDraw();
    sheet->setReDraw(false);
    sheet->setMaxRows(int(rows.size()));
    for (int row = 1; row <= rows.size(); ++row)
        fillRow(sheet, row, ledger, rows.at(row - 1));
    sheet->setReDraw(redraw);
    return true;
}

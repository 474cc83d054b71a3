#include "data/ledger/HistoryRows.h"

#include "data/base/Clock.h"
#include "data/books/DbAccess.h"
#include "data/books/History.h"
#include "data/ledger/LedgerHistory.h"
#include "data/ledger/LedgerStore.h"

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

// An amount or slip count as a number; none for any other field or a value that is no number.
std::optional<Money> figureOf(const QString& field, const QVariant& value)
{
    const bool figure = field == QLatin1String("sale") || field == QLatin1String("fee") ||
                        field == QLatin1String("billcoll") || field == QLatin1String("numsheet");
    return figure && !value.isNull() ? Money::parse(value.toString()) : std::nullopt;
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

// The fields of a history row in the order LoadHistoryRows selects them.
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

HistoryRow rowOf(Database& ledger, const QVariantList& v)
{
    HistoryRow r;
    History::Kind kind = History::Kind::FieldChanged;
    History::KindFromText(v.value(FKind).toString(), &kind);
    const QString field = v.value(FField).toString();
    r.at = v.value(FAt).toString();
    r.kind = kindText(kind, v.value(FOrigin).toString());
    r.date = v.value(FDate).toString();
    const int card = v.value(FCard).toInt();
    if (card != 0)
        r.card = v.value(FCardName).isNull() ? QCoreApplication::translate("HistorySheet", "카드 %1").arg(card)
                                             : v.value(FCardName).toString();
    if (kind == History::Kind::FieldChanged) {
        r.field = LedgerHistory::FieldLabel(field);
        r.oldFigure = figureOf(field, v.value(FOld));
        r.newFigure = figureOf(field, v.value(FNew));
        if (!r.oldFigure)
            r.oldValue = LedgerHistory::ValueText(ledger, field, v.value(FOld));
        if (!r.newFigure)
            r.newValue = LedgerHistory::ValueText(ledger, field, v.value(FNew));
    } else if (kind == History::Kind::CarryOver || kind == History::Kind::Rebuild) {
        r.newValue = v.value(FNew).toString();
    } else {
        r.oldValue = wholeRowText(kind, v.value(FOld).toString());
        r.newValue = wholeRowText(kind, v.value(FNew).toString());
    }
    r.undone = v.value(FOrigin).isNull() && v.value(FUndoState).toInt() != History::InPlace;
    r.who = (v.value(FComputer).toString() + QLatin1Char(' ') + v.value(FUser).toString()).trimmed();
    return r;
}
} // namespace

bool LoadHistoryRows(Database& ledger, const QString& firstDay, const QString& lastDay, QList<HistoryRow>* rows,
                     ErrorInfo* error)
{
    rows->clear();
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
    // Read whole first: the words of a value may need another query (a card's name).
    QList<QVariantList> raw;
    while (rs.next()) {
        QVariantList values;
        for (int c = 0; c < FieldCount; ++c)
            values.append(rs.value(c));
        raw.append(values);
    }
    if (!FinishRead(rs, error))
        return false;
    rows->reserve(raw.size());
    for (const QVariantList& v : raw)
        rows->append(rowOf(ledger, v));
    return true;
}

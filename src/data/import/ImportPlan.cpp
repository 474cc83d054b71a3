#include "data/import/ImportPlan.h"

#include "data/books/DbAccess.h"
#include "data/import/ImportValues.h"
#include "data/ledger/LedgerStore.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlQuery>
#include <algorithm>

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ImportPlan)
};

using Status = ImportRow::Status;

// An amount column: blank or absent is 0; false with the reason otherwise.
bool readAmount(const ImportTable& t, int row, int col, const QString& label, Money* out, QString* why)
{
    const QString text = col >= 0 ? t.cell(row, col).trimmed() : QString();
    if (text.isEmpty()) {
        *out = Money();
        return true;
    }
    const std::optional<Money> m = ImportValues::ParseAmount(text);
    if (!m) {
        *why = ImportValues::FinerThanMoney(text)
                   ? Text::tr("%1이(가) 소수점 아래 넷째 자리보다 작은 단위까지 있습니다: %2").arg(label, text.left(40))
                   : Text::tr("%1이(가) 금액이 아닙니다: %2").arg(label, text.left(40));
        return false;
    }
    const Money limit = Money::fromWon(LedgerStore::kMaxAmountWon);
    if (*m > limit || *m < -limit) {
        *why = Text::tr("%1이(가) 범위를 벗어납니다: %2").arg(label, text.left(40));
        return false;
    }
    *out = *m;
    return true;
}

bool readSlips(const ImportTable& t, int row, int col, QVariant* out, QString* why)
{
    const QString text = col >= 0 ? t.cell(row, col).trimmed() : QString();
    if (text.isEmpty()) {
        *out = QVariant();
        return true;
    }
    const std::optional<Money> m = ImportValues::ParseAmount(text);
    if (!m || m->units() % Money::kScale != 0 || m->units() < 0 || m->units() / Money::kScale > 1'000'000) {
        *why = Text::tr("건수가 0 이상의 정수가 아닙니다: %1").arg(text.left(40));
        return false;
    }
    *out = int(m->units() / Money::kScale);
    return true;
}

struct Cards {
    QMap<QString, int> byName;
    QMap<int, QString> byCode;
    QHash<QString, ImportCardMatch> profiled; // the profile's lines by the file's card name
    QStringList fresh;                        // names registered with the import
};

// A statement's total and subtotal rows, by the label in their date or card column.
bool isTotalRow(const QString& dateText, const QString& cardText)
{
    // i18n-exempt-begin: labels of Korean statements
    static const QStringList kLabels{QStringLiteral("합계"),  QStringLiteral("소계"),    QStringLiteral("총계"),
                                     QStringLiteral("누계"),  QStringLiteral("합 계"),   QStringLiteral("소 계"),
                                     QStringLiteral("total"), QStringLiteral("subtotal")};
    // i18n-exempt-end
    for (const QString& label : kLabels)
        if (dateText.contains(label, Qt::CaseInsensitive) || cardText.contains(label, Qt::CaseInsensitive))
            return true;
    return false;
}

// The row's fields; the status stays Ready unless the row is refused or skipped.
void readRow(const ImportTable& t, int r, const ImportProfile& p, const Cards& cards, ImportRow* row)
{
    const auto refuse = [row](const QString& why) {
        row->status = Status::Refused;
        row->reason = why;
    };
    const QString dateText = t.cell(r, p.dateCol).trimmed();
    row->cardText = t.cell(r, p.cardCol).trimmed();
    // The export's own label rows ("[전기이월]", "[합 계]") count as undated.
    const bool label = dateText.startsWith(QLatin1Char('[')) && dateText.endsWith(QLatin1Char(']'));
    if (dateText.isEmpty() || (label && p.skipUndated)) {
        row->status = p.skipUndated ? Status::Skipped : Status::Refused;
        row->reason = Text::tr("일자가 없습니다");
        return;
    }
    if (p.skipUndated && isTotalRow(dateText, row->cardText)) {
        row->status = Status::Skipped;
        row->reason = Text::tr("합계·소계 행");
        return;
    }
    row->date = ImportValues::ParseDay(dateText);
    if (row->date.isEmpty())
        return refuse(Text::tr("일자가 아닙니다: %1").arg(dateText.left(40)));
    if (row->cardText.isEmpty())
        return refuse(Text::tr("카드명이 없습니다"));
    const auto profiled = cards.profiled.constFind(row->cardText);
    if (profiled != cards.profiled.cend() && !profiled->refusal().isEmpty())
        return refuse(profiled->refusal());
    row->card = profiled != cards.profiled.cend() ? profiled->card : cards.byName.value(row->cardText, 0);
    if (const qsizetype fresh = cards.fresh.indexOf(row->cardText); row->card == 0 && fresh >= 0) {
        row->card = kNewCardCode - int(fresh);
        row->cardName = row->cardText;
    } else if (row->card == 0 || !cards.byCode.contains(row->card)) {
        row->card = 0;
        return refuse(Text::tr("등록되지 않은 카드입니다: %1").arg(row->cardText.left(40)));
    } else {
        row->cardName = cards.byCode.value(row->card);
    }
    QString why;
    if (!readSlips(t, r, p.slipsCol, &row->slips, &why) ||
        !readAmount(t, r, p.saleCol, Text::tr("매출액"), &row->sale, &why) ||
        !readAmount(t, r, p.feeCol, Text::tr("수수료"), &row->fee, &why) ||
        !readAmount(t, r, p.payoutCol, Text::tr("카드사결제액"), &row->payout, &why))
        return refuse(why);
}

QString keyOf(const QString& date, int card, Money sale, Money fee, Money payout)
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(date).arg(card).arg(sale.units()).arg(fee.units()).arg(payout.units());
}

// How many entries of the ledger each key has, over the plan's days.
bool readLedgerKeys(Database& ledger, const ImportPlan& plan, QHash<QString, int>* keys, ErrorInfo* error)
{
    QString first, last;
    for (const ImportRow& r : plan.rows) {
        if (r.status != Status::Ready)
            continue;
        first = first.isEmpty() || r.date < first ? r.date : first;
        last = std::max(last, r.date);
    }
    if (first.isEmpty())
        return true;
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs,
                      QStringLiteral("SELECT sdate, cardcode, sale, fee, billcoll FROM Tallox"
                                     " WHERE sdate >= ? AND sdate <= ?"),
                      {first, last}, error))
        return false;
    while (rs.next())
        ++(*keys)[keyOf(rs.value(0).toString(), rs.value(1).toInt(), Money::fromUnits(rs.value(2).toLongLong()),
                        Money::fromUnits(rs.value(3).toLongLong()), Money::fromUnits(rs.value(4).toLongLong()))];
    return FinishRead(rs, error);
}

// The ready rows of each day and card company summed into the first of them
// (slips: the file's slips, a row without any counting as one sale); the
// others are marked merged. A sum beyond an entry's range refuses the group.
void mergeByDayAndCard(ImportPlan* p)
{
    QHash<QString, qsizetype> first; // date|card -> index of the group's entry
    QHash<qsizetype, QList<qsizetype>> members;
    for (qsizetype i = 0; i < p->rows.size(); ++i) {
        const ImportRow& row = p->rows[i];
        if (row.status != Status::Ready)
            continue;
        const QString key = row.date + QLatin1Char('|') + QString::number(row.card);
        const auto it = first.constFind(key);
        if (it == first.cend())
            first.insert(key, i);
        members[it == first.cend() ? i : *it].append(i);
    }
    const Money limit = Money::fromWon(LedgerStore::kMaxAmountWon);
    const auto inRange = [&limit](Money m) { return m <= limit && m >= -limit; };
    for (auto g = members.cbegin(); g != members.cend(); ++g) {
        ImportRow& entry = p->rows[g.key()];
        Money sale, fee, payout;
        qint64 slips = 0;
        bool ok = true;
        for (const qsizetype i : g.value()) {
            const ImportRow& r = p->rows[i];
            slips += r.slips.isNull() ? 1 : r.slips.toLongLong();
            ok = ok && Money::addTo(sale, r.sale) && Money::addTo(fee, r.fee) && Money::addTo(payout, r.payout);
        }
        ok = ok && inRange(sale) && inRange(fee) && inRange(payout) && slips <= 1'000'000;
        for (const qsizetype i : g.value()) {
            ImportRow& r = p->rows[i];
            if (!ok) {
                r.status = Status::Refused;
                r.reason = Text::tr("%1행부터 합친 금액이 범위를 벗어납니다").arg(entry.line);
            } else if (i != g.key()) {
                r.status = Status::Merged;
                r.reason = Text::tr("%1행에 합쳤습니다").arg(entry.line);
            }
        }
        if (ok) {
            entry.sale = sale;
            entry.fee = fee;
            entry.payout = payout;
            entry.slips = int(slips);
            if (g.value().size() > 1)
                entry.reason = Text::tr("%1행을 합쳤습니다").arg(g.value().size());
        }
    }
}
} // namespace

QString ImportCardMatch::refusal() const
{
    switch (kind) {
    case Kind::None:
        return Text::tr("프로필의 %1=%2에 맞는 카드가 장부에 없습니다").arg(fileName.left(40), target.left(40));
    case Kind::Several:
        return Text::tr("프로필의 %1=%2에 맞는 카드가 여럿입니다 (%3): 카드사 이름을 더 길게 적으세요")
            .arg(fileName.left(40), target.left(40), candidates.join(QStringLiteral(", ")).left(200));
    default:
        return QString();
    }
}

QString ImportCardMatch::warning() const
{
    if (kind != Kind::Code)
        return QString();
    return Text::tr("프로필의 %1=%2은(는) 카드 코드로 읽었습니다 (이 장부에서는 %3). "
                    "코드는 장부마다 다르니 카드사 이름으로 적으세요: %1=%3")
        .arg(fileName, target, cardName);
}

ImportCounts ImportPlan::counts() const
{
    ImportCounts c;
    for (const ImportRow& r : rows) {
        c.ready += r.stored() ? 1 : 0;
        c.duplicates += r.status == Status::Duplicate && !r.chosen ? 1 : 0;
        c.refused += r.status == Status::Refused ? 1 : 0;
        c.skipped += r.status == Status::Skipped ? 1 : 0;
        c.merged += r.status == Status::Merged ? 1 : 0;
    }
    return c;
}

QString ImportPlan::firstDay() const
{
    QString day;
    for (const ImportRow& r : rows)
        if (r.stored() && (day.isEmpty() || r.date < day))
            day = r.date;
    return day;
}

QString ImportPlan::lastDay() const
{
    QString day;
    for (const ImportRow& r : rows)
        if (r.stored())
            day = std::max(day, r.date);
    return day;
}

QStringList ImportPlan::unknownCards() const
{
    QStringList names;
    for (const ImportRow& r : rows)
        if (r.status == Status::Refused && r.card == 0 && !r.cardText.isEmpty() && !r.date.isEmpty() &&
            !names.contains(r.cardText))
            names.append(r.cardText);
    return names;
}

QStringList ImportPlan::warnings() const
{
    QStringList list;
    for (const ImportCardMatch& m : cardMatches)
        if (!m.warning().isEmpty())
            list.append(m.warning());
    return list;
}

namespace ImportPlanner {

ImportCardMatch MatchCard(const QMap<int, QString>& byCode, const QString& fileName, const QString& target)
{
    using Kind = ImportCardMatch::Kind;
    ImportCardMatch m;
    m.fileName = fileName;
    m.target = target.trimmed();
    const auto take = [&m](Kind kind, int code, const QString& name) {
        m.kind = kind;
        m.card = code;
        m.cardName = name;
        return m;
    };
    bool digits = !m.target.isEmpty();
    for (const QChar c : m.target)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (digits) {
        const int code = m.target.toInt();
        return byCode.contains(code) ? take(Kind::Code, code, byCode.value(code)) : m;
    }
    QList<int> exact, part;
    for (auto it = byCode.cbegin(); it != byCode.cend(); ++it) {
        if (it.value() == m.target)
            exact.append(it.key());
        else if (!m.target.isEmpty() && it.value().contains(m.target, Qt::CaseInsensitive))
            part.append(it.key());
    }
    const QList<int>& found = exact.isEmpty() ? part : exact;
    if (found.size() == 1)
        return take(exact.isEmpty() ? Kind::Part : Kind::Exact, found.first(), byCode.value(found.first()));
    if (found.size() > 1) {
        m.kind = Kind::Several;
        for (const int code : found)
            m.candidates.append(byCode.value(code));
    }
    return m;
}

bool ReadCards(Database& ledger, QMap<QString, int>* byName, QMap<int, QString>* byCode, ErrorInfo* error)
{
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, QStringLiteral("SELECT code, name FROM %1.Plastra ORDER BY code").arg(CardAlias()),
                      {}, error))
        return false;
    while (rs.next()) {
        const QString name = rs.value(1).toString().trimmed();
        byCode->insert(rs.value(0).toInt(), name);
        if (!byName->contains(name)) // the lowest code of a name used twice
            byName->insert(name, rs.value(0).toInt());
    }
    return FinishRead(rs, error);
}

bool Build(Database& ledger, const ImportTable& table, const ImportProfile& profile, ImportPlan* plan, ErrorInfo* error,
           const QStringList& newCards)
{
    Cards cards;
    if (!ReadCards(ledger, &cards.byName, &cards.byCode, error))
        return false;
    cards.fresh = newCards;
    ImportPlan p;
    for (auto it = profile.cards.cbegin(); it != profile.cards.cend(); ++it) {
        p.cardMatches.append(MatchCard(cards.byCode, it.key(), it.value()));
        cards.profiled.insert(it.key(), p.cardMatches.constLast());
    }
    for (int r = std::max(profile.skipRows, 0); r < table.rows.size(); ++r) {
        ImportRow row;
        row.line = r + 1;
        if (IsBlankRow(table.rows[r]))
            row.status = Status::Skipped;
        else if (table.oversizedRows.contains(r)) {
            row.status = Status::Refused;
            row.reason = Text::tr("칸이 너무 깁니다 (%1자 넘음)").arg(ImportLimits::kMaxCellChars);
        } else
            readRow(table, r, profile, cards, &row);
        p.rows.append(row);
    }
    if (profile.mergeDayCard)
        mergeByDayAndCard(&p);
    QHash<QString, int> ledgerKeys;
    if (!readLedgerKeys(ledger, p, &ledgerKeys, error))
        return false;
    // The first rows of a key are the ones the ledger holds; the rest are new sales.
    for (ImportRow& row : p.rows) {
        if (row.status != Status::Ready)
            continue;
        int& held = ledgerKeys[keyOf(row.date, row.card, row.sale, row.fee, row.payout)];
        if (held > 0) {
            --held;
            row.status = Status::Duplicate;
            row.reason = Text::tr("원장에 같은 자료가 있습니다");
        }
    }
    *plan = p;
    return true;
}

} // namespace ImportPlanner

#include "settlement/Settlement.h"

#include "core/DbAccess.h"
#include "core/LedgerSql.h"
#include "summary/SumBillData.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QSqlQuery>
#include <algorithm>

namespace {
struct DayTotal {
    QDate day;
    Money sales, fees, payouts;
};

struct CardRow {
    int code = 0;
    QString name;
    double rate = 0.0;
    int setday = 0;
};

// A day's net not yet paid, in pay-out order.
struct DueItem {
    QDate sale, due;
    Money left;
};

// Sums across rows go through the checked adds; the first overflow sticks.
class Sums {
public:
    void add(Money& total, Money v) { m_ok = m_ok && Money::addTo(total, v); }
    void sub(Money& total, Money v) { add(total, Money() - v); }
    bool ok() const { return m_ok; }

private:
    bool m_ok = true;
};

QString DayTotalsSql(bool oneCard)
{
    return QStringLiteral("SELECT cardcode, sdate, SUM(sale), SUM(fee), SUM(billcoll) FROM Tallox"
                          " WHERE sdate <= ? AND %1%2 GROUP BY cardcode, sdate ORDER BY cardcode, sdate")
        .arg(RealDaySql(), oneCard ? QStringLiteral(" AND cardcode = ?") : QString());
}

bool LoadCards(Database& ledger, int card, QList<CardRow>* cards, ErrorInfo* error)
{
    QSqlQuery rs;
    const QString sql = QStringLiteral("SELECT code, name, fee, setday FROM %1.Plastra%2 ORDER BY name, code")
                            .arg(CardAlias(), card != 0 ? QStringLiteral(" WHERE code = ?") : QString());
    if (!OpenSnapshot(ledger, rs, sql, card != 0 ? QVariantList{card} : QVariantList{}, error))
        return false;
    while (rs.next())
        cards->append({rs.value(0).toInt(), rs.value(1).toString(), rs.value(2).toDouble(), rs.value(3).toInt()});
    return FinishRead(rs, error);
}

bool LoadDayTotals(Database& ledger, const QDate& day, int card, QHash<int, QList<DayTotal>>* totals, QList<int>* order,
                   ErrorInfo* error)
{
    QSqlQuery rs;
    QVariantList binds{day.toString(Qt::ISODate)};
    if (card != 0)
        binds << card;
    if (!OpenSnapshot(ledger, rs, DayTotalsSql(card != 0), binds, error))
        return false;
    bool amounts = true;
    while (amounts && rs.next()) {
        const int code = rs.value(0).toInt();
        DayTotal t;
        t.day = QDate::fromString(rs.value(1).toString(), Qt::ISODate);
        amounts =
            ReadMoney(rs.value(2), &t.sales) && ReadMoney(rs.value(3), &t.fees) && ReadMoney(rs.value(4), &t.payouts);
        auto it = totals->find(code);
        if (it == totals->end()) {
            order->append(code);
            it = totals->insert(code, {});
        }
        it->append(t);
    }
    if (!FinishRead(rs, error))
        return false;
    return amounts || fail(error, NotAnAmount());
}

// One pass over a card's day totals, oldest first. A day whose fees exceed
// its sales (cancellations) takes back the latest days not yet paid.
bool Settle(const QList<DayTotal>& days, const Holidays& holidays, const QDate& from, const QDate& day,
            SettlementLine* line)
{
    Sums s;
    QList<DueItem> items;
    Money sold, credit;
    for (const DayTotal& d : days) {
        Money net = d.sales;
        s.sub(net, d.fees);
        s.add(line->paidBy, d.payouts);
        s.add(sold, net);
        if (d.day >= from) {
            s.add(line->periodSales, d.sales);
            s.add(line->periodFees, d.fees);
        }
        if (net > Money()) {
            items.append({d.day, holidays.addBusinessDays(d.day, line->setday), net});
            continue;
        }
        Money take = Money() - net;
        while (take > Money() && !items.isEmpty()) {
            Money& last = items.last().left;
            const Money used = std::min(last, take);
            last -= used;
            take -= used;
            if (last.isZero())
                items.removeLast();
        }
        s.add(credit, take);
    }
    line->outstanding = sold;
    s.sub(line->outstanding, line->paidBy);
    // Pay-outs settle the oldest amounts due first, then those still to come.
    Money pool = line->paidBy;
    s.add(pool, credit);
    for (const DueItem& item : items) {
        const Money used = std::clamp(pool, Money(), item.left);
        pool -= used;
        const Money rest = item.left - used;
        if (item.due <= day) {
            s.add(line->dueBy, item.left);
            if (rest.isZero())
                continue;
            s.add(line->overdue, rest);
            if (item.due == day)
                s.add(line->dueToday, rest);
            if (line->oldestUnpaid.isNull()) {
                line->oldestUnpaid = item.sale;
                line->oldestDue = item.due;
            }
        } else if (const qint64 i = day.daysTo(item.due) - 1; i < kUpcomingDays) {
            s.add(line->upcoming[size_t(i)], rest);
        }
    }
    Money ahead = line->paidBy;
    s.add(ahead, credit);
    s.sub(ahead, line->dueBy);
    line->paidAhead = std::max(ahead, Money());
    if (!line->oldestDue.isNull())
        line->daysLate = holidays.businessDaysBetween(line->oldestDue, day);
    return s.ok();
}
} // namespace

std::optional<double> SettlementLine::keptRate() const
{
    if (periodSales.isZero())
        return std::nullopt;
    return periodFees.toDouble() * 100.0 / periodSales.toDouble();
}

std::optional<double> SettlementLine::feeDifference() const
{
    const std::optional<double> kept = keptRate();
    // Rates are shown to two places: a hair past the tolerance is rounding, not a difference.
    if (!kept || qAbs(*kept - cardRate) <= kFeeTolerance + 1e-9)
        return std::nullopt;
    return *kept - cardRate;
}

QList<SettlementLine> Settlement::overdueBeyond(int days) const
{
    QList<SettlementLine> late;
    for (const SettlementLine& l : lines) {
        if (l.overdueBeyond(days))
            late.append(l);
    }
    return late;
}

bool LoadSettlement(Database& ledger, const Holidays& holidays, const QDate& from, const QDate& day, int card,
                    Settlement* out, ErrorInfo* error)
{
    Settlement result;
    result.from = from;
    result.day = day;
    result.holidaySource = holidays.source();
    QList<CardRow> cards;
    QHash<int, QList<DayTotal>> totals;
    QList<int> codes;
    {
        // The cards and the ledger as of one moment.
        const ReadSnapshot snapshot(ledger);
        if (!snapshot.ok(error) || !LoadCards(ledger, card, &cards, error) ||
            !LoadDayTotals(ledger, day, card, &totals, &codes, error))
            return false;
    }
    // Codes of the ledger without a card row come last, by code, as in the summary.
    std::sort(codes.begin(), codes.end());
    for (const CardRow& c : cards)
        codes.removeOne(c.code);
    for (int code : codes)
        cards.append({code, MissingCardName(code), 0.0, 0});
    QDate earliest = from;
    for (const CardRow& c : cards) {
        SettlementLine line;
        line.cardCode = c.code;
        line.name = c.name;
        line.cardRate = c.rate;
        line.setday = qMax(0, c.setday);
        if (!Settle(totals.value(c.code), holidays, from, day, &line))
            return fail(error, MoneyOverflow());
        if (!line.oldestUnpaid.isNull())
            earliest = std::min(earliest, line.oldestUnpaid);
        result.lines.append(line);
    }
    result.uncoveredYears = holidays.missingYears(earliest, day.addDays(kUpcomingDays));
    *out = std::move(result);
    return true;
}

QString OverdueNotice(const Settlement& s, int days)
{
    const QList<SettlementLine> late = s.overdueBeyond(days);
    if (late.isEmpty())
        return {};
    Money total;
    const SettlementLine* oldest = nullptr;
    for (const SettlementLine& l : late) {
        if (!Money::addTo(total, l.overdue))
            return {};
        if (!oldest || l.oldestUnpaid < oldest->oldestUnpaid)
            oldest = &l;
    }
    return QCoreApplication::translate("Settlement", "미입금 %1곳 %2원, 가장 오래된 것 %3 %4")
        .arg(late.size())
        .arg(total.toDisplayString(0), oldest->oldestUnpaid.toString(Qt::ISODate), oldest->name);
}

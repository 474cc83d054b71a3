#include "data/settlement/Settlement.h"

#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/books/SharedQueries.h"
#include "data/summary/SumBillData.h"

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
                          " WHERE sdate BETWEEN ? AND ? AND %1%2 GROUP BY cardcode, sdate ORDER BY cardcode, sdate")
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

// The day totals of `first` .. `last` by card, oldest first.
bool LoadDayTotals(Database& ledger, const QDate& first, const QDate& last, int card,
                   QHash<int, QList<DayTotal>>* totals, ErrorInfo* error)
{
    QSqlQuery rs;
    QVariantList binds{first.toString(Qt::ISODate), last.toString(Qt::ISODate)};
    if (card != 0)
        binds << card;
    if (!OpenSnapshot(ledger, rs, DayTotalsSql(card != 0), binds, error))
        return false;
    bool amounts = true;
    while (amounts && rs.next()) {
        DayTotal t;
        t.day = QDate::fromString(rs.value(1).toString(), Qt::ISODate);
        amounts =
            ReadMoney(rs.value(2), &t.sales) && ReadMoney(rs.value(3), &t.fees) && ReadMoney(rs.value(4), &t.payouts);
        (*totals)[rs.value(0).toInt()].append(t);
    }
    if (!FinishRead(rs, error))
        return false;
    return amounts || fail(error, NotAnAmount());
}

// Sales and fees of `first` .. `last` by card, for a fee period that starts
// before the days loaded.
bool LoadPeriodSums(Database& ledger, const QDate& first, const QDate& last, int card,
                    QHash<int, std::pair<Money, Money>>* sums, ErrorInfo* error)
{
    QSqlQuery rs;
    QVariantList binds{first.toString(Qt::ISODate), last.toString(Qt::ISODate)};
    if (card != 0)
        binds << card;
    const QString sql = QStringLiteral("SELECT cardcode, SUM(sale), SUM(fee) FROM Tallox WHERE sdate BETWEEN ? AND ?"
                                       " AND %1%2 GROUP BY cardcode")
                            .arg(RealDaySql(), card != 0 ? QStringLiteral(" AND cardcode = ?") : QString());
    if (!OpenSnapshot(ledger, rs, sql, binds, error))
        return false;
    bool amounts = true;
    while (amounts && rs.next()) {
        std::pair<Money, Money>& p = (*sums)[rs.value(0).toInt()];
        amounts = ReadMoney(rs.value(1), &p.first) && ReadMoney(rs.value(2), &p.second);
    }
    if (!FinishRead(rs, error))
        return false;
    return amounts || fail(error, NotAnAmount());
}

// What a card carries into the first day loaded: the balance brought
// forward (sales less fees less pay-outs before it, from the carry-over
// table) is, since pay-outs settle the oldest amounts first, the newest days'
// sales not yet paid, or a credit when it is negative.
struct CarriedIn {
    Money balance;
    QList<DueItem> items; // oldest first
    bool complete = false;
    Money skip; // cancellations met going back, taken from the days before them
};

// Takes, going back in time, the days that make up what is carried in.
void TakeCarriedDays(const QList<DayTotal>& newestLast, const Holidays& holidays, int setday, CarriedIn* c)
{
    Money need = c->balance;
    for (const DueItem& i : c->items)
        need -= i.left;
    for (auto it = newestLast.crbegin(); it != newestLast.crend() && need > Money(); ++it) {
        const Money net = it->sales - it->fees;
        if (net < Money()) {
            c->skip -= net;
            continue;
        }
        const Money skipped = std::min(c->skip, net);
        c->skip -= skipped;
        const Money take = std::min(net - skipped, need);
        if (take > Money()) {
            c->items.prepend({it->day, holidays.addBusinessDays(it->day, setday), take});
            need -= take;
        }
    }
    c->complete = need <= Money();
}

// One pass over a card's day totals, oldest first, after what it carries in.
// A day whose fees exceed its sales (cancellations) takes back the latest
// days not yet paid.
bool Settle(const CarriedIn& carried, const QList<DayTotal>& days, const Holidays& holidays, const QDate& from,
            const QDate& day, SettlementLine* line)
{
    Sums s;
    QList<DueItem> items = carried.items;
    Money paid, credit;
    Money sold = carried.balance; // less what was paid before the days loaded
    if (carried.balance < Money())
        s.sub(credit, carried.balance);
    for (const DayTotal& d : days) {
        Money net = d.sales;
        s.sub(net, d.fees);
        s.add(paid, d.payouts);
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
    s.sub(line->outstanding, paid);
    // Pay-outs settle the oldest amounts due first, then those still to come.
    Money pool = paid;
    s.add(pool, credit);
    Money dueBy;
    for (const DueItem& item : items) {
        const Money used = std::clamp(pool, Money(), item.left);
        pool -= used;
        const Money rest = item.left - used;
        if (item.due <= day) {
            s.add(dueBy, item.left);
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
    Money ahead = paid;
    s.add(ahead, credit);
    s.sub(ahead, dueBy);
    line->paidAhead = std::max(ahead, Money());
    if (!line->oldestDue.isNull())
        line->daysLate = holidays.businessDaysBetween(line->oldestDue, day);
    return s.ok();
}

// The last day whose balance is carried in: a month's end at least a month
// back, early enough that every sale up to it is due by `day`, so that only
// the last weeks of the ledger are read day by day.
QDate CarryDay(const QDate& day, int maxSetday, const Holidays& holidays)
{
    QDate end = QDate(day.year(), day.month(), 1).addMonths(-1).addDays(-1);
    while (holidays.addBusinessDays(end, maxSetday) >= day)
        end = QDate(end.year(), end.month(), 1).addDays(-1);
    return end;
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
    QHash<int, Money> carriedBalance;
    QHash<int, CarriedIn> carried;
    QHash<int, std::pair<Money, Money>> periodBefore;
    // The cards and the ledger as of one moment.
    const ReadSnapshot snapshot(ledger);
    if (!snapshot.ok(error) || !LoadCards(ledger, card, &cards, error))
        return false;
    int maxSetday = 0;
    for (const CardRow& c : cards)
        maxSetday = qMax(maxSetday, c.setday);
    const QDate carryDay = CarryDay(day, maxSetday, holidays);
    if (!PrevBalancesByCard(ledger, carryDay.addDays(1).toString(Qt::ISODate), &carriedBalance, error, card) ||
        !LoadDayTotals(ledger, carryDay.addDays(1), day, card, &totals, error))
        return false;
    if (from <= carryDay && !LoadPeriodSums(ledger, from, carryDay, card, &periodBefore, error))
        return false;
    // Codes of the ledger without a card row come last, by code, as in the summary.
    QList<int> codes = totals.keys() + carriedBalance.keys();
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    for (const CardRow& c : cards)
        codes.removeOne(c.code);
    for (int code : codes)
        cards.append({code, MissingCardName(code), 0.0, 0});
    // What each card owed on the carry day, as its newest days not yet paid:
    // a month before it, then twice as far back, until every balance is found.
    QHash<int, int> setdays;
    for (const CardRow& c : cards) {
        setdays.insert(c.code, qMax(0, c.setday));
        if (const Money b = carriedBalance.value(c.code); !b.isZero())
            carried.insert(c.code, {b, {}, b < Money(), Money()});
    }
    const QVariant first = ledger.scalar(QStringLiteral("SELECT MIN(sdate) FROM Tallox WHERE sdate >= '0001'"));
    const QDate firstDay = QDate::fromString(first.toString(), Qt::ISODate);
    QDate last = carryDay;
    for (int months = 1; firstDay.isValid() && last >= firstDay; months *= 2) {
        int open = 0;
        for (const CarriedIn& c : std::as_const(carried))
            open += c.complete ? 0 : 1;
        if (open == 0)
            break;
        const QDate back = QDate(last.year(), last.month(), 1).addMonths(1 - months);
        QHash<int, QList<DayTotal>> older;
        if (!LoadDayTotals(ledger, back, last, card, &older, error))
            return false;
        for (auto it = carried.begin(); it != carried.end(); ++it) {
            if (!it->complete)
                TakeCarriedDays(older.value(it.key()), holidays, setdays.value(it.key()), &*it);
        }
        last = back.addDays(-1);
    }
    // A balance the ledger's sales cannot explain (a carry-over row out of
    // step, pay-outs taken back) stays owed from the oldest day found.
    for (auto it = carried.begin(); it != carried.end(); ++it) {
        Money need = it->balance;
        for (const DueItem& i : std::as_const(it->items))
            need -= i.left;
        if (need > Money()) {
            const QDate sale = it->items.isEmpty() ? carryDay : it->items.first().sale;
            it->items.prepend({sale, holidays.addBusinessDays(sale, setdays.value(it.key())), need});
        }
    }
    QDate earliest = from;
    for (const CardRow& c : cards) {
        SettlementLine line;
        line.cardCode = c.code;
        line.name = c.name;
        line.cardRate = c.rate;
        line.setday = setdays.value(c.code);
        const std::pair<Money, Money> before = periodBefore.value(c.code);
        line.periodSales = before.first;
        line.periodFees = before.second;
        if (!Settle(carried.value(c.code), totals.value(c.code), holidays, from, day, &line))
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

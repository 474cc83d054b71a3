#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"
#include "data/settlement/Holidays.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// What each card company still owes on a day, from the ledger alone: a day's
// sales less fees fall due `setday` business days later (Plastra.setday), the
// pay-outs (billcoll) settle the oldest amounts due first.

// The expected pay-outs are shown for this many days after the day.
inline constexpr int kUpcomingDays = 14;
// A kept fee rate further than this from the card's rate (percentage points) is marked.
inline constexpr double kFeeTolerance = 0.05;

struct SettlementLine {
    int cardCode = 0;
    QString name;
    int setday = 0;
    double cardRate = 0.0;                       // the card's fee rate in percent
    Money outstanding;                           // sold less fees, not yet paid (negative: paid more than sold)
    Money dueBy;                                 // sales less fees whose pay-out day is on or before the day
    Money paidBy;                                // pay-outs recorded up to the day
    Money overdue;                               // due by the day and not paid
    Money dueToday;                              // the part of `overdue` that falls due on the day itself
    Money paidAhead;                             // paid beyond what was due: an early pay-out or an entry mistake
    QDate oldestUnpaid;                          // sale date of the oldest amount due and not paid; null when none
    QDate oldestDue;                             // that amount's pay-out day
    int daysLate = 0;                            // business days after `oldestDue` up to the day
    std::array<Money, kUpcomingDays> upcoming{}; // still to come on day+1 .. day+14
    Money periodSales, periodFees;               // sales and fees of the period, for the fee check

    // The fee kept over the period in percent of its sales; none without sales.
    std::optional<double> keptRate() const;
    // Kept rate less the card's rate, when it is further off than kFeeTolerance.
    std::optional<double> feeDifference() const;
    bool overdueBeyond(int days) const { return overdue > Money() && daysLate > days; }
};

struct Settlement {
    QDate from; // the period whose fees are checked: from .. day
    QDate day;  // "today" of the figures
    QList<SettlementLine> lines;
    QString holidaySource;
    // Years the figures reach (the period, the oldest unpaid sale, the next
    // 14 days) that the holiday file does not cover: their due days count
    // weekends only.
    QList<int> uncoveredYears;

    QDate upcomingDay(int i) const { return day.addDays(i + 1); }
    QList<SettlementLine> overdueBeyond(int days) const;
};

// Loads the figures of `day` for every card company (registered ones by name,
// then codes of the ledger without a card, as the summary lists them), or of
// the one `card` (0: all). Set based: what each card owed a month or two back
// comes from the carry-over table (PrevBalancesByCard) and is, pay-outs
// settling the oldest first, its newest days not yet paid; the ledger's last
// weeks are summed by card and day in one query, then one pass per card over
// its day totals. Needs the ledger connection with the card database
// attached. False when a query failed, an amount is no integer or a sum
// leaves the range of money.
bool LoadSettlement(Database& ledger, const Holidays& holidays, const QDate& from, const QDate& day, int card,
                    Settlement* out, ErrorInfo* error = nullptr);

// "미입금 2곳 1,234,000원, 가장 오래된 것 2026-12-01 BC카드": the start notice; empty
// when no card company is overdue by more than `days` business days.
QString OverdueNotice(const Settlement& s, int days);

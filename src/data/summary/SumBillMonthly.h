#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The card summary month by month: what the summary window's chart draws.

// One card company's figures, one per month of the period.
struct MonthlyCardFigures {
    int cardCode = 0;
    QString name;       // as on the summary sheet (MissingCardName for a deleted card)
    QList<Money> sales; // indexed like MonthlySummary::months
    QList<Money> fees;
};

// The most bars a chart draws: a longer period is drawn in whole years, then
// decades, centuries, so that thousands of years cost no more than ten.
inline constexpr int kMaxChartBars = 120;

struct MonthlySummary {
    QString from, to; // the period, "YYYY-MM-DD"
    // One label per bar, in order, over every month the period touches:
    // "YYYY-MM" while the period has at most kMaxChartBars months, else
    // "YYYY" per year, or "YYYY~YYYY" per decade or century.
    QStringList months;
    int monthsPerBar = 1;            // 1, 12, 120, 1200, ...
    QList<MonthlyCardFigures> cards; // the cards with sales or fees in the period, in the sheet's order
    QList<Money> monthSales;         // all cards together, per month
};

// The fee rate actually paid, fees / sales in percent; none without sales.
std::optional<double> FeeRatePercent(Money fees, Money sales);

// The sales and fees of the period `from`..`to` by month (or longer bar) and card, from one
// grouped query; entries whose date is no real day are left out as on the
// summary sheet. Needs the ledger connection with the card database attached.
// False when the query failed, an amount is no integer or a month's total
// leaves the range of money (`error` says why); `out` is then empty.
bool LoadMonthlySummary(Database& ledger, const QString& from, const QString& to, MonthlySummary* out,
                        ErrorInfo* error = nullptr);

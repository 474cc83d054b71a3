#pragma once

#include "core/Money.h"
#include "platform/Database.h"

#include <QHash>
#include <QList>
#include <QString>

class SpreadGrid;

// The figures of the card summary, apart from any window, so that the
// summary window and the command line build the same sheet.

// One line of the summary: a card company with at least one ledger entry.
struct SumBillLine {
    int cardCode = 0;
    QString name;
    qint64 slips = 0;  // slip count in the period
    Money prevBalance; // brought forward into the period
    Money sales;
    Money fees;
    Money payouts; // bill collection
    Money balance() const { return prevBalance + sales - fees - payouts; }
};

// The brought-forward balance of every card that has a carry-over row before
// the month of `periodStart`, in a fixed number of statements whatever the
// number of cards. Each value equals GetPrevBalance(ledger, periodStart, card);
// cards that are missing have 0. False when a query failed or the date is no
// day (the message has been shown).
bool PrevBalancesByCard(Database& ledger, const QString& periodStart, QHash<int, Money>* balances);

// The lines of the period `from`..`to` (texts "YYYY-MM-DD"), ordered by card
// name: every card of the attached card table that has a ledger entry at any
// date. Needs the ledger connection with the card database attached. False
// when a query failed (its message has been shown); `lines` is then empty.
bool LoadSumBillLines(Database& ledger, const QString& from, const QString& to, QList<SumBillLine>* lines);

// The summary window's caption, also the title of its printout.
inline QString SumBillCaption() {
    return QStringLiteral("카드사별 집계");
}

// Column layout of the summary grid.
namespace SumBillCol {
enum : int { Name = 1, Slips, PrevBalance, Sales, Fees, Payouts, Balance, Count = Balance };
}

// Gives the grid the summary's seven columns (headers, widths, number formats).
void DesignSumBillSheet(SpreadGrid* grid);

// Writes the lines into the grid (previous rows are dropped), then the totals
// row with its sum formulas for columns 2 to 7. A grid without the summary's
// columns is designed first as the window designs its list.
void FillSumBillSheet(SpreadGrid* grid, const QList<SumBillLine>& lines);

// Loads the period and fills the grid (see FillSumBillSheet); on a failed
// query the grid stays without rows and false is returned.
bool BuildSumBillSheet(Database& ledger, SpreadGrid* grid, const QString& from, const QString& to);

#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>

// The figures of the card summary, apart from any window, so that the
// summary window and the command line build the same sheet.

// One line of the summary: a card code with at least one ledger entry.
struct SumBillLine {
    int cardCode = 0;
    QString name;
    qint64 slips = 0;  // slip count in the period
    Money prevBalance; // brought forward into the period
    Money sales;
    Money fees;
    Money payouts; // bill collection
    // In range for every line LoadSumBillLines gives.
    Money balance() const { return prevBalance + sales - fees - payouts; }
};

// The name of a line whose card is no longer registered: "(삭제된 카드 N)".
QString MissingCardName(int code);

// The lines of the period `from`..`to` (texts "YYYY-MM-DD"): one for every
// card code that has a ledger entry at any date, so that the totals are the
// ledger's. Registered cards come first, by name then code; then the codes
// without a card row, by code, named by MissingCardName. Needs the ledger
// connection with the card database attached. False when a query failed, an
// amount is no integer or a balance or total leaves the range of money
// (`error` says why); `lines` is then empty.
bool LoadSumBillLines(Database& ledger, const QString& from, const QString& to, QList<SumBillLine>* lines,
                      ErrorInfo* error = nullptr);

// The summary window's caption, also the title of its printout.
inline QString SumBillCaption()
{
    return QCoreApplication::translate("SumBillData", "카드사별 집계");
}

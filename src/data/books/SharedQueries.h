#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QHash>
#include <QList>
#include <QString>

// Queries shared by the windows and the command line. None shows anything:
// a failure comes back in `error`.

// A card company as the filters list it.
struct CardName {
    int code = 0;
    QString name;
};

// Every card by name (then code).
bool ListCardNames(Database& card, QList<CardName>* cards, ErrorInfo* error);

// The largest value of `field` in `table` plus one (1 for an empty table), -1
// when the query fails. Table and field are program constants; anything that
// is not a plain identifier is refused (-1) rather than pasted into SQL.
int GetNextCode(Database& db, const QString& table, const QString& field, ErrorInfo* error = nullptr);

// The balance brought forward into a period starting on `periodStart`
// ("YYYY-MM-DD") for every card that has a carry-over row before the
// period's month (or for `cardCode` alone when it is > 0): its latest such
// row plus the net of its entries after that month and before the period.
// A fixed number of statements whatever the number of cards. False, with
// `balances` empty, when the date is no day or a query failed; a null
// carry-over amount is an error, never read as 0.
bool PrevBalancesByCard(Database& ledger, const QString& periodStart, QHash<int, Money>* balances,
                        ErrorInfo* error = nullptr, int cardCode = 0);

// The same summed: one card, or card 0 for all cards. 0 with `error` set when
// the balance cannot be computed (never a partial sum).
Money GetPrevBalance(Database& ledger, const QString& periodStart, int cardCode, ErrorInfo* error = nullptr);

// The card's fee rate in percent, 0 when the card or its rate is missing
// (and with `error` set when the query failed or the rate is no number).
double GetFee(Database& card, int cardCode, ErrorInfo* error = nullptr);

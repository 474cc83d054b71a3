#pragma once

#include "core/Money.h"
#include "platform/Database.h"

#include <QString>

class QComboBox;
class QWidget;

// Queries and small window routines shared by the windows.

// Fills a card combo box: an empty item (item data 0, "all cards") selected,
// then every card by name with its code as item data.
void FillPlastra(Database& card, QComboBox* combo);

// The largest value of `field` in `table` plus one (1 for an empty table), -1
// when the query fails. Table and field are program constants; anything that
// is not a plain identifier is refused (-1) rather than pasted into SQL.
int GetNextCode(Database& db, const QString& table, const QString& field);

// The balance brought forward into a period starting on `periodStart`
// ("YYYY-MM-DD"): per card, its latest carry-over row before the period's
// month plus the net of its entries after that month and before the period.
// Card 0 sums every card that has carry-over rows. Needs the ledger connection.
Money GetPrevBalance(Database& ledger, const QString& periodStart, int cardCode);

// The card's fee rate in percent, 0 when the card or its rate is missing.
double GetFee(Database& card, int cardCode);

// Centres a window on its screen unless it has been placed already; with
// `takeIcon` it gets the application's icon.
void CenterForm(QWidget* w, bool takeIcon);

// Asks the input method of the focused widget for Hangul (true) or Latin
// (false) input: input method hints are as far as Qt goes.
void SetImeMode(bool hangul);

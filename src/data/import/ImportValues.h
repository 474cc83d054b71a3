#pragma once

#include "data/base/Money.h"

#include <QString>
#include <optional>

// The amount and date forms of card-sales files.
namespace ImportValues {

// "1,234,000", "1234000", "₩1,234,000", "1,234,000원", "(1,000)", "-1,000",
// "1234.5": the amount; nullopt for anything else. An empty cell is no
// amount either: the caller decides what a blank means. An amount finer than
// the ledger holds (ten-thousandths of a won) is refused, never rounded.
std::optional<Money> ParseAmount(const QString& text);
// An amount of the forms above with a digit other than 0 beyond the fourth decimal.
bool FinerThanMoney(const QString& text);

// "2026-12-07", "2026.12.07", "2026. 12. 7.", "2026/12/07", "20261207",
// "26-12-07" (2000s), optionally followed by a time of day: "YYYY-MM-DD";
// empty when the text is no real day.
QString ParseDay(const QString& text);

// An Excel date serial (days since 1899-12-30, or since 1904-01-01 for a
// 1904-based workbook) as "YYYY-MM-DD"; empty out of Excel's range.
QString DayFromSerial(double serial, bool base1904 = false);

} // namespace ImportValues

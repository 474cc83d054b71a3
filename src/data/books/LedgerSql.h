#pragma once

#include <QString>

// SQL that the queries over ledger entries share, so that they all agree on
// which entries count.

// True (1, never NULL) for an entry whose date is a real day written
// YYYY-MM-DD. An entry with any other date text (stored by another program:
// "2025-02-30", "", "2025-2-5") belongs to no period and no month: no sheet
// lists it, no balance or sum counts it, and the carry-over check names it.
// date() gives back the text only for such a day: its modifier makes SQLite
// carry a day past the month's end into the next month (date('2025-02-30')
// alone stays as typed), and years before 0001 are no days for Tallox.
// Written so that it also runs on a server, whose schema gives date() the same meaning.
inline QString RealDaySql(const QString& column = QStringLiteral("sdate"))
{
    return QStringLiteral("(CASE WHEN %1 >= '0001' AND date(%1, '+0 days') = %1 THEN 1 ELSE 0 END = 1)").arg(column);
}

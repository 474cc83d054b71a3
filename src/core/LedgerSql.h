#pragma once

#include <QString>

// SQL that the queries over ledger entries share, so that they all agree on
// which entries count.

// True (1, never NULL) for an entry whose date is a real day written
// YYYY-MM-DD. An entry with any other date text (stored by another program:
// "2025-02-30", "", "2025-2-5") belongs to no period and no month: no sheet
// lists it, no balance or sum counts it, and the carry-over check names it.
// Days 01 to 28 of months 01 to 12 are always real; only later days need
// date(), the costly part. Its modifier makes SQLite carry a day past the
// month's end into the next month (date('2025-02-30') alone stays as typed).
inline QString RealDaySql(const QString& column = QStringLiteral("sdate"))
{
    return QStringLiteral("(CASE WHEN %1 GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]' AND %1 >= '0001'"
                          " THEN CASE WHEN substr(%1, 6, 2) NOT BETWEEN '01' AND '12' THEN 0"
                          " WHEN substr(%1, 9, 2) BETWEEN '01' AND '28' THEN 1"
                          " ELSE date(%1, '+0 days') IS %1 END ELSE 0 END)")
        .arg(column);
}

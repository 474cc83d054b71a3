#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QList>
#include <QString>
#include <optional>

// One stored change as the history sheet shows it, in words.
struct HistoryRow {
    QString at;   // when, "YYYY-MM-DD HH:MM:SS"
    QString kind; // what happened, "(실행 취소)" or "(다시 실행)" added for an undo or redo
    QString date; // the entry's date
    QString card; // the card company's name, "카드 N" when it is gone, empty for none
    QString field;
    QString oldValue;
    QString newValue;
    // A changed amount or slip count as a number, so that a workbook holds numbers.
    std::optional<Money> oldFigure;
    std::optional<Money> newFigure;
    bool undone = false; // a change later undone
    QString who;         // computer and user
};

// The changes made from `firstDay` to `lastDay`, newest first. Books that
// keep no history yet give none. False with `error` when the query failed.
bool LoadHistoryRows(Database& ledger, const QString& firstDay, const QString& lastDay, QList<HistoryRow>* rows,
                     ErrorInfo* error);

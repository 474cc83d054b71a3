#pragma once

#include "data/base/Error.h"
#include "data/db/Database.h"

#include <QString>

class SpreadGrid;

// The change history as a sheet: shown by the history window and written
// as a workbook from the same grid.
namespace HistoryCol {
enum : int {
    At = 1,    // "일시"
    Kind = 2,  // "내용"
    Date = 3,  // the entry's date
    Card = 4,  // card name
    Field = 5, // "항목"
    Old = 6,   // "이전 값"
    New = 7,   // "새 값"
    State = 8, // "취소됨" for a change undone
    Who = 9,   // computer and user
    Count = 9,
};
}

void DesignHistorySheet(SpreadGrid* sheet);

// Fills the sheet with the changes made from `firstDay` to `lastDay`, newest
// first. Books that keep no history yet give an empty sheet.
bool BuildHistorySheet(SpreadGrid* sheet, Database& ledger, const QString& firstDay, const QString& lastDay,
                       ErrorInfo* error);

#pragma once

#include "data/base/Error.h"
#include "data/import/ImportTable.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// How the columns of one kind of file map onto ledger entries. Saved as a
// small UTF-8 text file (profiles/NAME.txt in the application folder):
//
//   # comment
//   name=카드단말기 매출
//   skip=1                  rows at the top that are no entries (the header included)
//   header=거래일|카드사|건수|매출액   the header row (cells joined by |) that recognises the file
//   date=1                  columns, 1-based or as letters (A, B, ...): date and card are needed,
//   card=B                  slips, sale, fee and payout may be left out (0 or no line: none)
//   sale=4
//   undated=skip            rows without a date (or with a [label] there) and total or subtotal
//                           rows (합계, 소계, ... in the date or card column) are skipped, not refused
//   merge=day-card          the rows of one day and card company are stored as one entry
//   sheet=Sheet1            a workbook's sheet (empty: the first)
//   [cards]
//   신한=신한카드           a card name of the file = a card company of the books, by its name
//                           or a part of it that only that name has (older files: a card code)
struct ImportProfile {
    QString name;
    QString sheet;
    int skipRows = 0;
    QStringList header;
    // 0-based column of each field, -1 when the file has none.
    int dateCol = -1;
    int cardCol = -1;
    int slipsCol = -1;
    int saleCol = -1;
    int feeCol = -1;
    int payoutCol = -1;
    bool skipUndated = false;
    // A per-sale file stored as one entry per day and card company (slips: the sales).
    bool mergeDayCard = false;
    // A card name of the file -> the books' card company: its name, a part of
    // its name, or (the older form, read with a warning) a card code.
    QMap<QString, QString> cards;

    bool usable() const { return dateCol >= 0 && cardCol >= 0; }
};

namespace ImportProfiles {

// profiles/ in the application folder.
QString Folder();
// The file a profile name is saved under.
QString FileFor(const QString& name);

bool Load(const QString& file, ImportProfile* profile, ErrorInfo* error);
bool Save(const QString& file, const ImportProfile& profile, ErrorInfo* error);
// A saved profile's name or a profile file's path.
bool Find(const QString& nameOrFile, ImportProfile* profile, ErrorInfo* error);
// The saved profiles, by name (unreadable files left out).
QList<ImportProfile> List();

// Tallox's own sheet export: its header row (일자, 카드명, 건수, 매출액,
// 수수료, 카드사결제액) anywhere in the first rows maps the file without a
// profile; its brought-forward and totals rows, which have no date, are skipped.
bool TalloxExport(const ImportTable& table, ImportProfile* profile);
// Columns guessed from usual header names (일자/거래일자/매출일자, 카드사/카드명,
// 건수, 매출액/승인금액, 수수료, 입금액/지급액/결제액) in one of the first rows:
// the profile's skip rows and columns, and the fields found (indexes into
// date, card, slips, sale, fee, payout). Empty when no row has a date and a
// card header; the user confirms a guess before it is used.
QList<int> Guess(const ImportTable& table, ImportProfile* profile);
// The profile for a file: Tallox's own export, else a saved profile whose
// header row the file has; false when none fits.
bool Recognize(const ImportTable& table, ImportProfile* profile);
// The header cells of the row just above the data, for a new profile.
QStringList HeaderAt(const ImportTable& table, int skipRows);

} // namespace ImportProfiles

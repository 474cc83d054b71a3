#pragma once

#include "data/db/Database.h"
#include "data/sheet/Sheet.h"

#include <QString>

// How the sheet of a period is printed (by the window and the command line);
// a sheet of one card names it in the second title.
PrintDescription LedgerPrintDescription(const QString& from, const QString& to, const QString& cardName = QString());

// The ledger sheet as it is printed and exported, straight from the books:
// 일자, 카드명, 건수, 매출액, 수수료, 카드사결제액 and 잔액; the brought-forward row,
// the entries of the period with their running balance, and a "[합 계]" row
// with the totals. The rows are read as they are handed out, so a workbook
// of a million entries streams through without being held. A balance or
// total that leaves the range of money stops the sheet with an error: no
// figure is better than a wrong one.
class LedgerOutputSheet : public Sheet {
public:
    LedgerOutputSheet(Database& ledger, const QString& firstDay, const QString& lastDay, int cardCode,
                      const QString& cardName = QString());

    QStringList caption() const override;
    int columnCount() const override;
    double columnWidth(int col) const override;
    QString headerText(int col, int headerRow) const override;
    QString exportTitle(int col, int headerRow) const override;
    bool forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo* error) const override;

    // Widths in characters instead of the sheet's own, one per column (the window's).
    void setColumnWidths(const QList<double>& widths) { m_widths = widths; }

    // Rows handed out by the last forEachRow, and why reading the books failed (unset when they were read).
    int rowsHandedOut() const { return m_rows; }
    ErrorInfo readError() const { return m_readError; }

private:
    Database& m_ledger;
    QString m_firstDay;
    QString m_lastDay;
    int m_card;
    QString m_cardName;
    QList<double> m_widths;
    mutable int m_rows = 0;
    mutable ErrorInfo m_readError;
};

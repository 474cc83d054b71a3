#pragma once

#include "data/base/Error.h"
#include "data/base/Money.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

// What is printed around a sheet: the window it comes from, the title, the
// second title, the period line, the copies and the margins in inches. Each
// printable sheet has one description, used by its window and the command line.
struct PrintDescription {
    QString windowName;
    QString title;
    QString subTitle;
    QString periodLine;
    int copies = 1;
    double marginTop = 0.5;
    double marginBottom = 0.5;
    double marginLeft = 0.5;
    double marginRight = 0.5;
};

// "( 검색기간: FROM - TO )", the period line of every printed sheet.
QString PrintPeriodLine(const QString& from, const QString& to);

// The title, second title (when there is one) and period line: what an
// exported workbook carries above its column titles, as the printout does.
QStringList CaptionLines(const PrintDescription& d);

// "[합 계]", the label of a sheet's totals row, and that row's background.
QString SheetTotalLabel();
inline constexpr quint32 kSheetTotalBack = 0xffe0f0e0;

// One cell of a sheet as it is printed and written to a workbook.
struct SheetCell {
    QString text;                 // as shown, numbers formatted (see ShownText for money)
    std::optional<double> number; // a number cell's value: the workbook holds a number
    QString numberFormat;         // Excel's format of the number ("#,##0")
    Qt::Alignment align = {};
    bool bold = false;
    quint32 fore = 0; // ARGB; 0: the default colour
    quint32 back = 0;
    // A money figure, exact: shown grouped without decimals when `text` is
    // empty. A workbook needs only `number`, so a streamed sheet need not
    // format a million figures it never shows.
    std::optional<Money> money = std::nullopt;
};
using SheetRow = QList<SheetCell>;

// What a cell shows: its text, or its money figure formatted.
QString ShownText(const SheetCell& cell);

// A sheet to print or write to a workbook, whatever holds it: typed rows of
// the books or a grid on screen. Rows are handed out in order, so that a
// writer can stream a million entries without holding them.
class Sheet {
public:
    virtual ~Sheet() = default;

    // Lines above the column titles of a workbook (title, card, period).
    virtual QStringList caption() const { return {}; }
    virtual int columnCount() const = 0;
    // Columns the sheet holds but leaves out of print and workbook (hidden ones).
    virtual int columnsLeftOut() const { return 0; }
    // A column's width in characters.
    virtual double columnWidth(int col) const = 0;
    virtual int headerRows() const { return 1; }
    virtual QString headerText(int col, int headerRow) const = 0;
    // The title a workbook carries; Korean in every language, so that an
    // import recognises Tallox's own sheets.
    virtual QString exportTitle(int col, int headerRow) const { return headerText(col, headerRow); }
    // The number of rows when known beforehand (progress), else -1.
    virtual int rowCountHint() const { return -1; }
    // Calls `visit` with each row in order until it returns false. False when
    // it stopped or the rows could not be read (`error` says why then).
    virtual bool forEachRow(const std::function<bool(const SheetRow&)>& visit, ErrorInfo* error) const = 0;
};

// A money figure: shown grouped without decimals, the exact value as the number.
SheetCell MoneyCell(qint64 units, bool bold = false);

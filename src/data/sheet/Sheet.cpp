#include "data/sheet/Sheet.h"

#include "data/base/Money.h"

#include <QCoreApplication>

QString PrintPeriodLine(const QString& from, const QString& to)
{
    return QCoreApplication::translate("PrintComponent", "( 검색기간: %1 - %2 )").arg(from, to);
}

QStringList CaptionLines(const PrintDescription& d)
{
    QStringList lines{d.title};
    if (!d.subTitle.isEmpty())
        lines << d.subTitle;
    if (!d.periodLine.isEmpty())
        lines << d.periodLine;
    return lines;
}

QString SheetTotalLabel()
{
    return QCoreApplication::translate("SpreadDesign", "[합 계]");
}

QString ShownText(const SheetCell& cell)
{
    return cell.text.isEmpty() && cell.money ? cell.money->toDisplayString(0, true) : cell.text;
}

SheetCell MoneyCell(qint64 units, bool bold)
{
    const Money m = Money::fromUnits(units);
    SheetCell c;
    c.money = m;
    c.number = m.toDouble();
    c.numberFormat = QStringLiteral("#,##0");
    c.align = Qt::AlignRight | Qt::AlignVCenter;
    c.bold = bold;
    return c;
}

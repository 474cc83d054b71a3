#include "gui/settlement/SettlementSheet.h"

#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"

namespace {
const QColor kLate(192, 0, 0);

QString DayHeader(const QDate& d)
{
    // "12-10 목": which day the money reaches the account, weekday at a glance.
    const QStringList names =
        QCoreApplication::translate("SettlementSheet", "월,화,수,목,금,토,일").split(QLatin1Char(','));
    return d.toString(QStringLiteral("MM-dd ")) + names.value(d.dayOfWeek() - 1);
}

QString Rate(double r)
{
    return QString::number(r, 'f', 2);
}
} // namespace

QString SettlementNote(const Settlement& s)
{
    QString note = QCoreApplication::translate("SettlementSheet", "기준일 %1, 수수료 기간 %2 - %3")
                       .arg(s.day.toString(Qt::ISODate), s.from.toString(Qt::ISODate), s.day.toString(Qt::ISODate));
    if (!s.uncoveredYears.isEmpty()) {
        QStringList years;
        for (int y : s.uncoveredYears)
            years << QString::number(y);
        note += QCoreApplication::translate("SettlementSheet",
                                            " | 공휴일 파일에 %1년이 없어 그 해는 주말만 뺐습니다 (holidays.txt)")
                    .arg(years.join(QStringLiteral(", ")));
    }
    return note;
}

PrintDescription SettlementPrintDescription(const Settlement& s)
{
    PrintDescription d;
    d.windowName = QStringLiteral("SettlementWindow");
    d.title = SettlementCaption();
    d.subTitle = SettlementNote(s);
    d.periodLine = PrintPeriodLine(s.from.toString(Qt::ISODate), s.day.toString(Qt::ISODate));
    return d;
}

void DesignSettlementSheet(SpreadGrid* grid, const QDate& day)
{
    struct Column {
        const char* header;
        double width;
    };
    static const Column columns[] = {
        {QT_TRANSLATE_NOOP("SettlementSheet", "카드사"), 16},
        {QT_TRANSLATE_NOOP("SettlementSheet", "결제일"), 7},
        {QT_TRANSLATE_NOOP("SettlementSheet", "미수금"), 13},
        {QT_TRANSLATE_NOOP("SettlementSheet", "오늘 입금예정"), 14},
        {QT_TRANSLATE_NOOP("SettlementSheet", "미입금"), 13},
        {QT_TRANSLATE_NOOP("SettlementSheet", "미입금 매출일"), 12},
        {QT_TRANSLATE_NOOP("SettlementSheet", "지연(영업일)"), 11},
        {QT_TRANSLATE_NOOP("SettlementSheet", "선입금"), 12},
        {QT_TRANSLATE_NOOP("SettlementSheet", "수수료율"), 9},
        {QT_TRANSLATE_NOOP("SettlementSheet", "실수수료율"), 10},
        {QT_TRANSLATE_NOOP("SettlementSheet", "차이"), 7},
    };
    grid->setMaxCols(SettlementCol::Count);
    grid->setMaxRows(0);
    for (int c = 1; c < SettlementCol::FirstUpcoming; ++c) {
        grid->setHeaderText(c, QCoreApplication::translate("SettlementSheet", columns[c - 1].header));
        grid->setColWidth(c, columns[c - 1].width);
    }
    for (int i = 0; i < kUpcomingDays; ++i) {
        grid->setHeaderText(SettlementCol::FirstUpcoming + i, DayHeader(day.addDays(i + 1)));
        grid->setColWidth(SettlementCol::FirstUpcoming + i, 12);
    }
    for (int c : {int(SettlementCol::Name), int(SettlementCol::OldestUnpaid), int(SettlementCol::FeeDifference)})
        grid->setCellType(c, -1, SpreadGrid::CellType::Edit);
    SpreadGrid::NumberFormat count;
    count.decimals = 0;
    for (int c : {int(SettlementCol::SetDay), int(SettlementCol::DaysLate)})
        grid->setCellType(c, -1, SpreadGrid::CellType::Integer, count);
    SpreadGrid::NumberFormat rate;
    rate.decimals = 2;
    for (int c : {int(SettlementCol::CardRate), int(SettlementCol::KeptRate)})
        grid->setCellType(c, -1, SpreadGrid::CellType::Number, rate);
    SpreadGrid::NumberFormat amount;
    amount.decimals = 0;
    amount.separators = true;
    amount.max = 999999999999.0;
    amount.min = -999999999999.0;
    for (int c : {int(SettlementCol::Outstanding), int(SettlementCol::DueToday), int(SettlementCol::Overdue),
                  int(SettlementCol::PaidAhead)})
        grid->setCellType(c, -1, SpreadGrid::CellType::Currency, amount);
    for (int i = 0; i < kUpcomingDays; ++i)
        grid->setCellType(SettlementCol::FirstUpcoming + i, -1, SpreadGrid::CellType::Currency, amount);
}

void FillSettlementSheet(SpreadGrid* grid, const Settlement& s)
{
    if (grid->maxCols() != SettlementCol::Count) {
        DesignSettlementSheet(grid, s.day);
        CommonSpreadDesign(grid, true, true, false, true);
    } else {
        for (int i = 0; i < kUpcomingDays; ++i)
            grid->setHeaderText(SettlementCol::FirstUpcoming + i, DayHeader(s.upcomingDay(i)));
    }
    const bool redraw = grid->reDraw();
    grid->setReDraw(false);
    grid->setMaxRows(0);
    grid->setMaxRows(int(s.lines.size()));
    int row = 0;
    const auto money = [](Money m) { return m.isZero() ? QString() : m.toPlainString(); };
    for (const SettlementLine& l : s.lines) {
        ++row;
        grid->setText(SettlementCol::Name, row, l.name);
        grid->setText(SettlementCol::SetDay, row, QString::number(l.setday));
        grid->setText(SettlementCol::Outstanding, row, money(l.outstanding));
        grid->setText(SettlementCol::DueToday, row, money(l.dueToday));
        grid->setText(SettlementCol::Overdue, row, money(l.overdue));
        const bool late = !l.oldestUnpaid.isNull();
        grid->setText(SettlementCol::OldestUnpaid, row, late ? l.oldestUnpaid.toString(Qt::ISODate) : QString());
        grid->setText(SettlementCol::DaysLate, row, late ? QString::number(l.daysLate) : QString());
        grid->setText(SettlementCol::PaidAhead, row, money(l.paidAhead));
        grid->setText(SettlementCol::CardRate, row, Rate(l.cardRate));
        const std::optional<double> kept = l.keptRate();
        grid->setText(SettlementCol::KeptRate, row, kept ? Rate(*kept) : QString());
        const std::optional<double> diff = l.feeDifference();
        grid->setText(SettlementCol::FeeDifference, row,
                      diff ? (*diff > 0 ? QStringLiteral("+") : QString()) + Rate(*diff) : QString());
        for (int i = 0; i < kUpcomingDays; ++i)
            grid->setText(SettlementCol::FirstUpcoming + i, row, money(l.upcoming[size_t(i)]));
        for (int c : {int(SettlementCol::Overdue), int(SettlementCol::OldestUnpaid), int(SettlementCol::DaysLate)})
            grid->setForeColor(c, row, late && l.daysLate > 0 ? kLate : QColor(Qt::black));
        grid->setForeColor(SettlementCol::FeeDifference, row, kLate);
    }
    AddTotalRow(grid, SettlementCol::Name);
    for (int c : {int(SettlementCol::Outstanding), int(SettlementCol::DueToday), int(SettlementCol::Overdue),
                  int(SettlementCol::PaidAhead)})
        SetSumFormula(grid, c);
    for (int i = 0; i < kUpcomingDays; ++i)
        SetSumFormula(grid, SettlementCol::FirstUpcoming + i);
    grid->setProperty(kExportCaptionProperty, CaptionLines(SettlementPrintDescription(s)));
    grid->setReDraw(redraw);
}

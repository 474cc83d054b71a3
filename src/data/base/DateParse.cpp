#include "data/base/DateParse.h"

#include "data/base/Clock.h"

#include <QCoreApplication>
#include <algorithm>

namespace {
bool allDigits(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The typed digits laid out by their length, or nullopt-like empty date when the
// length has no short form. `shortForm` tells whether a short form applied.
QDate shortFormDate(const QString& text, bool* shortForm)
{
    const int len = int(text.size());
    *shortForm = len == 1 || len == 2 || len == 3 || len == 4 || len == 6 || len == 8;
    if (!*shortForm)
        return DateText::parse(text);
    // The short forms are digits only; anything else would be laid out into a wrong date.
    if (!allDigits(text))
        return {};
    const QDate today = Clock::today();
    switch (len) {
    case 1:
    case 2:
        return QDate(today.year(), today.month(), text.toInt());
    case 3:
    case 4: {
        const int mmdd = text.toInt();
        return QDate(today.year(), mmdd / 100, mmdd % 100);
    }
    case 6:
        return QDate(2000 + text.left(2).toInt(), text.mid(2, 2).toInt(), text.mid(4, 2).toInt());
    default: // 8
        return QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
    }
}

} // namespace

QString DateFormsMessage(const QString& typed)
{
    const QStringList lines = {
        QCoreApplication::translate("DateParse", "[%1]는 날짜형식이 아닙니다.             ").arg(typed),

        QString(),
        QCoreApplication::translate("DateParse", " 가능한 형식은 아래와 같습니다."),
        QString(),
        QStringLiteral("   * 2004-01-01"),
        QStringLiteral("   * 20040101"),
        QStringLiteral("   * 040101"),
        QStringLiteral("   * 0101"),
        QCoreApplication::translate("DateParse", "   * 101 (※10월1일은 1001)"),
        QCoreApplication::translate("DateParse", "   * 1 (당월의 일자지정시)"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

bool ParseDateInput(QString& text, ErrorInfo* error)
{
    bool shortForm = false;
    const QDate date = shortFormDate(text, &shortForm);
    if (!date.isValid())
        return fail(error, ErrorInfo::info(DateFormsMessage(text)));
    text = DateText::day(date);
    return true;
}

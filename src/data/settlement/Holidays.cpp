#include "data/settlement/Holidays.h"

#include "data/books/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {
const QString kFileName = QStringLiteral("holidays.txt");

ErrorInfo BadLine(const QString& source, int line, const QString& text)
{
    return ErrorInfo::notice(QCoreApplication::translate("Holidays", "공휴일 파일 %1의 %2행을 읽을 수 없습니다: "
                                                                     "'%3' (한 줄에 '2026-01-01 1월 1일'처럼 "
                                                                     "날짜와 이름을 적습니다)")
                                 .arg(QDir::toNativeSeparators(source))
                                 .arg(line)
                                 .arg(text));
}
} // namespace

bool Holidays::Parse(const QString& text, const QString& source, Holidays* out, ErrorInfo* error)
{
    static const QRegularExpression line(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(?:\\s+(.*))?$"));
    Holidays h;
    h.m_source = source;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString l = lines[i].trimmed();
        if (l.isEmpty() || l.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch m = line.match(l);
        const QDate d = m.hasMatch() ? QDate::fromString(m.captured(1), Qt::ISODate) : QDate();
        if (!d.isValid())
            return fail(error, BadLine(h.m_source, i + 1, l));
        h.m_names.insert(d, m.captured(2).trimmed());
        if (!h.m_years.contains(d.year()))
            h.m_years.append(d.year());
    }
    std::sort(h.m_years.begin(), h.m_years.end());
    *out = std::move(h);
    return true;
}

bool Holidays::Load(const QString& path, Holidays* out, ErrorInfo* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, ErrorInfo::notice(QCoreApplication::translate("Holidays", "공휴일 파일을 열 수 없습니다: %1")
                                                 .arg(QDir::toNativeSeparators(path))));
    return Parse(QString::fromUtf8(f.readAll()), path, out, error);
}

QString Holidays::BuiltInFile()
{
    return QStringLiteral(":/data/holidays.txt");
}

QString Holidays::FileFor(const QString& booksFolder)
{
    QStringList candidates;
    if (!booksFolder.isEmpty())
        candidates << QDir(booksFolder).filePath(kFileName);
    candidates << QDir(AppPaths::appFolder()).filePath(kFileName)
               << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/tallox/") + kFileName);
    for (const QString& c : candidates) {
        if (QFileInfo(c).isFile())
            return QDir::cleanPath(c);
    }
    return BuiltInFile();
}

bool Holidays::LoadFor(const QString& booksFolder, Holidays* out, ErrorInfo* error)
{
    return Load(FileFor(booksFolder), out, error);
}

bool Holidays::isBusinessDay(const QDate& d) const
{
    return d.dayOfWeek() <= 5 && !m_names.contains(d);
}

QDate Holidays::addBusinessDays(const QDate& d, int n) const
{
    QDate day = d;
    while (n > 0) {
        day = day.addDays(1);
        if (isBusinessDay(day))
            --n;
    }
    return day;
}

int Holidays::businessDaysBetween(const QDate& from, const QDate& to) const
{
    int n = 0;
    for (QDate d = from.addDays(1); d <= to; d = d.addDays(1))
        n += isBusinessDay(d) ? 1 : 0;
    return n;
}

QList<int> Holidays::missingYears(const QDate& from, const QDate& to) const
{
    QList<int> missing;
    for (int y = from.year(); y <= to.year(); ++y) {
        if (!covers(y))
            missing.append(y);
    }
    return missing;
}

QList<QDate> Holidays::dates() const
{
    QList<QDate> d = m_names.keys();
    std::sort(d.begin(), d.end());
    return d;
}

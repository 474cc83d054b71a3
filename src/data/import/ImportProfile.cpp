#include "data/import/ImportProfile.h"

#include "data/books/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace ImportProfiles {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ImportProfile)
};

struct ColumnKey {
    const char* key;
    int ImportProfile::*column;
};
const ColumnKey kColumns[] = {
    {"date", &ImportProfile::dateCol}, {"card", &ImportProfile::cardCol}, {"slips", &ImportProfile::slipsCol},
    {"sale", &ImportProfile::saleCol}, {"fee", &ImportProfile::feeCol},   {"payout", &ImportProfile::payoutCol},
};

// "3" or "C" as a 0-based column; -1 for none ("0", empty); false when it is neither.
bool parseColumn(const QString& text, int* column)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok && n >= 0 && n <= ImportLimits::kMaxColumns) {
        *column = n - 1;
        return true;
    }
    if (text.isEmpty() || text.size() > 2)
        return false;
    int col = 0;
    for (const QChar c : text.toUpper()) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            return false;
        col = col * 26 + (c.unicode() - 'A' + 1);
    }
    *column = col - 1;
    return col <= ImportLimits::kMaxColumns;
}

bool readLine(const QString& key, const QString& value, bool inCards, ImportProfile* p)
{
    if (inCards) {
        if (value.isEmpty())
            return false;
        p->cards.insert(key, value);
        return true;
    }
    for (const ColumnKey& c : kColumns)
        if (key == QLatin1String(c.key))
            return parseColumn(value, &(p->*c.column));
    bool ok = true;
    if (key == QLatin1String("name"))
        p->name = value;
    else if (key == QLatin1String("sheet"))
        p->sheet = value;
    else if (key == QLatin1String("skip"))
        p->skipRows = value.toInt(&ok);
    else if (key == QLatin1String("header")) {
        p->header = value.split(QLatin1Char('|'));
        for (QString& cell : p->header)
            cell = cell.trimmed();
    } else if (key == QLatin1String("undated"))
        p->skipUndated = value == QLatin1String("skip");
    else if (key == QLatin1String("merge"))
        p->mergeDayCard = value == QLatin1String("day-card");
    return ok && p->skipRows >= 0;
}
} // namespace

QString Folder()
{
    return AppPaths::appFolder() + QStringLiteral("/profiles");
}

QString FileFor(const QString& name)
{
    QString stem = name.trimmed();
    for (const QChar c : QStringLiteral("/\\:*?\"<>|"))
        stem.replace(c, QLatin1Char('_'));
    return Folder() + QLatin1Char('/') + stem + QStringLiteral(".txt");
}

bool Load(const QString& file, ImportProfile* profile, ErrorInfo* error)
{
    QFile f(file);
    if (f.size() > 1024 * 1024 || !f.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(error, ErrorInfo::notice(Text::tr("프로필 파일을 읽을 수 없습니다: %1").arg(file)));
    ImportProfile p;
    p.name = QFileInfo(file).completeBaseName();
    QTextStream in(&f);
    bool inCards = false;
    for (int lineNo = 1; !in.atEnd(); ++lineNo) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inCards = line == QLatin1String("[cards]");
            continue;
        }
        const qsizetype eq = line.lastIndexOf(QLatin1Char('='));
        const qsizetype sep = inCards ? eq : line.indexOf(QLatin1Char('='));
        if (sep <= 0 || !readLine(line.left(sep).trimmed(), line.mid(sep + 1).trimmed(), inCards, &p))
            return fail(
                error,
                ErrorInfo::notice(
                    Text::tr("프로필 파일 %1의 %2번째 줄을 읽을 수 없습니다: %3").arg(file).arg(lineNo).arg(line)));
    }
    if (!p.usable())
        return fail(error,
                    ErrorInfo::notice(Text::tr("프로필 %1에 일자(date)와 카드명(card) 열이 없습니다.").arg(file)));
    *profile = p;
    return true;
}

bool Save(const QString& file, const ImportProfile& p, ErrorInfo* error)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail(error, ErrorInfo::notice(Text::tr("프로필을 저장할 수 없습니다: %1").arg(file)));
    QTextStream out(&f);
    out << "# Tallox import profile (see the README, \"Importing\")\n";
    out << "name=" << p.name << "\nskip=" << p.skipRows << "\nheader=" << p.header.join(QLatin1Char('|')) << '\n';
    for (const ColumnKey& c : kColumns)
        out << c.key << '=' << (p.*c.column + 1) << '\n';
    if (p.skipUndated)
        out << "undated=skip\n";
    if (p.mergeDayCard)
        out << "merge=day-card\n";
    if (!p.sheet.isEmpty())
        out << "sheet=" << p.sheet << '\n';
    out << "[cards]\n";
    for (auto it = p.cards.cbegin(); it != p.cards.cend(); ++it)
        out << it.key() << '=' << it.value() << '\n';
    out.flush();
    return f.commit() || fail(error, ErrorInfo::notice(Text::tr("프로필을 저장할 수 없습니다: %1").arg(file)));
}

bool Find(const QString& nameOrFile, ImportProfile* profile, ErrorInfo* error)
{
    if (QFileInfo(nameOrFile).isFile())
        return Load(nameOrFile, profile, error);
    const QString saved = FileFor(nameOrFile);
    if (QFileInfo(saved).isFile())
        return Load(saved, profile, error);
    return fail(error, ErrorInfo::notice(Text::tr("프로필이 없습니다: %1 (%2에 저장된 프로필이나 프로필 파일을 주세요)")
                                             .arg(nameOrFile, QDir::toNativeSeparators(Folder()))));
}

QList<ImportProfile> List()
{
    QList<ImportProfile> list;
    const QStringList files = QDir(Folder()).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        ImportProfile p;
        if (Load(Folder() + QLatin1Char('/') + name, &p, nullptr))
            list.append(p);
    }
    return list;
}

QStringList HeaderAt(const ImportTable& table, int skipRows)
{
    QStringList cells = skipRows > 0 ? table.rows.value(skipRows - 1) : QStringList();
    for (QString& c : cells)
        c = c.trimmed();
    while (!cells.isEmpty() && cells.constLast().isEmpty())
        cells.removeLast();
    return cells;
}

namespace {
// i18n-exempt-begin: header names of card companies' and Tallox's files, Korean in every language
// Per field (date, card, slips, sale, fee, payout), the header names that
// name it, the one of Tallox's own export first.
const QStringList kHeaderNames[] = {
    {QStringLiteral("일자"), QStringLiteral("거래일자"), QStringLiteral("매출일자"), QStringLiteral("거래일"),
     QStringLiteral("승인일자"), QStringLiteral("매출일"), QStringLiteral("날짜")},
    {QStringLiteral("카드명"), QStringLiteral("카드사"), QStringLiteral("카드구분"), QStringLiteral("카드사명"),
     QStringLiteral("카드종류")},
    {QStringLiteral("건수"), QStringLiteral("매출건수"), QStringLiteral("승인건수")},
    {QStringLiteral("매출액"), QStringLiteral("승인금액"), QStringLiteral("매출금액"), QStringLiteral("거래금액"),
     QStringLiteral("승인액")},
    {QStringLiteral("수수료"), QStringLiteral("가맹점수수료")},
    {QStringLiteral("카드사결제액"), QStringLiteral("입금액"), QStringLiteral("지급액"), QStringLiteral("결제액"),
     QStringLiteral("입금금액"), QStringLiteral("지급금액")},
};
// i18n-exempt-end
int ImportProfile::*const kFieldColumns[] = {&ImportProfile::dateCol,  &ImportProfile::cardCol,
                                             &ImportProfile::slipsCol, &ImportProfile::saleCol,
                                             &ImportProfile::feeCol,   &ImportProfile::payoutCol};

// The column of a field in a header row: the first cell that is one of its
// names (spaces ignored), -1 when none; `exportOnly` takes only Tallox's own names.
int headerColumn(const QStringList& header, int field, bool exportOnly)
{
    for (qsizetype c = 0; c < header.size(); ++c) {
        QString cell = header[c];
        cell.remove(QLatin1Char(' '));
        if (exportOnly ? cell == kHeaderNames[field].constFirst() : kHeaderNames[field].contains(cell))
            return int(c);
    }
    return -1;
}

// The first of the first 20 rows that names a date and a card column (and,
// for the export, a sale column): its columns into `p`, the fields found.
QList<int> fromHeaderRow(const ImportTable& table, bool exportOnly, ImportProfile* p)
{
    for (int r = 0; r < std::min<qsizetype>(table.rows.size(), 20); ++r) {
        const QStringList header = HeaderAt(table, r + 1);
        QList<int> found;
        int columns[6];
        for (int f = 0; f < 6; ++f) {
            columns[f] = headerColumn(header, f, exportOnly);
            if (columns[f] >= 0)
                found.append(f);
        }
        if (columns[0] < 0 || columns[1] < 0 || (exportOnly && columns[3] < 0))
            continue;
        p->skipRows = r + 1;
        p->header = header;
        for (int f = 0; f < 6; ++f)
            p->*kFieldColumns[f] = columns[f];
        return found;
    }
    return {};
}
} // namespace

bool TalloxExport(const ImportTable& table, ImportProfile* profile)
{
    ImportProfile p;
    if (fromHeaderRow(table, true, &p).isEmpty())
        return false;
    p.name = Text::tr("Tallox 원장");
    p.skipUndated = true; // its brought-forward and totals rows
    *profile = p;
    return true;
}

QList<int> Guess(const ImportTable& table, ImportProfile* profile)
{
    ImportProfile p = *profile;
    const QList<int> found = fromHeaderRow(table, false, &p);
    if (!found.isEmpty())
        *profile = p;
    return found;
}

bool Recognize(const ImportTable& table, ImportProfile* profile)
{
    if (TalloxExport(table, profile))
        return true;
    for (const ImportProfile& p : List()) {
        if (!p.header.isEmpty() && HeaderAt(table, p.skipRows) == p.header) {
            *profile = p;
            return true;
        }
    }
    return false;
}

} // namespace ImportProfiles

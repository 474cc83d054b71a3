#include "import/ImportProfile.h"

#include "core/AppPaths.h"

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

bool TalloxExport(const ImportTable& table, ImportProfile* profile)
{
    // i18n-exempt-begin: the headers an exported ledger workbook carries, Korean in every language
    const QStringList names{QStringLiteral("일자"),   QStringLiteral("카드명"), QStringLiteral("건수"),
                            QStringLiteral("매출액"), QStringLiteral("수수료"), QStringLiteral("카드사결제액")};
    // i18n-exempt-end
    for (int r = 0; r < std::min<qsizetype>(table.rows.size(), 20); ++r) {
        const QStringList header = HeaderAt(table, r + 1);
        if (!header.contains(names[0]) || !header.contains(names[1]) || !header.contains(names[3]))
            continue;
        ImportProfile p;
        p.name = Text::tr("Tallox 원장");
        p.skipRows = r + 1;
        p.header = header;
        p.skipUndated = true;
        int ImportProfile::*columns[] = {&ImportProfile::dateCol, &ImportProfile::cardCol, &ImportProfile::slipsCol,
                                         &ImportProfile::saleCol, &ImportProfile::feeCol,  &ImportProfile::payoutCol};
        for (int i = 0; i < names.size(); ++i)
            p.*columns[i] = int(header.indexOf(names[i]));
        *profile = p;
        return true;
    }
    return false;
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

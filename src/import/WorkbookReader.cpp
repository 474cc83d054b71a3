#include "import/WorkbookReader.h"

#include "import/ImportValues.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <cmath>
#include <memory>
#include <zip.h>

namespace WorkbookReader {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(WorkbookReader)
};

// The largest part read: a sheet of a million rows stays below it, a zip
// bomb's part does not get further.
constexpr qint64 kMaxPartBytes = 256LL * 1024 * 1024;

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// One part of the container; false when it is missing (`found` false) or unreadable.
bool readPart(zip_t* zip, const QString& name, QByteArray* out, bool* found = nullptr)
{
    const zip_int64_t index = zip_name_locate(zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (found)
        *found = index >= 0;
    if (index < 0)
        return false;
    zip_file_t* f = zip_fopen_index(zip, zip_uint64_t(index), 0);
    if (!f)
        return false;
    out->clear();
    char buffer[64 * 1024];
    zip_int64_t n = 0;
    while ((n = zip_fread(f, buffer, sizeof buffer)) > 0 && out->size() <= kMaxPartBytes)
        out->append(buffer, qsizetype(n));
    zip_fclose(f);
    return n == 0 && out->size() <= kMaxPartBytes;
}

struct SheetRef {
    QString name;
    QString relId;
};

struct Book {
    QList<SheetRef> sheets;
    bool base1904 = false;
};

Book readWorkbook(const QByteArray& xml)
{
    Book book;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (r.name() == QLatin1String("sheet"))
            book.sheets.append({r.attributes().value(QLatin1String("name")).toString(),
                                r.attributes().value(QLatin1String("r:id")).toString()});
        else if (r.name() == QLatin1String("workbookPr"))
            book.base1904 = r.attributes().value(QLatin1String("date1904")) == QLatin1String("1") ||
                            r.attributes().value(QLatin1String("date1904")) == QLatin1String("true");
    }
    return book;
}

// The part a relationship id of the workbook points at ("xl/worksheets/sheet1.xml").
QString relTarget(const QByteArray& xml, const QString& id)
{
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != QLatin1String("Relationship") ||
            r.attributes().value(QLatin1String("Id")) != id)
            continue;
        const QString target = r.attributes().value(QLatin1String("Target")).toString();
        return target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
    }
    return {};
}

// The text of an <si> or <is> element: its <t> runs, phonetic runs left out.
QString readStringItem(QXmlStreamReader& r)
{
    QString text;
    int phonetic = 0;
    const QString end = r.name().toString();
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("rPh"))
            ++phonetic;
        else if (r.isEndElement() && r.name() == QLatin1String("rPh"))
            --phonetic;
        else if (r.isStartElement() && r.name() == QLatin1String("t") && phonetic == 0)
            text += r.readElementText();
        else if (r.isEndElement() && r.name() == end)
            break;
    }
    return text;
}

QStringList readSharedStrings(const QByteArray& xml)
{
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == QLatin1String("si"))
            strings.append(readStringItem(r).left(ImportLimits::kMaxCellChars + 1));
    }
    return strings;
}

// A format code that shows a date: d, m or y outside quoted text and [colour] parts.
bool isDateCode(const QString& code)
{
    bool quoted = false;
    int bracket = 0;
    for (const QChar c : code) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('['))
            ++bracket;
        else if (!quoted && c == QLatin1Char(']'))
            --bracket;
        else if (!quoted && bracket == 0 && QStringLiteral("dmyDMY").contains(c))
            return true;
    }
    return false;
}

// For every cell style (index into cellXfs): whether it shows a date.
QList<bool> readDateStyles(const QByteArray& xml)
{
    QHash<int, bool> customDate;
    QList<bool> styles;
    bool inXfs = false;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("numFmt"))
            customDate.insert(r.attributes().value(QLatin1String("numFmtId")).toInt(),
                              isDateCode(r.attributes().value(QLatin1String("formatCode")).toString()));
        else if (r.name() == QLatin1String("cellXfs"))
            inXfs = r.isStartElement();
        else if (inXfs && r.isStartElement() && r.name() == QLatin1String("xf")) {
            const int id = r.attributes().value(QLatin1String("numFmtId")).toInt();
            // Built-in date formats: 14-22 and 45-47.
            styles.append(customDate.value(id, (id >= 14 && id <= 22) || (id >= 45 && id <= 47)));
        }
    }
    return styles;
}

int columnOf(QStringView ref)
{
    int col = 0;
    for (const QChar c : ref) {
        if (!c.isLetter())
            break;
        col = col * 26 + (c.toUpper().unicode() - 'A' + 1);
        if (col > 16384)
            return -1;
    }
    return col - 1;
}

// A number as its text: whole numbers without a decimal part, others with up to four places.
QString numberText(const QString& raw)
{
    bool ok = false;
    const double d = raw.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return raw;
    if (d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    QString t = QString::number(d, 'f', 4);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t;
}

struct SheetContext {
    const QStringList* shared;
    const QList<bool>* dateStyles;
    bool base1904;
};

// One <c> element's shown value.
QString readCell(QXmlStreamReader& r, const SheetContext& ctx)
{
    const QString type = r.attributes().value(QLatin1String("t")).toString();
    const int style = r.attributes().value(QLatin1String("s")).toInt();
    QString value;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("v"))
            value = r.readElementText();
        else if (r.isStartElement() && r.name() == QLatin1String("is"))
            value = readStringItem(r);
        else if (r.isEndElement() && r.name() == QLatin1String("c"))
            break;
    }
    if (type == QLatin1String("s"))
        return ctx.shared->value(value.toInt());
    if (type == QLatin1String("b"))
        return value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (!type.isEmpty() && type != QLatin1String("n"))
        return value; // inlineStr, str (a formula's text), e (an error value)
    if (ctx.dateStyles->value(style)) {
        const QString day = ImportValues::DayFromSerial(value.toDouble(), ctx.base1904);
        if (!day.isEmpty())
            return day;
    }
    return numberText(value);
}

void storeCell(QStringList* row, int col, QString value, bool* cut)
{
    if (col < 0 || col >= ImportLimits::kMaxColumns)
        return;
    while (row->size() <= col)
        row->append(QString());
    if (value.size() > ImportLimits::kMaxCellChars) {
        value.truncate(ImportLimits::kMaxCellChars);
        *cut = true;
    }
    (*row)[col] = value;
}

bool readSheet(const QByteArray& xml, const SheetContext& ctx, ImportTable* table)
{
    QXmlStreamReader r(xml);
    QStringList row;
    int rowIndex = -1;
    int col = -1;
    bool cut = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("row")) {
            const int given = r.attributes().value(QLatin1String("r")).toInt();
            rowIndex = given > 0 ? given - 1 : rowIndex + 1;
            if (rowIndex >= ImportLimits::kMaxRows) {
                table->tooManyRows = true;
                break;
            }
            row.clear();
            col = -1;
            cut = false;
        } else if (r.isStartElement() && r.name() == QLatin1String("c")) {
            const int given = columnOf(r.attributes().value(QLatin1String("r")));
            col = given >= 0 && r.attributes().hasAttribute(QLatin1String("r")) ? given : col + 1;
            storeCell(&row, col, readCell(r, ctx), &cut);
        } else if (r.isEndElement() && r.name() == QLatin1String("row")) {
            while (table->rows.size() < rowIndex)
                table->rows.append(QStringList());
            if (cut)
                table->oversizedRows.insert(rowIndex);
            table->rows.append(row);
        }
    }
    return !r.hasError();
}
} // namespace

bool LooksLikeWorkbook(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("PK\x03\x04", 4);
}

bool ReadFile(const QString& path, const QString& sheet, ImportTable* table, ErrorInfo* error)
{
    const ErrorInfo unreadable = ErrorInfo::notice(Text::tr("엑셀 파일(.xlsx)로 읽을 수 없습니다: %1").arg(path));
    int code = 0;
    Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    QByteArray workbookXml, relsXml, sharedXml, stylesXml, sheetXml;
    if (!zip || !readPart(zip.get(), QStringLiteral("xl/workbook.xml"), &workbookXml) ||
        !readPart(zip.get(), QStringLiteral("xl/_rels/workbook.xml.rels"), &relsXml))
        return fail(error, unreadable);
    const Book book = readWorkbook(workbookXml);
    if (book.sheets.isEmpty())
        return fail(error, ErrorInfo::notice(Text::tr("엑셀 파일에 시트가 없습니다: %1").arg(path)));
    qsizetype chosen = 0;
    if (!sheet.isEmpty()) {
        chosen =
            std::find_if(book.sheets.cbegin(), book.sheets.cend(), [&](const SheetRef& s) { return s.name == sheet; }) -
            book.sheets.cbegin();
        if (chosen == book.sheets.size())
            return fail(error, ErrorInfo::notice(Text::tr("엑셀 파일에 '%1' 시트가 없습니다: %2").arg(sheet, path)));
    }
    bool hasShared = false, hasStyles = false;
    const bool partsRead =
        (readPart(zip.get(), QStringLiteral("xl/sharedStrings.xml"), &sharedXml, &hasShared) || !hasShared) &&
        (readPart(zip.get(), QStringLiteral("xl/styles.xml"), &stylesXml, &hasStyles) || !hasStyles) &&
        readPart(zip.get(), relTarget(relsXml, book.sheets[chosen].relId), &sheetXml);
    if (!partsRead)
        return fail(error, unreadable);
    const QStringList shared = readSharedStrings(sharedXml);
    const QList<bool> dateStyles = readDateStyles(stylesXml);
    *table = ImportTable();
    for (const SheetRef& s : book.sheets)
        table->sheets.append(s.name);
    table->sheet = book.sheets[chosen].name;
    table->format = QStringLiteral("Excel, %1").arg(table->sheet);
    if (!readSheet(sheetXml, {&shared, &dateStyles, book.base1904}, table))
        return fail(error, unreadable);
    return true;
}

} // namespace WorkbookReader

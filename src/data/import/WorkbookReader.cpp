#include "data/import/WorkbookReader.h"

#include "data/import/ImportValues.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <zip.h>

namespace WorkbookReader {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(WorkbookReader)
};

// The largest part read, inflated: a sheet of the most rows an import takes
// stays well below it; a zip bomb's part is refused before it is inflated.
constexpr qint64 kMaxPartBytes = 256LL * 1024 * 1024;
// Excel has at most 64,000 cell styles; more are left out.
constexpr int kMaxStyles = 65536;
// The XML reader holds a text or a tag whole: a run this long without a tag
// (Excel's longest text is 32,767 characters) is no workbook.
constexpr qint64 kMaxRunBytes = 1 << 20;

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// One part of the container, inflated as the XML reader asks for it: a part
// never lies in memory as a whole. Reads beyond kMaxPartBytes fail, whatever
// size the container says.
class ZipPart : public QIODevice {
public:
    ~ZipPart() override { close(); }
    bool open(zip_t* zip, zip_uint64_t index)
    {
        m_file = zip_fopen_index(zip, index, 0);
        if (!m_file) {
            setErrorString(QString::fromLocal8Bit(zip_strerror(zip)));
            m_failed = true;
            return false;
        }
        return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    void close() override
    {
        if (m_file)
            zip_fclose(m_file);
        m_file = nullptr;
        QIODevice::close();
    }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_end || m_failed; }
    bool failed() const { return m_failed; }
    // Reads the rest: the container checks a part's checksum at its end.
    void drain()
    {
        char buffer[64 * 1024];
        while (!m_end && !m_failed)
            readData(buffer, sizeof buffer);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_end || m_failed || !m_file)
            return m_failed ? -1 : 0;
        const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (n < 0) {
            setErrorString(QString::fromLocal8Bit(zip_file_strerror(m_file)));
            m_failed = true;
            return -1;
        }
        m_read += n;
        if (m_read > kMaxPartBytes) {
            setErrorString(Text::tr("압축을 풀면 %1MB가 넘습니다").arg(kMaxPartBytes >> 20));
            m_failed = true;
            return -1;
        }
        const void* tag = memrchr(data, '<', size_t(n));
        m_run = tag ? data + n - static_cast<const char*>(tag) - 1 : m_run + n;
        if (m_run > kMaxRunBytes) {
            setErrorString(Text::tr("태그 없이 %1MB가 넘게 이어집니다").arg(kMaxRunBytes >> 20));
            m_failed = true;
            return -1;
        }
        m_end = n == 0;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file = nullptr;
    qint64 m_read = 0;
    qint64 m_run = 0; // bytes since the last '<'
    bool m_end = false;
    bool m_failed = false;
};

// Reading one workbook: every part it reads goes through readPart, and any
// fault of the container or of a part's XML refuses the whole file.
class Workbook {
public:
    Workbook(zip_t* zip, const QString& path, ErrorInfo* error) : m_zip(zip), m_path(path), m_error(error) {}

    // Runs `parse` over the part. `parse` returns false when it stopped
    // early on purpose (a limit reached). False, with the error set, for a
    // part that is missing (unless not `required`), too big, or broken.
    bool readPart(const QString& name, bool required, const std::function<bool(QXmlStreamReader&)>& parse)
    {
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return !required ||
                   fail(m_error, ErrorInfo::notice(Text::tr("엑셀 파일에 %1이(가) 없습니다: %2").arg(name, m_path)));
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0)
            return partFault(name, QString::fromLocal8Bit(zip_strerror(m_zip)));
        if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(kMaxPartBytes))
            return fail(m_error, ErrorInfo::notice(Text::tr("엑셀 파일의 %1이(가) 너무 큽니다 (압축을 풀면 %2MB, "
                                                            "%3MB까지 읽습니다): %4")
                                                       .arg(name)
                                                       .arg(st.size >> 20)
                                                       .arg(kMaxPartBytes >> 20)
                                                       .arg(m_path)));
        ZipPart part;
        if (!part.open(m_zip, zip_uint64_t(index)))
            return partFault(name, part.errorString());
        QXmlStreamReader r(&part);
        const bool whole = parse(r);
        if (whole)
            part.drain();
        if (part.failed())
            return partFault(name, part.errorString());
        if (whole && r.hasError())
            return partFault(name, Text::tr("%1, %2번째 줄").arg(r.errorString()).arg(r.lineNumber()));
        return true;
    }

private:
    bool partFault(const QString& name, const QString& why)
    {
        return fail(m_error, ErrorInfo::notice(
                                 Text::tr("엑셀 파일의 %1을(를) 읽을 수 없습니다 (%2): %3").arg(name, why, m_path)));
    }

    zip_t* m_zip;
    QString m_path;
    ErrorInfo* m_error;
};

struct SheetRef {
    QString name;
    QString relId;
};

struct Book {
    QList<SheetRef> sheets;
    bool base1904 = false;
};

bool readWorkbook(QXmlStreamReader& r, Book* book)
{
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (r.name() == QLatin1String("sheet"))
            book->sheets.append({r.attributes().value(QLatin1String("name")).toString(),
                                 r.attributes().value(QLatin1String("r:id")).toString()});
        else if (r.name() == QLatin1String("workbookPr"))
            book->base1904 = r.attributes().value(QLatin1String("date1904")) == QLatin1String("1") ||
                             r.attributes().value(QLatin1String("date1904")) == QLatin1String("true");
    }
    return true;
}

// The parts the workbook's relationships point at, by id ("xl/worksheets/sheet1.xml").
bool readRelations(QXmlStreamReader& r, QHash<QString, QString>* targets)
{
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != QLatin1String("Relationship"))
            continue;
        const QString target = r.attributes().value(QLatin1String("Target")).toString();
        targets->insert(r.attributes().value(QLatin1String("Id")).toString(),
                        target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target);
    }
    return true;
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
        else if (r.isStartElement() && r.name() == QLatin1String("t") && phonetic == 0 &&
                 text.size() <= ImportLimits::kMaxCellChars)
            text += r.readElementText();
        else if (r.isEndElement() && r.name() == end)
            break;
    }
    return text;
}

// A text as a cell holds it: cut at the limit, `cut` saying so.
QByteArray cellText(QString text, bool* cut)
{
    *cut = text.size() > ImportLimits::kMaxCellChars;
    if (*cut)
        text.truncate(ImportLimits::kMaxCellChars);
    return text.toUtf8();
}

struct SharedString {
    ImportRows::Text text;
    bool cut = false;
};

// The shared strings go into the table's text once; cells point at them.
bool readSharedStrings(QXmlStreamReader& r, ImportRows* rows, QList<SharedString>* strings)
{
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != QLatin1String("si"))
            continue;
        SharedString s;
        s.text = rows->addText(cellText(readStringItem(r), &s.cut));
        if (strings->size() >= ImportLimits::kMaxCells)
            rows->stop(ImportRows::Over::Cells);
        if (rows->over() != ImportRows::Over::Nothing)
            return false;
        strings->append(s);
    }
    return true;
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
bool readDateStyles(QXmlStreamReader& r, QList<bool>* styles)
{
    QHash<int, bool> customDate;
    bool inXfs = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("numFmt") && customDate.size() < kMaxStyles)
            customDate.insert(r.attributes().value(QLatin1String("numFmtId")).toInt(),
                              isDateCode(r.attributes().value(QLatin1String("formatCode")).toString()));
        else if (r.name() == QLatin1String("cellXfs"))
            inXfs = r.isStartElement();
        else if (inXfs && r.isStartElement() && r.name() == QLatin1String("xf") && styles->size() < kMaxStyles) {
            const int id = r.attributes().value(QLatin1String("numFmtId")).toInt();
            // Built-in date formats: 14-22 and 45-47.
            styles->append(customDate.value(id, (id >= 14 && id <= 22) || (id >= 45 && id <= 47)));
        }
    }
    return true;
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

// A number as Excel shows it: 15 significant digits, no exponent, whole
// numbers without a decimal part. What a binary fraction adds beyond them
// ("1357.9500000000001") is no figure of the file; the digits within them
// are kept, so that an amount finer than the ledger holds is seen and refused.
QString numberText(const QString& raw)
{
    bool ok = false;
    const double d = raw.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return raw;
    if (d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    if (std::fabs(d) < 1e-15)
        return raw;
    const int decimals = std::clamp(14 - int(std::floor(std::log10(std::fabs(d)))), 0, 30);
    QString t = QString::number(d, 'f', decimals);
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    return t;
}

struct SheetContext {
    const QList<SharedString>* shared;
    const QList<bool>* dateStyles;
    bool base1904;
};

struct CellValue {
    QString text;
    qsizetype shared = -1; // a shared string's index
};

// One <c> element's shown value.
CellValue readCell(QXmlStreamReader& r, const SheetContext& ctx)
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
    if (type == QLatin1String("s")) {
        bool ok = false;
        const qsizetype i = value.toLongLong(&ok);
        if (value.isEmpty())
            return {};
        if (!ok || i < 0 || i >= ctx.shared->size()) {
            r.raiseError(Text::tr("공유 문자열 %1이(가) 없습니다").arg(value.left(20)));
            return {};
        }
        return {QString(), i};
    }
    if (type == QLatin1String("b"))
        return {value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE")};
    if (!type.isEmpty() && type != QLatin1String("n"))
        return {value}; // inlineStr, str (a formula's text), e (an error value)
    if (ctx.dateStyles->value(style)) {
        const QString day = ImportValues::DayFromSerial(value.toDouble(), ctx.base1904);
        if (!day.isEmpty())
            return {day};
    }
    return {numberText(value)};
}

// The sheet's rows into the table as they stream by; false when a limit stopped it.
bool readSheet(QXmlStreamReader& r, const SheetContext& ctx, ImportTable* table)
{
    ImportRows& rows = table->rows;
    int col = -1;
    bool cut = false;
    bool inRow = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("row")) {
            // Rows the sheet leaves out are empty rows of the table.
            const qint64 given = r.attributes().value(QLatin1String("r")).toLongLong();
            for (qint64 i = rows.size(); i < given - 1; ++i) {
                if (!rows.endRow())
                    return false;
            }
            inRow = true;
            col = -1;
            cut = false;
        } else if (inRow && r.isStartElement() && r.name() == QLatin1String("c")) {
            const int given = columnOf(r.attributes().value(QLatin1String("r")));
            col = given >= 0 && r.attributes().hasAttribute(QLatin1String("r")) ? given : col + 1;
            const CellValue v = readCell(r, ctx);
            if (v.shared >= 0) {
                const SharedString& s = ctx.shared->at(v.shared);
                rows.addCell(col, s.text);
                cut = cut || (s.cut && col < ImportLimits::kMaxColumns);
            } else {
                bool cellCut = false;
                rows.addCell(col, cellText(v.text, &cellCut));
                cut = cut || (cellCut && col < ImportLimits::kMaxColumns);
            }
            if (rows.over() != ImportRows::Over::Nothing)
                return false;
        } else if (inRow && r.isEndElement() && r.name() == QLatin1String("row")) {
            const int index = int(rows.size());
            if (!rows.endRow())
                return false;
            if (cut)
                table->oversizedRows.insert(index);
            inRow = false;
        }
    }
    return true;
}
} // namespace

bool LooksLikeWorkbook(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("PK\x03\x04", 4);
}

bool ReadFile(const QString& path, const QString& sheet, ImportTable* table, ErrorInfo* error)
{
    int code = 0;
    Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!zip) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return fail(error, ErrorInfo::notice(Text::tr("엑셀 파일(.xlsx)로 읽을 수 없습니다 (%1): %2").arg(why, path)));
    }
    Workbook parts(zip.get(), path, error);
    Book book;
    QHash<QString, QString> targets;
    if (!parts.readPart(QStringLiteral("xl/workbook.xml"), true,
                        [&](QXmlStreamReader& r) { return readWorkbook(r, &book); }) ||
        !parts.readPart(QStringLiteral("xl/_rels/workbook.xml.rels"), true,
                        [&](QXmlStreamReader& r) { return readRelations(r, &targets); }))
        return false;
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
    const QString sheetPart = targets.value(book.sheets[chosen].relId);
    if (sheetPart.isEmpty())
        return fail(error,
                    ErrorInfo::notice(
                        Text::tr("엑셀 파일에 '%1' 시트의 파트가 없습니다: %2").arg(book.sheets[chosen].name, path)));
    *table = ImportTable();
    QList<SharedString> shared;
    QList<bool> dateStyles;
    const SheetContext ctx{&shared, &dateStyles, book.base1904};
    // A limit reached stops the reading; ReadImportFile says which.
    const bool read =
        parts.readPart(QStringLiteral("xl/sharedStrings.xml"), false,
                       [&](QXmlStreamReader& r) { return readSharedStrings(r, &table->rows, &shared); }) &&
        table->rows.over() == ImportRows::Over::Nothing &&
        parts.readPart(QStringLiteral("xl/styles.xml"), false,
                       [&](QXmlStreamReader& r) { return readDateStyles(r, &dateStyles); }) &&
        parts.readPart(sheetPart, true, [&](QXmlStreamReader& r) { return readSheet(r, ctx, table); });
    if (!read && table->rows.over() == ImportRows::Over::Nothing) {
        *table = ImportTable();
        return false;
    }
    for (const SheetRef& s : book.sheets)
        table->sheets.append(s.name);
    table->sheet = book.sheets[chosen].name;
    table->format = QStringLiteral("Excel, %1").arg(table->sheet);
    return true;
}

} // namespace WorkbookReader

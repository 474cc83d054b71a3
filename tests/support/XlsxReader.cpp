#include "XlsxReader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zlib.h>

namespace {

quint32 le32(const QByteArray& d, qsizetype at)
{
    if (at < 0 || at + 4 > d.size())
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(d.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const QByteArray& d, qsizetype at)
{
    if (at < 0 || at + 2 > d.size())
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(d.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

bool inflateRaw(const QByteArray& in, qsizetype size, QByteArray* out)
{
    out->resize(size);
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        return false;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    zs.avail_in = uInt(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(out->data());
    zs.avail_out = uInt(size);
    const int rc = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    return rc == Z_STREAM_END && zs.total_out == uLong(size);
}

// "AB12" -> column 28, row 12
void splitRef(const QString& ref, int* row, int* col)
{
    int c = 0;
    int i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
    *col = c;
    *row = ref.mid(i).toInt();
}

// Built-in number formats the export may refer to.
QString builtinFormat(int id)
{
    switch (id) {
    case 0:
        return QString();
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    default:
        return QStringLiteral("builtin:%1").arg(id);
    }
}

} // namespace

XlsxReader::XlsxReader(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray zip = f.readAll();
    // End of central directory: at least 22 bytes from the end, before an optional comment.
    qsizetype eocd = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (le32(zip, at) == 0x06054b50) {
            eocd = at;
            break;
        }
    }
    if (eocd < 0)
        return;
    const int count = le16(zip, eocd + 10);
    qsizetype at = le32(zip, eocd + 16);
    for (int i = 0; i < count; ++i) {
        if (le32(zip, at) != 0x02014b50)
            return;
        const int method = le16(zip, at + 10);
        const quint32 packed = le32(zip, at + 20);
        const quint32 size = le32(zip, at + 24);
        const int nameLen = le16(zip, at + 28);
        const int extraLen = le16(zip, at + 30);
        const int commentLen = le16(zip, at + 32);
        const quint32 local = le32(zip, at + 42);
        const QString name = QString::fromUtf8(zip.mid(at + 46, nameLen));
        at += 46 + nameLen + extraLen + commentLen;
        if (le32(zip, local) != 0x04034b50)
            return;
        const qsizetype data = local + 30 + le16(zip, local + 26) + le16(zip, local + 28);
        const QByteArray raw = zip.mid(data, packed);
        QByteArray content;
        if (method == 0)
            content = raw;
        else if (method != 8 || !inflateRaw(raw, size, &content))
            return;
        m_entries.insert(name, content);
    }
    if (!m_entries.contains(QStringLiteral("xl/worksheets/sheet1.xml")))
        return;
    readWorkbook();
    readSharedStrings();
    readStyles();
    readSheet();
    m_valid = true;
}

void XlsxReader::readWorkbook()
{
    QXmlStreamReader x(entry(QStringLiteral("xl/workbook.xml")));
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("sheet")) {
            m_sheetName = x.attributes().value(QLatin1String("name")).toString();
            return;
        }
    }
}

void XlsxReader::readSharedStrings()
{
    QXmlStreamReader x(entry(QStringLiteral("xl/sharedStrings.xml")));
    QString current;
    bool inSi = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("si")) {
            inSi = true;
            current.clear();
        } else if (x.isStartElement() && x.name() == QLatin1String("t") && inSi) {
            current += x.readElementText();
        } else if (x.isEndElement() && x.name() == QLatin1String("si")) {
            m_shared.append(current);
            inSi = false;
        }
    }
}

void XlsxReader::readStyles()
{
    QXmlStreamReader x(entry(QStringLiteral("xl/styles.xml")));
    QString section;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            const auto n = x.name();
            if (n == QLatin1String("fonts") || n == QLatin1String("cellXfs") || n == QLatin1String("cellStyleXfs"))
                section = n.toString();
            else if (n == QLatin1String("numFmt"))
                m_numFmts.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                                 x.attributes().value(QLatin1String("formatCode")).toString());
            else if (n == QLatin1String("font") && section == QLatin1String("fonts"))
                m_fontBold.append(false);
            else if (n == QLatin1String("b") && section == QLatin1String("fonts") && !m_fontBold.isEmpty())
                m_fontBold.last() = true;
            else if (n == QLatin1String("xf") && section == QLatin1String("cellXfs"))
                m_xfs.append({x.attributes().value(QLatin1String("numFmtId")).toInt(),
                              x.attributes().value(QLatin1String("fontId")).toInt()});
        } else if (x.isEndElement()) {
            const auto n = x.name();
            if (n == QLatin1String("fonts") || n == QLatin1String("cellXfs") || n == QLatin1String("cellStyleXfs"))
                section.clear();
        }
    }
}

void XlsxReader::readSheet()
{
    QXmlStreamReader x(entry(QStringLiteral("xl/worksheets/sheet1.xml")));
    int row = 0;
    int col = 0;
    XlsxCell cell;
    bool inCell = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            const auto n = x.name();
            const auto a = x.attributes();
            if (n == QLatin1String("col")) {
                XlsxColumn c{a.value(QLatin1String("width")).toDouble(),
                             a.value(QLatin1String("hidden")) == QLatin1String("1")};
                for (int i = a.value(QLatin1String("min")).toInt(); i <= a.value(QLatin1String("max")).toInt(); ++i)
                    m_cols.insert(i, c);
            } else if (n == QLatin1String("c")) {
                splitRef(a.value(QLatin1String("r")).toString(), &row, &col);
                cell = XlsxCell{};
                cell.type =
                    a.hasAttribute(QLatin1String("t")) ? a.value(QLatin1String("t")).toString() : QStringLiteral("n");
                cell.style = a.value(QLatin1String("s")).toInt();
                inCell = true;
            } else if (inCell && n == QLatin1String("v")) {
                cell.value = x.readElementText();
                if (cell.type == QLatin1String("s"))
                    cell.value = m_shared.value(cell.value.toInt());
            } else if (inCell && n == QLatin1String("t")) {
                cell.value += x.readElementText();
            }
        } else if (x.isEndElement() && x.name() == QLatin1String("c")) {
            m_cells[row][col] = cell;
            inCell = false;
        }
    }
}

QString XlsxReader::sheetName() const
{
    return m_sheetName;
}

int XlsxReader::rowCount() const
{
    return m_cells.isEmpty() ? 0 : m_cells.lastKey();
}

int XlsxReader::colCount() const
{
    int n = 0;
    for (const auto& row : m_cells)
        n = qMax(n, row.isEmpty() ? 0 : row.lastKey());
    return n;
}

XlsxCell XlsxReader::cell(int row, int col) const
{
    return m_cells.value(row).value(col);
}

bool XlsxReader::bold(int row, int col) const
{
    const XlsxCell c = cell(row, col);
    if (c.style < 0 || c.style >= m_xfs.size())
        return false;
    return m_fontBold.value(m_xfs[c.style].second, false);
}

QString XlsxReader::numFormat(int row, int col) const
{
    const XlsxCell c = cell(row, col);
    if (c.style < 0 || c.style >= m_xfs.size())
        return QString();
    const int id = m_xfs[c.style].first;
    return m_numFmts.contains(id) ? m_numFmts.value(id) : builtinFormat(id);
}

XlsxColumn XlsxReader::column(int col) const
{
    return m_cols.value(col);
}

#include "import/CsvReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>

namespace CsvReader {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(CsvReader)
};

// CP949 through glibc's iconv; false on a byte sequence that is no CP949.
bool decodeCp949(const QByteArray& bytes, QString* text)
{
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == iconv_t(-1))
        return false;
    QByteArray out(bytes.size() * 3 / 2 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* dst = out.data();
    size_t outLeft = size_t(out.size());
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
            continue;
        if (errno != E2BIG) {
            ok = false; // EILSEQ or a sequence cut at the end of the file
            break;
        }
        const qsizetype used = dst - out.data();
        out.resize(out.size() * 2);
        dst = out.data() + used;
        outLeft = size_t(out.size() - used);
    }
    iconv_close(cd);
    if (ok)
        *text = QString::fromUtf8(out.constData(), dst - out.data());
    return ok;
}

bool decodeWith(QStringConverter::Encoding encoding, const QByteArray& bytes, QString* text)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    if (decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    *text = decoded;
    return true;
}
} // namespace

bool Decode(const QByteArray& bytes, QString* text, QString* encoding, ErrorInfo* error)
{
    const auto utf16 = QStringConverter::encodingForData(bytes.left(4));
    if (utf16 == QStringConverter::Utf16LE || utf16 == QStringConverter::Utf16BE) {
        *encoding = QStringLiteral("UTF-16");
        return decodeWith(*utf16, bytes, text) ||
               fail(error, ErrorInfo::notice(Text::tr("파일의 글자를 읽을 수 없습니다.")));
    }
    if (bytes.left(64 * 1024).contains('\0'))
        return fail(error, ErrorInfo::notice(Text::tr("텍스트 파일이 아닙니다 (이진 파일).")));
    if (decodeWith(QStringConverter::Utf8, bytes, text)) {
        *encoding = QStringLiteral("UTF-8");
        return true;
    }
    if (decodeCp949(bytes, text)) {
        *encoding = QStringLiteral("CP949");
        return true;
    }
    return fail(error, ErrorInfo::notice(
                           Text::tr("파일의 글자를 읽을 수 없습니다. UTF-8이나 CP949(EUC-KR) 파일이어야 합니다.")));
}

QChar DetectSeparator(const QString& text)
{
    const std::array<QChar, 3> candidates{QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(',')};
    QChar best = QLatin1Char(',');
    int bestScore = -1;
    const QString head = text.left(64 * 1024);
    for (const QChar sep : candidates) {
        ImportTable sample;
        Parse(head, sep, &sample);
        // Leave out the last line: the sample may cut it.
        if (sample.rows.size() > 1)
            sample.rows.removeLast();
        QHash<int, int> widths;
        for (const QStringList& row : std::as_const(sample.rows).mid(0, 50))
            if (row.size() > 1)
                ++widths[row.size()];
        int consistent = 0;
        for (auto it = widths.cbegin(); it != widths.cend(); ++it)
            consistent = std::max(consistent, it.value());
        if (consistent > bestScore) {
            best = sep;
            bestScore = consistent;
        }
    }
    return best;
}

void Parse(const QString& text, QChar separator, ImportTable* table)
{
    using namespace ImportLimits;
    QStringList row;
    QString cell;
    bool quoted = false;    // inside a quoted field
    bool fieldStart = true; // nothing of the field read yet
    bool cut = false;       // this row has a cell cut at the limit
    const auto endCell = [&] {
        if (row.size() < kMaxColumns)
            row.append(cell);
        cell.clear();
        fieldStart = true;
    };
    const auto endRow = [&] {
        endCell();
        if (cut)
            table->oversizedRows.insert(int(table->rows.size()));
        if (table->rows.size() < kMaxRows)
            table->rows.append(row);
        else
            table->tooManyRows = true;
        row.clear();
        cut = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                continue; // a line break inside a cell is kept as one '\n'
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"'))
                    ++i;
                else {
                    quoted = false;
                    continue;
                }
            }
        } else if (c == QLatin1Char('"') && fieldStart) {
            quoted = true;
            fieldStart = false;
            continue;
        } else if (c == separator) {
            endCell();
            continue;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endRow();
            continue;
        }
        fieldStart = false;
        if (cell.size() < kMaxCellChars)
            cell.append(c);
        else
            cut = true;
    }
    if (!row.isEmpty() || !cell.isEmpty() || !fieldStart)
        endRow();
}

bool ReadFile(const QString& path, ImportTable* table, ErrorInfo* error)
{
    QFile file(path);
    if (QFileInfo(path).size() > ImportLimits::kMaxFileBytes)
        return fail(error, ErrorInfo::notice(Text::tr("파일이 너무 큽니다 (%1MB까지 가져올 수 있습니다): %2")
                                                 .arg(ImportLimits::kMaxFileBytes / (1024 * 1024))
                                                 .arg(path)));
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, ErrorInfo::notice(Text::tr("파일을 열 수 없습니다: %1 (%2)").arg(path, file.errorString())));
    const QByteArray bytes = file.readAll();
    QString text, encoding;
    if (!Decode(bytes, &text, &encoding, error))
        return false;
    const QChar sep = DetectSeparator(text);
    *table = ImportTable();
    Parse(text, sep, table);
    const QString sepName = sep == QLatin1Char('\t')  ? Text::tr("탭")
                            : sep == QLatin1Char(';') ? Text::tr("세미콜론")
                                                      : Text::tr("쉼표");
    table->format = QStringLiteral("CSV, %1, %2").arg(encoding, sepName);
    return true;
}

} // namespace CsvReader

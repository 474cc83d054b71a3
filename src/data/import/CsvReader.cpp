#include "data/import/CsvReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
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

// Texts are converted a piece at a time: a file never exists twice as a whole in UTF-16.
constexpr qsizetype kPiece = 1 << 20;

// CP949 through glibc's iconv; false on a byte sequence that is no CP949.
bool fromCp949(const QByteArray& bytes, QByteArray* utf8)
{
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == iconv_t(-1))
        return false;
    QByteArray out(bytes.size() * 3 / 2 + 16, Qt::Uninitialized); // a two-byte character becomes three
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
    if (ok) {
        out.truncate(dst - out.data());
        out.squeeze();
        *utf8 = std::move(out);
    }
    return ok;
}

bool fromUtf16(QStringConverter::Encoding encoding, QByteArrayView bytes, QByteArray* utf8)
{
    QStringDecoder decoder(encoding);
    QByteArray out;
    for (qsizetype pos = 0; pos < bytes.size(); pos += kPiece) {
        QString piece = decoder.decode(bytes.sliced(pos, std::min(kPiece, bytes.size() - pos)));
        if (pos == 0 && piece.startsWith(QChar(0xFEFF)))
            piece.remove(0, 1);
        out += piece.toUtf8();
    }
    if (decoder.hasError())
        return false;
    *utf8 = std::move(out);
    return true;
}

// Well-formed UTF-8: no stray or missing continuation byte, no overlong
// form, no surrogate, nothing beyond U+10FFFF.
bool isUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    static constexpr uint kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (len == 0 || i + len > n)
            return false;
        uint code = c & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < kLeast[len] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}
} // namespace

bool Decode(QByteArray bytes, QByteArray* utf8, QString* encoding, ErrorInfo* error)
{
    const auto utf16 =
        QStringConverter::encodingForData(QByteArrayView(bytes).first(std::min<qsizetype>(4, bytes.size())));
    if (utf16 == QStringConverter::Utf16LE || utf16 == QStringConverter::Utf16BE) {
        *encoding = QStringLiteral("UTF-16");
        return fromUtf16(*utf16, bytes, utf8) ||
               fail(error, ErrorInfo::notice(Text::tr("파일의 글자를 읽을 수 없습니다.")));
    }
    if (QByteArrayView(bytes).first(std::min<qsizetype>(64 * 1024, bytes.size())).contains('\0'))
        return fail(error, ErrorInfo::notice(Text::tr("텍스트 파일이 아닙니다 (이진 파일).")));
    if (isUtf8(bytes)) {
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        *encoding = QStringLiteral("UTF-8");
        *utf8 = std::move(bytes);
        return true;
    }
    if (fromCp949(bytes, utf8)) {
        *encoding = QStringLiteral("CP949");
        return true;
    }
    return fail(error, ErrorInfo::notice(
                           Text::tr("파일의 글자를 읽을 수 없습니다. UTF-8이나 CP949(EUC-KR) 파일이어야 합니다.")));
}

char DetectSeparator(QByteArrayView utf8)
{
    char best = ',';
    int bestScore = -1;
    const QByteArrayView head = utf8.first(std::min<qsizetype>(64 * 1024, utf8.size()));
    for (const char sep : {'\t', ';', ','}) {
        ImportTable sample;
        Parse(head, sep, &sample);
        // Leave out the last line: the sample may cut it.
        const qsizetype n =
            std::min<qsizetype>(sample.rows.size() > 1 ? sample.rows.size() - 1 : sample.rows.size(), 50);
        QHash<int, int> widths;
        for (qsizetype r = 0; r < n; ++r)
            if (sample.rows[r].size() > 1)
                ++widths[sample.rows[r].size()];
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

void Parse(QByteArrayView text, char separator, ImportTable* table)
{
    using namespace ImportLimits;
    ImportRows& rows = table->rows;
    QByteArray cell;
    int col = 0;            // fields of this row ended
    int chars = 0;          // UTF-16 code units in `cell`
    bool full = false;      // `cell` is at the limit: the rest of it is left out
    bool cut = false;       // this row has a cell cut at the limit
    bool quoted = false;    // inside a quoted field
    bool fieldStart = true; // nothing of the field read yet
    int line = 1;           // of the file, counting line breaks inside quoted fields
    int quoteRow = 0, quoteLine = 0;
    const auto append = [&](char c) {
        if ((uchar(c) & 0xC0) != 0x80) { // a character starts
            const int units = uchar(c) >= 0xF0 ? 2 : 1;
            full = full || chars + units > kMaxCellChars;
            cut = cut || full;
            chars += units;
        }
        if (!full)
            cell.append(c);
    };
    const auto endCell = [&] {
        rows.addCell(col++, cell);
        cell.truncate(0);
        chars = 0;
        full = false;
        fieldStart = true;
    };
    const auto endRow = [&] {
        endCell();
        const int index = int(rows.size());
        if (!rows.endRow())
            return false;
        if (cut)
            table->oversizedRows.insert(index);
        col = 0;
        cut = false;
        return true;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        const char next = i + 1 < n ? text[i + 1] : '\0';
        if (quoted) {
            if (c == '\r' && next == '\n')
                continue; // a line break inside a cell is kept as one '\n'
            if (c == '\r' || c == '\n')
                ++line;
            if (c == '"') {
                if (next == '"')
                    ++i;
                else {
                    quoted = false;
                    continue;
                }
            }
        } else if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
            quoteRow = int(rows.size()) + 1;
            quoteLine = line;
            continue;
        } else if (c == separator) {
            endCell();
            continue;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && next == '\n')
                ++i;
            ++line;
            if (!endRow())
                return;
            continue;
        }
        fieldStart = false;
        append(c);
    }
    if ((col > 0 || !cell.isEmpty() || !fieldStart) && !endRow())
        return;
    if (quoted) {
        table->openQuoteRow = quoteRow;
        table->openQuoteLine = quoteLine;
    }
}

bool ReadFile(const QString& path, ImportTable* table, ErrorInfo* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, ErrorInfo::notice(Text::tr("파일을 열 수 없습니다: %1 (%2)").arg(path, file.errorString())));
    QByteArray text;
    QString encoding;
    if (!Decode(file.readAll(), &text, &encoding, error))
        return false;
    file.close();
    const char sep = DetectSeparator(text);
    *table = ImportTable();
    Parse(text, sep, table);
    const QString sepName = sep == '\t' ? Text::tr("탭") : sep == ';' ? Text::tr("세미콜론") : Text::tr("쉼표");
    table->format = QStringLiteral("CSV, %1, %2").arg(encoding, sepName);
    return true;
}

} // namespace CsvReader

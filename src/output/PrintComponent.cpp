#include "output/PrintComponent.h"

#include "data/db/PartFile.h"

#include "data/base/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

PrintComponent::PreviewHook& previewHook()
{
    static PrintComponent::PreviewHook s;
    return s;
}

// Qt's PDF writer maps glyphs back to characters through the font's cmap;
// the Nanum fonts give the space glyph to the control characters as well, so
// a drawn blank reads back as U+0001. Blanks are therefore never drawn: each
// word goes to its own place, and PDF readers see the gaps as blanks.
void drawWords(QPainter& p, const QRectF& r, int flags, const QString& text)
{
    if (!text.contains(u' ')) {
        p.drawText(r, flags, text);
        return;
    }
    const QFontMetricsF fm(p.font(), p.device());
    const qreal width = fm.horizontalAdvance(text);
    qreal x = r.left();
    if (flags & Qt::AlignRight)
        x = r.right() - width;
    else if (flags & Qt::AlignHCenter)
        x = r.left() + (r.width() - width) / 2;
    qreal baseline = r.top() + (r.height() - fm.height()) / 2 + fm.ascent();
    if (flags & Qt::AlignTop)
        baseline = r.top() + fm.ascent();
    else if (flags & Qt::AlignBottom)
        baseline = r.bottom() - fm.descent();
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u' ', start);
        if (end < 0)
            end = text.size();
        if (end > start)
            p.drawText(QPointF(x + fm.horizontalAdvance(text.left(start)), baseline), text.mid(start, end - start));
        start = end + 1;
    }
}

// A number is never shortened: one too wide for its cell is drawn smaller.
QString fitToCell(QPainter& p, const QRectF& r, const QString& text)
{
    const QFontMetricsF fm(p.font(), p.device());
    const qreal needed = fm.horizontalAdvance(text);
    if (needed <= r.width())
        return text;
    static const QRegularExpression number(QStringLiteral("^[-+(]?[0-9][0-9,.]*[)%]?$"));
    if (!number.match(text.trimmed()).hasMatch())
        return fm.elidedText(text, Qt::ElideRight, r.width());
    QFont smaller = p.font();
    smaller.setPointSizeF(qMax(1.0, smaller.pointSizeF() * r.width() / needed * 0.98));
    p.setFont(smaller);
    return text;
}

constexpr double kCellPoints = 9.0;    // cell text at natural size
constexpr double kMinCellPoints = 5.5; // the smallest a shrunk sheet gets
constexpr double kMaxStretch = 1.6;    // narrow sheets widen at most this much

// Families that carry Hangul (fonts-nanum first); fontconfig falls back for the rest.
QFont printFont(double points, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
                   QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Sans KR"), QStringLiteral("UnDotum"),
                   QStringLiteral("Sans Serif")});
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// The texts above a printed sheet or picture.
struct HeaderTexts {
    QString title, subTitle, periodLine, printed;
};

// Title and subtitle centred across the page, then the period line on the
// left of `line` and the print date on its right (only `line`'s left and
// width count). Returns where the content below starts.
double paintTitleBlock(QPainter& p, QPaintDevice* device, double pageWidth, const QRectF& line,
                       const HeaderTexts& texts)
{
    const QFont titleFont = printFont(15, true), subFont = printFont(11), lineFont = printFont(9);
    const double th = QFontMetricsF(titleFont, device).height() * 1.5;
    const double lineH = QFontMetricsF(lineFont, device).height() * 1.4;
    double y = 0;
    p.setFont(titleFont);
    p.setPen(Qt::black);
    drawWords(p, QRectF(0, y, pageWidth, th), Qt::AlignCenter, texts.title);
    y += th;
    if (!texts.subTitle.isEmpty()) {
        const double sh = QFontMetricsF(subFont, device).height() * 1.3;
        p.setFont(subFont);
        drawWords(p, QRectF(0, y, pageWidth, sh), Qt::AlignCenter, texts.subTitle);
        y += sh;
    }
    p.setFont(lineFont);
    const QRectF periodRect(line.left(), y, line.width(), lineH);
    drawWords(p, periodRect, Qt::AlignLeft | Qt::AlignVCenter, texts.periodLine);
    drawWords(p, periodRect, Qt::AlignRight | Qt::AlignVCenter, texts.printed);
    return y + lineH + 4 * device->logicalDpiY() / 72.0;
}

// The footer's height on `device`.
double footerHeight(QPaintDevice* device)
{
    return QFontMetricsF(printFont(9), device).height() * 1.4 + 2 * device->logicalDpiY() / 72.0;
}

// "page / pages" in the middle of the page's foot, `footer` in grey on the left.
void paintFooterLine(QPainter& p, QPaintDevice* device, const QRectF& page, double left, double width, int pageNo,
                     int pages, const QString& footer)
{
    p.setFont(printFont(9));
    p.setPen(Qt::black);
    const double h = footerHeight(device);
    const QRectF foot(0, page.height() - h, page.width(), h);
    drawWords(p, foot, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(pageNo).arg(pages));
    if (!footer.isEmpty()) {
        p.setPen(QColor(120, 120, 120));
        drawWords(p, QRectF(left, foot.top(), width, h), Qt::AlignLeft | Qt::AlignBottom, footer);
    }
}

// Lays a sheet out on the printer's pages and paints them. The rows are read
// once, before the pages are counted.
class SheetLayout {
public:
    SheetLayout(const Sheet& sheet, QString title, QString subTitle, QString periodLine, QString footer)
        : m_title(std::move(title)), m_subTitle(std::move(subTitle)), m_periodLine(std::move(periodLine)),
          m_footer(std::move(footer))
    {
        for (int c = 0; c < sheet.columnCount(); ++c) {
            if (sheet.columnWidth(c) > 0)
                m_cols.append(c);
        }
        for (int c : m_cols)
            m_widths.append(sheet.columnWidth(c));
        m_headers.resize(sheet.headerRows());
        for (int h = 0; h < sheet.headerRows(); ++h) {
            for (int c : m_cols)
                m_headers[h].append(sheet.headerText(c, h));
        }
        m_read = sheet.forEachRow(
            [this](const SheetRow& row) {
                SheetRow shown;
                shown.reserve(m_cols.size());
                for (int c : m_cols)
                    shown.append(c < row.size() ? row[c] : SheetCell());
                m_data.append(std::move(shown));
                return true;
            },
            &m_error);
        m_rows = int(m_data.size());
        m_headerRows = sheet.headerRows();
    }

    // Whether the rows could be read; `error` says why not.
    bool read(ErrorInfo* error) const { return m_read || fail(error, m_error); }

    // The sheet's natural width in inches, at the cell font's natural size.
    double naturalWidthInches() const
    {
        QFontMetricsF fm(printFont(kCellPoints)); // screen metrics: only the ratio to the point size counts
        const double zeroPt = fm.horizontalAdvance(QLatin1Char('0')) * 72.0 / 96.0;
        double chars = 0;
        for (double w : m_widths)
            chars += w;
        return (chars * zeroPt * 1.2 + m_cols.size() * 4.0) / 72.0;
    }

    // Paints every page; returns the number of pages, -1 when the device cannot be painted on.
    int paint(QPrinter* printer, const Progress& progress)
    {
        QPainter p;
        if (!p.begin(printer))
            return -1;
        const PageMetrics m = measure(printer);
        int row = 1;
        for (int pageNo = 1; pageNo <= m.pages; ++pageNo) {
            if (pageNo > 1)
                printer->newPage();
            double y = pageNo == 1 ? paintFirstHeader(p, m) : paintCompactHeader(p, m);
            y = paintColumnTitles(p, m, y);
            const int last = qMin(m_rows, row + (pageNo == 1 ? m.firstRows : m.otherRows) - 1);
            paintRows(p, m, row, last, y);
            row = qMax(row, last + 1);
            paintFooter(p, m, pageNo);
            if (!Report(progress, pageNo, m.pages)) {
                p.end();
                return -1;
            }
        }
        return p.end() ? m.pages : -1;
    }

private:
    // Everything one print run measures before painting: column edges, fonts, heights and the page count.
    struct PageMetrics {
        QPrinter* printer = nullptr;
        QRectF page;
        double pt = 1; // device units per point
        QList<double> x;
        double tableWidth = 0;
        QFont cell, cellBold, titleFont, subFont, lineFont, smallBold;
        double rowH = 0, lineH = 0, pad = 0, footerH = 0;
        int firstRows = 1, otherRows = 1, pages = 1;
        QString printed;
        QPen gridPen;
    };

    PageMetrics measure(QPrinter* printer) const
    {
        PageMetrics m;
        m.printer = printer;
        const double dpi = printer->resolution();
        m.page = QRectF(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
        m.pt = dpi / 72.0;
        const double cellPoints = measureColumns(m, dpi);
        m.cell = printFont(cellPoints);
        m.cellBold = printFont(cellPoints, true);
        m.titleFont = printFont(15, true);
        m.subFont = printFont(11);
        m.lineFont = printFont(9);
        m.smallBold = printFont(9, true);
        m.rowH = QFontMetricsF(m.cell, printer).height() * 1.55;
        m.lineH = QFontMetricsF(m.lineFont, printer).height() * 1.4;
        m.pad = 2.5 * m.pt;
        countPages(m);
        m.printed = QCoreApplication::translate("PrintComponent", "출력일: ") + DateText::day(Clock::today());
        m.gridPen = QPen(QColor(110, 110, 110), qMax(1.0, 0.5 * m.pt));
        return m;
    }

    // Column widths scaled to the printable width; returns the cell font size, which follows a shrink.
    double measureColumns(PageMetrics& m, double dpi) const
    {
        const double natural = naturalWidthInches() * dpi;
        double scale = natural > 0 ? m.page.width() / natural : 1.0;
        const double cellPoints = qMax(kMinCellPoints, kCellPoints * qMin(1.0, scale));
        scale = qMin(scale, kMaxStretch);
        double total = 0;
        for (double w : m_widths)
            total += w;
        m.tableWidth = qMin(m.page.width(), natural * scale);
        const double left = (m.page.width() - m.tableWidth) / 2;
        m.x = {left};
        for (double w : m_widths)
            m.x.append(m.x.last() + (total > 0 ? m.tableWidth * w / total : 0));
        return cellPoints;
    }

    // Rows per page below the header block of the first page and the compact one of the others.
    void countPages(PageMetrics& m) const
    {
        double firstTop = QFontMetricsF(m.titleFont, m.printer).height() * 1.5;
        if (!m_subTitle.isEmpty())
            firstTop += QFontMetricsF(m.subFont, m.printer).height() * 1.3;
        firstTop += m.lineH + 4 * m.pt;
        const double otherTop = m.lineH + 4 * m.pt;
        m.footerH = m.lineH + 2 * m.pt;
        const double headH = m_headerRows * m.rowH;
        m.firstRows = qMax(1, int((m.page.height() - firstTop - headH - m.footerH) / m.rowH));
        m.otherRows = qMax(1, int((m.page.height() - otherTop - headH - m.footerH) / m.rowH));
        m.pages = 1;
        if (m_rows > m.firstRows)
            m.pages += (m_rows - m.firstRows + m.otherRows - 1) / m.otherRows;
    }

    // Title, subtitle and the period line with the print date; returns where the table starts.
    double paintFirstHeader(QPainter& p, const PageMetrics& m) const
    {
        const HeaderTexts texts{m_title, m_subTitle, m_periodLine, m.printed};
        return paintTitleBlock(p, m.printer, m.page.width(), QRectF(m.x.first(), 0, m.tableWidth, m.lineH), texts);
    }

    // One line with the title, the period and the print date; returns where the table starts.
    double paintCompactHeader(QPainter& p, const PageMetrics& m) const
    {
        p.setFont(m.smallBold);
        p.setPen(Qt::black);
        const QString compact = m_periodLine.isEmpty() ? m_title : m_title + QStringLiteral("  ") + m_periodLine;
        const QRectF line(m.x.first(), 0, m.tableWidth, m.lineH);
        drawWords(p, line, Qt::AlignLeft | Qt::AlignVCenter, compact);
        p.setFont(m.lineFont);
        drawWords(p, line, Qt::AlignRight | Qt::AlignVCenter, m.printed);
        return m.lineH + 4 * m.pt;
    }

    // The column titles, repeated on every page; returns the top of the first data row.
    double paintColumnTitles(QPainter& p, const PageMetrics& m, double y) const
    {
        p.setPen(m.gridPen);
        for (int h = 0; h < m_headerRows; ++h) {
            for (int i = 0; i < m_cols.size(); ++i) {
                const QRectF r(m.x[i], y, m.x[i + 1] - m.x[i], m.rowH);
                p.fillRect(r, QColor(232, 232, 232));
                p.setPen(m.gridPen);
                p.drawRect(r);
                p.setFont(m.cellBold);
                p.setPen(Qt::black);
                drawClipped(p, r.adjusted(m.pad, 0, -m.pad, 0), Qt::AlignCenter, m_headers[h][i]);
            }
            y += m.rowH;
        }
        return y;
    }

    // Grid rows first..last of one page, from `y` down.
    void paintRows(QPainter& p, const PageMetrics& m, int first, int last, double y) const
    {
        for (int row = first; row <= last; ++row) {
            for (int i = 0; i < m_cols.size(); ++i)
                paintCell(p, m, m_data[row - 1][i], QRectF(m.x[i], y, m.x[i + 1] - m.x[i], m.rowH));
            y += m.rowH;
        }
    }

    void paintCell(QPainter& p, const PageMetrics& m, const SheetCell& cell, const QRectF& r) const
    {
        if (cell.back != 0 && cell.back != 0xffffffff)
            p.fillRect(r, QColor::fromRgba(cell.back));
        p.setPen(m.gridPen);
        p.drawRect(r);
        const QString text = ShownText(cell);
        if (text.isEmpty())
            return;
        Qt::Alignment h = cell.align & Qt::AlignHorizontal_Mask;
        if (cell.number)
            h = Qt::AlignRight;
        else if (!h)
            h = Qt::AlignLeft;
        p.setPen(cell.fore != 0 ? QColor::fromRgba(cell.fore) : QColor(Qt::black));
        p.setFont(cell.bold ? m.cellBold : m.cell);
        drawClipped(p, r.adjusted(m.pad, 0, -m.pad, 0), h | Qt::AlignVCenter, text);
    }

    // Page number in the middle, the program's title on the left.
    void paintFooter(QPainter& p, const PageMetrics& m, int pageNo) const
    {
        paintFooterLine(p, m.printer, m.page, m.x.first(), m.tableWidth, pageNo, m.pages, m_footer);
    }

    static void drawClipped(QPainter& p, const QRectF& r, Qt::Alignment align, const QString& text)
    {
        const QFont font = p.font();
        drawWords(p, r, int(align) | Qt::TextSingleLine, fitToCell(p, r, text));
        p.setFont(font);
    }

    QString m_title;
    QString m_subTitle;
    QString m_periodLine;
    QString m_footer;
    QList<int> m_cols; // the sheet's columns that have a width
    QList<double> m_widths;
    QList<QStringList> m_headers;
    QList<SheetRow> m_data;
    bool m_read = false;
    ErrorInfo m_error;
    int m_rows = 0;
    int m_headerRows = 0;
};

// A4 with the caller's margins, turned to landscape when the content is wider than a portrait page.
void setUpPage(QPrinter& printer, double naturalWidthInches, int copies, double top, double bottom, double left,
               double right)
{
    auto inches = [](double v) { return std::isfinite(v) ? qBound(0.0, v, 3.0) : 0.5; };
    const QMarginsF margins(inches(left), inches(top), inches(right), inches(bottom));
    const QPageSize a4(QPageSize::A4);
    const double portraitWidth = a4.size(QPageSize::Inch).width() - margins.left() - margins.right();
    const auto orientation = naturalWidthInches > portraitWidth * 1.05 ? QPageLayout::Landscape : QPageLayout::Portrait;
    printer.setPageLayout(QPageLayout(a4, orientation, margins, QPageLayout::Inch));
    printer.setCopyCount(qMax(1, copies));
}

// Whether the file holds a whole PDF, safely on the disk: a full disk cuts
// the writer short without telling, leaving a file without its trailer.
bool isCompletePdf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 64 || !f.seek(f.size() - qMin<qint64>(f.size(), 1024)))
        return false;
    return f.readAll().contains("%%EOF") && ::fsync(f.handle()) == 0;
}
} // namespace

void PrintComponent::setPreviewHook(PreviewHook hook)
{
    previewHook() = std::move(hook);
}

bool PrintComponent::PrintSheet(const Sheet& sheet, const PrintDescription& d, QWidget* parent, ErrorInfo* error)
{
    return PrintSheet(sheet, d.windowName, d.title, d.subTitle, d.periodLine, d.copies, d.marginTop, d.marginBottom,
                      d.marginLeft, d.marginRight, parent, error);
}

bool PrintComponent::PrintSheet(const Sheet& sheet, const QString& windowName, const QString& title,
                                const QString& subTitle, const QString& periodLine, int copies, double marginTop,
                                double marginBottom, double marginLeft, double marginRight, QWidget* parent,
                                ErrorInfo* error)
{
    m_lastPageCount = 0;
    SheetLayout layout(sheet, title, subTitle, periodLine, m_title);
    if (!layout.read(error))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title.isEmpty() ? windowName : title);
    setUpPage(printer, layout.naturalWidthInches(), copies, marginTop, marginBottom, marginLeft, marginRight);
    return run(
        printer, title, [this, &layout](QPrinter* target) { return layout.paint(target, m_progress); }, parent, error);
}

bool PrintComponent::PrintPicture(const PicturePainter& picture, const PrintDescription& d, QWidget* parent,
                                  ErrorInfo* error)
{
    m_lastPageCount = 0;
    if (!picture)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(d.title.isEmpty() ? d.windowName : d.title);
    // A picture is wider than high: always across the page.
    setUpPage(printer, 1000, d.copies, d.marginTop, d.marginBottom, d.marginLeft, d.marginRight);
    const QString footer = m_title;
    const auto paint = [&](QPrinter* target) {
        QPainter p;
        if (!p.begin(target))
            return -1;
        const QRectF page(QPointF(0, 0), target->pageLayout().paintRectPixels(target->resolution()).size());
        const QString printed =
            QCoreApplication::translate("PrintComponent", "출력일: ") + DateText::day(Clock::today());
        const double top = paintTitleBlock(p, target, page.width(), QRectF(0, 0, page.width(), 0),
                                           HeaderTexts{d.title, d.subTitle, d.periodLine, printed});
        const double bottom = page.height() - footerHeight(target);
        picture(&p, QRectF(0, top, page.width(), qMax(1.0, bottom - top)));
        paintFooterLine(p, target, page, 0, page.width(), 1, 1, footer);
        return p.end() ? 1 : -1;
    };
    return run(printer, d.title, paint, parent, error);
}

bool PrintComponent::run(QPrinter& printer, const QString& title, const std::function<int(QPrinter*)>& paint,
                         QWidget* parent, ErrorInfo* error)
{
    printer.setCreator(m_title.isEmpty() ? QStringLiteral("Tallox") : m_title);
    if (!m_pdfTarget.isEmpty()) {
        // Written under a temporary name and renamed when complete, so that no half-written PDF remains.
        const QFileInfo target(m_pdfTarget);
        const QString temp = PartFileFor(m_pdfTarget);
        RemoveStalePartFiles(target.absolutePath());
        QFile::remove(temp);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temp);
        const int pages = paint(&printer);
        const bool complete = pages > 0 && isCompletePdf(temp);
        if (!complete || std::rename(QFile::encodeName(temp).constData(),
                                     QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
            QFile::remove(temp);
            return fail(error, ErrorInfo::notice(
                                   QCoreApplication::translate("PrintComponent", "PDF 파일을 만들 수 없습니다.\r\n") +
                                   QDir::toNativeSeparators(m_pdfTarget)));
        }
        m_lastPageCount = pages;
        return true;
    }

    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(title.isEmpty() ? m_title : title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this, &paint](QPrinter* target) { m_lastPageCount = qMax(0, paint(target)); });
    if (previewHook())
        previewHook()(preview);
    else
        preview.exec();
    return true;
}

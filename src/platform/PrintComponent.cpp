#include "platform/PrintComponent.h"

#include "base/Clock.h"
#include "platform/SpreadGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <cmath>
#include <cstdio>

namespace {

PrintComponent::PreviewHook& previewHook() {
    static PrintComponent::PreviewHook s;
    return s;
}

constexpr double kCellPoints = 9.0;    // cell text at natural size
constexpr double kMinCellPoints = 5.5; // the smallest a shrunk sheet gets
constexpr double kMaxStretch = 1.6;    // narrow sheets widen at most this much

// Families that carry Hangul (fonts-nanum first); fontconfig falls back for the rest.
QFont printFont(double points, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
                   QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Sans KR"), QStringLiteral("UnDotum"),
                   QStringLiteral("Sans Serif")});
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool isNumericType(SpreadGrid::CellType type) {
    return type == SpreadGrid::CellType::Float || type == SpreadGrid::CellType::Integer ||
           type == SpreadGrid::CellType::Currency || type == SpreadGrid::CellType::Number;
}

// The grid's width of a column in its character units (twips when the grid counts in twips).
double charUnits(const SpreadGrid& grid, int col) {
    const double w = grid.colWidth(col);
    return grid.unitType() == 2 ? w / 105.0 : w;
}

// Lays the grid out on the printer's pages and paints them.
class SheetLayout {
public:
    SheetLayout(SpreadGrid* grid, QString title, QString subTitle, QString periodLine, QString footer)
        : m_grid(grid), m_title(std::move(title)), m_subTitle(std::move(subTitle)), m_periodLine(std::move(periodLine)),
          m_footer(std::move(footer)) {
        for (int c = 1; c <= grid->maxCols(); ++c) {
            if (!grid->colHidden(c) && charUnits(*grid, c) > 0)
                m_cols.append(c);
        }
        m_rows = grid->dataRowCnt();
        m_headerRows = grid->colHeaderRows();
    }

    // The sheet's natural width in inches, at the cell font's natural size.
    double naturalWidthInches() const {
        QFontMetricsF fm(printFont(kCellPoints)); // screen metrics: only the ratio to the point size counts
        const double zeroPt = fm.horizontalAdvance(QLatin1Char('0')) * 72.0 / 96.0;
        double chars = 0;
        for (int c : m_cols)
            chars += charUnits(*m_grid, c);
        return (chars * zeroPt * 1.2 + m_cols.size() * 4.0) / 72.0;
    }

    // Paints every page; returns the number of pages, -1 when the device cannot be painted on.
    int paint(QPrinter* printer) {
        QPainter p;
        if (!p.begin(printer))
            return -1;
        const double dpi = printer->resolution();
        const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
        const double pt = dpi / 72.0; // device units per point

        // Column widths scaled to the printable width; the font follows a shrink.
        const double natural = naturalWidthInches() * dpi;
        double scale = natural > 0 ? page.width() / natural : 1.0;
        const double cellPoints = qMax(kMinCellPoints, kCellPoints * qMin(1.0, scale));
        scale = qMin(scale, kMaxStretch);
        double total = 0;
        for (int c : m_cols)
            total += charUnits(*m_grid, c);
        const double tableWidth = qMin(page.width(), natural * scale);
        const double left = (page.width() - tableWidth) / 2;
        QList<double> x{left};
        for (int c : m_cols)
            x.append(x.last() + (total > 0 ? tableWidth * charUnits(*m_grid, c) / total : 0));

        const QFont cell = printFont(cellPoints);
        const QFont cellBold = printFont(cellPoints, true);
        const QFont titleFont = printFont(15, true);
        const QFont subFont = printFont(11);
        const QFont lineFont = printFont(9);
        const QFont smallBold = printFont(9, true);
        const double rowH = QFontMetricsF(cell, printer).height() * 1.55;
        const double lineH = QFontMetricsF(lineFont, printer).height() * 1.4;
        const double pad = 2.5 * pt;

        // Header block of the first page and the compact one of the others.
        double firstTop = QFontMetricsF(titleFont, printer).height() * 1.5;
        if (!m_subTitle.isEmpty())
            firstTop += QFontMetricsF(subFont, printer).height() * 1.3;
        firstTop += lineH + 4 * pt;
        const double otherTop = lineH + 4 * pt;
        const double footerH = lineH + 2 * pt;
        const double headH = m_headerRows * rowH;
        const int firstRows = qMax(1, int((page.height() - firstTop - headH - footerH) / rowH));
        const int otherRows = qMax(1, int((page.height() - otherTop - headH - footerH) / rowH));
        int pages = 1;
        if (m_rows > firstRows)
            pages += (m_rows - firstRows + otherRows - 1) / otherRows;

        const QString printed = QStringLiteral("출력일: ") + DateText::day(Clock::today());
        const QPen gridPen(QColor(110, 110, 110), qMax(1.0, 0.5 * pt));
        int row = 1;
        for (int pageNo = 1; pageNo <= pages; ++pageNo) {
            if (pageNo > 1)
                printer->newPage();
            double y = 0;
            if (pageNo == 1) {
                const double th = QFontMetricsF(titleFont, printer).height() * 1.5;
                p.setFont(titleFont);
                p.setPen(Qt::black);
                p.drawText(QRectF(0, y, page.width(), th), Qt::AlignCenter, m_title);
                y += th;
                if (!m_subTitle.isEmpty()) {
                    const double sh = QFontMetricsF(subFont, printer).height() * 1.3;
                    p.setFont(subFont);
                    p.drawText(QRectF(0, y, page.width(), sh), Qt::AlignCenter, m_subTitle);
                    y += sh;
                }
                p.setFont(lineFont);
                p.drawText(QRectF(x.first(), y, tableWidth, lineH), Qt::AlignLeft | Qt::AlignVCenter, m_periodLine);
                p.drawText(QRectF(x.first(), y, tableWidth, lineH), Qt::AlignRight | Qt::AlignVCenter, printed);
                y += lineH + 4 * pt;
            } else {
                p.setFont(smallBold);
                p.setPen(Qt::black);
                const QString compact =
                    m_periodLine.isEmpty() ? m_title : m_title + QStringLiteral("  ") + m_periodLine;
                p.drawText(QRectF(x.first(), y, tableWidth, lineH), Qt::AlignLeft | Qt::AlignVCenter, compact);
                p.setFont(lineFont);
                p.drawText(QRectF(x.first(), y, tableWidth, lineH), Qt::AlignRight | Qt::AlignVCenter, printed);
                y += lineH + 4 * pt;
            }

            // The column titles on every page.
            p.setPen(gridPen);
            for (int h = 0; h < m_headerRows; ++h) {
                for (int i = 0; i < m_cols.size(); ++i) {
                    const QRectF r(x[i], y, x[i + 1] - x[i], rowH);
                    p.fillRect(r, QColor(232, 232, 232));
                    p.setPen(gridPen);
                    p.drawRect(r);
                    p.setFont(cellBold);
                    p.setPen(Qt::black);
                    drawClipped(p, r.adjusted(pad, 0, -pad, 0), Qt::AlignCenter, m_grid->headerText(m_cols[i], h));
                }
                y += rowH;
            }

            const int last = qMin(m_rows, row + (pageNo == 1 ? firstRows : otherRows) - 1);
            for (; row <= last; ++row) {
                for (int i = 0; i < m_cols.size(); ++i) {
                    const int c = m_cols[i];
                    const QRectF r(x[i], y, x[i + 1] - x[i], rowH);
                    const QColor back = m_grid->backColor(c, row);
                    if (back.isValid() && back != QColor(Qt::white))
                        p.fillRect(r, back);
                    p.setPen(gridPen);
                    p.drawRect(r);
                    const QString text = m_grid->displayText(c, row);
                    if (text.isEmpty())
                        continue;
                    Qt::Alignment h = m_grid->alignment(c, row) & Qt::AlignHorizontal_Mask;
                    if (isNumericType(m_grid->cellType(c, row)))
                        h = Qt::AlignRight;
                    else if (!h)
                        h = Qt::AlignLeft;
                    const QColor fore = m_grid->foreColor(c, row);
                    p.setPen(fore.isValid() ? fore : QColor(Qt::black));
                    p.setFont(m_grid->fontBold(c, row) ? cellBold : cell);
                    drawClipped(p, r.adjusted(pad, 0, -pad, 0), h | Qt::AlignVCenter, text);
                }
                y += rowH;
            }

            // Footer: page number in the middle, the program's title on the left.
            p.setFont(lineFont);
            p.setPen(Qt::black);
            const QRectF foot(0, page.height() - footerH, page.width(), footerH);
            p.drawText(foot, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(pageNo).arg(pages));
            if (!m_footer.isEmpty()) {
                p.setPen(QColor(120, 120, 120));
                p.drawText(QRectF(x.first(), foot.top(), tableWidth, footerH), Qt::AlignLeft | Qt::AlignBottom,
                           m_footer);
            }
        }
        p.end();
        return pages;
    }

private:
    static void drawClipped(QPainter& p, const QRectF& r, Qt::Alignment align, const QString& text) {
        const QFontMetricsF fm(p.font(), p.device());
        const QString shown =
            fm.horizontalAdvance(text) > r.width() ? fm.elidedText(text, Qt::ElideRight, r.width()) : text;
        p.drawText(r, int(align) | Qt::TextSingleLine, shown);
    }

    SpreadGrid* m_grid;
    QString m_title;
    QString m_subTitle;
    QString m_periodLine;
    QString m_footer;
    QList<int> m_cols;
    int m_rows = 0;
    int m_headerRows = 0;
};

// A4 with the caller's margins, turned to landscape when the sheet is wider than a portrait page.
void setUpPage(QPrinter& printer, const SheetLayout& layout, int copies, double top, double bottom, double left,
               double right) {
    auto inches = [](double v) { return std::isfinite(v) ? qBound(0.0, v, 3.0) : 0.5; };
    const QMarginsF margins(inches(left), inches(top), inches(right), inches(bottom));
    const QPageSize a4(QPageSize::A4);
    const double portraitWidth = a4.size(QPageSize::Inch).width() - margins.left() - margins.right();
    const auto orientation =
        layout.naturalWidthInches() > portraitWidth * 1.05 ? QPageLayout::Landscape : QPageLayout::Portrait;
    printer.setPageLayout(QPageLayout(a4, orientation, margins, QPageLayout::Inch));
    printer.setCopyCount(qMax(1, copies));
}

} // namespace

void PrintComponent::setPreviewHook(PreviewHook hook) {
    previewHook() = std::move(hook);
}

QString PrintPeriodLine(const QString& from, const QString& to) {
    return QStringLiteral("( 검색기간: ") + from + QStringLiteral(" - ") + to + QStringLiteral(" )");
}

bool PrintComponent::PrintSheet(SpreadGrid* grid, const PrintDescription& d, QWidget* parent, ErrorInfo* error) {
    return PrintSheet(grid, d.windowName, d.title, d.subTitle, d.periodLine, d.copies, d.marginTop, d.marginBottom,
                      d.marginLeft, d.marginRight, parent, error);
}

bool PrintComponent::PrintSheet(SpreadGrid* grid, const QString& windowName, const QString& title,
                                const QString& subTitle, const QString& periodLine, int copies, double marginTop,
                                double marginBottom, double marginLeft, double marginRight, QWidget* parent,
                                ErrorInfo* error) {
    m_lastPageCount = 0;
    if (!grid)
        return false;
    SheetLayout layout(grid, title, subTitle, periodLine, m_title);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title.isEmpty() ? windowName : title);
    printer.setCreator(m_title.isEmpty() ? QStringLiteral("Tallox") : m_title);
    setUpPage(printer, layout, copies, marginTop, marginBottom, marginLeft, marginRight);

    if (!m_pdfTarget.isEmpty()) {
        // Written under a temporary name and renamed when complete, so that no half-written PDF remains.
        const QFileInfo target(m_pdfTarget);
        const QString temp = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".part");
        QFile::remove(temp);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temp);
        const int pages = layout.paint(&printer);
        const bool complete = pages > 0 && QFileInfo(temp).size() > 0;
        if (!complete || std::rename(QFile::encodeName(temp).constData(),
                                     QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
            QFile::remove(temp);
            return fail(error, ErrorInfo::notice(QStringLiteral("PDF 파일을 만들 수 없습니다.\r\n") +
                                                 QDir::toNativeSeparators(m_pdfTarget)));
        }
        m_lastPageCount = pages;
        return true;
    }

    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(title.isEmpty() ? m_title : title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this, &layout](QPrinter* target) { m_lastPageCount = qMax(0, layout.paint(target)); });
    if (previewHook())
        previewHook()(preview);
    else
        preview.exec();
    return true;
}

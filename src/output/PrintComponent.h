#pragma once

#include "data/base/Progress.h"

#include "data/base/Error.h"
#include "data/sheet/Sheet.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class QPainter;
class QPrinter;
class QPrintPreviewDialog;
class QRectF;

// The printing component (goPrint): lays a sheet out on pages with a
// title, a second title and a period line, and shows a print preview from
// which the user prints or saves a PDF. With a PDF target set it writes the
// PDF straight to that file instead (tests and the command line).
class PrintComponent {
public:
    PrintComponent() = default;

    void setTitle(const QString& title) { m_title = title; }
    QString title() const { return m_title; }

    // Write the next prints to this PDF file instead of showing the preview; empty = preview.
    void setPdfTarget(const QString& pdfFile) { m_pdfTarget = pdfFile; }

    // Told of every page a sheet print paints; a PDF print that it stops leaves no file.
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The one print operation. Margins are in inches (top, bottom, left, right).
    // `copies` is the number of copies. Returns false when nothing could be
    // printed; a PDF that could not be written gives `error`.
    bool PrintSheet(const Sheet& sheet, const QString& windowName, const QString& title, const QString& subTitle,
                    const QString& periodLine, int copies, double marginTop, double marginBottom, double marginLeft,
                    double marginRight, QWidget* parent = nullptr, ErrorInfo* error = nullptr);
    bool PrintSheet(const Sheet& sheet, const PrintDescription& d, QWidget* parent = nullptr,
                    ErrorInfo* error = nullptr);

    // Prints one page: the description's title lines, then a picture that
    // `picture` draws into the rest of a landscape page. Preview or PDF as above.
    using PicturePainter = std::function<void(QPainter*, const QRectF&)>;
    bool PrintPicture(const PicturePainter& picture, const PrintDescription& d, QWidget* parent = nullptr,
                      ErrorInfo* error = nullptr);

    // Pages of the last print (for tests and the command line).
    int lastPageCount() const { return m_lastPageCount; }

    // Tests: called with the prepared preview instead of showing it modally. Empty: show it.
    using PreviewHook = std::function<void(QPrintPreviewDialog&)>;
    static void setPreviewHook(PreviewHook hook);

private:
    // Paints into the PDF target or the preview; `paint` returns the pages or -1.
    bool run(QPrinter& printer, const QString& title, const std::function<int(QPrinter*)>& paint, QWidget* parent,
             ErrorInfo* error);

    QString m_title;
    Progress m_progress;
    QString m_pdfTarget;
    int m_lastPageCount = 0;
};

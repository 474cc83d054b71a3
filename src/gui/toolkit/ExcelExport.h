#pragma once

#include "data/base/Progress.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>

class QImage;
class QWidget;
class Sheet;
class SpreadGrid;

// modExcel: a grid on screen as an Excel workbook, opened afterwards.

// The Excel button of the ledger, summary and history windows: asks where to
// save (the dialog proposes ExpExcel/Exp<YYMMDD_HHMMSS>.xlsx, or the folder of
// the last export), writes the grid with its caption and column titles as the
// first rows (log in ExpExcel/), puts the grid back as it was, remembers the
// folder and opens the workbook; when no program opens it, says where it was
// written and offers to open its folder. `locked` tells that the grid is a
// read-only list; the grid keeps every cell's own lock either way.
void ExportToExcelFile(SpreadGrid* grid, const QString& sheetName, bool locked);

// The same for any sheet (typed rows of the books): asks where to save,
// writes, logs and opens the workbook; a sheet whose rows could not be read
// says why in the error box.
void ExportSheetToFile(const Sheet& sheet, const QString& sheetName, QWidget* parent);

// The PNG button of the summary's chart: asks where to save as the Excel
// button does (Exp<YYMMDD_HHMMSS>.png proposed), writes the picture and opens
// it; a picture that could not be written is said in a box.
void ExportImageFile(const QImage& image);

// The writing part alone, without questions and without opening the file
// (ExportToExcelFile and the command line share it): the grid's caption
// (kExportCaptionProperty) goes in as bold rows, then the column titles as
// bold centred rows, then the grid's rows; the grid is not touched. The log of the export goes to `logFile`; none when
// it is empty (never a file beside the workbook that the user did not ask for). False with a reason in `error` when the
// workbook could not be written.
bool ExportGridToFile(SpreadGrid* grid, const QString& sheetName, const QString& file, QString* error = nullptr,
                      const QString& logFile = QString(), const Progress& progress = {});

// Workbook and log names for an export at `now` in `folder`: "Exp" + YYMMDD_HHMMSS,
// with "_2", "_3", ... when an export of the same second already took the name.
struct ExportNames {
    QString workbook; // ...\Exp261207_113225.xlsx
    QString log;      // ...\Exp261207_113225LOG.TXT
};
ExportNames NextExportNames(const QString& folder, const QDateTime& now);

// How a finished workbook, or its folder, is opened (the desktop unless a test
// replaces it). The opener returns false when no program took it.
namespace ExcelExportHook {
using Opener = std::function<bool(const QUrl&)>;
void setOpener(Opener opener); // empty: back to the desktop
} // namespace ExcelExportHook

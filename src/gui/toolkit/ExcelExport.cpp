#include "gui/toolkit/ExcelExport.h"

#include "data/base/Clock.h"
#include "data/books/AppPaths.h"
#include "data/db/PartFile.h"
#include "data/sheet/Workbook.h"
#include "gui/grid/GridSheet.h"
#include "gui/grid/SpreadDesign.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/ProgressWindow.h"
#include "output/PngFile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>

#include <algorithm>
#include <exception>

namespace {

ExcelExportHook::Opener& opener()
{
    static ExcelExportHook::Opener s;
    return s;
}

// A desktop with xdg-utils starts xdg-open for any file, which fails only
// later when no program takes the type: ask it first. Unknown: assume there is one.
bool desktopHasProgramFor(const QString& file)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(file).name()});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

// True when a program took the file or folder.
bool openLocal(const QString& path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (opener())
        return opener()(url);
    // Test runs never hand files to the desktop.
    if (qEnvironmentVariableIsSet("TALLOX_TEST"))
        return true;
    if (QFileInfo(path).isFile() && !desktopHasProgramFor(path))
        return false;
    return QDesktopServices::openUrl(url);
}

// Opens the saved file; without a program for it, says where it is and offers its folder.
void openSaved(const QString& folder, const QString& file, const QString& kind)
{
    if (openLocal(file))
        return;
    const QString shownFolder = QDir::toNativeSeparators(folder);
    const QString text =
        QCoreApplication::translate("ExcelExport", "%1을 저장했습니다.\r\n%2\r\n%3\r\n\r\n폴더를 여시겠습니까?")
            .arg(kind, shownFolder, QFileInfo(file).fileName());

    if (MsgQuestion(text, QString(), true) == MsgAnswer::Yes && !openLocal(folder))
        MsgWarn(QCoreApplication::translate("ExcelExport", "폴더를 열 수 없습니다.\r\n") + shownFolder);
}

// The hourglass for as long as the export runs, whatever way it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// "Exp" + YYMMDD_HHMMSS in `folder`, with "_2", "_3", ... when a file of that
// stem with one of the `suffixes` exists.
QString FreeExportStem(const QString& folder, const QDateTime& now, const QStringList& suffixes)
{
    const QString base = QDir(folder).filePath(QStringLiteral("Exp") + now.toString(QStringLiteral("yyMMdd_HHmmss")));
    for (int n = 1;; ++n) {
        const QString stem = n == 1 ? base : base + QStringLiteral("_%1").arg(n);
        const bool taken = std::any_of(suffixes.begin(), suffixes.end(),
                                       [&stem](const QString& suffix) { return QFileInfo::exists(stem + suffix); });
        if (!taken)
            return stem;
    }
}

QString SettingsKeyExportFolder()
{
    return QStringLiteral("Export/folder");
}

// Where the save dialog starts: the folder of the last export when it is
// still there, otherwise ExpExcel/ (created, so that the dialog opens in it).
QString ExportFolder()
{
    const QString remembered = UserSettings()->value(SettingsKeyExportFolder()).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString folder = AppPaths::expExcelFolder();
    QDir().mkpath(folder);
    return folder;
}

// ExpExcel/ is the default, so only another folder is remembered.
void RememberExportFolder(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    auto settings = UserSettings();
    if (QDir(folder) == QDir(AppPaths::expExcelFolder()))
        settings->remove(SettingsKeyExportFolder());
    else
        settings->setValue(SettingsKeyExportFolder(), folder);
}

// Asks where to write, proposing Exp<YYMMDD_HHMMSS><suffix> in the export
// folder; a name typed without the suffix gets it.
bool AskExportFile(const QString& suffix, const QString& title, const QString& filter, QString* file)
{
    const QString proposed = FreeExportStem(ExportFolder(), Clock::now(), {suffix, QStringLiteral("LOG.TXT")}) + suffix;
    QString chosen;
    if (!AskSaveFile(title, proposed, filter, &chosen))
        return false;
    if (!chosen.endsWith(suffix, Qt::CaseInsensitive))
        chosen += suffix;
    *file = chosen;
    return true;
}
} // namespace

namespace ExcelExportHook {
void setOpener(Opener o)
{
    opener() = std::move(o);
}
} // namespace ExcelExportHook

ExportNames NextExportNames(const QString& folder, const QDateTime& now)
{
    const QString stem = FreeExportStem(folder, now, {QStringLiteral(".xlsx"), QStringLiteral("LOG.TXT")});
    return {stem + QStringLiteral(".xlsx"), stem + QStringLiteral("LOG.TXT")};
}

void ExportImageFile(const QImage& image)
{
    QString file;
    if (!AskExportFile(QStringLiteral(".png"), QCoreApplication::translate("ExcelExport", "그림으로 저장"),
                       QCoreApplication::translate("ExcelExport", "PNG 그림 (*.png)"), &file))
        return;
    ErrorInfo e;
    if (!WritePngFile(image, file, &e)) {
        MsgWarn(QCoreApplication::translate("ExcelExport", "그림 파일을 저장하지 못했습니다.\r\n") +
                QDir::toNativeSeparators(file));
        return;
    }
    RememberExportFolder(file);
    openSaved(QFileInfo(file).absolutePath(), file, QCoreApplication::translate("ExcelExport", "그림 파일"));
}

bool ExportGridToFile(SpreadGrid* grid, const QString& sheetName, const QString& file, QString* error,
                      const QString& logFile, const Progress& progress)
{
    auto failWith = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!grid)
        return failWith(QStringLiteral("no grid"));
    if (file.isEmpty())
        return failWith(QStringLiteral("no file name"));
    QString why;
    return WriteWorkbook(GridSheet(*grid), file, sheetName, &why, logFile, progress) || failWith(why);
}

void ExportToExcelFile(SpreadGrid* grid, const QString& sheetName, bool locked)
{
    Q_UNUSED(locked) // the export leaves every lock as it is
    if (!grid)
        return;
    if (grid->dataRowCnt() == 0) {
        MsgInfo(QCoreApplication::translate("ExcelExport",
                                            "엑셀로 보낼 데이터가 없습니다.\r\n자료 검색후 엑셀로 보내세요."));
        return;
    }
    ExportSheetToFile(GridSheet(*grid), sheetName, grid->window());
}

void ExportSheetToFile(const Sheet& sheet, const QString& sheetName, QWidget* parent)
{
    const QString failed = QCoreApplication::translate("ExcelExport", "엑셀로 내보내기에 실패했습니다.");
    try {
        QString file;
        if (!AskExportFile(QStringLiteral(".xlsx"), QCoreApplication::translate("ExcelExport", "엑셀로 내보내기"),
                           QCoreApplication::translate("ExcelExport", "엑셀 통합 문서 (*.xlsx)"), &file))
            return;
        const QString folder = QFileInfo(file).absolutePath();
        if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
            MsgWarn(failed);
            return;
        }
        // The log goes to ExpExcel/: beside a workbook there under its name, else under an Exp name of its own.
        const QString logFolder = AppPaths::expExcelFolder();
        QString log;
        if (QDir(folder) == QDir(logFolder))
            log = QDir(folder).filePath(QFileInfo(file).completeBaseName() + QStringLiteral("LOG.TXT"));
        else if (QDir().mkpath(logFolder))
            log = NextExportNames(logFolder, Clock::now()).log;

        bool written = false;
        bool stopped = false;
        ErrorInfo readError;
        {
            BusyCursor busy;
            // Stopping is safe: the workbook is written aside and only then renamed.
            ProgressWindow progress(QCoreApplication::translate("ExcelExport", "엑셀로 내보내는 중..."), true, parent);
            written = WriteWorkbook(sheet, file, sheetName, nullptr, log, progress.progress(), &readError);
            stopped = progress.cancelled();
        }
        if (stopped)
            return;
        if (!written) {
            // The books could not be read: their own message says why; else the workbook could not be written.
            if (readError.isSet())
                ShowError(readError);
            else
                MsgWarn(failed);
            return;
        }
        RememberExportFolder(file);
        openSaved(folder, file, QCoreApplication::translate("ExcelExport", "엑셀 파일"));
    } catch (const std::exception& e) {
        MsgProcError(ErrorInfo(ErrorCode::Exception, QString::fromLocal8Bit(e.what())),
                     QStringLiteral("ExportToExcelFile"), QStringLiteral("modExcel"));
    }
}

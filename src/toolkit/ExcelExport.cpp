#include "toolkit/ExcelExport.h"

#include "base/Clock.h"
#include "core/AppPaths.h"
#include "platform/PartFile.h"
#include "platform/SpreadDesign.h"
#include "platform/SpreadGrid.h"
#include "toolkit/Messages.h"
#include "toolkit/ProgressWindow.h"

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

// Copies the caption and the column titles into the grid as its first rows and, however the
// export ends, takes them out again: rows, drawing state and active cell are
// put back as they were. The grid's notifications are held back meanwhile,
// so that the windows do not react to the borrowed rows (the ledger copies
// row 1 of its sum columns into the totals strip on every change).
class TitleRows {
public:
    explicit TitleRows(SpreadGrid* grid)
        : m_grid(grid), m_blocker(grid), m_headerRows(grid->colHeaderRows()), m_maxRows(grid->maxRows()),
          m_reDraw(grid->reDraw()), m_activeCol(grid->activeCol()), m_activeRow(grid->activeRow())
    {
        m_grid->setReDraw(false);
    }

    ~TitleRows()
    {
        if (m_inserted > 0)
            m_grid->deleteRows(1, m_inserted);
        if (m_grid->maxRows() != m_maxRows)
            m_grid->setMaxRows(m_maxRows);
        if (m_activeCol > 0 && m_activeRow > 0 && m_activeRow <= m_maxRows)
            m_grid->setActiveCell(m_activeCol, m_activeRow);
        m_grid->setReDraw(m_reDraw);
    }

    TitleRows(const TitleRows&) = delete;
    TitleRows& operator=(const TitleRows&) = delete;

    void insert()
    {
        // The caption (a blank row under it), then the column titles.
        const QStringList caption = m_grid->property(kExportCaptionProperty).toStringList();
        const int captionRows = caption.isEmpty() ? 0 : int(caption.size()) + 1;
        m_grid->setMaxRows(m_maxRows + captionRows + m_headerRows);
        int firstShown = 1;
        while (firstShown < m_grid->maxCols() && m_grid->colHidden(firstShown))
            ++firstShown;
        for (int r = 1; r <= captionRows; ++r) {
            insertRow(r, Qt::AlignLeft);
            if (r <= caption.size())
                m_grid->setText(firstShown, r, caption[r - 1]);
        }
        const int cols = m_grid->maxCols();
        const QStringList kept = m_grid->property(kExportTitlesProperty).toStringList();
        for (int h = 0; h < m_headerRows; ++h) {
            const int r = captionRows + 1 + h;
            insertRow(r, Qt::AlignHCenter);
            for (int c = 1; c <= cols; ++c)
                m_grid->setText(c, r, h == 0 && c < kept.size() ? kept[c] : m_grid->headerText(c, h));
        }
    }

private:
    void insertRow(int r, Qt::Alignment align)
    {
        m_grid->insertRows(r, 1);
        ++m_inserted;
        m_grid->setCellType(-1, r, SpreadGrid::CellType::StaticText);
        m_grid->setTypeHAlign(-1, r, align);
        m_grid->setTypeVAlign(-1, r, Qt::AlignVCenter);
        m_grid->setFontBold(-1, r, true);
    }

    SpreadGrid* m_grid;
    QSignalBlocker m_blocker;
    int m_headerRows;
    int m_maxRows;
    bool m_reDraw;
    int m_activeCol;
    int m_activeRow;
    int m_inserted = 0;
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
    bool written = false;
    QString why;
    {
        TitleRows titles(grid);
        titles.insert();
        // The workbook carries no sheet protection, so the cells' locks need
        // not be lifted for it: every cell keeps the lock it had.
        written = grid->exportToExcel(file, sheetName, logFile, &why, progress);
    }
    return written || failWith(why);
}

void ExportToExcelFile(SpreadGrid* grid, const QString& sheetName, bool locked)
{
    Q_UNUSED(locked) // the export leaves every lock as it is
    const QString failed = QCoreApplication::translate("ExcelExport", "엑셀로 내보내기에 실패했습니다.");
    try {
        if (!grid)
            return;
        if (grid->dataRowCnt() == 0) {
            MsgInfo(QCoreApplication::translate("ExcelExport",
                                                "엑셀로 보낼 데이터가 없습니다.\r\n자료 검색후 엑셀로 보내세요."));
            return;
        }
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
        {
            BusyCursor busy;
            // Stopping is safe: the workbook is written aside and only then renamed.
            ProgressWindow progress(QCoreApplication::translate("ExcelExport", "엑셀로 내보내는 중..."), true,
                                    grid->window());
            written = ExportGridToFile(grid, sheetName, file, nullptr, log, progress.progress());
            stopped = progress.cancelled();
        }
        if (stopped)
            return;
        if (!written) {
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

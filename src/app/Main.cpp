#include "app/Main.h"
#include "output/PrintComponent.h"

#include "app/CommandLine.h"

#include "data/base/Language.h"
#include "data/books/AppContext.h"
#include "data/books/AppInfo.h"
#include "data/books/AppPaths.h"
#include "data/books/Backup.h"
#include "data/books/DbAccess.h"
#include "data/books/Startup.h"
#include "gui/ledger/BackupDialog.h"
#include "gui/ledger/frmMain.h"
#include "gui/toolkit/Messages.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLockFile>
#include <QPointer>
#include <QSettings>
#include <QTextStream>
#include <QTranslator>
#include <cstdio>
#include <memory>

namespace {
bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
} // namespace

namespace {
// Loads one translation file into the running application; false when it is missing.
bool InstallTranslator(const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
} // namespace

bool InstallQtTranslations()
{
    static bool installed = false;
    if (installed)
        return true;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (Language::English()) {
        // Tallox's English texts are built in; Qt's own are English already, its file only refines them.
        installed = InstallTranslator(QStringLiteral("tallox_en"), QStringLiteral(":/i18n"));
        InstallTranslator(QStringLiteral("qtbase_en"), qtFolder);
    } else {
        installed = InstallTranslator(QStringLiteral("qtbase_ko"), qtFolder);
    }
    return installed;
}

bool OpenBooksOrSay(AppContext& ctx, const QString& folder)
{
    ErrorInfo e;
    if (ctx.openFolder(folder, &e))
        return true;
    ShowError(e);
    MsgInfo(QCoreApplication::translate("Main", "데이터 베이스를 열 수 없습니다.\r\n\r\n") + ctx.failedPath,
            AppTitle());
    return false;
}

bool UpgradeBooksOrSay(AppContext& ctx)
{
    // A window on a file that is no ledger of Tallox, or one that could not be
    // brought up to date, would only fail at every step.
    ErrorInfo e;
    if (!UpgradeSchema(ctx.ledger, &e)) {
        ShowError(e);
        ctx.closeAll();
        return false;
    }
    return true;
}

// A restore cut short is finished (or undone) first; the day's first backup
// then starts beside the window, and its snapshot is fixed before anything of
// the day is stored, the upgrade included.
std::unique_ptr<AppContext> OpenForWindow(const QString& folder, const QString& defaultFolder, BackupTask* daily)
{
    ErrorInfo e;
    if (!Backup::FinishPendingRestore(folder, &e) || !Startup::EnsureDefaultDatabases(folder, defaultFolder, &e)) {
        ShowError(e);
        return nullptr;
    }
    auto ctx = std::make_unique<AppContext>();
    if (!OpenBooksOrSay(*ctx, folder))
        return nullptr;
    if (Backup::DueToday(folder)) {
        daily->start(folder, BackupKind::Daily);
        daily->waitForSnapshot();
    }
    if (!UpgradeBooksOrSay(*ctx))
        return nullptr;
    ctx->print = std::make_unique<PrintComponent>();
    ctx->print->setTitle(AppTitle());
    return ctx;
}

namespace {

// One window per application folder; a folder that cannot take the lock is said as such.
bool TakeInstanceLock(const QString& appFolder, std::unique_ptr<QLockFile>* lock)
{
    switch (Startup::AcquireLock(Startup::InstanceLockFile(appFolder), lock)) {
    case Startup::LockStatus::Acquired:
        return true;
    case Startup::LockStatus::HeldByOther:
        MsgInfo(QCoreApplication::translate("Main", "이미 프로그램이 실행중입니다."), AppTitle());
        return false;
    case Startup::LockStatus::CannotWrite:
        break;
    }
    MsgInfo(QCoreApplication::translate("Main", "응용 프로그램 폴더에 쓸 수 없습니다.\r\n\r\n") + appFolder,
            AppTitle());
    return false;
}

int RunCommand(int argc, char** argv, const QStringList& rawArgs)
{
    // Commands never show a window: those that draw run on the offscreen
    // platform, display or not; those that only read or write the books need no GUI at all.
    std::unique_ptr<QCoreApplication> app;
    if (CommandDraws(ParseCommandLine(rawArgs).action)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(AppTitle());
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLOX_VERSION));
    InstallQtTranslations();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCommandLine(ParseCommandLine(rawArgs), out, err);
}
} // namespace

int TalloxMain(int argc, char** argv)
{
    QStringList rawArgs;
    for (int i = 1; i < argc; ++i)
        rawArgs << QString::fromLocal8Bit(argv[i]);
    if (IsCommandLineRun(rawArgs))
        return RunCommand(argc, argv, rawArgs);

    if (!HasDisplay()) {
        std::fprintf(stderr, "Tallox needs a display; without one, run it under Xvfb: xvfb-run make run\n");
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle());
    QApplication::setApplicationVersion(QStringLiteral(TALLOX_VERSION));
    QApplication::setQuitOnLastWindowClosed(true);
    // The installed menu entry and icon (packaging/) carry this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tallox.Tallox"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tallox.Tallox")));
    // Without the file the buttons stay English; nothing else depends on it.
    InstallQtTranslations();

    const QString appFolder = AppPaths::appFolder();
    std::unique_ptr<QLockFile> instanceLock;
    if (!TakeInstanceLock(appFolder, &instanceLock))
        return 1;

    auto settings = UserSettings();
    Startup::StoreAppPath(*settings, appFolder);
    const QStringList args = QApplication::arguments().mid(1);
    const QString commandLineFolder = args.isEmpty() ? QString() : args.join(QLatin1Char(' '));
    const QString defaultFolder = AppPaths::defaultDbFolder();
    const QString folder = Startup::ChooseDbFolder(commandLineFolder, *settings, defaultFolder);
    settings->sync();

    // Another user's Tallox (another application folder) may have these books open.
    std::unique_ptr<QLockFile> booksLock;
    if (Startup::AcquireLock(Startup::BooksLockFile(folder), &booksLock) == Startup::LockStatus::HeldByOther) {
        MsgInfo(QCoreApplication::translate("Main", "다른 Tallox가 이 장부를 열고 있습니다.\r\n\r\n") + folder,
                AppTitle());
        return 1;
    }

    BackupTask daily; // lives as long as the window
    auto ctx = OpenForWindow(folder, defaultFolder, &daily);
    if (!ctx)
        return 1;

    auto* window = new frmMain(std::move(ctx));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}

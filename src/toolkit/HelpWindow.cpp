#include "toolkit/HelpWindow.h"

#include "base/Language.h"
#include "core/AppInfo.h"

#include "core/AppPaths.h"
#include "toolkit/Messages.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

QString GuideSource()
{
    return Language::English() ? QStringLiteral(":/help/guide_en.html") : QStringLiteral(":/help/guide.html");
}

bool ShowHelp(QWidget* parent, const QString& wanted)
{
    const QString source = wanted.isEmpty() ? GuideSource() : wanted;
    if (!QFile::exists(source)) {
        MsgWarn(QCoreApplication::translate("HelpWindow", "도움말을 찾을 수 없습니다. 프로그램을 다시 설치하세요."),
                AppTitle());
        return false;
    }
    static QPointer<QDialog> open;
    if (open) {
        open->raise();
        open->activateWindow();
        return true;
    }
    auto* dlg = new QDialog(parent, Qt::Window);
    dlg->setObjectName(QStringLiteral("frmHelp"));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setWindowTitle(QCoreApplication::translate("HelpWindow", "%1 도움말").arg(AppTitle()));

    auto* text = new QTextBrowser(dlg);
    text->setObjectName(QStringLiteral("txtHelp"));
    text->setSource(QUrl(QStringLiteral("qrc") + source));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dlg);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::close);
    auto* layout = new QVBoxLayout(dlg);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dlg->resize(680, 720);
    open = dlg;
    dlg->show();
    return true;
}

QString AboutText(const QString& dbFolder)
{
    return QCoreApplication::translate("HelpWindow", "%1 Ver.%2  (%3)\r\n\r\n데이터베이스 폴더: %4\r\n"
                                                     "응용 프로그램 폴더: %5\r\n\r\n"
                                                     "이 프로그램의 사용 조건은 사용권 계약을 따릅니다.\r\n"
                                                     "사용한 공개 소프트웨어: Qt (LGPL 3), SQLite (퍼블릭 도메인), "
                                                     "libxlsxwriter (BSD 2조항).")
        .arg(AppTitle(), QStringLiteral(TALLOX_VERSION), AppCompany(), QDir::toNativeSeparators(dbFolder),
             QDir::toNativeSeparators(AppPaths::appFolder()));
}

void ShowAbout(const QString& dbFolder)
{
    MsgInfo(AboutText(dbFolder), QCoreApplication::translate("HelpWindow", "%1 정보").arg(AppTitle()));
}

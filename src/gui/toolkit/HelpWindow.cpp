#include "gui/toolkit/HelpWindow.h"

#include "data/base/Language.h"
#include "data/books/AppInfo.h"

#include "data/books/AppPaths.h"
#include "gui/toolkit/Messages.h"

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

QStringList AboutLibraries()
{
    // What the program links or the package brings in, each with its licence.
    return {
        QStringLiteral("Qt 6 (LGPL 3; Qt Charts: GPL 3)"),
        QCoreApplication::translate("HelpWindow", "SQLite (퍼블릭 도메인)"),
        QCoreApplication::translate("HelpWindow", "libxlsxwriter (BSD 2조항)"),
        QCoreApplication::translate("HelpWindow", "libzip (BSD 3조항)"),
        QCoreApplication::translate("HelpWindow", "zlib, minizip (zlib 사용 허가)"),
        QCoreApplication::translate("HelpWindow", "PostgreSQL 클라이언트 libpq (PostgreSQL 사용 허가)"),
        QCoreApplication::translate("HelpWindow", "나눔 글꼴 (SIL 오픈 폰트 사용 허가 1.1)"),
    };
}

QString AboutText(const QString& dbFolder)
{
    QString text = QCoreApplication::translate("HelpWindow", "%1 Ver.%2  (%3)\r\n\r\n데이터베이스 폴더: %4\r\n"
                                                             "응용 프로그램 폴더: %5\r\n\r\n")
                       .arg(AppTitle(), QStringLiteral(TALLOX_VERSION), AppCompany(),
                            QDir::toNativeSeparators(dbFolder), QDir::toNativeSeparators(AppPaths::appFolder()));
    // Qt Charts' free edition is GPL 3 only, so Tallox is GPL 3 (or later) as a whole.
    text += QCoreApplication::translate(
        "HelpWindow", "이 프로그램은 자유 소프트웨어입니다. GNU 일반 공중 사용 허가서(GPL) 3판 또는 "
                      "그 이후 판에 따라 다시 배포하거나 고칠 수 있습니다. 아무런 보증도 없습니다.\r\n"
                      "\r\n사용한 라이브러리와 사용 허가:\r\n");
    for (const QString& library : AboutLibraries())
        text += QStringLiteral("  - ") + library + QStringLiteral("\r\n");
    return text.trimmed();
}

void ShowAbout(const QString& dbFolder)
{
    MsgInfo(AboutText(dbFolder), QCoreApplication::translate("HelpWindow", "%1 정보").arg(AppTitle()));
}

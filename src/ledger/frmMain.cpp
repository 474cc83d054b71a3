#include "ledger/frmMain.h"

#include "core/AppInfo.h"

frmMain::frmMain(std::unique_ptr<AppContext> ctx, QWidget* parent) : QMainWindow(parent), m_ctx(std::move(ctx))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Caption(m_ctx->ledgerPath));
    resize(1000, 700);
}

frmMain::~frmMain()
{
    m_ctx->closeAll();
}

QString frmMain::Caption(const QString& ledgerPath)
{
    return AppCompany() + QLatin1Char(' ') + AppTitle() + QStringLiteral(" Ver.%1.%2.%3 (")
                                                              .arg(TALLOX_VERSION_MAJOR)
                                                              .arg(TALLOX_VERSION_MINOR)
                                                              .arg(TALLOX_VERSION_PATCH) +
           ledgerPath + QLatin1Char(')');
}

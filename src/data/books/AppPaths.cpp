#include "data/books/AppPaths.h"

#include "data/books/AppInfo.h"
#include "data/db/ServerAddress.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace AppPaths {
QString appFolder()
{
    const QString home = qEnvironmentVariable("TALLOX_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    QString loc = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (loc.isEmpty())
        loc = QDir::homePath() + QStringLiteral("/.local/share/Tallox");
    return QDir::cleanPath(loc);
}

QString defaultDbFolder()
{
    return appFolder() + QStringLiteral("/dbs");
}

QString formIniFolder()
{
    return appFolder() + QStringLiteral("/FormIni");
}

QString expExcelFolder()
{
    return appFolder() + QStringLiteral("/ExpExcel");
}

// Books on a server are one database: both "files" are its address.
QString ledgerDbFile(const QString& folder)
{
    if (ServerAddress::Looks(folder))
        return folder;
    return QDir::cleanPath(folder) + QStringLiteral("/dbTallox.db");
}

QString cardDbFile(const QString& folder)
{
    if (ServerAddress::Looks(folder))
        return folder;
    return QDir::cleanPath(folder) + QStringLiteral("/Plastra.db");
}
} // namespace AppPaths

std::unique_ptr<QSettings> UserSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, AppSettingsOrganization(),
                                       AppTitle());
}

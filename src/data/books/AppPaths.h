#pragma once

#include <QString>
#include <memory>

class QSettings;

// Where Tallox keeps its files: the application folder ($TALLOX_HOME, or the
// per-user data location) with dbs/, FormIni/ and ExpExcel/ below it.
namespace AppPaths {
QString appFolder();
QString defaultDbFolder();
QString formIniFolder();
QString expExcelFolder();
QString ledgerDbFile(const QString& folder);
QString cardDbFile(const QString& folder);
} // namespace AppPaths

// The per-user settings store for the application title ("General"/"dbPath", ...).
std::unique_ptr<QSettings> UserSettings();

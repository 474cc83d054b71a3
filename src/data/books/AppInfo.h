#pragma once

#include <QString>

// The application title: default title of every message box and the settings' application name.
inline QString AppTitle()
{
    return QStringLiteral("Tallox");
}

// The maker, as the version information names it; the ledger window's caption starts with it.
inline QString AppCompany()
{
    return QStringLiteral("Tallox Software");
}

// The folder of the settings file (~/.config/Tallox/Tallox.conf), kept apart
// from the maker's name so that a new name never moves the settings.
inline QString AppSettingsOrganization()
{
    return QStringLiteral("Tallox");
}

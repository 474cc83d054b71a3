#pragma once

#include <QString>

// The application title: default title of every message box and the settings' application name.
inline QString AppTitle()
{
    return QStringLiteral("Tallox");
}

inline QString AppCompany()
{
    return QStringLiteral("Tallox");
}

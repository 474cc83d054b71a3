#pragma once

#include <QString>

class QWidget;

// The program's guide, bundled as a resource, in one window that may stay
// open beside the ledger. False, after saying so, when the guide is missing.
bool ShowHelp(QWidget* parent, const QString& source = QStringLiteral(":/help/guide.html"));

// The 정보 box: version, the folders in use, the licences.
void ShowAbout(const QString& dbFolder);
QString AboutText(const QString& dbFolder);

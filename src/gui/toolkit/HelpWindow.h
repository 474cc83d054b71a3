#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The program's guide, bundled as a resource, in one window that may stay
// open beside the ledger. False, after saying so, when the guide is missing.
// Without a source, the guide in the language of the program's texts.
bool ShowHelp(QWidget* parent, const QString& source = QString());
// ":/help/guide.html", or its English twin guide_en.html when Tallox speaks English.
QString GuideSource();

// The 정보 box: version, the folders in use, the licences.
void ShowAbout(const QString& dbFolder);
QString AboutText(const QString& dbFolder);
// The libraries named in the About box, each with its licence.
QStringList AboutLibraries();

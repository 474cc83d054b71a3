#include "data/db/PartFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

QString PartFileFor(const QString& target)
{
    const QFileInfo fi(target);
    return fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".part");
}

void RemoveStalePartFiles(const QString& folder)
{
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-10 * 60);
    const QFileInfoList parts = QDir(folder).entryInfoList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& part : parts) {
        if (part.lastModified().toUTC() < before)
            QFile::remove(part.absoluteFilePath());
    }
}

#include "output/PngFile.h"

#include "data/db/PartFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <unistd.h>

bool WritePngFile(const QImage& image, const QString& target, ErrorInfo* error)
{
    const QFileInfo fi(target);
    const QString temp = PartFileFor(target);
    RemoveStalePartFiles(fi.absolutePath());
    QFile::remove(temp);
    QFile file(temp);
    // Synced before the rename: a full disk must not leave a cut-off picture under the real name.
    bool written = !image.isNull() && file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.flush() &&
                   ::fsync(file.handle()) == 0;
    file.close();
    written = written && std::rename(QFile::encodeName(temp).constData(),
                                     QFile::encodeName(fi.absoluteFilePath()).constData()) == 0;
    if (written)
        return true;
    QFile::remove(temp);
    return fail(error, ErrorInfo::notice(QCoreApplication::translate("PartFile", "PNG 파일을 만들 수 없습니다.\r\n") +
                                         QDir::toNativeSeparators(target)));
}

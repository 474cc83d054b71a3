#pragma once

#include "base/Error.h"

#include <QString>

class QImage;

// Output files (workbooks, PDFs) are written under a hidden temporary name
// beside their target and renamed only when whole.

// "<folder>/.<name>.part" for the target "<folder>/<name>".
QString PartFileFor(const QString& target);

// Removes what a killed or crashed writer left in `folder`: hidden ".*.part"
// files untouched for ten minutes (a writer at work touches its file all the
// time, so another Tallox's export in progress is left alone).
void RemoveStalePartFiles(const QString& folder);

// Writes the picture as a PNG file under its part name and renames it to
// `target` when whole; on failure nothing is left and `error` names the file.
bool WritePngFile(const QImage& image, const QString& target, ErrorInfo* error = nullptr);

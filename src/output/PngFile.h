#pragma once

#include "data/base/Error.h"

#include <QString>

class QImage;

// Writes the picture as a PNG file under its part name and renames it to
// `target` when whole; on failure nothing is left and `error` names the file.
bool WritePngFile(const QImage& image, const QString& target, ErrorInfo* error = nullptr);

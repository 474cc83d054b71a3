#pragma once

#include "data/base/Error.h"

#include <QString>

// Output files (workbooks, PDFs) are written under a hidden temporary name
// beside their target and renamed only when whole.

// "<folder>/.<name>.part" for the target "<folder>/<name>".
QString PartFileFor(const QString& target);

// Removes what a killed or crashed writer left in `folder`: hidden ".*.part"
// files untouched for ten minutes (a writer at work touches its file all the
// time, so another Tallox's export in progress is left alone).
void RemoveStalePartFiles(const QString& folder);

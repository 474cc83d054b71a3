#pragma once

#include "data/base/Error.h"

#include <QString>

// Moving books between a folder and a server (tallox --copy FROM TO): every
// card, entry, carry-over row and history row, with their keys, in one
// transaction on the target, then counted and summed on both sides.
struct CopyCounts {
    qint64 cards = 0;
    qint64 entries = 0;
    qint64 carryOverRows = 0;
    qint64 historyRows = 0;
};

// A target folder without books gets new files; a target on a server needs
// its tables (--init-server). A target that holds any card or entry is
// refused and left as it was, as is every target when the check after copying
// finds a difference (the copy is rolled back).
bool CopyBooks(const QString& from, const QString& to, CopyCounts* counts, ErrorInfo* error);

#pragma once

#include <QtGlobal>
#include <functional>

// How a long piece of work reports how far it is: `done` of `total` steps.
// The answer false asks the work to stop (only where stopping is safe: the
// work then undoes what it did and fails with a notice). Empty: nobody watches.
using Progress = std::function<bool(qint64 done, qint64 total)>;

inline bool Report(const Progress& progress, qint64 done, qint64 total)
{
    return !progress || progress(done, total);
}

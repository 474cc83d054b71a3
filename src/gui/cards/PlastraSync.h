#pragma once

// A window that lists card companies and wants to hear about every card the
// card editor stores, so that it can bring its grid up to date without a
// reload. The editor calls it on the window handed over as its CallForm.
class PlastraSyncTarget {
public:
    virtual ~PlastraSyncTarget() = default;
    // Writes the stored card into the grid: as a new last row when `isNew`,
    // over the active row otherwise.
    virtual void SyncUpdatePlastra(int code, bool isNew = false) = 0;
};

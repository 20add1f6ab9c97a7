// The slot file of each game: which craft slot numbers are taken, and by which package.
// Nothing is kept in memory; every call opens, changes and closes the file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/PlatformTable.h"
#include "platform/Settings.h"

namespace slots {

class SlotTable {
public:
    explicit SlotTable(const platform::Settings& settings) : settings(settings) {}

    // The file of game 1 to 5 in the settings folder; empty for any other number.
    std::string PathOf(platform::PlatformId game) const;

    // True when a record with slot exists; owner then receives its package name.
    bool FindOwner(platform::PlatformId game, int32_t slot, std::string& owner) const;
    // Appends one record; creates the settings folder and the file when missing.
    bool Claim(platform::PlatformId game, int32_t slot, const std::string& packageName) const;
    // Removes every record of slot; false (changing nothing) when the file cannot be read.
    bool Release(platform::PlatformId game, int32_t slot) const;
    // Deletes the game's slot file.
    void Reset(platform::PlatformId game) const;

private:
    const platform::Settings& settings;
};

// The platform reset's first half: deletes every "*.backup" of the patch folder whose
// lower-cased name contains the game's package prefix.
void DeletePlatformBackups(const platform::Settings& settings, platform::PlatformId game);

}  // namespace slots

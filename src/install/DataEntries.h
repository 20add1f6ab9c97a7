// Which archive entries the copy step leaves out of the game folder: the script, the banner,
// and data entries (patch data, text data, read-mes), marked by a fragment of their name.
#pragma once

#include <array>
#include <string_view>

#include "package/ArchiveReader.h"

namespace install {

// Matched anywhere in an entry name, with exact case.
inline constexpr std::array<std::string_view, 9> DataEntryMarkers = {
    ".zt", ".t95", ".114", ".bop", ".202", ".txt", ".1", ".2", ".3"};

// Whether the copy step leaves the entry alone. In a backup archive (inRemoval) an entry
// stored under a rooted name ("/" + game file) holds a whole saved game file and is always
// put back, whatever its name contains.
bool IsDataEntry(const package::EntryInfo& entry, bool inRemoval);

// Whether a name can stand in a script line as one word (no blank, tab or apostrophe).
bool IsOneScriptWord(std::string_view name);

}  // namespace install

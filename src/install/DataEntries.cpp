#include "install/DataEntries.h"

#include "common/Ascii.h"

namespace install {

bool IsDataEntry(const package::EntryInfo& entry, bool inRemoval) {
    if (inRemoval && !entry.storedName.empty() &&
        (entry.storedName[0] == '/' || entry.storedName[0] == '\\')) {
        return false;
    }
    const std::string& name = entry.name;
    if (common::EqualsNoCase(name, "install.cfg") || common::EqualsNoCase(name, "header.bmp")) {
        return true;
    }
    for (std::string_view marker : DataEntryMarkers) {
        if (name.find(marker) != std::string::npos) return true;
    }
    return false;
}

bool IsOneScriptWord(std::string_view name) {
    return name.find_first_of(" \t'") == std::string_view::npos;
}

}  // namespace install

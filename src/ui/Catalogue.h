// The decisions behind the package list, apart from the list control: which packages of the
// patch folder a tab shows, under which name, with which status, and which file name a
// double-click hands to the installer.
#pragma once

#include <string>
#include <vector>

#include "platform/Settings.h"

namespace ui {

struct CatalogueRow {
    std::string displayName;  // column "Filename"
    bool installed = false;   // "Installed" or "Ready to install"
    std::string entry;        // the PatchList entry: package name, or its backup archive's
};

inline constexpr const char* kStatusInstalled = "Installed";
inline constexpr const char* kStatusReady = "Ready to install";

// The package prefixes in tab order: "orva-", "tiecd-", "tie-", "xvt-", "bop-", "xwa-".
const std::vector<std::string>& TabPrefixes();

// Whether tab (0 to 5) lists the package file name.
bool AcceptsName(int tab, const std::string& name);
// The name shown in the list for an accepted file name.
std::string DisplayName(int tab, const std::string& name);

// Every row of tab, in the order of the patch folder's search.
std::vector<CatalogueRow> BuildCatalogue(const platform::Settings& settings, int tab);

// The read-me of a PatchList entry, always from the package itself (a backup archive's
// entry names its package). False when there is none.
bool ReadPatchReadme(const platform::Settings& settings, const std::string& entry,
                     std::string& text);

}  // namespace ui

// The six folders that the program remembers between runs (patch folder and one folder per
// game), kept in a per-user profile file, with registry records and built-in values behind
// empty entries. Nothing is cached: every look-up reads the file and the registry afresh.
#pragma once

#include <string>

#include "platform/PlatformTable.h"

namespace platform {

// Values pass through buffers of this size, so they hold at most 259 bytes.
constexpr int kPathBufferSize = 260;

inline constexpr std::string_view kSettingsSection = "Paths";

class Settings {
public:
    Settings();

    // The folder of row id (0 = patch folder), possibly empty.
    std::string GetFolder(PlatformId id) const;
    // Whether a patch folder was ever saved (a non-empty "Patches" value in the file).
    bool IsConfigured() const;
    // Saves value under key in section "Paths"; creates the settings folder when missing.
    void SetFolder(const std::string& key, const std::string& value) const;

    const std::string& IniPath() const { return iniPath; }
    const std::string& SettingsFolder() const { return settingsFolder; }

private:
    std::string ReadKey(const std::string& key) const;

    std::string iniPath;
    std::string settingsFolder;
};

}  // namespace platform

#include "platform/Settings.h"

#include "os/Os.h"

namespace platform {

Settings::Settings() {
    settingsFolder = os::Current().AppDataFolder() + "\\Tolvenar\\ORVA";
    iniPath = settingsFolder + "\\ORVA.ini";
}

std::string Settings::ReadKey(const std::string& key) const {
    return os::Current().ReadProfileString(iniPath, std::string(kSettingsSection), key, "",
                                           kPathBufferSize);
}

std::string Settings::GetFolder(PlatformId id) const {
    const PlatformInfo& row = PlatformTable::Row(id);
    std::string result = ReadKey(std::string(row.settingsKey));

    if (id == kPatchFolder) {
        if (result.empty()) {
            result = os::Current().DocumentsFolder() + std::string(kPatchFolderDefaultName);
        }
        return result;
    }
    if (row.registryRule == RegistryRule::None) {
        if (result.empty()) result = std::string(row.defaultFolder);
        return result;
    }
    if (row.registryRule == RegistryRule::FillsEmpty && !result.empty()) return result;

    std::string fromRegistry;
    if (os::Current().ReadMachineRegistryString(std::string(row.registryKey),
                                                std::string(kRegistryValueName),
                                                kPathBufferSize, fromRegistry)) {
        result = fromRegistry;
    }
    return result;
}

bool Settings::IsConfigured() const { return !ReadKey(std::string(PlatformTable::Row(0).settingsKey)).empty(); }

void Settings::SetFolder(const std::string& key, const std::string& value) const {
    // On a new account the settings folder does not exist yet; without it nothing could
    // ever be saved, so it is made here (the slot files live in it too).
    os::EnsureFolder(settingsFolder);
    os::Current().WriteProfileString(iniPath, std::string(kSettingsSection), key, value);
}

}  // namespace platform

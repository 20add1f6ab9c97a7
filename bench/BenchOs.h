// The Os in force while a benchmark program runs: the real backend, except that the per-user
// folders are the run's own and no registry value is seen. Settings, slot files and the
// defaults behind empty settings then come only from what the run wrote itself, never from the
// account of whoever starts it (a game registered in a Wine prefix would otherwise replace the
// game folder that the run set).
#pragma once

#include <string>

#include "os/ForwardingOs.h"
#include "platform/PlatformTable.h"
#include "platform/Settings.h"

namespace bench {

class BenchOs : public os::ForwardingOs {
public:
    // appData takes the place of the application-data folder; documents is below it.
    explicit BenchOs(const std::string& appData)
        : os::ForwardingOs(os::Native()), appData(appData), documents(appData + "\\Documents") {}

    std::string AppDataFolder() override { return appData; }
    std::string DocumentsFolder() override { return documents; }
    bool ReadMachineRegistryString(const std::string&, const std::string&, int,
                                   std::string&) override {
        return false;
    }

private:
    std::string appData;
    std::string documents;
};

// Saves folder as the setting of row id (0 = patch folder), in the settings of the Os in force.
inline void SaveFolder(platform::PlatformId id, const std::string& folder) {
    platform::Settings().SetFolder(std::string(platform::PlatformTable::Row(id).settingsKey), folder);
}

}  // namespace bench

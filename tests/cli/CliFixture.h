// Runs the built orva in a temporary world: a patch folder, five game folders and a settings
// file of its own. Natively the program finds its settings through HOME and
// XDG_CONFIG_HOME, which point into the temporary folder; under Wine it uses the prefix's
// application-data folder, whose companion settings are set aside for the test and put back
// afterwards.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Spawn.h"
#include "os/Os.h"
#include "support/TestSupport.h"

namespace cli_testing {

struct Entry {
    std::string name;
    std::string data;
};

// Patch data of (offset, bytes) records.
std::string MakePatch(const std::vector<std::pair<uint32_t, std::string>>& records);

class CliTest : public ::testing::Test {
protected:
    CliTest();
    ~CliTest() override;

    // The program's outcome with CR LF line ends read as LF (a Windows console program
    // writes text that way); OrvaRaw keeps every byte.
    Outcome Orva(const std::vector<std::string>& args);
    Outcome OrvaRaw(const std::vector<std::string>& args);

    std::string Game(int id) const { return games.at(id); }
    std::string GamePath(int id, const std::string& rel) const { return Game(id) + "\\" + rel; }
    void MakePackage(const std::string& name, const std::vector<Entry>& entries);
    void MakeBaseMarker(int game);
    void PutFile(const std::string& path, const std::string& data);
    void PutGameFile(int game, const std::string& rel, const std::string& data) {
        PutFile(GamePath(game, rel), data);
    }
    std::string GameFile(int game, const std::string& rel) const;
    std::string SlotFile(int game) const;
    bool Exists(const std::string& path) const { return os::Native().Exists(path); }
    // Every file below the temporary folder and the settings folder.
    std::map<std::string, std::string> World() const;

    testing_support::TestOs sys;
    os::OsOverride use{sys};
    std::string patches;
    std::string settingsFolder;
    std::map<int, std::string> games;
    std::map<std::string, std::optional<std::string>> env;

private:
    std::map<std::string, std::string> savedSettings;
};

}  // namespace cli_testing

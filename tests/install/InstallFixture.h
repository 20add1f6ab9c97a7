// A patch folder, game folders and settings in a temporary folder, packages built with the
// project's own archive writer, and a view that records what the engine showed.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "install/InstallDriver.h"
#include "install/Installer.h"
#include "install/View.h"
#include "os/Os.h"
#include "package/ArchiveReader.h"
#include "package/ArchiveWriter.h"
#include "support/TestSupport.h"

namespace install_testing {

class RecordingView : public install::View {
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    int GetProgress() override { return position; }
    void SetProgress(int p) override {
        position = p;
        positions.push_back(p);
    }
    void Pump() override {
        ++pumps;
        if (onPump) onPump();
    }
    bool ShowBanner(const std::string& path) override {
        banners.push_back(testing_support::ReadFile(path));
        return loadBanner;
    }

    std::vector<std::string> statuses;
    std::vector<int> positions;
    std::vector<std::string> banners;
    int position = 0;
    int pumps = 0;
    bool loadBanner = true;
    std::function<void()> onPump;
};

struct Entry {
    std::string name;
    std::string data;
};

// Patch data: a head of 13 bytes, the record count, then (offset, bytes) records.
std::string MakePatch(const std::vector<std::pair<uint32_t, std::string>>& records,
                      int16_t countOverride = 0, bool useOverride = false);

class InstallTest : public ::testing::Test {
protected:
    InstallTest();
    ~InstallTest() override;

    // Folders of the settings: patch folder and the folder of every game.
    std::string patches;
    std::string Game(int id) const { return games.at(id); }
    std::string GamePath(int id, const std::string& rel) const { return Game(id) + "\\" + rel; }

    void MakePackage(const std::string& name, const std::vector<Entry>& entries);
    void MakeBaseMarker(int game);
    void PutGameFile(int game, const std::string& rel, const std::string& data);
    std::string GameFile(int game, const std::string& rel) const;

    // Prepare, and on Ready the driver and the end clean-up, as a double-click does.
    install::InstallResult Activate(const std::string& entry);
    // The entry the list would hand over for a package: its backup archive when installed.
    std::string ListEntry(const std::string& packageName) const;
    install::InstallResult Toggle(const std::string& packageName) { return Activate(ListEntry(packageName)); }

    // Entry names of an archive in order, and one entry's bytes.
    std::vector<std::string> EntryNames(const std::string& archivePath) const;
    std::string EntryData(const std::string& archivePath, const std::string& name) const;
    std::string SlotFile(int game) const;

    testing_support::TestOs sys;
    os::OsOverride use{sys};
    std::map<int, std::string> games;
    package::ArchiveWriter writer;
    std::unique_ptr<install::Installer> installer;
    RecordingView view;
};

}  // namespace install_testing

#include "CliFixture.h"

#include <filesystem>

#include "cli/PatchDiff.h"
#include "platform/PlatformTable.h"
#include "platform/Settings.h"
#include "support/ZipFixture.h"

namespace cli_testing {

namespace {

std::string Host(std::string path) {
#ifndef _WIN32
    for (char& c : path) c = c == '\\' ? '/' : c;
#endif
    return path;
}

std::string WithoutCarriageReturns(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(Host(path)), ec);
}

}  // namespace

std::string MakePatch(const std::vector<std::pair<uint32_t, std::string>>& records) {
    std::vector<cli::PatchRecord> list;
    for (const auto& [offset, bytes] : records) list.push_back({offset, bytes});
    return cli::WritePatchData(list);
}

CliTest::CliTest() {
#ifdef _WIN32
    // orva.exe asks Windows for its application-data folder; the test's settings go there.
    sys.appData = os::Native().AppDataFolder();
#else
    sys.appData = sys.root.Join("config");
    sys.documents = sys.root.Join("home\\Documents");
    os::Native().CreateFolder(sys.root.Join("home"));
    os::Native().CreateFolder(sys.appData);
    env["HOME"] = Host(sys.root.Join("home"));
    env["XDG_CONFIG_HOME"] = Host(sys.appData);
    env["WINEPREFIX"] = std::nullopt;  // no prefix: $HOME/.wine does not exist
#endif
    platform::Settings settings;
    settingsFolder = settings.SettingsFolder();
    savedSettings = testing_support::Snapshot(settingsFolder);
    RemoveTree(settingsFolder);

    patches = sys.root.Join("Patches");
    sys.CreateFolder(patches);
    settings.SetFolder("Patches", patches);
    for (int id = 1; id <= 5; ++id) {
        games[id] = sys.root.Join("Game" + std::to_string(id));
        sys.CreateFolder(games[id]);
        settings.SetFolder(std::string(platform::PlatformTable::Row(id).settingsKey), games[id]);
    }
}

CliTest::~CliTest() {
    RemoveTree(settingsFolder);
    for (const auto& [rel, data] : savedSettings) {
        if (!rel.empty() && rel.back() == '/') continue;
        std::string path = settingsFolder + "\\" + rel;
        os::EnsureFolder(path.substr(0, path.find_last_of("\\/")));
        os::WriteWholeFile(path, data);
    }
}

Outcome CliTest::OrvaRaw(const std::vector<std::string>& args) {
    return Spawn(ORVA_PROGRAM, args, env, sys.root.Path());
}

Outcome CliTest::Orva(const std::vector<std::string>& args) {
    Outcome o = OrvaRaw(args);
    o.out = WithoutCarriageReturns(o.out);
    o.err = WithoutCarriageReturns(o.err);
    return o;
}

void CliTest::MakePackage(const std::string& name, const std::vector<Entry>& entries) {
    std::vector<testing_support::FixtureEntry> zip;
    for (const Entry& e : entries) zip.push_back({e.name, e.data});
    ASSERT_TRUE(testing_support::WriteZip(patches + "\\" + name, zip));
}

void CliTest::MakeBaseMarker(int game) { PutGameFile(game, "RADuvev\\back.ov", "base"); }

void CliTest::PutFile(const std::string& path, const std::string& data) {
    ASSERT_TRUE(os::EnsureFolder(path.substr(0, path.find_last_of('\\'))));
    ASSERT_TRUE(os::WriteWholeFile(path, data));
}

std::string CliTest::GameFile(int game, const std::string& rel) const {
    return testing_support::ReadFile(GamePath(game, rel));
}

std::string CliTest::SlotFile(int game) const {
    return testing_support::ReadFile(settingsFolder +
                                     std::string(platform::PlatformTable::Row(game).slotFile));
}

std::map<std::string, std::string> CliTest::World() const {
    std::map<std::string, std::string> all;
    for (auto& [rel, data] : testing_support::Snapshot(sys.root.Path())) {
        if (rel.rfind("stdout.txt", 0) != 0 && rel.rfind("stderr.txt", 0) != 0) all["root/" + rel] = data;
    }
    for (auto& [rel, data] : testing_support::Snapshot(settingsFolder)) all["settings/" + rel] = data;
    return all;
}

}  // namespace cli_testing

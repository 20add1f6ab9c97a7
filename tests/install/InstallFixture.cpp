#include "InstallFixture.h"

#include "platform/Names.h"
#include "platform/PlatformTable.h"
#include "platform/Settings.h"

namespace install_testing {

std::string MakePatch(const std::vector<std::pair<uint32_t, std::string>>& records,
                      int16_t countOverride, bool useOverride) {
    std::string data = "PATCHHEAD0123";
    int16_t count = useOverride ? countOverride : static_cast<int16_t>(records.size());
    data += static_cast<char>(count & 0xFF);
    data += static_cast<char>((count >> 8) & 0xFF);
    for (const auto& [offset, bytes] : records) {
        for (int i = 0; i < 4; ++i) data += static_cast<char>((offset >> (8 * i)) & 0xFF);
        data += static_cast<char>(bytes.size());
        data += bytes;
    }
    return data;
}

InstallTest::InstallTest() {
    patches = sys.root.Join("Patches");
    sys.CreateFolder(patches);
    platform::Settings settings;
    settings.SetFolder("Patches", patches);
    for (int id = 1; id <= 5; ++id) {
        games[id] = sys.root.Join("Game" + std::to_string(id));
        sys.CreateFolder(games[id]);
        settings.SetFolder(std::string(platform::PlatformTable::Row(id).settingsKey), games[id]);
    }
    installer = std::make_unique<install::Installer>(writer);
}

InstallTest::~InstallTest() {
    installer->FinishInstall();
    writer.Close();
}

void InstallTest::MakePackage(const std::string& name, const std::vector<Entry>& entries) {
    package::ArchiveWriter w;
    ASSERT_TRUE(w.Create(patches + "\\" + name));
    for (const Entry& e : entries) {
        ASSERT_TRUE(w.AddMemory(e.name, e.data.data(), static_cast<int64_t>(e.data.size()))) << e.name;
    }
    ASSERT_TRUE(w.Close());
}

void InstallTest::MakeBaseMarker(int game) {
    ASSERT_TRUE(os::EnsureFolder(GamePath(game, "RADuvev")));
    testing_support::WriteFile(GamePath(game, "RADuvev\\back.ov"), "base");
}

void InstallTest::PutGameFile(int game, const std::string& rel, const std::string& data) {
    std::string path = GamePath(game, rel);
    size_t cut = path.find_last_of('\\');
    ASSERT_TRUE(os::EnsureFolder(path.substr(0, cut)));
    testing_support::WriteFile(path, data);
}

std::string InstallTest::GameFile(int game, const std::string& rel) const {
    return testing_support::ReadFile(GamePath(game, rel));
}

install::InstallResult InstallTest::Activate(const std::string& entry) {
    install::InstallResult result = installer->Prepare(view, entry);
    if (result == install::InstallResult::Ready) {
        install::RunInstall(*installer, view);
        installer->FinishInstall();
    }
    return result;
}

std::string InstallTest::ListEntry(const std::string& packageName) const {
    std::string backup = platform::BackupNameOf(packageName);
    return os::Native().Exists(patches + "\\" + backup) ? backup : packageName;
}

std::vector<std::string> InstallTest::EntryNames(const std::string& archivePath) const {
    std::vector<std::string> names;
    package::ArchiveReader reader;
    if (!reader.Open(archivePath)) return names;
    for (int32_t i = 0; i < reader.EntryCount(); ++i) {
        package::EntryInfo info;
        reader.GetEntryInfo(i, info);
        names.push_back(info.storedName);
    }
    reader.Close();
    return names;
}

std::string InstallTest::EntryData(const std::string& archivePath, const std::string& name) const {
    package::ArchiveReader reader;
    std::vector<char> block;
    int64_t size = 0;
    std::string data = "<missing>";
    if (reader.Open(archivePath) && reader.ExtractToMemory(name, block, size, false)) {
        data.assign(block.data(), static_cast<size_t>(size));
    }
    reader.Close();
    return data;
}

std::string InstallTest::SlotFile(int game) const {
    platform::Settings settings;
    return testing_support::ReadFile(settings.SettingsFolder() +
                                     std::string(platform::PlatformTable::Row(game).slotFile));
}

}  // namespace install_testing

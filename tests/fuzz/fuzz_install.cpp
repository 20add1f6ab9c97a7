// A whole install and removal of a fuzzed package. The input is the script, then entries
// separated by 0x1E, each a name, 0x1F and its data. The package is built, installed into a
// game folder with a sentinel file beside it and removed again; any write outside the game,
// patch and settings folders aborts, and a refused package must leave the game unchanged.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "install/InstallDriver.h"
#include "install/Installer.h"
#include "os/Os.h"
#include "package/ArchiveWriter.h"
#include "platform/Names.h"
#include "platform/Settings.h"
#include "support/TestSupport.h"
#include "support/ZipFixture.h"

namespace {

std::vector<testing_support::FixtureEntry> Entries(const std::string& input) {
    std::vector<testing_support::FixtureEntry> entries;
    size_t pos = 0;
    bool first = true;
    while (pos <= input.size() && entries.size() < 64) {
        size_t end = input.find('\x1e', pos);
        if (end == std::string::npos) end = input.size();
        std::string part = input.substr(pos, end - pos);
        testing_support::FixtureEntry e;
        if (first) {
            e.name = "install.cfg";
            e.data = part;
        } else {
            size_t cut = part.find('\x1f');
            e.name = part.substr(0, cut);
            e.data = cut == std::string::npos ? "" : part.substr(cut + 1);
            e.folder = !e.name.empty() && e.name.back() == '/';
            if (e.folder) e.data.clear();
        }
        e.stored = entries.size() % 2 == 1;
        entries.push_back(e);
        first = false;
        pos = end + 1;
    }
    return entries;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    const std::string root = fuzzing::ScratchFolder();
    const std::string game = root + "/Game", patches = root + "/Patches", appData = root + "/AppData";
    const std::string settingsFolder = appData + "/Tolvenar/ORVA";
    for (const std::string& folder : {game, patches, appData}) fuzzing::EmptyFolder(folder);
    fs::create_directories(settingsFolder);
    fs::create_directories(game + "/RADuvev");
    fs::create_directories(game + "/Sub");
    os::WriteWholeFile(game + "/RADuvev/back.ov", "base");
    os::WriteWholeFile(game + "/SHIPS.LST", std::string(64, 'S'));
    os::WriteWholeFile(game + "/strings.txt", "one\r\ntwo\r\nthree\r\nfour\r\n");
    os::WriteWholeFile(game + "/Sub/model.opt", "model");
    os::WriteWholeFile(root + "/sentinel.dat", "sentinel");

    fuzzing::GuardOs guard(os::Native());
    guard.appData = appData;
    guard.documents = root;
    guard.allowed = {game, patches, settingsFolder};
    os::OsOverride use(guard);
    {
        platform::Settings settings;
        settings.SetFolder("Patches", patches);
        for (int id = 1; id <= 5; ++id) {
            settings.SetFolder(std::string(platform::PlatformTable::Row(id).settingsKey), game);
        }
    }
    const std::string package = "xwa-fuzz.ovx";
    Check(testing_support::WriteZip(patches + "/" + package,
                                    Entries(std::string(reinterpret_cast<const char*>(data), size))),
          "fixture archive not written");
    const auto before = testing_support::Snapshot(game);

    package::ArchiveWriter writer;
    install::Installer installer(writer);
    fuzzing::QuietView view;
    install::InstallResult result = installer.Prepare(view, package);
    if (result != install::InstallResult::Ready) {
        Check(testing_support::Snapshot(game) == before, "a refused package changed the game");
        Check(!writer.IsOpen(), "a refused package left the backup archive open");
    } else {
        install::RunInstall(installer, view);
        installer.FinishInstall();
        Check(!writer.IsOpen(), "the backup archive is still open");
        const std::string backup = platform::BackupNameOf(package);
        if (guard.Exists(patches + "/" + backup) && installer.Prepare(view, backup) == install::InstallResult::Ready) {
            install::RunInstall(installer, view);
            installer.FinishInstall();
        }
    }
    Check(testing_support::ReadFile(root + "/sentinel.dat") == "sentinel", "the sentinel changed");
    return 0;
}

// Packages crafted to escape the game folder, exhaust memory or leave damage behind. For each:
// the refusal or harmless outcome expected, and the disk afterwards: nothing outside the
// game, patch and settings folders changed, no partial file, the game unchanged on refusal.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "support/ZipFixture.h"

using install::InstallResult;
using testing_support::FixtureEntry;
using testing_support::ReadFile;
using testing_support::Snapshot;
using testing_support::WriteFile;

namespace install_testing {
namespace {

constexpr const char* kAnyOutcome = "";

struct Hostile {
    const char* title;
    std::vector<FixtureEntry> entries;  // besides the script, unless the script is given
    std::string script;
    InstallResult result;
    // A file that must exist in the game folder afterwards, or kAnyOutcome.
    const char* landsAs = kAnyOutcome;
};

std::vector<FixtureEntry> Named(const std::string& name) { return {{name, "evil"}}; }

std::vector<Hostile> Cases() {
    const std::string bomb(8 * 1024 * 1024, '\0');
    std::string millionLines;
    for (int i = 0; i < 1000000; ++i) millionLines += "none\n";
    return {
        {"parent folder", Named("../evil.dat"), "game xwa\n", InstallResult::UnsafeName},
        {"parent folder, backslash", Named("..\\evil.dat"), "game xwa\n", InstallResult::UnsafeName},
        {"parent folder, mixed", Named("sub\\..\\sub/../../evil.dat"), "game xwa\n", InstallResult::UnsafeName},
        {"parent folder cleaned away", Named("sub/..\\../evil.dat"), "game xwa\n", InstallResult::Ready, "evil.dat"},
        {"parent folder at the end", Named("sub/.."), "game xwa\n", InstallResult::UnsafeName},
        {"absolute POSIX path", Named("/tmp/evil.dat"), "game xwa\n", InstallResult::Ready, "tmp\\evil.dat"},
        {"drive letter", Named("C:\\Windows\\evil.dll"), "game xwa\n", InstallResult::Ready, "Windows\\evil.dll"},
        {"drive-relative", Named("C:evil.dll"), "game xwa\n", InstallResult::Ready, "evil.dll"},
        {"UNC path", Named("\\\\server\\share\\evil.dat"), "game xwa\n", InstallResult::Ready, "server\\share\\evil.dat"},
        {"device path", Named("\\\\?\\C:\\evil.dat"), "game xwa\n", InstallResult::UnsafeName},
        {"device namespace", Named("\\\\.\\PhysicalDrive0"), "game xwa\n", InstallResult::UnsafeName},
        {"NTFS stream", Named("ships.lst:evil"), "game xwa\n", InstallResult::UnsafeName},
        {"device name", Named("CON"), "game xwa\n", InstallResult::UnsafeName},
        {"device name with extension", Named("sub/nul.dat"), "game xwa\n", InstallResult::UnsafeName},
        {"trailing dot", Named("evil."), "game xwa\n", InstallResult::UnsafeName},
        {"trailing space", Named("evil.dat "), "game xwa\n", InstallResult::UnsafeName},
        {"NUL byte in the name", Named(std::string("evil\0.dat", 9)), "game xwa\n", InstallResult::UnsafeName},
        {"name over 259 bytes", Named(std::string(300, 'n')), "game xwa\n", InstallResult::UnsafeName},
        {"patch target outside", {{"p.t95", std::string(15, '\0')}}, "game xwa\npatchfile p.t95 ../outside.bin\n",
         InstallResult::UnsafeName},
        {"patch target absolute", {{"p.t95", std::string(15, '\0')}}, "game xwa\npatchfile p.t95 /etc/passwd\n",
         InstallResult::UnsafeName},
        {"text target on a drive", {{"t.txt", "x\n"}}, "game xwa\ntextfile t.txt c:\\boot.ini 1\n",
         InstallResult::UnsafeName},
        {"delete target outside", {}, "game xwa\ndeletefile ..\\outside.bin\n", InstallResult::UnsafeName},
        {"delete target UNC", {}, "game xwa\ndeletefile \\\\server\\share\\x\n", InstallResult::UnsafeName},
        {"entries that differ only in case", {{"Model.opt", "first"}, {"MODEL.OPT", "second"}}, "game xwa\n",
         InstallResult::Ready, "model.opt"},
        {"script that inflates beyond its size", {{"install.cfg", bomb, false, false, 100}}, "",
         InstallResult::ScriptUnreadable},
        {"file that inflates beyond its size", {{"big.dat", bomb, false, false, 100}}, "game xwa\n",
         InstallResult::Ready},
        {"bad checksum", {{"ships.lst", "replacement", false, false, std::nullopt, 0x12345678u}}, "game xwa\n",
         InstallResult::Ready, "ships.lst"},
        {"script of one very long line", {}, "game xwa " + std::string(4 * 1024 * 1024, 'x') + "\n",
         InstallResult::Ready},
        {"script of a million lines", {}, millionLines + "game xwa\n", InstallResult::Ready},
    };
}

class HostilePackageTest : public InstallTest, public ::testing::WithParamInterface<size_t> {
protected:
    // Everything but the folders an install may change.
    std::map<std::string, std::string> Outside() {
        auto all = Snapshot(sys.root.Path());
        for (auto it = all.begin(); it != all.end();) {
            bool mayChange = it->first.rfind("Patches/", 0) == 0 || it->first.rfind("AppData/", 0) == 0 ||
                             it->first.rfind("Game5/", 0) == 0;
            it = mayChange ? all.erase(it) : std::next(it);
        }
        return all;
    }
};

TEST_P(HostilePackageTest, RefusedOrHarmless) {
    const Hostile c = Cases()[GetParam()];
    SCOPED_TRACE(c.title);
    PutGameFile(5, "ships.lst", "original ships");
    WriteFile(sys.root.Join("outside.bin"), "outside");
    std::vector<FixtureEntry> entries = c.entries;
    if (!c.script.empty()) entries.insert(entries.begin(), FixtureEntry{"install.cfg", c.script});
    ASSERT_TRUE(testing_support::WriteZip(patches + "\\xwa-hostile.ovx", entries));

    const auto outside = Outside();
    const auto game = Snapshot(Game(5));
    const InstallResult result = installer->Prepare(view, "xwa-hostile.ovx");
    EXPECT_EQ(result, c.result);
    if (result == InstallResult::Ready) {
        install::RunInstall(*installer, view);
        installer->FinishInstall();
    }
    EXPECT_EQ(Outside(), outside);
    EXPECT_FALSE(writer.IsOpen());
    if (result != InstallResult::Ready) {
        EXPECT_EQ(Snapshot(Game(5)), game);
        return;
    }
    for (const auto& [name, data] : Snapshot(Game(5))) {
        EXPECT_EQ(name.find(".part"), std::string::npos) << "partial file left: " << name;
    }
    if (*c.landsAs) {
        EXPECT_NE(GameFile(5, c.landsAs), "<missing>") << c.landsAs;
    }
    EXPECT_EQ(GameFile(5, "big.dat"), "<missing>") << "a bomb is never extracted";
    if (std::string(c.title) == "bad checksum") {
        EXPECT_EQ(GameFile(5, "ships.lst"), "original ships") << "a damaged entry replaces nothing";
    }
    // And the removal puts everything back.
    if (sys.Exists(patches + "\\xwa-hostile.backup")) {
        ASSERT_EQ(Activate("xwa-hostile.backup"), InstallResult::Ready);
        EXPECT_EQ(GameFile(5, "ships.lst"), "original ships");
        EXPECT_EQ(Outside(), outside);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostilePackageTest, ::testing::Range<size_t>(0, Cases().size()));

TEST_F(InstallTest, TruncatedArchivesAreRefused) {
    const std::string zip = testing_support::BuildZip({{"install.cfg", "game xwa\n"}, {"new.opt", std::string(500, 'n')}});
    for (size_t keep : {zip.size() / 2, zip.size() - 30, size_t{10}}) {
        WriteFile(patches + "\\xwa-cut.ovx", zip.substr(0, keep));
        const auto game = Snapshot(Game(5));
        EXPECT_EQ(installer->Prepare(view, "xwa-cut.ovx"), InstallResult::PatchNotFound) << keep;
        EXPECT_EQ(Snapshot(Game(5)), game);
    }
}

TEST_F(InstallTest, EntriesSharingTheirDataAreHarmless) {
    // Two central-directory records naming one local entry: both read the same bytes.
    std::string zip = testing_support::BuildZip({{"install.cfg", "game xwa\n"}, {"aaaa.opt", "shared data"}});
    size_t cd = zip.rfind(std::string("PK\x01\x02", 4));
    size_t eocd = zip.rfind(std::string("PK\x05\x06", 4));
    ASSERT_NE(cd, std::string::npos);
    std::string record = zip.substr(cd, eocd - cd);
    record.replace(record.find("aaaa.opt"), 8, "bbbb.opt");
    std::string out = zip.substr(0, eocd) + record + zip.substr(eocd);
    auto add = [&](size_t at, int bytes, uint32_t by) {
        uint32_t v = 0;
        for (int k = 0; k < bytes; ++k) v |= static_cast<uint32_t>(static_cast<unsigned char>(out[at + k])) << (8 * k);
        v += by;
        for (int k = 0; k < bytes; ++k) out[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    const size_t newEocd = eocd + record.size();
    add(newEocd + 8, 2, 1);   // records on this disk
    add(newEocd + 10, 2, 1);  // records in all
    add(newEocd + 12, 4, static_cast<uint32_t>(record.size()));  // size of the directory
    WriteFile(patches + "\\xwa-shared.ovx", out);
    ASSERT_EQ(Activate("xwa-shared.ovx"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "aaaa.opt"), "shared data");
    EXPECT_EQ(GameFile(5, "bbbb.opt"), "shared data");
    ASSERT_EQ(Activate("xwa-shared.backup"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "aaaa.opt"), "<missing>");
    EXPECT_EQ(GameFile(5, "bbbb.opt"), "<missing>");
}

}  // namespace
}  // namespace install_testing

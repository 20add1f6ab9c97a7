// Reading a package's read-me for "View Patch Readme", with test packages written on the fly.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "os/Os.h"
#include "platform/Settings.h"
#include "support/TestSupport.h"
#include "support/ZipFixture.h"
#include "ui/Catalogue.h"

using platform::Settings;
using testing_support::TempDir;
using testing_support::TestOs;
using testing_support::WriteFile;

namespace {

using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string, std::string>>;

class ReadPatchReadmeTest : public ::testing::Test {
protected:
    ReadPatchReadmeTest() : use(sys) { settings.SetFolder("Patches", patches.Path()); }

    void Package(const std::string& name, const Entries& entries) {
        std::vector<testing_support::FixtureEntry> zip;
        for (const auto& [entry, data] : entries) zip.push_back({.name = entry, .data = data});
        ASSERT_TRUE(testing_support::WriteZip(patches.Join(name), zip));
    }

    std::string Read(const std::string& entry, bool expected) {
        std::string text = "stale";
        EXPECT_EQ(ui::ReadPatchReadme(settings, entry, text), expected) << entry;
        return text;
    }

    TestOs sys;
    os::OsOverride use;
    Settings settings;
    TempDir patches;
};

TEST_F(ReadPatchReadmeTest, InstalledRowReadsThePackageNotItsBackup) {
    Package("tie-ship.ovx",
            {{"install.cfg", "game tie\r\n"}, {"readme.txt", "From the package.\r\n"}});
    Package("tie-ship.backup",
            {{"Install.cfg", "Game TIE\r\n"}, {"readme.txt", "From the backup."}});
    EXPECT_EQ(Read("tie-ship.backup", true), "From the package.\r\n");
    EXPECT_EQ(Read("tie-ship.ovx", true), "From the package.\r\n");
}

TEST_F(ReadPatchReadmeTest, PackageNamedAsFound) {
    Package("XWA-Big.OVX", {{"README.TXT", "Capitals\tand\ttabs\n"}});
    EXPECT_EQ(Read("XWA-Big.OVX", true), "Capitals\tand\ttabs\n");
    // Only the backup extension at the end names a backup; inside a name it is just a word.
    Package("xwa-old.backup.ovx", {{"readme.txt", "Mine"}});
    Package("xwa-old.ovx", {{"readme.txt", "Not mine"}});
    EXPECT_EQ(Read("xwa-old.backup.ovx", true), "Mine");
    EXPECT_EQ(Read("xwa-old.backup.backup", true), "Mine");
}

TEST_F(ReadPatchReadmeTest, TextEndsAtTheFirstNul) {
    Package("bop-a.ovx", {{"readme.txt", "shown"s + '\0' + "hidden"}});
    EXPECT_EQ(Read("bop-a.ovx", true), "shown");
    Package("bop-empty.ovx", {{"readme.txt", ""}});
    EXPECT_EQ(Read("bop-empty.ovx", true), "");
}

TEST_F(ReadPatchReadmeTest, NoReadmeIsFalseWithEmptyText) {
    Package("xvt-plain.ovx", {{"install.cfg", "game xvt\r\n"}, {"docs/readme.txt", "elsewhere"}});
    WriteFile(patches.Join("xvt-broken.ovx"), "not an archive at all");
    EXPECT_EQ(Read("xvt-plain.ovx", false), "");
    EXPECT_EQ(Read("xvt-broken.ovx", false), "");
    EXPECT_EQ(Read("xvt-missing.ovx", false), "");
    EXPECT_EQ(Read("xvt-missing.backup", false), "");
}

}  // namespace

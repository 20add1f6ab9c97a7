// The platform reset's clean-up of the patch folder, judged by what is left on disk.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "os/Os.h"
#include "platform/Settings.h"
#include "slots/SlotTable.h"
#include "support/TestSupport.h"

using platform::Settings;
using testing_support::Snapshot;
using testing_support::TempDir;
using testing_support::TestOs;
using testing_support::WriteFile;

namespace {

class BackupCleanupTest : public ::testing::Test {
protected:
    BackupCleanupTest() : use(sys) { settings.SetFolder("Patches", patches.Path()); }

    // A patch folder with backups of several games, things that are not backups, and a
    // sub-folder and a folder that the search sees but that are no files to delete. Answers
    // what is on disk then, named as Left() names it.
    std::set<std::string> Populate() {
        std::set<std::string> names = {"old/", "old/tie-h.backup", "tie-folder.backup/"};
        for (const char* name :
             {"tie-a.backup", "TIE-B.BACKUP", "tiecd-c.backup", "xvt-d.backup",
              "xwa-tie-e.backup", "orva-tie-base.backup", "bop-f.backup", "tie-a.ovx",
              "TIE-B.ovx", "tie-g.backup.txt", "tie-notes.txt"}) {
            WriteFile(patches.Join(name), name);
            names.insert(name);
        }
        EXPECT_TRUE(os::EnsureFolder(patches.Join("old")));
        WriteFile(patches.Join("old\\tie-h.backup"), "kept");
        EXPECT_TRUE(os::EnsureFolder(patches.Join("tie-folder.backup")));
        return names;
    }

    std::set<std::string> Left() const {
        std::set<std::string> names;
        for (const auto& [name, content] : Snapshot(patches.Path())) names.insert(name);
        return names;
    }

    TestOs sys;
    os::OsOverride use;
    Settings settings;
    TempDir patches;
};

TEST_F(BackupCleanupTest, DeletesTheBackupsThatCarryTheGamesPrefix) {
    const struct {
        platform::PlatformId game;
        std::set<std::string> deleted;
    } cases[] = {
        // "tie-" does not begin "tiecd-"; another game's backup that merely contains "tie-",
        // and the backups of base packages, are never deleted: they would be lost for good.
        {2, {"tie-a.backup", "TIE-B.BACKUP"}},
        {1, {"tiecd-c.backup"}},
        {3, {"xvt-d.backup"}},
        {4, {"bop-f.backup"}},
        {5, {"xwa-tie-e.backup"}},  // its own package, listed on its own tab
        {0, {}},
        {6, {}},
        {-1, {}},
    };
    for (const auto& c : cases) {
        const std::set<std::string> all = Populate();
        ASSERT_EQ(Left(), all);
        slots::DeletePlatformBackups(settings, c.game);
        std::set<std::string> expected;
        for (const std::string& name : all) {
            if (!c.deleted.count(name)) expected.insert(name);
        }
        EXPECT_EQ(Left(), expected) << "game " << c.game;
    }
}

TEST_F(BackupCleanupTest, MissingOrEmptyPatchFolderIsNoError) {
    slots::DeletePlatformBackups(settings, 2);
    EXPECT_TRUE(Left().empty());

    settings.SetFolder("Patches", patches.Join("missing"));
    slots::DeletePlatformBackups(settings, 2);
    EXPECT_FALSE(sys.Exists(patches.Join("missing")));
}

}  // namespace

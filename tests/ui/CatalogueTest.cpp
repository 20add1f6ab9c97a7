// The package list's decisions: which tab lists a file, under which name, with which status,
// and which file name a row hands on.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "os/Os.h"
#include "platform/Settings.h"
#include "support/TestSupport.h"
#include "ui/Catalogue.h"

using platform::Settings;
using testing_support::TempDir;
using testing_support::TestOs;
using testing_support::WriteFile;

namespace {

TEST(CatalogueNames, TabPrefixesFollowTheTabs) {
    EXPECT_EQ(ui::TabPrefixes(),
              (std::vector<std::string>{"orva-", "tiecd-", "tie-", "xvt-", "bop-", "xwa-"}));
}

// Every name is listed on one tab at most; kNoTab where none lists it.
constexpr int kNoTab = -1;

TEST(CatalogueNames, EachNameOnItsTabUnderItsDisplayName) {
    const struct {
        const char* name;
        int tab;
        const char* shown;
    } cases[] = {
        {"TIE-Red_Baron.ovx", 2, "Red Baron"},  // prefix in capitals, rest in the file's case
        {"tie-orva-thing.ovx", 0, "tie-orva-thing"},  // a base package, whole stem
        {"tie-x-ORVA-y.OVX", 0, "tie-x-ORVA-y"},
        {"tie-orvax.ovx", kNoTab, ""},  // "orva" without "orva-"
        {"orvathing.ovx", kNoTab, ""},
        {"ORVA-Base_Pack.ovx", 0, "ORVA-Base Pack"},
        {"tiecd-Ship_1.ovx", 1, "Ship 1"},  // six characters go on the first game's tab
        {"tie-ship.ovx", 2, "ship"},  // never on the "tiecd-" tab
        {"xvt-a.b.c.ovx", 3, "a.b.c"},  // the stem ends at the last dot only
        {"bop-Mk_II_.ovx", 4, "Mk II "},
        {"xwa-ship.OVX", 5, "ship"},
        {"xwa-.ovx", 5, ""},
        {"my-tie-ship.ovx", kNoTab, ""},  // the prefix counts at the start only
        {"tie_ship.ovx", kNoTab, ""},
    };
    for (const auto& c : cases) {
        for (int tab = 0; tab < 6; ++tab) {
            EXPECT_EQ(ui::AcceptsName(tab, c.name), tab == c.tab) << c.name << " on tab " << tab;
        }
        if (c.tab != kNoTab) {
            EXPECT_EQ(ui::DisplayName(c.tab, c.name), c.shown) << c.name;
        }
    }
    EXPECT_FALSE(ui::AcceptsName(6, "xwa-ship.ovx"));
    EXPECT_FALSE(ui::AcceptsName(-1, "orva-base.ovx"));
    // Names too short for the prefix do not reach the list; asked anyway, the answer is safe.
    EXPECT_EQ(ui::DisplayName(1, "tie.ovx"), "");
}

class CatalogueTest : public ::testing::Test {
protected:
    CatalogueTest() : use(sys) { settings.SetFolder("Patches", patches.Path()); }

    void Add(const std::string& name) { WriteFile(patches.Join(name), "package"); }

    // The rows by display name: the order is the file system's.
    std::map<std::string, ui::CatalogueRow> Rows(int tab) const {
        std::map<std::string, ui::CatalogueRow> rows;
        for (ui::CatalogueRow& row : ui::BuildCatalogue(settings, tab)) {
            EXPECT_EQ(rows.count(row.displayName), 0u) << row.displayName;
            rows[row.displayName] = row;
        }
        return rows;
    }

    TestOs sys;
    os::OsOverride use;
    Settings settings;
    TempDir patches;
};

TEST_F(CatalogueTest, BackupBesideThePackageMeansInstalled) {
    for (const char* name : {"TIE-Alpha.OVX", "tie-b_ship.ovx", "tie-c.ovx", "xvt-d.ovx",
                             "tie-orva-base.ovx", "tie-lost.backup", "tie-notes.txt"}) {
        Add(name);
    }
    Add("tie-alpha.backup");  // another case than the package: still its backup
    ASSERT_TRUE(os::EnsureFolder(patches.Join("tie-c.backup")));  // any object of the name

    auto rows = Rows(2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows["Alpha"].installed);
    EXPECT_EQ(rows["Alpha"].entry, "TIE-Alpha.backup");
    EXPECT_FALSE(rows["b ship"].installed);
    EXPECT_EQ(rows["b ship"].entry, "tie-b_ship.ovx");
    EXPECT_TRUE(rows["c"].installed);
    EXPECT_EQ(rows["c"].entry, "tie-c.backup");

    ASSERT_TRUE(sys.RemoveFile(patches.Join("tie-alpha.backup")));
    rows = Rows(2);
    EXPECT_FALSE(rows["Alpha"].installed);
    EXPECT_EQ(rows["Alpha"].entry, "TIE-Alpha.OVX") << "the name as the search found it";

    rows = Rows(0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows["tie-orva-base"].entry, "tie-orva-base.ovx");
}

TEST_F(CatalogueTest, NoFolderOrNoPackagesGiveNoRows) {
    Add("tie-a.backup");
    EXPECT_TRUE(ui::BuildCatalogue(settings, 2).empty());
    settings.SetFolder("Patches", patches.Join("missing"));
    EXPECT_TRUE(ui::BuildCatalogue(settings, 2).empty());
    EXPECT_FALSE(sys.Exists(patches.Join("missing")));
}

}  // namespace

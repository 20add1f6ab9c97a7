// A preparation as a dry run answers what the real one would, and leaves every folder as it
// was: no slot claimed or released, no backup archive, no banner file, nothing deleted by
// the clean-ups.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "slots/SlotTable.h"

using install::InstallResult;
using testing_support::Snapshot;
using testing_support::WriteFile;

namespace install_testing {
namespace {

class DryRunTest : public InstallTest {
protected:
    DryRunTest() {
        MakeBaseMarker(5);
        PutGameFile(5, "ships.lst", "0123456789");
        PutGameFile(5, "strings.txt", "a\r\nb\r\n");
        PutGameFile(5, "old.dat", "old");
        MakePackage("xwa-ship.ovx", {{"install.cfg",
                                      "game xwa\nslot 3\npatchfile p.t95 ships.lst\n"
                                      "textfile t.txt strings.txt 1\ndeletefile old.dat\n"},
                                     {"p.t95", MakePatch({{2, "ab"}})},
                                     {"t.txt", "A\r\n"},
                                     {"header.bmp", "BM banner"},
                                     {"flight/new.opt", "n"}});
    }

    // Prepare as a dry run and end it; the whole temporary folder must be as it was.
    InstallResult DryRun(const std::string& entry) {
        installer->dryRun = true;
        const auto before = Snapshot(sys.root.Path());
        const size_t banners = view.banners.size();
        InstallResult result = installer->Prepare(view, entry);
        EXPECT_FALSE(writer.IsOpen());
        if (result == InstallResult::Ready) {
            EXPECT_TRUE(installer->opened);
            EXPECT_TRUE(installer->reader.IsOpen()) << "the package stays readable for a plan";
        }
        installer->FinishInstall();
        EXPECT_FALSE(installer->opened);
        EXPECT_EQ(Snapshot(sys.root.Path()), before);
        EXPECT_EQ(view.banners.size(), banners);
        return result;
    }
};

TEST_F(DryRunTest, ReadyWithoutClaimBackupOrBanner) {
    EXPECT_EQ(DryRun("xwa-ship.ovx"), InstallResult::Ready);
    EXPECT_EQ(installer->slot, 3);
    EXPECT_EQ(installer->backupPath, patches + "\\xwa-ship.backup");
    // A real install afterwards finds the slot free.
    installer->dryRun = false;
    EXPECT_EQ(Activate("xwa-ship.ovx"), InstallResult::Ready);
    EXPECT_EQ(SlotFile(5), "3 xwa-ship.ovx\r\n");
}

TEST_F(DryRunTest, RefusesWhereTheInstallWouldAndClaimsNothing) {
    slots::SlotTable(installer->settings).Claim(5, 7, "xwa-holder.ovx");
    MakePackage("xwa-taken.ovx", {{"install.cfg", "game xwa\nslot 7\n"}});
    MakePackage("xwa-target.ovx", {{"install.cfg", "game xwa\nslot 4\npatchfile p.t95 gone.lst\n"},
                                   {"p.t95", MakePatch({{0, "x"}})}});
    MakePackage("tie-nobase.ovx", {{"install.cfg", "game tie\nslot 2\n"}});
    MakePackage("xwa-noslot.ovx", {{"install.cfg", "game 2\nslot 2\n"}});  // platform 0: no slot file

    EXPECT_EQ(DryRun("xwa-taken.ovx"), InstallResult::SlotInUse);
    EXPECT_EQ(installer->detail, "xwa-holder.ovx");
    EXPECT_EQ(DryRun("xwa-target.ovx"), InstallResult::TargetNotWritable);
    EXPECT_EQ(DryRun("tie-nobase.ovx"), InstallResult::BaseMissing);
    EXPECT_EQ(DryRun("xwa-missing.ovx"), InstallResult::PatchNotFound);
    // The real preparation gives the same answers.
    installer->dryRun = false;
    for (auto [entry, result] : {std::pair{"xwa-taken.ovx", InstallResult::SlotInUse},
                                 std::pair{"xwa-target.ovx", InstallResult::TargetNotWritable}}) {
        EXPECT_EQ(installer->Prepare(view, entry), result) << entry;
    }
}

TEST_F(DryRunTest, InstalledPackageKeepsItsBackupAndSlot) {
    ASSERT_EQ(Activate("xwa-ship.ovx"), InstallResult::Ready);
    const std::string slots = SlotFile(5);
    // The package itself: its slot is held by itself, as a second install would be told.
    EXPECT_EQ(DryRun("xwa-ship.ovx"), InstallResult::SlotInUse);
    // Its backup archive: a removal would be ready, yet nothing is released or deleted.
    EXPECT_EQ(DryRun("xwa-ship.backup"), InstallResult::Ready);
    EXPECT_TRUE(installer->uninstallMode);
    EXPECT_EQ(SlotFile(5), slots);
    // Without a slot file the real release would fail.
    sys.RemoveFile(slots::SlotTable(installer->settings).PathOf(5));
    EXPECT_EQ(DryRun("xwa-ship.backup"), InstallResult::SlotDataMissing);
}

}  // namespace
}  // namespace install_testing

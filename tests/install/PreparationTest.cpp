// What preparation refuses, with the words the user sees, and what a refusal leaves behind:
// no backup archive, the game folder as it was, the slot file as it was.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "slots/SlotTable.h"

using install::InstallResult;
using install::ResultMessage;
using testing_support::ReadFile;
using testing_support::Snapshot;
using testing_support::WriteFile;

namespace install_testing {
namespace {

std::string Msg(const install::Installer& i, InstallResult r) { return ResultMessage(r, i.slot, i.detail); }

struct Refusal {
    const char* title;
    std::vector<Entry> entries;  // empty: the package file is not a ZIP archive
    InstallResult result;
    std::string message;         // "{game}" stands for the X-wing Alliance folder
};

std::vector<Refusal> Refusals() {
    const std::string patch = MakePatch({{0, "ab"}});
    return {
        {"not an archive", {}, InstallResult::PatchNotFound, "Can't find patch to open!"},
        {"no script", {{"readme.txt", "hi"}}, InstallResult::ScriptUnreadable, "Can't read from patch!"},
        {"neither game nor slot", {{"install.cfg", "copyfile\nnone\nPatchFiles x y\n"}, {"p.t95", patch}},
         InstallResult::ScriptUnreadable, "Can't read from patch!"},
        {"slot without base package", {{"install.cfg", "game tie\nslot 4\n"}}, InstallResult::BaseMissing,
         "Can't find back.ov!\nMake sure ORVA for this platform is installed first!"},
        {"slot held by another package", {{"install.cfg", "game xwa\nslot 7\n"}}, InstallResult::SlotInUse,
         "Slot 7 is already in use by patch xwa-holder.ovx\nPlease uninstall that patch before continuing!"},
        {"missing patch entry", {{"install.cfg", "game xwa\nslot 1\nPatchFile Missing.T95 ships.lst\n"}},
         InstallResult::PatchEntryUnreadable, "Can't open patch missing.t95 for reading!"},
        {"patch data shorter than its head", {{"install.cfg", "game xwa\nslot 1\npatchfile p.t95 ships.lst\n"}, {"p.t95", "short"}},
         InstallResult::PatchEntryUnreadable, "Can't open patch p.t95 for reading!"},
        {"record past the end of the data",
         {{"install.cfg", "game xwa\nslot 1\npatchfile p.t95 ships.lst\n"}, {"p.t95", patch.substr(0, patch.size() - 1)}},
         InstallResult::PatchEntryUnreadable, "Can't open patch p.t95 for reading!"},
        {"record beyond the end of the file",
         {{"install.cfg", "game xwa\nslot 1\npatchfile p.t95 ships.lst\n"}, {"p.t95", MakePatch({{9, "xy"}})}},
         InstallResult::PatchEntryUnreadable, "Can't open patch p.t95 for reading!"},
        {"missing text entry", {{"install.cfg", "game xwa\nslot 1\ntextfile none.txt strings.txt 1\n"}},
         InstallResult::PatchEntryUnreadable, "Can't open patch none.txt for reading!"},
        {"missing patch target", {{"install.cfg", "game xwa\nslot 1\npatchfile p.t95 nothere.lst\n"}, {"p.t95", patch}},
         InstallResult::TargetNotWritable, "Can't open file {game}\\nothere.lst for writing!"},
        {"missing text target", {{"install.cfg", "game xwa\nslot 1\ntextfile t.txt gone.txt 1\n"}, {"t.txt", "x\n"}},
         InstallResult::TargetNotWritable, "Can't open file {game}\\gone.txt for writing!"},
        {"patch target outside the game", {{"install.cfg", "game xwa\nslot 1\npatchfile p.t95 ..\\outside.bin\n"}, {"p.t95", patch}},
         InstallResult::UnsafeName, "Patch refers to a file outside the game folder: ..\\outside.bin"},
        {"delete target outside the game", {{"install.cfg", "game xwa\nslot 1\ndeletefile ../outside.bin\n"}},
         InstallResult::UnsafeName, "Patch refers to a file outside the game folder: ../outside.bin"},
        {"ordinary entry outside the game", {{"install.cfg", "game xwa\nslot 1\n"}, {"sub/../../outside.bin", "x"}},
         InstallResult::UnsafeName, "Patch refers to a file outside the game folder: ../outside.bin"},
        {"ordinary entry that is a device", {{"install.cfg", "game xwa\n"}, {"nul.dat", "x"}},
         InstallResult::UnsafeName, "Patch refers to a file outside the game folder: nul.dat"},
        {"ordinary entry that could not be removed again", {{"install.cfg", "game xwa\n"}, {"two words.dat", "x"}},
         InstallResult::UnsafeName, "Patch refers to a file outside the game folder: two words.dat"},
    };
}

class RefusalTest : public InstallTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(RefusalTest, RefusesWithItsMessageAndChangesNothing) {
    const Refusal c = Refusals()[GetParam()];
    SCOPED_TRACE(c.title);
    MakeBaseMarker(5);
    PutGameFile(5, "ships.lst", "0123456789");
    PutGameFile(5, "strings.txt", "a\r\nb\r\n");
    WriteFile(Game(5) + "\\..\\outside.bin", "outside");
    // Another package holds slot 7; slot 1 is claimed by the refused package itself.
    slots::SlotTable(installer->settings).Claim(5, 7, "xwa-holder.ovx");
    if (c.entries.empty()) {
        WriteFile(patches + "\\xwa-bad.ovx", "this is no zip archive");
    } else {
        MakePackage("xwa-bad.ovx", c.entries);
    }
    const auto gameBefore = Snapshot(Game(5));
    const auto patchesBefore = Snapshot(patches);
    const std::string slotsBefore = SlotFile(5);
    const std::string outsideBefore = ReadFile(Game(5) + "\\..\\outside.bin");

    EXPECT_EQ(installer->Prepare(view, "xwa-bad.ovx"), c.result);
    std::string expected = c.message;
    if (size_t at = expected.find("{game}"); at != std::string::npos) {
        // A path in a message is shown the way the system writes paths.
        expected = sys.DisplayPath(expected.replace(at, 6, Game(5)));
    }
    EXPECT_EQ(Msg(*installer, c.result), expected);

    EXPECT_FALSE(installer->opened);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(Snapshot(Game(5)), gameBefore);
    EXPECT_EQ(Snapshot(patches), patchesBefore) << "no backup archive";
    EXPECT_EQ(SlotFile(5), slotsBefore);
    EXPECT_EQ(ReadFile(Game(5) + "\\..\\outside.bin"), outsideBefore);
}

INSTANTIATE_TEST_SUITE_P(Packages, RefusalTest, ::testing::Range<size_t>(0, Refusals().size()));

TEST_F(InstallTest, BackupThatCannotBeCreatedStopsTheInstall) {
    MakePackage("xwa-ship.ovx", {{"install.cfg", "game xwa\nslot 2\n"}, {"new.opt", "n"}});
    MakeBaseMarker(5);
    // A folder in the way of the backup archive makes it impossible to create.
    ASSERT_TRUE(sys.CreateFolder(patches + "\\xwa-ship.backup"));
    const auto before = Snapshot(Game(5));
    const std::string slotsBefore = SlotFile(5);
    EXPECT_EQ(installer->Prepare(view, "xwa-ship.ovx"), InstallResult::BackupNotWritable);
    EXPECT_EQ(ResultMessage(InstallResult::BackupNotWritable, installer->slot, installer->detail),
              "Can't create backup " + sys.DisplayPath(patches + "\\xwa-ship.backup") + "!");
    EXPECT_EQ(Snapshot(Game(5)), before);
    EXPECT_EQ(SlotFile(5), slotsBefore) << "no slot stays claimed";
}

TEST_F(InstallTest, NoGameFolderNoInstall) {
    // Without a folder the game's files would be looked for at the root of the drive or
    // written into the working directory.
    struct Case {
        const char* title;
        const char* script;
    } cases[] = {
        {"folder never chosen", "game xvt\n"},
        {"folder names a file", "game bop\n"},
        {"no game line", "slot -2\n"},
        {"delete line without game folder", "slot -2\ndeletefile victim.dat\n"},
    };
    installer->settings.SetFolder("X-wing vs TIE Fighter", "");
    WriteFile(sys.root.Join("bop-file"), "a file");
    installer->settings.SetFolder("Balance of Power", sys.root.Join("bop-file"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        MakePackage("orva-any.ovx", {{"install.cfg", c.script}, {"new.dat", "n"}});
        const auto before = Snapshot(sys.root.Path());
        EXPECT_EQ(installer->Prepare(view, "orva-any.ovx"), InstallResult::GameFolderMissing);
        EXPECT_EQ(Msg(*installer, InstallResult::GameFolderMissing),
                  "Can't find the game folder for this platform!\nPlease select directories first!");
        EXPECT_EQ(Snapshot(sys.root.Path()), before);
        EXPECT_FALSE(writer.IsOpen());
    }
}

TEST_F(InstallTest, SlotFileThatCannotBeWrittenStopsTheInstall) {
    MakeBaseMarker(2);
    MakePackage("tie-ship.ovx", {{"install.cfg", "game tie\nslot 2\n"}, {"new.opt", "n"}});
    // A folder where the slot file belongs cannot be opened for appending.
    ASSERT_TRUE(os::EnsureFolder(installer->settings.SettingsFolder() + "\\tie.slot"));
    const auto before = Snapshot(Game(2));
    EXPECT_EQ(installer->Prepare(view, "tie-ship.ovx"), InstallResult::SlotDataMissing);
    EXPECT_EQ(Msg(*installer, InstallResult::SlotDataMissing), "Can't find slot data for this platform!");
    EXPECT_EQ(Snapshot(Game(2)), before);
    EXPECT_FALSE(sys.Exists(patches + "\\tie-ship.backup"));
}

TEST_F(InstallTest, InstallingAnInstalledPackageAgainKeepsItsBackup) {
    PutGameFile(5, "Existing.dat", "original");
    MakePackage("xwa-ship.ovx", {{"install.cfg", "game xwa\n"}, {"Existing.dat", "new"}});
    ASSERT_EQ(Activate("xwa-ship.ovx"), InstallResult::Ready);
    const std::string backup = ReadFile(patches + "\\xwa-ship.backup");
    EXPECT_EQ(installer->Prepare(view, "xwa-ship.ovx"), InstallResult::BackupNotWritable);
    EXPECT_EQ(ReadFile(patches + "\\xwa-ship.backup"), backup);
    ASSERT_EQ(Activate("xwa-ship.backup"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "Existing.dat"), "original");
}

TEST_F(InstallTest, FirstSlotClaimRecordsThePackage) {
    MakeBaseMarker(5);
    MakePackage("xwa-ship.ovx", {{"install.cfg", "Game XWA\r\nSlot 12\r\n"}});
    ASSERT_EQ(installer->Prepare(view, "xwa-ship.ovx"), InstallResult::Ready);
    EXPECT_EQ(SlotFile(5), "12 xwa-ship.ovx\r\n");
    installer->FinishInstall();
    EXPECT_EQ(SlotFile(5), "") << "a prepared install that never ran gives its slot back";
    EXPECT_FALSE(sys.Exists(patches + "\\xwa-ship.backup"));
}

TEST_F(InstallTest, NegativeSlotSkipsMarkerAndSlotFile) {
    MakePackage("xwa-odd.ovx", {{"install.cfg", "game xwa\nslot -3\n"}});
    EXPECT_EQ(Activate("xwa-odd.ovx"), InstallResult::Ready);
    EXPECT_EQ(installer->slot, -3);
    EXPECT_EQ(SlotFile(5), "<missing>");
}

TEST_F(InstallTest, FailedRemovalKeepsTheBackupArchive) {
    MakeBaseMarker(5);
    PutGameFile(5, "ships.lst", "0123456789");
    MakePackage("xwa-ship.ovx", {{"install.cfg", "game xwa\nslot 2\npatchfile p.t95 ships.lst\n"},
                                 {"p.t95", MakePatch({{1, "xy"}})}});
    ASSERT_EQ(Toggle("xwa-ship.ovx"), InstallResult::Ready);
    ASSERT_TRUE(sys.RemoveFile(GamePath(5, "ships.lst")));
    EXPECT_EQ(Toggle("xwa-ship.ovx"), InstallResult::TargetNotWritable);
    EXPECT_TRUE(sys.Exists(patches + "\\xwa-ship.backup")) << "kept for a later attempt";
    PutGameFile(5, "ships.lst", "0xy3456789");
    EXPECT_EQ(Toggle("xwa-ship.ovx"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "ships.lst"), "0123456789");
}

TEST_F(InstallTest, NothingIsPreparedOrFinishedWhileAnInstallRuns) {
    MakePackage("xwa-a.ovx", {{"install.cfg", "game xwa\n"}, {"a.dat", "a"}, {"b.dat", "b"}});
    MakePackage("xwa-b.ovx", {{"install.cfg", "game xwa\n"}, {"c.dat", "c"}});
    ASSERT_EQ(installer->Prepare(view, "xwa-a.ovx"), InstallResult::Ready);
    std::vector<InstallResult> duringInstall;
    view.onPump = [&] {
        duringInstall.push_back(installer->Prepare(view, "xwa-b.ovx"));
        installer->FinishInstall();  // a close request in the middle of the copy step
        EXPECT_TRUE(installer->opened);
    };
    EXPECT_TRUE(install::RunInstall(*installer, view));
    view.onPump = nullptr;
    ASSERT_FALSE(duringInstall.empty());
    for (InstallResult r : duringInstall) EXPECT_EQ(r, InstallResult::Busy);
    EXPECT_FALSE(installer->opened) << "the finish asked for during the install ran after it";
    EXPECT_EQ(GameFile(5, "b.dat"), "b");
    EXPECT_EQ(GameFile(5, "c.dat"), "<missing>");
    EXPECT_TRUE(sys.Exists(patches + "\\xwa-a.backup"));
}

TEST_F(InstallTest, DriverWithoutPackageDoesNothing) {
    EXPECT_FALSE(install::RunInstall(*installer, view));
    EXPECT_TRUE(view.statuses.empty());
    EXPECT_TRUE(view.positions.empty());
}

}  // namespace
}  // namespace install_testing

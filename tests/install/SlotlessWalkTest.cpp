// The walk of packages without a slot: whole game files saved by a worker thread before they
// are patched, progress cycles of at least 100 ms, and the platform reset of a removal.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "slots/SlotTable.h"
#include "slots/SlotlessCommandWalk.h"

using install::InstallResult;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace install_testing {
namespace {

// A clock that moves only when the engine sleeps, so cycles can be counted exactly.
struct SteppedClock : os::ForwardingOs {
    using ForwardingOs::ForwardingOs;
    uint32_t now = 0xFFFFFF00u;  // close to the wrap of the 32-bit counter
    std::vector<uint32_t> sleeps;
    int threads = 0;
    uint32_t TickCount() override { return now; }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
        target.Sleep(1);
    }
    os::Thread* StartThread(os::ThreadProc proc, void* arg) override {
        ++threads;
        return target.StartThread(proc, arg);
    }
};

TEST_F(InstallTest, WholeFilesAreSavedUnderTheirLowerCaseNamesBeforeTheyArePatched) {
    SteppedClock clock(sys);
    os::OsOverride useClock(clock);
    PutGameFile(5, "Ships.lst", "0123456789");
    PutGameFile(5, "other.bin", "abcdefghij");
    MakePackage("orva-xwa-base.ovx", {{"install.cfg", "game xwa\nPatchFile Base.T95 SHIPS.LST\npatchfile o.t95 other.bin\n"},
                                      {"base.t95", MakePatch({{0, "AB"}})},
                                      {"o.t95", MakePatch({{9, "Z"}})}});
    ASSERT_EQ(Toggle("orva-xwa-base.ovx"), InstallResult::Ready);
    const std::string backup = patches + "\\orva-xwa-base.backup";
    EXPECT_EQ(EntryNames(backup), (std::vector<std::string>{"/ships.lst", "/other.bin", "Install.cfg"}));
    EXPECT_EQ(EntryData(backup, "ships.lst"), "0123456789") << "saved before the patch was written";
    EXPECT_EQ(GameFile(5, "Ships.lst"), "AB23456789");
    EXPECT_EQ(GameFile(5, "other.bin"), "abcdefghiZ");
    EXPECT_EQ(EntryData(backup, "Install.cfg"), "Game XWA\r\n\r\nUninstall 1\r\n\r\n");

    EXPECT_EQ(clock.threads, 2) << "one worker per patch line";
    ASSERT_FALSE(clock.sleeps.empty());
    uint32_t slept = 0;
    for (uint32_t s : clock.sleeps) slept += s;
    EXPECT_GE(slept, 200u) << "at least one cycle of 100 ms for each line";
    EXPECT_EQ(slept % 100, 0u) << "with this clock every cycle lasts exactly 100 ms";
}

TEST_F(InstallTest, RemovalOfABasePackageResetsItsGameOnly) {
    MakePackage("orva-tie-base.ovx", {{"install.cfg", "game tie\n"}, {"RADuvev/back.ov", "marker"}});
    ASSERT_EQ(Toggle("orva-tie-base.ovx"), InstallResult::Ready);
    MakePackage("tie-a.ovx", {{"install.cfg", "game tie\nslot 2\n"}, {"a.opt", "a"}});
    ASSERT_EQ(Toggle("tie-a.ovx"), InstallResult::Ready);
    for (const char* name : {"TIE-B.BACKUP", "tiecd-c.backup", "xvt-d.backup", "xwa-with-tie-e.backup",
                             "tie-f.ovx"}) {
        WriteFile(patches + "\\" + name, "kept?");
    }
    ASSERT_TRUE(sys.CreateFolder(patches + "\\sub"));
    WriteFile(patches + "\\sub\\tie-g.backup", "in a sub-folder");
    slots::SlotTable(installer->settings).Claim(3, 4, "xvt-d.ovx");

    ASSERT_EQ(Toggle("orva-tie-base.ovx"), InstallResult::Ready);
    for (const char* gone : {"orva-tie-base.backup", "tie-a.backup", "TIE-B.BACKUP"}) {
        EXPECT_FALSE(sys.Exists(patches + "\\" + gone)) << gone;
    }
    for (const char* kept : {"tiecd-c.backup", "xvt-d.backup", "xwa-with-tie-e.backup", "tie-f.ovx", "sub\\tie-g.backup",
                             "orva-tie-base.ovx", "tie-a.ovx"}) {
        EXPECT_TRUE(sys.Exists(patches + "\\" + kept)) << kept;
    }
    EXPECT_EQ(SlotFile(2), "<missing>");
    EXPECT_EQ(SlotFile(3), "4 xvt-d.ovx\r\n");
    EXPECT_EQ(GameFile(2, "RADuvev\\back.ov"), "<missing>");
}

TEST_F(InstallTest, RemovalPatchesWithoutSavingAnything) {
    PutGameFile(5, "ships.lst", "0123456789");
    MakePackage("orva-xwa-base.ovx", {{"install.cfg", "game xwa\npatchfile b.t95 ships.lst\n"},
                                      {"b.t95", MakePatch({{4, "ZZ"}})}});
    ASSERT_EQ(Toggle("orva-xwa-base.ovx"), InstallResult::Ready);
    ASSERT_EQ(Toggle("orva-xwa-base.ovx"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "ships.lst"), "0123456789");
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(sys.Exists(patches + "\\orva-xwa-base.backup"));
}

TEST(WritePatchRecords, WritesRecordsAndNothingElse) {
    testing_support::TempDir dir;
    std::string file = dir.Join("f.bin");
    struct Case {
        std::string patch;
        std::string after;
        bool opened;
    } cases[] = {
        {MakePatch({{1, "ab"}, {6, "c"}}), "0ab345c789", true},
        {MakePatch({{1, "ab"}}, 0, true), "0123456789", true},
        {MakePatch({{1, "ab"}}, static_cast<int16_t>(0x8001), true), "0123456789", true},
        {MakePatch({{3, ""}, {4, "x"}}), "0123x56789", true},
    };
    for (const Case& c : cases) {
        WriteFile(file, "0123456789");
        EXPECT_EQ(slots::WritePatchRecords(file, c.patch.data(), static_cast<int64_t>(c.patch.size())), c.opened);
        EXPECT_EQ(ReadFile(file), c.after);
    }
    std::string p = MakePatch({{0, "x"}});
    EXPECT_FALSE(slots::WritePatchRecords(dir.Join("missing.bin"), p.data(), static_cast<int64_t>(p.size())));
    EXPECT_FALSE(os::Native().Exists(dir.Join("missing.bin"))) << "never created";
}

}  // namespace
}  // namespace install_testing

// What the status bar and the progress bar show while the engine works.
#include <gtest/gtest.h>

#include "InstallFixture.h"

using install::InstallResult;

namespace install_testing {
namespace {

TEST_F(InstallTest, CopyStepCountsEntriesAndTheDriverEndsAtIdle) {
    MakePackage("xwa-plain.ovx", {{"install.cfg", "game xwa\n"}, {"header.bmp", "BM"}, {"readme.txt", "r"}});
    ASSERT_EQ(installer->Prepare(view, "xwa-plain.ovx"), InstallResult::Ready);
    view.position = 42;
    view.positions.clear();
    ASSERT_TRUE(install::RunInstall(*installer, view));
    EXPECT_EQ(view.positions, (std::vector<int>{0, 0, 33, 66, 0}));
    EXPECT_EQ(view.statuses, (std::vector<std::string>{"Patching files...", "Copying files...", "Idle"}));
    EXPECT_EQ(view.pumps, 3);
}

TEST_F(InstallTest, DeleteLinesTickTheBarAndWrap) {
    MakeBaseMarker(5);
    std::string script = "game xwa\nslot 2\n";
    for (int i = 0; i < 150; ++i) script += "deletefile gone" + std::to_string(i) + ".dat\n";
    MakePackage("xwa-del.ovx", {{"install.cfg", script}});
    ASSERT_EQ(installer->Prepare(view, "xwa-del.ovx"), InstallResult::Ready);
    view.positions.clear();
    ASSERT_TRUE(install::RunInstall(*installer, view));
    ASSERT_GE(view.positions.size(), 151u);
    EXPECT_EQ(view.positions[98], 99);
    EXPECT_EQ(view.positions[99], 0) << "wraps from 99 to 0";
    EXPECT_EQ(view.positions[149], 50) << "150 delete lines leave the bar at 50";
    EXPECT_EQ(view.positions[150], 0) << "then the copy step starts at 0";
    EXPECT_EQ(view.statuses[0], "Patching files...");
    EXPECT_EQ(view.statuses[1], "Deleting files...");
    EXPECT_EQ(view.statuses.back(), "Idle");
}

TEST_F(InstallTest, PatchLinesAndSkippedTextLinesDoNotTick) {
    MakeBaseMarker(5);
    PutGameFile(5, "a.bin", "0123456789");
    PutGameFile(5, "s.txt", "x\n");
    MakePackage("xwa-p.ovx", {{"install.cfg", "game xwa\nslot 2\npatchfile p.t95 a.bin\ntextfile t.txt s.txt 5\n"},
                              {"p.t95", MakePatch({{0, "Z"}})},
                              {"t.txt", "y\n"}});
    ASSERT_EQ(installer->Prepare(view, "xwa-p.ovx"), InstallResult::Ready);
    view.positions.clear();
    view.pumps = 0;
    ASSERT_TRUE(install::RunInstall(*installer, view));
    EXPECT_EQ(view.positions.front(), 0) << "first move is the copy step's reset";
    EXPECT_EQ(view.pumps, 3) << "only the copy step pumped, once per entry";
}

}  // namespace
}  // namespace install_testing

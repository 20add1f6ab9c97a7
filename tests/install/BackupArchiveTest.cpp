// The backup archive an install writes: its entries in order, and its uninstall script byte
// for byte. Backup archives are stored files that later versions must keep reading.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "slots/SlotTable.h"

using install::InstallResult;

namespace install_testing {
namespace {

TEST_F(InstallTest, RepresentativeBackupArchive) {
    MakeBaseMarker(5);
    PutGameFile(5, "Ships.LST", "0123456789abcdef");
    PutGameFile(5, "strings.txt", "l1\r\nl2\r\nl3\r\nl4\r\n");
    PutGameFile(5, "other.txt", "o1\r\n");
    PutGameFile(5, "Existing.dat", "old");
    MakePackage("xwa-ship.ovx",
                {{"install.cfg",
                  "Game XWA\r\nSlot 12\r\nremark lines do nothing\r\n\r\n"
                  "PatchFile Ship.T95 Ships.LST\r\nTextFile Names.TXT strings.txt 2 2\r\n"
                  "textfile one.txt other.txt 1 1\r\ncopyfile\r\n"},
                 {"header.bmp", "BM-picture"},
                 {"ship.t95", MakePatch({{2, "XY"}})},
                 {"names.txt", "N2\r\nN3\r\n"},
                 {"one.txt", "N4\n"},
                 {"readme.txt", "read me"},
                 {"FlightModels/Ship.opt", "model"},
                 {"Existing.dat", "new"}});
    ASSERT_EQ(Toggle("xwa-ship.ovx"), InstallResult::Ready);

    const std::string backup = patches + "\\xwa-ship.backup";
    EXPECT_EQ(EntryNames(backup),
              (std::vector<std::string>{"header.bmp", "ship.t95", "names.txt", "one.txt", "Existing.dat",
                                        "Install.cfg"}));
    EXPECT_EQ(EntryData(backup, "Install.cfg"),
              "Game XWA\r\n\r\nUninstall 1\r\n\r\nSlot 12\r\n\r\n"
              "PatchFile ship.t95 ships.lst\r\n"
              "TextFile names.txt strings.txt 2 2\r\n"
              "TextFile one.txt other.txt 1\r\n"
              "DeleteFile FlightModels/Ship.opt\r\n"
              "DeleteFile Existing.dat\r\n");
    EXPECT_EQ(EntryData(backup, "header.bmp"), "BM-picture");
    EXPECT_EQ(EntryData(backup, "ship.t95"), MakePatch({{2, "23"}}));
    EXPECT_EQ(EntryData(backup, "names.txt"), "l2\r\nl3\r\n");
    EXPECT_EQ(EntryData(backup, "Existing.dat"), "old");

    EXPECT_EQ(GameFile(5, "Ships.LST"), "01XY456789abcdef") << "the existing file, in its own case";
    EXPECT_EQ(GameFile(5, "strings.txt"), "l1\r\nN2\r\nN3\r\nl4\r\n");
    EXPECT_EQ(GameFile(5, "other.txt"), "N4\r\n");
    EXPECT_EQ(GameFile(5, "FlightModels\\Ship.opt"), "model");
    EXPECT_EQ(GameFile(5, "readme.txt"), "<missing>") << "data entries stay out of the game";
    ASSERT_EQ(view.banners.size(), 1u);
    EXPECT_EQ(view.banners[0], "BM-picture");
    EXPECT_EQ(testing_support::ReadFile(installer->settings.SettingsFolder() + "\\header.bmp"), "<missing>")
        << "the banner file is not left behind";
}

TEST_F(InstallTest, SlotLinesForEverySlotFromZero) {
    MakeBaseMarker(2);
    struct Case {
        const char* package;
        const char* script;
        const char* head;
    } cases[] = {
        {"tie-none.ovx", "game tie\n", "Game TIE\r\n\r\nUninstall 1\r\n\r\n"},
        {"tie-zero.ovx", "game tie\nslot 0\n", "Game TIE\r\n\r\nUninstall 1\r\n\r\nSlot 0\r\n\r\n"},
        {"tie-one.ovx", "game tie\nslot 1\n", "Game TIE\r\n\r\nUninstall 1\r\n\r\nSlot 1\r\n\r\n"},
        {"tie-unknown.ovx", "game nosuch\n", "Game \r\n\r\nUninstall 1\r\n\r\n"},
    };
    for (const Case& c : cases) {
        MakePackage(c.package, {{"install.cfg", c.script}});
        ASSERT_EQ(Toggle(c.package), InstallResult::Ready) << c.package;
        EXPECT_EQ(EntryData(patches + "\\" + ListEntry(c.package), "Install.cfg"), c.head) << c.package;
    }
}

TEST_F(InstallTest, RemovingASlotZeroPackageKeepsTheOtherBackups) {
    MakeBaseMarker(2);
    MakePackage("tie-zero.ovx", {{"install.cfg", "game tie\nslot 0\n"}, {"zero.opt", "z"}});
    MakePackage("tie-five.ovx", {{"install.cfg", "game tie\nslot 5\n"}, {"five.opt", "f"}});
    ASSERT_EQ(Toggle("tie-zero.ovx"), InstallResult::Ready);
    ASSERT_EQ(Toggle("tie-five.ovx"), InstallResult::Ready);
    ASSERT_EQ(Toggle("tie-zero.ovx"), InstallResult::Ready);
    EXPECT_EQ(ListEntry("tie-zero.ovx"), "tie-zero.ovx");
    EXPECT_EQ(ListEntry("tie-five.ovx"), "tie-five.backup") << "no platform reset for a slot-0 package";
    EXPECT_EQ(SlotFile(2), "5 tie-five.ovx\r\n");
    EXPECT_EQ(GameFile(2, "zero.opt"), "<missing>");
    EXPECT_EQ(GameFile(2, "five.opt"), "f");
}

TEST_F(InstallTest, ShortTextRangesChangeAndRecordNothing) {
    MakeBaseMarker(5);
    const std::string text = "a\nb\nc\n";
    PutGameFile(5, "s.txt", text);
    MakePackage("xwa-text.ovx", {{"install.cfg",
                                  "game xwa\nslot 3\n"
                                  "textfile long.txt s.txt 3 2\n"   // the file has no line 4
                                  "textfile short.txt s.txt 1 2\n"  // the entry has one line
                                  "textfile long.txt s.txt 1 0\n"   // nothing to replace
                                  "textfile long.txt s.txt 2 -1\n"},
                                 {"long.txt", "X\nY\n"},
                                 {"short.txt", "Z\n"}});
    ASSERT_EQ(Toggle("xwa-text.ovx"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "s.txt"), text) << "not even the line ends change";
    EXPECT_EQ(EntryData(patches + "\\xwa-text.backup", "Install.cfg"),
              "Game XWA\r\n\r\nUninstall 1\r\n\r\nSlot 3\r\n\r\n");
    EXPECT_EQ(EntryNames(patches + "\\xwa-text.backup"), (std::vector<std::string>{"Install.cfg"}));
}

TEST_F(InstallTest, TextLinesKeepTheirWordsAndEndInCrLf) {
    MakeBaseMarker(5);
    PutGameFile(5, "s.txt", "L1\nL2\nL3\nL4\nL5\nL6");
    MakePackage("xwa-text.ovx", {{"install.cfg", "game xwa\nslot 3\ntextfile p.txt s.txt 3 2\n"},
                                 {"p.txt", "P1\r\nP2\n"}});
    ASSERT_EQ(Toggle("xwa-text.ovx"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "s.txt"), "L1\r\nL2\r\nP1\r\nP2\r\nL5\r\nL6\r\n");
    EXPECT_EQ(EntryData(patches + "\\xwa-text.backup", "p.txt"), "L3\r\nL4\r\n");
    ASSERT_EQ(Toggle("xwa-text.ovx"), InstallResult::Ready);
    EXPECT_EQ(GameFile(5, "s.txt"), "L1\r\nL2\r\nL3\r\nL4\r\nL5\r\nL6\r\n")
        << "the lines come back; the file keeps the line ends of a rewritten text file";
}

TEST_F(InstallTest, ReplacedFileWhoseCopyCannotBeSavedIsLeftAlone) {
    // The saved copy is read through the OS layer; this one refuses to open the game file.
    struct Refusing : os::ForwardingOs {
        using ForwardingOs::ForwardingOs;
        std::string refused;
        std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override {
            if (mode == os::OpenMode::Read && common_path(path) == common_path(refused)) return nullptr;
            return target.Open(path, mode);
        }
        static std::string common_path(std::string p) {
            for (char& c : p) c = c == '/' ? '\\' : c;
            return p;
        }
    } refusing(sys);
    refusing.refused = GamePath(5, "locked.dat");
    os::OsOverride useRefusing(refusing);

    PutGameFile(5, "locked.dat", "original");
    MakePackage("xwa-files.ovx", {{"install.cfg", "game xwa\n"}, {"locked.dat", "new"}, {"free.dat", "free"}});
    ASSERT_EQ(Toggle("xwa-files.ovx"), InstallResult::Ready);
    refusing.refused.clear();
    EXPECT_EQ(GameFile(5, "locked.dat"), "original");
    EXPECT_EQ(GameFile(5, "free.dat"), "free");
    EXPECT_EQ(EntryData(patches + "\\xwa-files.backup", "Install.cfg"),
              "Game XWA\r\n\r\nUninstall 1\r\n\r\nDeleteFile free.dat\r\n");
}

}  // namespace
}  // namespace install_testing

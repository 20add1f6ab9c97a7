// Install, then remove through the backup archive: the game folder must come back byte for
// byte, whatever the package does.
#include <gtest/gtest.h>

#include "InstallFixture.h"

using install::InstallResult;

namespace install_testing {
namespace {

struct RoundTrip {
    const char* title;
    const char* package;
    std::map<std::string, std::string> gameFiles;  // in the X-wing Alliance folder before
    std::vector<Entry> entries;                    // besides "install.cfg"
    const char* script;
};

const std::string kShips = std::string("SHIPLIST") + std::string(56, '\x11');
const std::string kText = "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n";

std::vector<RoundTrip> Cases() {
    return {
        {"ordinary files new and replaced, in sub-folders",
         "xwa-files.ovx",
         {{"Existing.dat", "old bytes"}, {"FlightModels/Old.opt", "old model"}},
         {{"FlightModels/new.opt", "new model"},
          {"FlightModels/Old.opt", "replacement model"},
          {"Existing.dat", "new bytes"},
          {"Deep/er/file.bin", "deep"}},
         "game xwa\r\n"},
        {"slot-mode patches", "xwa-patch.ovx",
         {{"Ships.LST", kShips}},
         {{"ships.t95", MakePatch({{0, "abc"}, {20, "xyz"}, {63, "!"}})}},
         "game xwa\r\nslot 3\r\nPatchFile Ships.T95 Ships.LST\r\n"},
        {"text ranges", "xwa-text.ovx",
         {{"strings.txt", kText}},
         {{"names.txt", "TWO\r\nTHREE\r\n"}, {"single.txt", "FIVE\n"}},
         "game xwa\nslot 4\ntextfile names.txt strings.txt 2 2\ntextfile single.txt strings.txt 5\n"},
        {"slotless whole-file backups", "xwa-base.ovx",
         {{"ships.lst", kShips}, {"notes.txt", "game text kept whole"}},
         {{"ships.t95", MakePatch({{1, "base"}})}, {"notes.t95", MakePatch({{0, "GAME"}})}},
         "game xwa\npatchfile ships.t95 ships.lst\npatchfile notes.t95 notes.txt\n"},
        {"overlapping records within one patch", "xwa-overlap.ovx",
         {{"ships.lst", kShips}},
         {{"over.t95", MakePatch({{4, "AAAAAA"}, {6, "BBBB"}, {5, "C"}})}},
         "game xwa\nslot 5\npatchfile over.t95 ships.lst\n"},
        {"two patch lines on one target, overlapping", "xwa-twice.ovx",
         {{"ships.lst", kShips}},
         {{"first.t95", MakePatch({{2, "1111"}})}, {"second.t95", MakePatch({{4, "22"}})}},
         "game xwa\nslot 6\npatchfile first.t95 ships.lst\npatchfile second.t95 ships.lst\n"},
        {"one entry name for two files", "xwa-shared.ovx",
         {{"a.bin", "aaaaaaaaaa"}, {"b.bin", "bbbbbbbbbb"}},
         {{"p.t95", MakePatch({{3, "PP"}})}},
         "game xwa\nslot 7\npatchfile p.t95 a.bin\npatchfile p.t95 b.bin\n"},
        {"the same patch twice on one file", "xwa-again.ovx",
         {{"a.bin", "aaaaaaaaaa"}},
         {{"p.t95", MakePatch({{3, "PP"}})}},
         "game xwa\nslot 8\npatchfile p.t95 a.bin\npatchfile p.t95 a.bin\n"},
        {"overlapping text ranges on one file", "xwa-texts.ovx",
         {{"strings.txt", kText}},
         {{"a.txt", "A2\r\nA3\r\n"}, {"b.txt", "B3\r\nB4\r\n"}},
         "game xwa\nslot 9\ntextfile a.txt strings.txt 2 2\ntextfile b.txt strings.txt 3 2\n"},
        {"two slotless patch lines on one target", "xwa-base2.ovx",
         {{"ships.lst", kShips}},
         {{"a.t95", MakePatch({{0, "first"}})}, {"b.t95", MakePatch({{2, "second"}})}},
         "game xwa\npatchfile a.t95 ships.lst\npatchfile b.t95 ships.lst\n"},
        {"patch and text and files together", "xwa-all.ovx",
         {{"ships.lst", kShips}, {"strings.txt", kText}, {"Existing.dat", "old"}},
         {{"ships.t95", MakePatch({{8, "patched"}})},
          {"names.txt", "NEW THREE\r\n"},
          {"Existing.dat", "new"},
          {"Missions/new.tie", "mission"}},
         "game xwa\nslot 10\npatchfile ships.t95 ships.lst\ntextfile names.txt strings.txt 3\n"},
        {"ordinary entries that differ only in case", "xwa-case.ovx",
         {{"Model.opt", "original"}},
         {{"Model.opt", "first"}, {"model.opt", "second"}, {"New.opt", "n1"}, {"NEW.opt", "n2"}},
         "game xwa\n"},
    };
}

class RoundTripTest : public InstallTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(RoundTripTest, RemovalRestoresTheGameFolder) {
    const RoundTrip c = Cases()[GetParam()];
    SCOPED_TRACE(c.title);
    MakeBaseMarker(5);
    for (const auto& [rel, data] : c.gameFiles) {
        std::string core = rel;
        for (char& ch : core) ch = ch == '/' ? '\\' : ch;
        PutGameFile(5, core, data);
    }
    std::vector<Entry> entries = {{"install.cfg", c.script}};
    entries.insert(entries.end(), c.entries.begin(), c.entries.end());
    MakePackage(c.package, entries);

    const auto before = testing_support::ContentSnapshot(Game(5));
    ASSERT_EQ(Toggle(c.package), InstallResult::Ready);
    EXPECT_NE(testing_support::ContentSnapshot(Game(5)), before) << "the install changed nothing";
    EXPECT_TRUE(sys.Exists(patches + "\\" + ListEntry(c.package)));
    EXPECT_NE(ListEntry(c.package), c.package) << "the package shows as installed";

    ASSERT_EQ(Toggle(c.package), InstallResult::Ready);
    EXPECT_EQ(testing_support::ContentSnapshot(Game(5)), before);
    EXPECT_EQ(ListEntry(c.package), c.package) << "the backup archive is gone";
    const std::string slots = SlotFile(5);
    EXPECT_TRUE(slots.empty() || slots == "<missing>") << "no slot stays claimed: " << slots;
}

INSTANTIATE_TEST_SUITE_P(Packages, RoundTripTest, ::testing::Range<size_t>(0, Cases().size()));

}  // namespace
}  // namespace install_testing

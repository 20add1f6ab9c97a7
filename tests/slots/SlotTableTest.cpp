// The slot files: what queries read out of them, what claims and releases leave on disk, and
// that a failing disk never makes a claim or a release look done.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "os/Os.h"
#include "platform/Settings.h"
#include "slots/SlotTable.h"
#include "support/TestSupport.h"

using platform::Settings;
using slots::SlotTable;
using testing_support::ReadFile;
using testing_support::Snapshot;
using testing_support::TestOs;
using testing_support::WriteFile;

namespace {

using namespace std::string_literals;

// The test system with switches that break one kind of call.
class BreakableOs : public TestOs {
public:
    bool refuseOpen = false;   // opening for writing (Create, Append) fails
    bool failWrites = false;   // files opened for writing accept no bytes
    bool refuseMove = false;

    std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override {
        bool writing = mode == os::OpenMode::Create || mode == os::OpenMode::Append;
        if (writing && refuseOpen) return nullptr;
        auto file = TestOs::Open(path, mode);
        if (!file || !writing || !failWrites) return file;
        // The file is created (or emptied) as asked, but the handle given out is one for
        // reading, which every system refuses to write through.
        file->Close();
        return TestOs::Open(path, os::OpenMode::Read);
    }
    bool MoveReplace(const std::string& from, const std::string& to) override {
        return !refuseMove && TestOs::MoveReplace(from, to);
    }
};

class SlotTableTest : public ::testing::Test {
protected:
    SlotTableTest() : use(sys), table(settings) {}

    std::string SlotFile(platform::PlatformId game) const { return table.PathOf(game); }
    void Store(platform::PlatformId game, const std::string& content) {
        ASSERT_TRUE(os::EnsureFolder(settings.SettingsFolder()));
        WriteFile(SlotFile(game), content);
    }

    BreakableOs sys;
    os::OsOverride use;
    Settings settings;
    SlotTable table;
};

TEST_F(SlotTableTest, FirstClaimCreatesTheFolderAndOneRecord) {
    ASSERT_FALSE(sys.Exists(settings.SettingsFolder())) << "a new account has no settings folder";
    std::string owner = "untouched";
    EXPECT_FALSE(table.FindOwner(5, 12, owner));
    EXPECT_EQ(owner, "untouched");

    ASSERT_TRUE(table.Claim(5, 12, "xwa-ship.ovx"));
    EXPECT_EQ(SlotFile(5), settings.SettingsFolder() + "\\xwa.slot");
    EXPECT_EQ(ReadFile(SlotFile(5)), "12 xwa-ship.ovx\r\n");

    ASSERT_TRUE(table.Claim(5, 3, "xwa-my other ship.ovx"));
    EXPECT_EQ(ReadFile(SlotFile(5)), "12 xwa-ship.ovx\r\n3 xwa-my other ship.ovx\r\n");
    ASSERT_TRUE(table.FindOwner(5, 3, owner));
    EXPECT_EQ(owner, "xwa-my other ship.ovx");
}

TEST_F(SlotTableTest, EachGameHasItsOwnFile) {
    const struct {
        platform::PlatformId game;
        const char* file;
    } games[] = {{1, "tiecd.slot"}, {2, "tie.slot"}, {3, "xvt.slot"}, {4, "bop.slot"},
                 {5, "xwa.slot"}};
    for (const auto& g : games) {
        ASSERT_TRUE(table.Claim(g.game, 7, std::string("pkg-") + g.file)) << g.file;
        EXPECT_EQ(ReadFile(settings.SettingsFolder() + "\\" + g.file),
                  "7 pkg-"s + g.file + "\r\n");
    }
    // The same number in another game's file is no answer for this one.
    table.Reset(2);
    std::string owner;
    EXPECT_FALSE(table.FindOwner(2, 7, owner));
    ASSERT_TRUE(table.FindOwner(1, 7, owner));
    EXPECT_EQ(owner, "pkg-tiecd.slot");
}

struct QueryCase {
    const char* what;
    std::string file;
    int32_t slot;
    bool taken;
    std::string owner;
};

TEST_F(SlotTableTest, QueryReadsTheFirstRecordOfTheNumber) {
    const QueryCase cases[] = {
        {"single record", "3 tiecd-a.ovx\r\n", 3, true, "tiecd-a.ovx"},
        {"name with blanks", "7 tiecd-my ship  v2.ovx\r\n", 7, true, "tiecd-my ship  v2.ovx"},
        {"other number only", "3 tiecd-a.ovx\r\n", 4, false, ""},
        {"first of two", "4 first.ovx\r\n4 second.ovx\r\n", 4, true, "first.ovx"},
        {"bare LF, last line open", "1 a.ovx\n2 b.ovx", 2, true, "b.ovx"},
        {"blank space before", "\r\n\r\n \t 9 x.ovx\r\n", 9, true, "x.ovx"},
        {"number without name", "8\r\n", 8, true, ""},
        {"negative number", "-1 neg.ovx\r\n", -1, true, "neg.ovx"},
        {"damaged lines skipped", "garbage 5\r\n\x01\xff\r\n"s + '\0' + "5 z\r\n5 y.ovx\r\n", 5,
         true, "y.ovx"},
        {"number inside a line is none", "abc 5 z.ovx\r\n", 5, false, ""},
        {"sign alone is no number", "- 5 z.ovx\r\n", 5, false, ""},
        {"too large saturates", "99999999999 big.ovx\r\n", INT32_MAX, true, "big.ovx"},
        {"too large does not wrap", "99999999999 big.ovx\r\n", 1215752191, false, ""},
        {"endless digits", std::string(5000, '9') + " big.ovx", INT32_MAX, true, "big.ovx"},
        {"too small saturates", "-99999999999 small.ovx\r\n", INT32_MIN, true, "small.ovx"},
        {"empty file", "", 0, false, ""},
    };
    for (const QueryCase& c : cases) {
        Store(1, c.file);
        std::string owner = "untouched";
        EXPECT_EQ(table.FindOwner(1, c.slot, owner), c.taken) << c.what;
        EXPECT_EQ(owner, c.taken ? c.owner : "untouched") << c.what;
    }
}

struct ReleaseCase {
    const char* what;
    std::string before;
    int32_t slot;
    std::string after;
};

TEST_F(SlotTableTest, ReleaseRewritesTheOtherRecords) {
    const ReleaseCase cases[] = {
        {"only record leaves an empty file", "12 xwa-ship.ovx\r\n", 12, ""},
        {"unknown number keeps order", "2 b.ovx\r\n1 a.ovx\r\n3 c d.ovx\r\n", 9,
         "2 b.ovx\r\n1 a.ovx\r\n3 c d.ovx\r\n"},
        {"every record of the number", "4 a.ovx\r\n5 b.ovx\r\n4 c.ovx\r\n", 4, "5 b.ovx\r\n"},
        {"empty lines vanish, LF becomes CR LF", "1 a.ovx\n\n\r\n  \r\n2 b.ovx", 9,
         "1 a.ovx\r\n2 b.ovx\r\n"},
        {"name kept byte for byte", "3  two  blanks .ovx \r\n4 x\r\n", 4,
         "3  two  blanks .ovx \r\n"},
        {"damaged lines stay in place",
         "1 a.ovx\r\nnot a record\r\n\x01\xff junk"s + '\0' + "\r\n2 b.ovx\r\n- 1\r\n1 c.ovx", 1,
         "not a record\r\n\x01\xff junk"s + '\0' + "\r\n2 b.ovx\r\n- 1\r\n"},
    };
    for (const ReleaseCase& c : cases) {
        Store(3, c.before);
        EXPECT_TRUE(table.Release(3, c.slot)) << c.what;
        EXPECT_EQ(ReadFile(SlotFile(3)), c.after) << c.what;
    }
    std::string owner;
    EXPECT_FALSE(table.FindOwner(3, 1, owner));
    ASSERT_TRUE(table.FindOwner(3, 2, owner));
    EXPECT_EQ(owner, "b.ovx");
}

TEST_F(SlotTableTest, ReleaseWithoutFileFailsAndCreatesNothing) {
    EXPECT_FALSE(table.Release(2, 1));
    ASSERT_TRUE(os::EnsureFolder(settings.SettingsFolder()));
    EXPECT_FALSE(table.Release(2, 1));
    EXPECT_FALSE(sys.Exists(SlotFile(2)));
}

TEST_F(SlotTableTest, ClaimAfterAnOpenLastLineStartsANewLine) {
    Store(4, "3 bop-a.ovx");
    ASSERT_TRUE(table.Claim(4, 4, "bop-b.ovx"));
    EXPECT_EQ(ReadFile(SlotFile(4)), "3 bop-a.ovx\r\n4 bop-b.ovx\r\n");
    std::string owner;
    ASSERT_TRUE(table.FindOwner(4, 3, owner));
    EXPECT_EQ(owner, "bop-a.ovx");
}

TEST_F(SlotTableTest, ClaimRefusesANameThatWouldSplitTheRecord) {
    Store(2, "1 tie-a.ovx\r\n");
    EXPECT_FALSE(table.Claim(2, 2, "tie-b.ovx\n3 tie-forged.ovx"));
    EXPECT_EQ(ReadFile(SlotFile(2)), "1 tie-a.ovx\r\n");
}

TEST_F(SlotTableTest, ResetDeletesTheFile) {
    Store(1, "5 tiecd-a.ovx\r\n");
    table.Reset(1);
    EXPECT_FALSE(sys.Exists(SlotFile(1)));
    std::string owner;
    EXPECT_FALSE(table.FindOwner(1, 5, owner));
    EXPECT_FALSE(table.Release(1, 5));
    table.Reset(1);  // nothing left to delete: no harm

    ASSERT_TRUE(table.Claim(1, 5, "tiecd-b.ovx"));
    EXPECT_EQ(ReadFile(SlotFile(1)), "5 tiecd-b.ovx\r\n");
}

TEST_F(SlotTableTest, NumbersOutsideTheGamesTouchNoFile) {
    for (platform::PlatformId game = 1; game <= 5; ++game) Store(game, "1 x.ovx\r\n");
    const auto before = Snapshot(sys.appData);
    for (platform::PlatformId game : {0, 6, -1, INT_MAX}) {
        std::string owner = "untouched";
        EXPECT_EQ(table.PathOf(game), "") << game;
        EXPECT_FALSE(table.FindOwner(game, 1, owner)) << game;
        EXPECT_EQ(owner, "untouched");
        EXPECT_FALSE(table.Claim(game, 1, "x.ovx")) << game;
        EXPECT_FALSE(table.Release(game, 1)) << game;
        table.Reset(game);
    }
    EXPECT_EQ(Snapshot(sys.appData), before);
}

// A claim that did not reach the disk would let a second package take the same slot.
TEST_F(SlotTableTest, ClaimThatCannotBeWrittenFails) {
    sys.refuseOpen = true;
    EXPECT_FALSE(table.Claim(5, 1, "xwa-a.ovx"));
    EXPECT_FALSE(sys.Exists(SlotFile(5)));

    sys.refuseOpen = false;
    sys.failWrites = true;
    EXPECT_FALSE(table.Claim(5, 1, "xwa-a.ovx"));
}

// The records are rewritten beside the file and moved over it: whatever goes wrong on the
// way, the old list is still there and the release says it did not happen.
TEST_F(SlotTableTest, FailedRewriteKeepsTheOldRecords) {
    const std::string records = "1 xvt-a.ovx\r\n2 xvt-b.ovx\r\n";
    for (bool BreakableOs::*fault :
         {&BreakableOs::refuseOpen, &BreakableOs::failWrites, &BreakableOs::refuseMove}) {
        Store(3, records);
        const auto before = Snapshot(settings.SettingsFolder());
        sys.*fault = true;
        EXPECT_FALSE(table.Release(3, 1));
        sys.*fault = false;
        EXPECT_EQ(Snapshot(settings.SettingsFolder()), before) << "no leftover, no change";
    }
    EXPECT_TRUE(table.Release(3, 1));
    EXPECT_EQ(ReadFile(SlotFile(3)), "2 xvt-b.ovx\r\n");
    EXPECT_EQ(Snapshot(settings.SettingsFolder()).size(), 1u) << "no temporary file left";
}

}  // namespace

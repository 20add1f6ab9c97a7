#include <gtest/gtest.h>

#include "platform/PlatformTable.h"

using platform::PlatformTable;

namespace {

TEST(PlatformTable, KeywordsMapToGamesAndBack) {
    struct Case {
        const char* keyword;
        int id;
        const char* upper;
    } cases[] = {{"tiecd", 1, "TIECD"}, {"tie", 2, "TIE"}, {"xvt", 3, "XVT"},
                 {"bop", 4, "BOP"},     {"xwa", 5, "XWA"}};
    for (const Case& c : cases) {
        EXPECT_EQ(PlatformTable::IdByKeyword(c.keyword), c.id);
        EXPECT_EQ(PlatformTable::UpperName(c.id), c.upper);
        EXPECT_EQ(PlatformTable::Row(c.id).id, c.id);
    }
    EXPECT_EQ(PlatformTable::IdByKeyword("XWA"), 0) << "the script reader lowers words first";
    EXPECT_EQ(PlatformTable::IdByKeyword(""), 0);
    EXPECT_EQ(PlatformTable::IdByKeyword("tie-"), 0);
}

TEST(PlatformTable, RowZeroIsThePatchFolder) {
    const auto& row = PlatformTable::Row(0);
    EXPECT_EQ(row.tabLabel, "Ship Patches");
    EXPECT_EQ(row.settingsKey, "Patches");
    EXPECT_TRUE(row.scriptKeyword.empty());
    EXPECT_TRUE(row.registryKey.empty());
    EXPECT_TRUE(row.slotFile.empty());
    EXPECT_EQ(PlatformTable::UpperName(0), "");
    EXPECT_EQ(PlatformTable::UpperName(6), "");
}

TEST(PlatformTable, PrefixesKeepTheCdGameApart) {
    // "tiecd-x" must not pass for a "tie-" name: the TIE Fighter 95 tab never lists CD packages.
    std::string cd = "tiecd-ship.ovx";
    EXPECT_EQ(cd.rfind(PlatformTable::Row(1).packagePrefix, 0), 0u);
    EXPECT_NE(cd.rfind(PlatformTable::Row(2).packagePrefix, 0), 0u);
    EXPECT_EQ(PlatformTable::Row(1).packagePrefix.size(), 6u);
    for (int id = 2; id <= 5; ++id) EXPECT_EQ(PlatformTable::Row(id).packagePrefix.size(), 4u);
}

TEST(PlatformTable, DirectoriesDialogIdsStandInRowOrder) {
    int fields[] = {1012, 1017, 1013, 1014, 1015, 1016};
    int buttons[] = {3, 8, 4, 5, 6, 7};
    for (int id = 0; id < platform::kRowCount; ++id) {
        EXPECT_EQ(PlatformTable::Row(id).pathFieldId, fields[id]);
        EXPECT_EQ(PlatformTable::Row(id).browseButtonId, buttons[id]);
    }
    EXPECT_EQ(PlatformTable::Row(0).browseCaption, "Browse for OVX");
    EXPECT_EQ(PlatformTable::Row(4).registryKey,
              "SOFTWARE\\LucasArts Entertainment Company\\X-Wing vs. TIE Fighter\\2.0");
}

}  // namespace

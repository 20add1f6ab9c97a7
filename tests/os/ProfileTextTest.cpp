// The INI text rules that stand in for the Windows profile functions on POSIX.
#include <gtest/gtest.h>

#include "os/ProfileText.h"

namespace {

TEST(ProfileText, LookupFollowsTheProfileRules) {
    const std::string text =
        "; remark\r\n[Other]\r\nPatches=wrong\r\n[ Paths ]\r\n  Patches =  C:\\p  \r\n"
        "Quoted=\"a b\"\r\nEmpty=\r\n";
    EXPECT_EQ(os::ProfileLookup(text, "paths", "patches"), "C:\\p");
    EXPECT_EQ(os::ProfileLookup(text, "Paths", "Quoted"), "a b");
    EXPECT_EQ(os::ProfileLookup(text, "Paths", "Empty"), "");
    EXPECT_EQ(os::ProfileLookup(text, "Paths", "Missing"), std::nullopt);
    EXPECT_EQ(os::ProfileLookup(text, "Nowhere", "Patches"), std::nullopt);
    EXPECT_EQ(os::ProfileLookup("[Paths]\nPatches=lf only", "Paths", "Patches"), "lf only");
}

TEST(ProfileText, AssignChangesOnlyTheOneLine) {
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[Paths]\r\nPatches=v\r\n"},
        {"[Paths]\r\nPatches=old\r\nX=1\r\n", "[Paths]\r\nPatches=v\r\nX=1\r\n"},
        {"[Paths]\r\nX=1\r\n\r\n[Next]\r\nY=2\r\n", "[Paths]\r\nX=1\r\nPatches=v\r\n\r\n[Next]\r\nY=2\r\n"},
        {"[Next]\r\nY=2", "[Next]\r\nY=2\r\n[Paths]\r\nPatches=v\r\n"},
        {"[paths]\r\nPATCHES=old", "[paths]\r\nPatches=v"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(os::ProfileAssign(c.before, "Paths", "Patches", "v"), c.after) << c.before;
    }
}

}  // namespace

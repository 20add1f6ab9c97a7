#include <gtest/gtest.h>

#include "package/EntryNames.h"

using package::CleanEntryName;
using package::StaysInside;

namespace {

TEST(CleanEntryName, DropsDrivesLeadingSeparatorsAndEverythingUpToAParentStep) {
    struct Case {
        std::string stored;
        std::string cleaned;
    } cases[] = {
        {"c:\\dir\\file.txt", "dir\\file.txt"},
        {"a/../b.txt", "b.txt"},
        {"/x/y", "x/y"},
        {"\\\\server\\share\\x", "server\\share\\x"},
        {"d:e:f", "f"},  // rules repeat until none applies
        {"c:", ""},
        {"a\\../b", "b"},
        {"a/..\\b", "b"},
        {"p\\..\\q\\..\\r", "r"},
        // "\../" is tried before "/..\": here that leaves nothing of the way up.
        {"a/..\\../b", "b"},
        {"x/../../y", "../y"},  // cleaning alone leaves a way out: see StaysInside
        {"../x", "../x"},
        {"a/..", "a/.."},
        {"FlightModels/ship.opt", "FlightModels/ship.opt"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanEntryName(c.stored), c.cleaned) << c.stored;
}

TEST(StaysInside, AcceptsOrdinaryNames) {
    const char* names[] = {
        "FlightModels/ship.opt", "a.b.c", "x\\y.txt", "readme.txt", "maps/", "maps\\",
        "null.txt", "console.dat", "com10.txt", "lpt.txt", "comx", "..a", "a..b", ".hidden",
        "dir/sub dir/file name.txt", "\xC4rger.txt",
    };
    for (const char* name : names) EXPECT_TRUE(StaysInside(name)) << name;
}

TEST(StaysInside, RefusesEveryWayOutOfTheFolder) {
    const std::string names[] = {
        "", "..", "../x", "..\\x", "a/..", "a\\..\\..\\b", "x/../../y", ".", "./x",
        "/abs", "\\abs", "\\\\server\\share\\x", "//server/share", "\\\\?\\c:\\x", "\\\\.\\nul",
        "c:x", "c:\\x", "file.txt:stream", "dir/x:y",
        "CON", "con.txt", "dir/NUL", "Aux.dat", "prn.tar.gz", "com1", "COM9.log", "lpt1",
        "LPT9.txt", "com0", "nul .txt", "conin$", "CONOUT$.txt", "com\xB9",
        "dir./x", "dir /x", "x.", "x ", "a//b", "a\\\\b", "a//", "a/\\",
        std::string("a\0b", 3), "a\x01" "b", "a\nb", "a\x1f",
    };
    for (const std::string& name : names) EXPECT_FALSE(StaysInside(name)) << name;
}

}  // namespace

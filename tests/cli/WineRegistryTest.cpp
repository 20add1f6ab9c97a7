// Reading a Wine prefix's system.reg and splitting drive paths: pure string work, tested on
// its own. It belongs to the POSIX backend, so it is built for the Linux host only.
#include <gtest/gtest.h>

#include "os/posix/WineRegistry.h"

namespace os::posix {
namespace {

const std::string kXwaKey = "SOFTWARE\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0";

const char* kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0] 1700000000\n"
    "#time=1d9a8b7c6d5e4f3\n"
    "\"Count\"=dword:00000001\n"
    "\"Install Path\"=\"C:\\\\Games\\\\X-Wing \\\"Alliance\\\"\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0\\\\Sub] 1700000000\n"
    "\"Install Path\"=\"C:\\\\Wrong\"\n"
    "\n"
    "[Software\\\\LucasArts Entertainment Company LLC\\\\TIE95\\\\1.0] 1700000000\r\n"
    "\"install path\"=str(2):\"D:\\\\T\\xe9\\x263a\\101\"\r\n"
    "\n"
    "[Software\\\\LucasArts Entertainment Company\\\\X-Wing vs. TIE Fighter\\\\1.0] 1700000000\n"
    "\"Install Path\"=hex:43,3a,5c,00\n"
    "\"Multi\"=str(7):\"first\\0second\\0\"\n"
    "\n"
    "[Software\\\\Parent\\\\1.0] 1\n"
    "\"Other\"=\"x\"\n"
    "[Software\\\\Parent\\\\1.0\\\\Child] 1\n"
    "\"Install Path\"=\"C:\\\\Child\"\n"
    "[Software\\\\Both\\\\1.0] 1\n"
    "\"Install Path\"=\"C:\\\\Native\"\n"
    "[Software\\\\Wow6432Node\\\\Both\\\\1.0] 1\n"
    "\"Install Path\"=\"C:\\\\Thirty-two\"\n";

TEST(WineRegistry, FindsStringValuesInEitherView) {
    struct Case {
        const char* title;
        std::string key;
        std::string valueName;
        bool found;
        std::string value;
    } cases[] = {
        {"32-bit view, escapes, other case of key", kXwaKey, "Install Path", true,
         "C:\\Games\\X-Wing \"Alliance\""},
        {"value name in any case", kXwaKey, "INSTALL PATH", true, "C:\\Games\\X-Wing \"Alliance\""},
        {"plain view, CR LF lines, str(2), hex, UTF-16 and octal escapes",
         "SOFTWARE\\LucasArts Entertainment Company LLC\\TIE95\\1.0", "Install Path", true,
         "D:\\T\xC3\xA9\xE2\x98\xBA" "A"},
        {"multi-string ends at its first NUL", "SOFTWARE\\LucasArts Entertainment Company\\X-Wing vs. TIE Fighter\\1.0",
         "Multi", true, "first"},
        {"32-bit view first", "SOFTWARE\\Both\\1.0", "Install Path", true, "C:\\Thirty-two"},
        {"not a string value", "SOFTWARE\\LucasArts Entertainment Company\\X-Wing vs. TIE Fighter\\1.0",
         "Install Path", false, ""},
        {"value of a sub-key does not count", "SOFTWARE\\Parent\\1.0", "Install Path", false, ""},
        {"missing value", kXwaKey, "Path", false, ""},
        {"missing key", "SOFTWARE\\Nobody\\1.0", "Install Path", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::string value = "untouched";
        EXPECT_EQ(FindRegistryValue(kSystemReg, c.key, c.valueName, value), c.found);
        EXPECT_EQ(value, c.found ? c.value : "untouched");
    }
}

TEST(WineRegistry, SplitsDrivePaths) {
    struct Case {
        const char* path;
        bool drive;
        char letter;
        const char* rest;
    } cases[] = {
        {"C:\\Games\\XWA", true, 'c', "Games\\XWA"},
        {"d:/x", true, 'd', "x"},
        {"Z:", true, 'z', ""},
        {"C:\\", true, 'c', ""},
        {"C:Games", false, 0, ""},
        {"/home/user/C:\\x", false, 0, ""},
        {"1:\\x", false, 0, ""},
        {"\\\\server\\share", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char letter = 0;
        std::string rest;
        EXPECT_EQ(SplitDrivePath(c.path, letter, rest), c.drive);
        if (c.drive) {
            EXPECT_EQ(letter, c.letter);
            EXPECT_EQ(rest, c.rest);
        }
    }
    EXPECT_EQ(JoinDrivePath("/p/drive_c", "Games\\XWA"), "/p/drive_c/Games/XWA");
    EXPECT_EQ(JoinDrivePath("/", "work\\x"), "/work/x");
    EXPECT_EQ(JoinDrivePath("/p/drive_c", ""), "/p/drive_c");
}

}  // namespace
}  // namespace os::posix

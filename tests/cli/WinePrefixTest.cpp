// Games installed through Wine, seen from the Linux program: folders from the prefix's
// registry and drive letters through its dosdevices links. Native only: the fake prefix is a
// folder with a system.reg and a symbolic link, which only the POSIX backend reads; under
// Wine, orva.exe asks Wine's own registry and drives instead.
#include <unistd.h>

#include "CliFixture.h"
#include "platform/Settings.h"

namespace cli_testing {
namespace {

class WinePrefixTest : public CliTest {
protected:
    WinePrefixTest() {
        prefix = sys.root.Join("prefix");
        PutFile(prefix + "\\drive_c\\games\\xwa\\RADUVEV\\BACK.OV", "base");
        PutFile(prefix + "\\drive_c\\TIECD\\tie.exe", "exe");
        os::EnsureFolder(prefix + "\\dosdevices");
        EXPECT_EQ(symlink("../drive_c", Host(prefix + "\\dosdevices\\c:").c_str()), 0);
        env["WINEPREFIX"] = Host(prefix);
        // The games' own folders are not saved: the prefix's records and defaults apply.
        platform::Settings settings;
        for (const char* key : {"TIE Fighter CD", "TIE Fighter 95", "X-wing vs TIE Fighter",
                                "Balance of Power", "X-wing Alliance"}) {
            settings.SetFolder(key, "");
        }
    }

    static std::string Host(std::string p) {
        for (char& c : p) c = c == '\\' ? '/' : c;
        return p;
    }

    void WriteRegistry(const std::string& installPath) {
        PutFile(prefix + "\\system.reg",
                "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                "[Software\\\\Wow6432Node\\\\LucasArts Entertainment Company LLC\\\\X-Wing Alliance\\\\v1.0] 1700000000\n"
                "#time=1d9a8b7c6d5e4f3\n"
                "\"Install Path\"=\"" + installPath + "\"\n");
    }

    std::string prefix;
};

TEST_F(WinePrefixTest, GameFolderComesFromThePrefixRegistryThroughItsDriveLink) {
    WriteRegistry("C:\\\\Games\\\\XWA");
    Outcome folders = Orva({"folders"});
    EXPECT_NE(folders.out.find("\nX-wing Alliance=" + Host(prefix) + "/drive_c/Games/XWA\n"), std::string::npos)
        << folders.out;
    EXPECT_NE(folders.out.find("\nTIE Fighter CD=C:\\TIECD\n"), std::string::npos) << folders.out;

    // The install finds the base package's marker and the game's files in any case.
    MakePackage("xwa-wine.ovx", {{"install.cfg", "game xwa\nslot 2\n"}, {"flight/wine.opt", "w"}});
    EXPECT_EQ(Orva({"install", "xwa-wine"}).exitCode, 0);
    EXPECT_EQ(testing_support::ReadFile(prefix + "\\drive_c\\games\\xwa\\flight\\wine.opt"), "w");

    // The built-in folder "C:\TIECD" is the prefix's C: drive too.
    MakePackage("tiecd-wine.ovx", {{"install.cfg", "game tiecd\n"}, {"tie.exe", "patched"}});
    EXPECT_EQ(Orva({"install", "tiecd-wine"}).exitCode, 0);
    EXPECT_EQ(testing_support::ReadFile(prefix + "\\drive_c\\TIECD\\tie.exe"), "patched");
    EXPECT_EQ(Orva({"remove", "tiecd-wine"}).exitCode, 0);
    EXPECT_EQ(testing_support::ReadFile(prefix + "\\drive_c\\TIECD\\tie.exe"), "exe");
}

TEST_F(WinePrefixTest, RecordThatDoesNotFitOrHasNoDriveIsHandledAsOnWindows) {
    // 260 bytes: one more than a value may hold.
    WriteRegistry("C:\\\\" + std::string(257, 'x'));
    EXPECT_NE(Orva({"folders"}).out.find("\nX-wing Alliance=\n"), std::string::npos);
    // A drive without a link in the prefix stays a Windows path.
    WriteRegistry("E:\\\\XWA");
    EXPECT_NE(Orva({"folders"}).out.find("\nX-wing Alliance=E:\\XWA\n"), std::string::npos);
    // Without the prefix there is no record at all.
    env["WINEPREFIX"] = Host(sys.root.Join("no-prefix"));
    EXPECT_NE(Orva({"folders"}).out.find("\nX-wing Alliance=\n"), std::string::npos);
}

}  // namespace
}  // namespace cli_testing

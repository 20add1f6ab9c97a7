// The commands that read and write the settings and the package list, the read-me, the
// help and the usage errors: what the program prints and how it exits.
#include <algorithm>
#include <sstream>

#include "CliFixture.h"

namespace cli_testing {
namespace {

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(CliTest, FoldersShowsEveryRowAndSetFolderChangesOne) {
    Outcome set = Orva({"set-folder", "2", sys.root.Join("Other Game")});
    EXPECT_EQ(set.exitCode, 0);
    Outcome shown = Orva({"folders"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, "Patches=" + patches + "\n" +
                             "TIE Fighter CD=" + Game(1) + "\n" +
                             "TIE Fighter 95=" + sys.root.Join("Other Game") + "\n" +
                             "X-wing vs TIE Fighter=" + Game(3) + "\n" +
                             "Balance of Power=" + Game(4) + "\n" +
                             "X-wing Alliance=" + Game(5) + "\n");

    // An empty value brings back the built-in default of the row.
    EXPECT_EQ(Orva({"set-folder", "1", ""}).exitCode, 0);
    EXPECT_NE(Orva({"folders"}).out.find("TIE Fighter CD=C:\\TIECD\n"), std::string::npos);
}

TEST_F(CliTest, UsageErrorsExitTwoAndChangeNothing) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"folders", "extra"},
        {"list"},
        {"list", "6"},
        {"list", "-1"},
        {"list", "1x"},
        {"list", " 1"},
        {"set-folder", "6", "x"},
        {"set-folder", "one", "x"},
        {"set-folder", "1"},
        {"activate"},
        {"install", "a", "b"},
        {"mkpatch", "a", "b"},
        {"help", "bogus"},
    };
    const auto before = World();
    for (const auto& args : cases) {
        std::string shown;
        for (const std::string& a : args) shown += "[" + a + "]";
        SCOPED_TRACE(shown);
        Outcome o = Orva(args);
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err, "");
    }
    EXPECT_EQ(World(), before);
}

TEST_F(CliTest, HelpForTheProgramAndForEachCommand) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"help"}}) {
        Outcome o = Orva(args);
        EXPECT_EQ(o.exitCode, 0);
        EXPECT_EQ(o.out.rfind("usage: orva COMMAND", 0), 0u) << o.out;
        for (const char* name : {"folders", "set-folder", "list", "activate", "install", "remove",
                                 "readme", "check", "pack", "mkpatch"}) {
            EXPECT_NE(o.out.find(std::string("  ") + name + " "), std::string::npos) << name;
        }
        EXPECT_NE(o.out.find("Exit status"), std::string::npos);
    }
    for (const char* name : {"set-folder", "activate", "check", "mkpatch"}) {
        Outcome viaHelp = Orva({"help", name});
        Outcome viaFlag = Orva({name, "--help"});
        EXPECT_EQ(viaHelp.exitCode, 0);
        EXPECT_EQ(viaHelp.out, viaFlag.out);
        EXPECT_EQ(viaHelp.out.rfind(std::string("usage: orva ") + name, 0), 0u) << viaHelp.out;
    }
}

TEST_F(CliTest, ListShowsTheRowsOfATab) {
    MakePackage("xwa-Blue_Wing.ovx", {{"install.cfg", "game xwa\n"}});
    MakePackage("XWA-red.ovx", {{"install.cfg", "game xwa\n"}});
    MakePackage("orva-xwa.ovx", {{"install.cfg", "game xwa\n"}});
    MakePackage("tie-other.ovx", {{"install.cfg", "game tie\n"}});
    PutFile(patches + "\\XWA-red.backup", "any");

    Outcome xwa = Orva({"list", "5"});
    EXPECT_EQ(xwa.exitCode, 0);
    EXPECT_EQ(SortedLines(xwa.out),
              (std::vector<std::string>{"Blue Wing\tReady to install\txwa-Blue_Wing.ovx",
                                        "red\tInstalled\tXWA-red.backup"}));
    EXPECT_EQ(Orva({"list", "0"}).out, "orva-xwa\tReady to install\torva-xwa.ovx\n");
    EXPECT_EQ(Orva({"list", "3"}).out, "");
}

TEST_F(CliTest, ReadmePrintsTheBytesOfThePackagesReadme) {
    const std::string text = "Line one\r\nLine two\n\tend \xE9\xFF";
    MakePackage("xwa-ship.ovx", {{"install.cfg", "game xwa\n"}, {"readme.txt", text}});
    MakePackage("xwa-plain.ovx", {{"install.cfg", "game xwa\n"}});

    Outcome o = OrvaRaw({"readme", "xwa-ship.ovx"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, text);
    // An installed row names the backup archive; the read-me still comes from the package.
    EXPECT_EQ(OrvaRaw({"readme", "xwa-ship.backup"}).out, text);

    for (const char* entry : {"xwa-plain.ovx", "xwa-missing.ovx"}) {
        Outcome none = Orva({"readme", entry});
        EXPECT_EQ(none.exitCode, 1) << entry;
        EXPECT_EQ(none.out, "") << entry;
    }
}

}  // namespace
}  // namespace cli_testing

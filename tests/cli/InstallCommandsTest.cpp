// Installs and removals through the program: the same refusals with the window's words, the
// same changes on disk, and the friendly forms that act only in the right state.
#include "CliFixture.h"

namespace cli_testing {
namespace {

// The text a message shows for a core path on this system.
std::string Shown(const std::string& path) { return os::Native().DisplayPath(path); }

struct Refusal {
    const char* title;
    const char* package;  // nullptr: no package file at all
    std::vector<Entry> entries;
    int exitCode;
    std::string message;  // "{game}" stands for the X-wing Alliance folder as shown
};

TEST_F(CliTest, ActivateRefusesWithTheWindowsMessageAndItsNumber) {
    MakeBaseMarker(5);
    PutGameFile(5, "ships.lst", "0123456789");
    PutFile(settingsFolder + "\\xwa.slot", "7 xwa-holder.ovx\r\n");
    const std::vector<Refusal> cases = {
        {"no such package", nullptr, {}, 1, "Can't find patch to open!"},
        {"no script", "xwa-a.ovx", {{"readme.txt", "r"}}, 2, "Can't read from patch!"},
        {"slot held", "xwa-b.ovx", {{"install.cfg", "game xwa\nslot 7\n"}}, 4,
         "Slot 7 is already in use by patch xwa-holder.ovx\nPlease uninstall that patch before continuing!"},
        {"base missing", "tie-c.ovx", {{"install.cfg", "game tie\nslot 2\n"}}, 5,
         "Can't find back.ov!\nMake sure ORVA for this platform is installed first!"},
        {"patch entry missing", "xwa-d.ovx", {{"install.cfg", "game xwa\nslot 1\npatchfile Gone.T95 ships.lst\n"}}, 6,
         "Can't open patch gone.t95 for reading!"},
        {"target missing", "xwa-e.ovx",
         {{"install.cfg", "game xwa\nslot 1\npatchfile p.t95 nothere.lst\n"}, {"p.t95", MakePatch({{0, "x"}})}}, 7,
         "Can't open file {game}/nothere.lst for writing!"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string name = c.package ? c.package : "xwa-none.ovx";
        if (c.package) MakePackage(name, c.entries);
        const auto before = World();
        Outcome o = Orva({"activate", name});
        std::string message = c.message;
        if (size_t at = message.find("{game}"); at != std::string::npos) {
            // The path as this system shows it, with the separator the engine joined.
            message.replace(at, 7, Shown(Game(5) + "\\"));
        }
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_EQ(o.err, message + "\n");
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(World(), before) << "a refusal changes nothing";
    }
}

TEST_F(CliTest, PackedPackageWithMadePatchInstallsAndRemovesCleanly) {
    MakeBaseMarker(5);
    std::string ships(3000, '.');
    for (size_t i = 0; i < ships.size(); i += 97) ships[i] = 'o';
    PutGameFile(5, "ships.lst", ships);
    PutGameFile(5, "strings.txt", "one\r\ntwo\r\nthree\r\n");
    PutGameFile(5, "old.dat", "old");
    PutGameFile(5, "replace.me", "original");
    const auto before = World();

    std::string modified = ships;
    modified.replace(10, 4, "ABCD");
    modified.replace(17, 2, "EF");  // near the first change: one record
    modified.replace(2500, 300, std::string(300, '#'));  // longer than one record holds
    modified[2999] = '!';
    const std::string src = sys.root.Join("src");
    PutFile(sys.root.Join("modified.lst"), modified);
    ASSERT_TRUE(sys.CreateFolder(src));
    ASSERT_EQ(Orva({"mkpatch", GamePath(5, "ships.lst"), sys.root.Join("modified.lst"),
                    src + "\\ship.t95"}).exitCode, 0);
    PutFile(src + "\\install.cfg",
            "game xwa\r\nslot 3\r\npatchfile ship.t95 ships.lst\r\ntextfile names.txt strings.txt 2\r\n"
            "deletefile old.dat\r\n");
    PutFile(src + "\\names.txt", "TWO\r\n");
    PutFile(src + "\\replace.me", "new");
    PutFile(src + "\\Flight\\new.opt", "opt");
    const std::string package = patches + "\\xwa-wing.ovx";
    ASSERT_EQ(Orva({"pack", src, package}).exitCode, 0);

    Outcome installed = Orva({"install", "xwa-wing"});
    EXPECT_EQ(installed.exitCode, 0);
    EXPECT_EQ(installed.err, "") << "no terminal, no progress";
    EXPECT_EQ(GameFile(5, "ships.lst"), modified);
    EXPECT_EQ(GameFile(5, "strings.txt"), "one\r\nTWO\r\nthree\r\n");
    EXPECT_FALSE(Exists(GamePath(5, "old.dat")));
    EXPECT_EQ(GameFile(5, "replace.me"), "new");
    EXPECT_EQ(GameFile(5, "Flight\\new.opt"), "opt");
    EXPECT_EQ(SlotFile(5), "3 xwa-wing.ovx\r\n");
    EXPECT_EQ(Orva({"list", "5"}).out, "wing\tInstalled\txwa-wing.backup\n");

    // The friendly forms act only in the state they name; the package file of an installed
    // package is refused, since a second install would overwrite its backup archive.
    const auto installedWorld = World();
    EXPECT_EQ(Orva({"install", "xwa-wing.ovx"}).exitCode, 20);
    EXPECT_EQ(Orva({"activate", "xwa-wing.ovx"}).exitCode, 20);
    EXPECT_EQ(World(), installedWorld);

    Outcome removed = Orva({"remove", "xwa-wing.ovx"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    auto after = World();
    after.erase("root/Patches/xwa-wing.ovx");
    after.erase("root/src/");
    for (auto it = after.begin(); it != after.end();) {
        bool made = it->first.rfind("root/src/", 0) == 0 || it->first == "root/modified.lst" ||
                    it->first.find("xwa.slot") != std::string::npos ||
                    it->first.find("ORVA.lock") != std::string::npos;
        it = made ? after.erase(it) : std::next(it);
    }
    auto expected = before;
    expected.erase("root/Game5/old.dat");  // a package's own deletions are not undone
    expected.erase("root/Game5/Flight/");  // the removal leaves the folder it needed
    after.erase("root/Game5/Flight/");
    EXPECT_EQ(after, expected);
    EXPECT_EQ(SlotFile(5), "") << "the slot is free again";
    EXPECT_EQ(Orva({"remove", "xwa-wing"}).exitCode, 20) << "no longer installed";
    EXPECT_EQ(Orva({"activate", "xwa-wing.ovx"}).exitCode, 0) << "and the row installs again";
}

TEST_F(CliTest, ScriptNamesMatchGameFilesInAnyCase) {
    // Game folders made for Windows have names in any case; on Linux the names on disk are
    // what the lookup must find, and what an install creates keeps its entry's case.
    PutGameFile(2, "SHIPS.LST", "abcdef");
    PutGameFile(2, "FLIGHT\\Old.opt", "old");
    MakePackage("tie-case.ovx",
                {{"install.cfg", "GAME TIE\nPatchFile SHIP.t95 ships.lst\nDeleteFile flight\\OLD.OPT\n"},
                 {"ship.t95", MakePatch({{1, "XY"}})},
                 {"flight/NEW.opt", "new"},
                 {"Missions/M1.tie", "m"}});
    ASSERT_EQ(Orva({"activate", "tie-case.ovx"}).exitCode, 0);
    auto game = testing_support::Snapshot(Game(2));
    EXPECT_EQ(game, (std::map<std::string, std::string>{{"FLIGHT/", ""},
                                                         {"FLIGHT/NEW.opt", "new"},
                                                         {"Missions/", ""},
                                                         {"Missions/M1.tie", "m"},
                                                         {"SHIPS.LST", "aXYdef"}}));
    ASSERT_EQ(Orva({"activate", "tie-case.backup"}).exitCode, 0);
    game = testing_support::Snapshot(Game(2));
    EXPECT_EQ(game, (std::map<std::string, std::string>{{"FLIGHT/", ""},
                                                         {"Missions/", ""},
                                                         {"SHIPS.LST", "abcdef"}}));
}

}  // namespace
}  // namespace cli_testing

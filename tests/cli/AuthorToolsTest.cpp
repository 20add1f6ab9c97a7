// The tools for package authors: check (a dry run of the install), pack and mkpatch.
#include "CliFixture.h"

namespace cli_testing {
namespace {

TEST_F(CliTest, CheckPrintsThePlanAndChangesNothing) {
    MakeBaseMarker(5);
    PutGameFile(5, "ships.lst", "0123456789");
    PutGameFile(5, "strings.txt", "a\r\nb\r\nc\r\nd\r\n");
    PutGameFile(5, "Flight\\old.opt", "old");
    MakePackage("xwa-plan.ovx",
                {{"install.cfg",
                  "game xwa\nslot 4\npatchfile p.t95 ships.lst\ntextfile t.txt strings.txt 2 3\n"
                  "deletefile gone.dat\n"},
                 {"p.t95", MakePatch({{0, "ab"}, {5, "xyz"}})},
                 {"t.txt", "B\r\nC\r\nD\r\n"},
                 {"header.bmp", "BM"},
                 {"flight/old.opt", "replacement"},
                 {"flight/new.opt", "new"}});
    const auto before = World();
    Outcome o = Orva({"check", "xwa-plan.ovx"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    const std::string shownGame = os::Native().DisplayPath(Game(5));
    EXPECT_EQ(o.out, "game     X-wing Alliance, folder " + shownGame + "\n"
                     "slot     4 (claimed)\n"
                     "backup   " + os::Native().DisplayPath(patches + "\\xwa-plan.backup") + "\n"
                     "patch    ships.lst: 5 bytes in 2 records (from p.t95)\n"
                     "rewrite  strings.txt: lines 2 to 4 (from t.txt)\n"
                     "delete   gone.dat (its removal does not bring it back)\n"
                     "copy     flight/old.opt (replacing)\n"
                     "copy     flight/new.opt (new)\n");
    EXPECT_EQ(World(), before) << "no slot claimed, no backup archive, no file touched";
}

TEST_F(CliTest, CheckAnswersWhatTheInstallWouldAndLeavesClaimsAlone) {
    MakeBaseMarker(5);
    PutGameFile(5, "ships.lst", "0123456789");
    PutFile(settingsFolder + "\\xwa.slot", "7 xwa-holder.ovx\r\n");
    MakePackage("xwa-taken.ovx", {{"install.cfg", "game xwa\nslot 7\n"}});
    MakePackage("xwa-broken.ovx", {{"install.cfg", "game xwa\nslot 8\npatchfile p.t95 ships.lst\n"},
                                   {"p.t95", MakePatch({{20, "beyond the end"}})}});
    MakePackage("xwa-base.ovx", {{"install.cfg", "game xwa\n"}, {"new.dat", "n"}});
    // An installed package: its backup archive must survive a check of the package.
    PutFile(patches + "\\xwa-base.backup", "saved game files");
    const auto before = World();

    Outcome taken = Orva({"check", "xwa-taken.ovx"});
    EXPECT_EQ(taken.exitCode, 4);
    EXPECT_EQ(taken.err,
              "Slot 7 is already in use by patch xwa-holder.ovx\nPlease uninstall that patch before continuing!\n");
    EXPECT_EQ(Orva({"check", "xwa-broken.ovx"}).exitCode, 6);
    EXPECT_EQ(Orva({"check", "xwa-none.ovx"}).exitCode, 1);
    EXPECT_EQ(Orva({"check", "xwa-base.ovx"}).exitCode, 0);
    EXPECT_EQ(World(), before);
}

TEST_F(CliTest, PackRefusesWhatTheInstallWouldRefuse) {
    struct Case {
        const char* title;
        std::vector<Entry> files;
        std::string reason;  // a part of the message
    };
    const std::string script = "game xwa\nslot 2\n";
    const std::vector<Case> cases = {
        {"no script", {{"ship.opt", "o"}}, "no install.cfg"},
        {"space in a name", {{"install.cfg", script}, {"my ship.opt", "o"}}, "'my ship.opt' holds a space"},
        {"apostrophe in a folder", {{"install.cfg", script}, {"it's\\ship.opt", "o"}}, "'it's/ship.opt' holds"},
        {"data entry without mark",
         {{"install.cfg", script + "patchfile ship.dat ships.lst\n"}, {"Ship.dat", "p"}},
         "data entry 'Ship.dat' carries none of the marks"},
        {"mark in another case",
         {{"install.cfg", script + "patchfile ship.t95 ships.lst\n"}, {"SHIP.T95", "p"}},
         "data entry 'SHIP.T95' carries none of the marks"},
        {"missing data entry", {{"install.cfg", script + "textfile names.txt strings.txt 1\n"}},
         "names the data entry 'names.txt', which the folder does not hold"},
        {"target outside", {{"install.cfg", script + "deletefile ..\\..\\boot.ini\n"}},
         "names '..\\..\\boot.ini', outside the game folder"},
#ifndef _WIN32
        // Windows itself cannot hold a file of that name, so only a Linux folder can.
        {"device name", {{"install.cfg", script}, {"con.opt", "o"}}, "'con.opt' is not a name"},
#endif
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.title);
        const std::string src = sys.root.Join("src" + std::to_string(i));
        ASSERT_TRUE(sys.CreateFolder(src));
        for (const Entry& f : c.files) PutFile(src + "\\" + f.name, f.data);
        const std::string output = patches + "\\xwa-refused" + std::to_string(i) + ".ovx";
        Outcome o = Orva({"pack", src, output});
        EXPECT_EQ(o.exitCode, 1);
        EXPECT_NE(o.err.find(c.reason), std::string::npos) << o.err;
        EXPECT_FALSE(Exists(output));
    }
}

TEST_F(CliTest, MkpatchRefusesWhatPatchDataCannotSay) {
    const std::string a = sys.root.Join("a.bin"), b = sys.root.Join("b.bin"), out = sys.root.Join("p.t95");
    PutFile(a, "12345");
    PutFile(b, "123456");
    Outcome sizes = Orva({"mkpatch", a, b, out});
    EXPECT_EQ(sizes.exitCode, 1);
    EXPECT_NE(sizes.err.find("differ in size"), std::string::npos) << sizes.err;
    EXPECT_FALSE(Exists(out));

    // Every seventh byte changed: no two changes can share a record.
    std::string original(32768 * 7, '\0'), modified = original;
    for (size_t i = 0; i < modified.size(); i += 7) modified[i] = 'x';
    PutFile(a, original);
    PutFile(b, modified);
    Outcome many = Orva({"mkpatch", a, b, out});
    EXPECT_EQ(many.exitCode, 1);
    EXPECT_NE(many.err.find("32767"), std::string::npos) << many.err;
    EXPECT_FALSE(Exists(out));
    EXPECT_EQ(Orva({"mkpatch", a, sys.root.Join("missing.bin"), out}).exitCode, 1);

    // One record fewer fits.
    modified[modified.size() - 7] = '\0';
    PutFile(b, modified);
    EXPECT_EQ(Orva({"mkpatch", a, b, out}).exitCode, 0);
    EXPECT_EQ(testing_support::ReadFile(out).size(), 15u + 32767u * 6u);
}

}  // namespace
}  // namespace cli_testing

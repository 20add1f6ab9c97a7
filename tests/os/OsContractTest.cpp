// The contract of the OS layer, run against the backend of the build: POSIX natively, the
// real Win32 API under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "os/Os.h"
#include "support/TestSupport.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

os::Os& Sys() { return os::Native(); }

TEST(OsFiles, ExistsIsFolderCreateDelete) {
    TempDir dir;
    std::string sub = dir.Join("Sub");
    EXPECT_FALSE(Sys().Exists(sub));
    EXPECT_TRUE(Sys().CreateFolder(sub));
    EXPECT_TRUE(Sys().Exists(sub));
    EXPECT_TRUE(Sys().IsFolder(sub));
    EXPECT_FALSE(Sys().CreateFolder(dir.Join("Missing\\Child")));

    std::string file = sub + "\\a.bin";
    WriteFile(file, "abc");
    EXPECT_TRUE(Sys().Exists(file));
    EXPECT_FALSE(Sys().IsFolder(file));
    EXPECT_FALSE(Sys().RemoveFile(sub)) << "a folder is not deleted as a file";
    EXPECT_TRUE(Sys().RemoveFile(file));
    EXPECT_FALSE(Sys().Exists(file));
    EXPECT_FALSE(Sys().RemoveFile(file));
    EXPECT_FALSE(Sys().Exists(""));
}

TEST(OsFiles, EnsureFolderMakesTheChainAndRefusesFiles) {
    TempDir dir;
    EXPECT_TRUE(os::EnsureFolder(dir.Join("a\\b\\c")));
    EXPECT_TRUE(Sys().IsFolder(dir.Join("a\\b\\c")));
    WriteFile(dir.Join("f"), "x");
    EXPECT_FALSE(os::EnsureFolder(dir.Join("f")));
    EXPECT_FALSE(os::EnsureFolder(dir.Join("f\\g")));
    EXPECT_FALSE(os::EnsureFolder(""));
}

TEST(OsFiles, UpdateWritesInPlaceAtAnOffset) {
    TempDir dir;
    std::string file = dir.Join("game.dat");
    WriteFile(file, "0123456789");
    auto f = Sys().Open(file, os::OpenMode::Update);
    ASSERT_TRUE(f);
    char got[3] = {};
    EXPECT_EQ(f->ReadAt(4, got, 3), 3);
    EXPECT_EQ(std::string(got, 3), "456");
    EXPECT_TRUE(f->WriteAt(2, "xy", 2));
    EXPECT_EQ(f->Size(), 10);
    EXPECT_TRUE(f->Close());
    EXPECT_EQ(ReadFile(file), "01xy456789");

    EXPECT_FALSE(Sys().Open(dir.Join("none.dat"), os::OpenMode::Update)) << "update never creates";
    EXPECT_FALSE(Sys().Open(dir.Path(), os::OpenMode::Read)) << "a folder is not a file";
}

TEST(OsFiles, CreateTruncatesAndAppendAdds) {
    TempDir dir;
    std::string file = dir.Join("log.txt");
    WriteFile(file, "long old content");
    WriteFile(file, "new");
    EXPECT_EQ(ReadFile(file), "new");
    for (const char* part : {"+1", "+2"}) {
        auto f = Sys().Open(file, os::OpenMode::Append);
        ASSERT_TRUE(f);
        EXPECT_TRUE(f->Write(part, 2));
        EXPECT_TRUE(f->Close());
    }
    EXPECT_EQ(ReadFile(file), "new+1+2");
}

TEST(OsFiles, ReplaceMovesOverAnExistingFile) {
    TempDir dir;
    WriteFile(dir.Join("a.tmp"), "fresh");
    WriteFile(dir.Join("a.dat"), "stale");
    EXPECT_TRUE(Sys().MoveReplace(dir.Join("a.tmp"), dir.Join("a.dat")));
    EXPECT_EQ(ReadFile(dir.Join("a.dat")), "fresh");
    EXPECT_FALSE(Sys().Exists(dir.Join("a.tmp")));
}

TEST(OsFiles, ModifiedTimeRoundTrips) {
    TempDir dir;
    std::string file = dir.Join("t.dat");
    WriteFile(file, "x");
    os::FileTime when{2001, 7, 15, 13, 45, 30};
    ASSERT_TRUE(Sys().SetModifiedTime(file, when));
    os::FileTime back;
    ASSERT_TRUE(Sys().GetModifiedTime(file, back));
    EXPECT_EQ(back.year, 2001);
    EXPECT_EQ(back.month, 7);
    EXPECT_EQ(back.day, 15);
    EXPECT_EQ(back.hour, 13);
    EXPECT_EQ(back.minute, 45);
    EXPECT_EQ(back.second, 30);
}

TEST(OsSearch, WildcardMatchesTheExtensionInAnyCase) {
    TempDir dir;
    for (const char* name : {"tie-a.ovx", "XWA-B.OVX", "c.ovx.txt", "d.backup", "e.Ovx"}) {
        WriteFile(dir.Join(name), "x");
    }
    std::set<std::string> found;
    auto search = Sys().FindFiles(dir.Path(), ".ovx");
    ASSERT_TRUE(search);
    std::string name;
    while (search->Next(name)) found.insert(name);
    EXPECT_EQ(found, (std::set<std::string>{"tie-a.ovx", "XWA-B.OVX", "e.Ovx"}));

    EXPECT_FALSE(Sys().FindFiles(dir.Join("missing"), ".ovx"));
}

#ifndef _WIN32
// Windows file systems ignore case on their own; this is the POSIX backend's emulation.
TEST(OsPosixPaths, ComponentsAreFoundInAnyCaseAndNewNamesKeepTheirs) {
    TempDir dir;
    ASSERT_TRUE(Sys().CreateFolder(dir.Join("FlightModels")));
    WriteFile(dir.Join("FlightModels\\SHIPS.LST"), "list");
    EXPECT_TRUE(Sys().Exists(dir.Join("flightmodels\\ships.lst")));
    EXPECT_EQ(ReadFile(dir.Join("flightmodels/Ships.Lst")), "list");

    WriteFile(dir.Join("flightmodels\\New.Opt"), "new");
    EXPECT_EQ(ReadFile(dir.Path() + "/FlightModels/New.Opt"), "new")
        << "a new file goes into the existing folder under the name it was given";
}
#endif

std::atomic<int> threadRuns{0};

void CountRun(void* arg) {
    auto* gate = static_cast<std::atomic<bool>*>(arg);
    while (!gate->load()) {
    }
    threadRuns.fetch_add(1);
}

TEST(OsThreads, ZeroTimeoutTestSeesTheThreadEnd) {
    std::atomic<bool> gate{false};
    os::Thread* t = Sys().StartThread(CountRun, &gate);
    ASSERT_NE(t, nullptr);
    EXPECT_FALSE(Sys().ThreadEnded(t)) << "still held at the gate";
    gate.store(true);
    uint32_t start = Sys().TickCount();
    while (!Sys().ThreadEnded(t)) {
        Sys().Sleep(1);
        ASSERT_LT(Sys().TickCount() - start, 10000u);
    }
    Sys().CloseThread(t);
    EXPECT_EQ(threadRuns.load(), 1);
}

TEST(OsClock, SleepMovesTheTickCount) {
    uint32_t start = Sys().TickCount();
    Sys().Sleep(50);
    EXPECT_GT(Sys().TickCount() - start, 0u) << "the clock moves on while the thread sleeps";
}

TEST(OsProfile, ReadWriteWithTheProfileRules) {
    TempDir dir;
    std::string ini = dir.Join("test.ini");
    EXPECT_EQ(Sys().ReadProfileString(ini, "Paths", "Patches", "dflt", 260), "dflt");
    EXPECT_TRUE(Sys().WriteProfileString(ini, "Paths", "Patches", "C:\\Patches"));
    EXPECT_TRUE(Sys().WriteProfileString(ini, "Paths", "TIE Fighter CD", ""));
    EXPECT_TRUE(Sys().WriteProfileString(ini, "Paths", "Patches", "D:\\Other"));
    EXPECT_EQ(Sys().ReadProfileString(ini, "paths", "PATCHES", "", 260), "D:\\Other")
        << "section and key names ignore case";
    EXPECT_EQ(Sys().ReadProfileString(ini, "Paths", "TIE Fighter CD", "dflt", 260), "")
        << "an empty value is a value";
    EXPECT_EQ(Sys().ReadProfileString(ini, "Other", "Patches", "dflt", 260), "dflt");

    std::string text = ReadFile(ini);
    EXPECT_NE(text.find("[Paths]"), std::string::npos);
    EXPECT_NE(text.find("Patches=D:\\Other"), std::string::npos);
    EXPECT_EQ(text.find("C:\\Patches"), std::string::npos);

    std::string longValue(300, 'v');
    EXPECT_TRUE(Sys().WriteProfileString(ini, "Paths", "Long", longValue));
    EXPECT_EQ(Sys().ReadProfileString(ini, "Paths", "Long", "", 260), std::string(259, 'v'));
}

}  // namespace

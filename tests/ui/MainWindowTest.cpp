// The main window driven through its controls: the first start, the tabs, installing and
// removing by double-click, the messages of failed preparations, the Readme viewer and the
// close request.
#include <gtest/gtest.h>

#include <map>

#include "GuiFixture.h"
#include "install/Journal.h"
#include "app/ResourceIds.h"
#include "install/Installer.h"
#include "package/ArchiveReader.h"
#include "platform/PlatformTable.h"
#include "slots/SlotTable.h"
#include "ui/Dialogs.h"

namespace gui_test {

namespace {

using testing_support::FixtureEntry;
using testing_support::ReadFile;
using testing_support::Snapshot;
using testing_support::WriteFile;

constexpr const char* kReady = "Ready to install";
constexpr const char* kInstalled = "Installed";

FixtureEntry Script(const std::string& text) { return {"install.cfg", text}; }

// The files below folder and their contents; folders that a removal leaves empty do not count.
std::map<std::string, std::string> FilesBelow(const std::string& folder) {
    std::map<std::string, std::string> files = Snapshot(folder);
    std::erase_if(files, [](const auto& item) { return item.first.ends_with('/'); });
    return files;
}

TEST_F(GuiTest, FirstStartListsTheDefaultFolderAndAsksForDirectories) {
    const std::string defaultPatches = os.documents + "\\OV Ship Patches";
    os::Current().CreateFolder(defaultPatches);
    ASSERT_TRUE(testing_support::WriteZip(defaultPatches + "\\orva-xwa-base.ovx",
                                          {Script("game xwa\r\n")}));

    bool directoriesOpenAtReminder = false;
    const DWORD uiThread = GetCurrentThreadId();
    {
        BoxWatcher watcher({"Reminder"}, [&](HWND) {
            directoriesOpenAtReminder = DialogsTitled("Directories", uiThread).size() == 1;
        });
        ASSERT_NE(Start(), nullptr);
        std::vector<SeenBox> boxes = watcher.Seen();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Please select directories");
        EXPECT_FALSE(boxes[0].hasIcon);
        EXPECT_EQ(boxes[0].buttons, 1);
    }
    EXPECT_TRUE(directoriesOpenAtReminder);

    EXPECT_EQ(WindowText(main), "Orvalan Ship Patcher");
    EXPECT_EQ(TabCtrl_GetCurSel(GetDlgItem(main, IDC_TABS)), 0);
    EXPECT_EQ(ListRows(main), (Rows{{"orva-xwa-base", kReady}}));
    EXPECT_EQ(ItemText(main, IDC_STATUS_BAR), "Idle");

    HWND directories = OnlyDialog("Directories");
    ASSERT_NE(directories, nullptr);
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == directories || IsChild(directories, focus));
    // The fields show the folders in force: defaults, since nothing is saved yet.
    EXPECT_EQ(ItemText(directories, IDC_PATH_PATCHES), defaultPatches);
    EXPECT_EQ(ItemText(directories, IDC_PATH_TIECD), "C:\\TIECD");

    // OK saves the defaults, so the next start is no first start any more.
    SendDlgItemMessageA(directories, IDOK, BM_CLICK, 0, 0);
    EXPECT_TRUE(program->listSettings.IsConfigured());
    EXPECT_TRUE(DialogsTitled("Directories").empty());
    EXPECT_EQ(ListRows(main), (Rows{{"orva-xwa-base", kReady}}));
}

TEST_F(GuiTest, StartFinishesAnInterruptedInstallAndSaysSo) {
    Configure();
    // What an install stopped before it committed leaves behind: its journal, a claimed slot
    // and a half-written backup archive.
    platform::Settings settings;
    install::Journal journal;
    journal.package = "xwa-ship.ovx";
    journal.backupPath = Package("xwa-ship.backup");
    journal.backupScratch = Package("~osp-xwa-ship.backup.new");
    journal.claims = {{5, 3}};
    ASSERT_TRUE(install::WriteJournal(settings, journal));
    ASSERT_TRUE(slots::SlotTable(settings).Claim(5, 3, "xwa-ship.ovx"));
    testing_support::WriteFile(journal.backupScratch, "PK half an archive");
    {
        BoxWatcher watcher({"Recovery"});
        ASSERT_NE(Start(), nullptr);
        std::vector<SeenBox> boxes = watcher.Seen();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "An interrupted install of xwa-ship.ovx was undone; nothing was changed.");
        EXPECT_TRUE(boxes[0].hasIcon);
    }
    std::string owner;
    EXPECT_FALSE(slots::SlotTable(settings).FindOwner(5, 3, owner));
    EXPECT_FALSE(os::Current().Exists(journal.backupScratch));
    EXPECT_FALSE(os::Current().Exists(install::JournalPath(settings)));
}

TEST_F(GuiTest, EveryTabListsItsOwnPackages) {
    Configure();
    for (const char* name : {"orva-tie-base.ovx", "ORVA-XWA_Base.ovx", "tiecd-Ship_1.ovx",
                             "TIE-Red_Baron.ovx", "tie-orva-extra.ovx", "xvt-a.b.ovx", "bop-B.ovx",
                             "xwa-Tie_Hunter.ovx", "xwa-shuttle.ovx", "orvax.ovx"}) {
        WritePackage(name, {Script("game tie\r\n")});
    }
    WriteFile(Package("xwa-shuttle.backup"), "");
    ASSERT_NE(Start(), nullptr);

    const Rows expected[6] = {
        {{"ORVA-XWA Base", kReady}, {"orva-tie-base", kReady}, {"tie-orva-extra", kReady}},
        {{"Ship 1", kReady}},
        {{"Red Baron", kReady}},
        {{"a.b", kReady}},
        {{"B", kReady}},
        {{"Tie Hunter", kReady}, {"shuttle", kInstalled}},
    };
    for (int tab : {1, 2, 3, 4, 5, 0}) {
        SelectTab(tab);
        EXPECT_EQ(program->currentTab, tab);
        EXPECT_EQ(ListRows(main), expected[tab]) << "tab " << tab;
        EXPECT_EQ(program->patchList.size(), expected[tab].size()) << "tab " << tab;
    }

    // Coming back to a tab scans the folder again.
    WritePackage("xwa-new.ovx", {Script("game xwa\r\n")});
    SelectTab(5);
    EXPECT_EQ(StatusOf("new"), kReady);
    EXPECT_EQ(ListView_GetItemCount(List()), 3);
}

TEST_F(GuiTest, DoubleClickInstallsAndTheNextOneRemoves) {
    Configure();
    WritePackage("orva-xwa-base.ovx", {Script("Game XWA\r\n"), {"RADuvev/back.ov", "base"}});
    WritePackage("xwa-Tie_Hunter.ovx", {Script("game xwa\r\nslot 7\r\n"),
                                        {"FlightModels/hunter.opt", "hunter model"},
                                        {"header.bmp", BitmapFile(40, 10)}});
    ASSERT_NE(Start(), nullptr);

    ASSERT_TRUE(DoubleClick("orva-xwa-base"));
    EXPECT_EQ(StatusOf("orva-xwa-base"), kInstalled);
    EXPECT_EQ(ReadFile(games[5] + "\\RADuvev\\back.ov"), "base");

    SelectTab(5);
    const auto beforeShip = FilesBelow(games[5]);
    ASSERT_TRUE(DoubleClick("Tie Hunter"));
    EXPECT_EQ(StatusOf("Tie Hunter"), kInstalled);
    EXPECT_EQ(ReadFile(games[5] + "\\FlightModels\\hunter.opt"), "hunter model");
    EXPECT_EQ(program->patchList, std::vector<std::string>{"xwa-Tie_Hunter.backup"});
    std::string owner;
    EXPECT_TRUE(slots::SlotTable(program->listSettings).FindOwner(5, 7, owner));
    // The window showed the install as the engine's view: the package's picture at its own
    // size in the banner, and the bars back at rest.
    auto banner = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(main, IDC_BANNER, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    ASSERT_TRUE(banner && GetObjectA(banner, sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 10);
    EXPECT_EQ(ItemText(main, IDC_STATUS_BAR), "Idle");
    HWND progress = GetDlgItem(GetDlgItem(main, IDC_STATUS_BAR), IDC_PROGRESS);
    EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 0);

    ASSERT_TRUE(DoubleClick("Tie Hunter"));
    EXPECT_EQ(StatusOf("Tie Hunter"), kReady);
    EXPECT_EQ(program->patchList, std::vector<std::string>{"xwa-Tie_Hunter.ovx"});
    EXPECT_EQ(FilesBelow(games[5]), beforeShip);
    EXPECT_FALSE(os::Current().Exists(Package("xwa-Tie_Hunter.backup")));
    EXPECT_FALSE(slots::SlotTable(program->listSettings).FindOwner(5, 7, owner));
}

TEST_F(GuiTest, FailedPreparationShowsItsMessageAndChangesNothing) {
    Configure();
    auto GameFolders = [this] {
        std::vector<std::map<std::string, std::string>> all;
        for (int game = 1; game <= 5; ++game) all.push_back(Snapshot(games[game]));
        return all;
    };
    // The X-wing Alliance and Balance of Power bases are in and slot 7 of X-wing Alliance is
    // held. Balance of Power has no slot file, so a removal there finds no slot to release.
    for (int game : {4, 5}) {
        os::EnsureFolder(games[game] + "\\RADuvev");
        WriteFile(games[game] + "\\RADuvev\\back.ov", "base");
    }
    WriteFile(games[5] + "\\ships.lst", "ship list");
    ASSERT_TRUE(slots::SlotTable(program->listSettings).Claim(5, 7, "xwa-holder.ovx"));
    WritePackage("bop-noslots.ovx", {Script("game bop\r\nslot 3\r\n")});
    program->listSettings.SetFolder("X-wing vs TIE Fighter", "");

    const struct {
        int tab;
        const char* file;
        std::vector<FixtureEntry> entries;  // none: the file is not an archive
        const char* shown;
        std::string message;
    } cases[] = {
        {5, "xwa-broken.ovx", {}, "broken", "Can't find patch to open!"},
        {5, "xwa-noscript.ovx", {{"readme.txt", "hi"}}, "noscript", "Can't read from patch!"},
        {4, "bop-noslots.backup", {Script("Game BOP\r\n\r\nUninstall 1\r\n\r\nSlot 3\r\n\r\n")},
         "noslots", "Can't find slot data for this platform!"},
        {5, "xwa-taken.ovx", {Script("game xwa\r\nslot 7\r\n")}, "taken",
         "Slot 7 is already in use by patch xwa-holder.ovx\n"
         "Please uninstall that patch before continuing!"},
        {2, "tie-nobase.ovx", {Script("game tie\r\nslot 2\r\n")}, "nobase",
         "Can't find back.ov!\nMake sure ORVA for this platform is installed first!"},
        {5, "xwa-nodata.ovx", {Script("game xwa\r\nPatchFile Ship.OVP ships.lst\r\n")}, "nodata",
         "Can't open patch ship.ovp for reading!"},
        {5, "xwa-notarget.ovx",
         {Script("game xwa\r\npatchfile ship.ovp missing.lst\r\n"), {"ship.ovp", ""}},
         "notarget", "Can't open file " + games[5] + "\\missing.lst for writing!"},
        {5, "xwa-escape.ovx", {Script("game xwa\r\ndeletefile ..\\outside.txt\r\n")}, "escape",
         "Patch refers to a file outside the game folder: ..\\outside.txt"},
        {5, "xwa-nobackup.ovx", {Script("game xwa\r\n"), {"extra.dat", "x"}}, "nobackup",
         "Can't create backup " + Package("xwa-nobackup.backup") + "!"},
        {3, "xvt-nofolder.ovx", {Script("game xvt\r\n"), {"extra.dat", "x"}}, "nofolder",
         "Can't find the game folder for this platform!\nPlease select directories first!"},
    };
    for (const auto& c : cases) {
        if (c.entries.empty()) {
            WriteFile(Package(c.file), "not an archive");
        } else {
            WritePackage(c.file, c.entries);
        }
    }
    os.refuseWritesBelow = patches;
    ASSERT_NE(Start(), nullptr);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SelectTab(c.tab);
        const auto rowsBefore = ListRows(main);
        const auto gamesBefore = GameFolders();
        std::vector<SeenBox> boxes;
        {
            BoxWatcher watcher({"Error"});
            ASSERT_TRUE(DoubleClick(c.shown));
            boxes = watcher.Seen();
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_TRUE(boxes[0].hasIcon);
        EXPECT_EQ(boxes[0].buttons, 1);
        EXPECT_EQ(ListRows(main), rowsBefore);
        EXPECT_EQ(GameFolders(), gamesBefore);
    }
    std::string owner;
    EXPECT_TRUE(slots::SlotTable(program->listSettings).FindOwner(5, 7, owner));
    EXPECT_EQ(owner, "xwa-holder.ovx");
}

TEST_F(GuiTest, ReadmeShowsThePackagesTextAlsoForAnInstalledRow) {
    Configure();
    const std::string text = "Tie Hunter\r\n\r\nA fast interceptor.";
    WritePackage("xwa-Tie_Hunter.ovx",
                 {Script("game xwa\r\n"), {"Readme.TXT", text}, {"hunter.opt", "model"}});
    WritePackage("xwa-plain.ovx", {Script("game xwa\r\n")});
    ASSERT_NE(Start(), nullptr);
    SelectTab(5);

    auto pressReadme = [&] { SendDlgItemMessageA(main, IDC_VIEW_README, BM_CLICK, 0, 0); };
    ListView_SetItemState(List(), -1, 0, LVIS_FOCUSED | LVIS_SELECTED);
    pressReadme();  // no focused row
    ASSERT_TRUE(FocusRow("plain"));
    pressReadme();  // a package without read-me
    EXPECT_TRUE(DialogsTitled("Readme").empty());

    ASSERT_TRUE(FocusRow("Tie Hunter"));
    pressReadme();
    HWND viewer = OnlyDialog("Readme");
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(ItemText(viewer, IDC_README_TEXT), text);
    // The read-only text sits on the viewer's white brush.
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        viewer, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(GetDlgItem(viewer, IDC_README_TEXT))));
    LOGBRUSH colour{};
    ASSERT_TRUE(brush && GetObjectA(brush, sizeof(colour), &colour));
    EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));
    DeleteDC(dc);

    SendMessageA(viewer, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_EQ(GetFocus(), List());

    ASSERT_TRUE(DoubleClick("Tie Hunter"));
    ASSERT_EQ(StatusOf("Tie Hunter"), kInstalled);
    ASSERT_TRUE(FocusRow("Tie Hunter"));
    pressReadme();
    pressReadme();  // every press opens a further viewer
    std::vector<HWND> viewers = DialogsTitled("Readme");
    ASSERT_EQ(viewers.size(), 2u);
    EXPECT_EQ(ItemText(viewers[0], IDC_README_TEXT), text);
    EXPECT_EQ(ItemText(viewers[1], IDC_README_TEXT), text);
}

// A message-only window that, when its message comes up in the install's message pump,
// notes whether the main window is still there and the install still running.
struct InstallProbe {
    HWND main = nullptr;
    const install::Installer* installer = nullptr;
    bool ran = false;
    bool windowAlive = false;
    bool installBusy = false;
};

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        auto& probe = *reinterpret_cast<InstallProbe*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        probe.ran = true;
        probe.windowAlive = IsWindow(probe.main) != 0;
        probe.installBusy = probe.installer->Busy();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(GuiTest, CloseDuringAnInstallWaitsForTheInstallToEnd) {
    Configure();
    WritePackage("xwa-fleet.ovx", {Script("game xwa\r\n"), {"a.opt", "1"}, {"b.opt", "2"},
                                   {"c.opt", "3"}});
    ASSERT_NE(Start(), nullptr);
    SelectTab(5);

    InstallProbe probe{main, &program->installer};
    HWND probeWindow = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
    SetWindowLongPtrA(probeWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&probe));
    SetWindowLongPtrA(probeWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProbeProc));

    // All of these arrive while the copy step pumps messages: the close request, a second
    // double-click on the same row, which must not start a removal inside the install, and
    // the probe, which comes after both.
    ASSERT_TRUE(FocusRow("fleet"));
    PostMessageA(main, WM_CLOSE, 0, 0);
    PostMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(probeWindow, WM_APP, 0, 0);
    HWND window = main;
    ASSERT_TRUE(DoubleClick("fleet"));

    ASSERT_TRUE(probe.ran);
    EXPECT_TRUE(probe.installBusy);
    EXPECT_TRUE(probe.windowAlive);
    // Closed once the install had returned: a complete backup archive, then the quit message.
    EXPECT_FALSE(IsWindow(window));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(ReadFile(games[5] + "\\c.opt"), "3");
    package::ArchiveReader backup;
    ASSERT_TRUE(backup.Open(Package("xwa-fleet.backup")));
    EXPECT_GE(backup.FindEntry("Install.cfg"), 0);
    backup.Close();
    DestroyWindow(probeWindow);
}

TEST_F(GuiTest, ExitClosesLikeTheWindowAndContentsAsksForTheHelpFile) {
    Configure();
    ASSERT_NE(Start(), nullptr);
    SendMessageA(main, WM_COMMAND, IDM_CONTENTS, 0);
    ASSERT_EQ(ShellRequests().size(), 1u);
    EXPECT_EQ(ShellRequests()[0].target, "help.chm");
    EXPECT_EQ(ShellRequests()[0].showCommand, SW_SHOW);

    SendMessageA(main, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(main));
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

}  // namespace

}  // namespace gui_test

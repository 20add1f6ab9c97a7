// What the GUI tests share: a test user (TestOs) with a patch folder and five game folders,
// a fresh set of program objects on that user, the real main window made from its template,
// and a watcher thread that finds message boxes by title, reads them and dismisses them.
//
// These tests exist only in the Windows build: they drive the real Win32 dialogs, common
// controls and shell, which have no counterpart on the Linux host. CTest runs them under Wine
// with a virtual display (xvfb-run).
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/TestSupport.h"
#include "support/ZipFixture.h"
#include "ui/Automation.h"
#include "ui/Program.h"
#include "ui/ShellOpen.h"
#include "ui/WinUi.h"

namespace gui_test {

// A message box as the watcher saw it.
struct SeenBox {
    std::string title;
    std::string text;
    bool hasIcon = false;
    int buttons = 0;
};

// Watches the test thread's windows from a second thread. Every message box whose title is
// one of titles is recorded, handed to onSight (still on screen), then dismissed with OK.
class BoxWatcher {
public:
    explicit BoxWatcher(std::vector<std::string> titles,
                        std::function<void(HWND box)> onSight = {});
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> Seen();

private:
    void Run();

    std::vector<std::string> titles;
    std::function<void(HWND)> onSight;
    DWORD uiThread;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<SeenBox> seen;
    std::thread thread;
};

using ui::automation::DialogsTitled;
// The one dialog titled title; fails the test when there is not exactly one.
HWND OnlyDialog(const std::string& title);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// The rows of the package list, sorted: the directory search has no order of its own.
using Rows = std::vector<std::pair<std::string, std::string>>;
Rows ListRows(HWND mainWindow);

// A 24-bit Windows bitmap file of the given size.
std::string BitmapFile(int width, int height);

// Shell requests recorded instead of carried out.
struct ShellRequest {
    std::string target;
    int showCommand;
};
std::vector<ShellRequest>& ShellRequests();

// The test user; it can also refuse every write below one folder, as a full or read-only
// patch folder would.
class GuiOs : public testing_support::TestOs {
public:
    std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override;
    bool CreateFolder(const std::string& path) override;
    std::string refuseWritesBelow;  // empty: every write goes through

private:
    bool Refused(const std::string& path) const;
};

class GuiTest : public ::testing::Test {
protected:
    GuiTest();
    ~GuiTest() override;

    // Saves the six folders of the test user's settings file.
    void Configure();
    // Creates the main window as the entry does (a first run opens the Directories dialog
    // and the reminder, so a BoxWatcher should be running then).
    HWND Start();

    HWND List() const;
    // The window driven through its controls (ui/Automation.h).
    void SelectTab(int tab);
    bool DoubleClick(const std::string& displayName);
    bool FocusRow(const std::string& displayName);
    std::string StatusOf(const std::string& displayName);

    std::string Package(const std::string& name) const { return patches + "\\" + name; }
    void WritePackage(const std::string& name, std::vector<testing_support::FixtureEntry> entries);

    GuiOs os;
    os::OsOverride overrideOs{os};
    std::unique_ptr<ui::Program> program;
    std::string patches;
    std::string games[6];  // [1] to [5]: the game folders
    HWND main = nullptr;

private:
    ui::ShellOpenFunction previousShellOpen;
};

}  // namespace gui_test

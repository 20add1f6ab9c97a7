// A walk through the real main window, driven through its controls as a user would.
#include <cstdio>
#include <string>

#include "app/ResourceIds.h"
#include "app/demo/Demo.h"
#include "os/Os.h"
#include "ui/Automation.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"

namespace demo {

namespace {

using ui::automation::DialogsTitled;

constexpr DWORD kShotTimeoutMs = 60000;

std::string StatusOf(HWND main, const std::string& displayName) {
    for (const auto& [name, status] : ui::automation::Rows(main)) {
        if (name == displayName) return status;
    }
    return "<no row>";
}

class Walk {
public:
    Walk(HWND main, std::string shots) : main(main), shots(std::move(shots)) {}

    // Lets the windows paint, then asks for the screenshot of window and waits for it.
    void Shot(const std::string& name, HWND window) {
        Settle(300);
        RECT rect{};
        GetWindowRect(window, &rect);
        const std::string ready = shots + "\\" + name + ".ready";
        const std::string done = shots + "\\" + name + ".done";
        const std::string geometry =
            std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) +
            " " + std::to_string(rect.left) + " " + std::to_string(rect.top) + "\n";
        // Written aside and moved in, so the script never reads half a line.
        os::WriteWholeFile(ready + ".part", geometry);
        os::Current().MoveReplace(ready + ".part", ready);
        const DWORD start = GetTickCount();
        while (!os::Current().Exists(done) && GetTickCount() - start < kShotTimeoutMs) Settle(50);
        os::Current().RemoveFile(done);
    }

    void Settle(DWORD milliseconds) {
        const DWORD start = GetTickCount();
        do {
            ui::PumpMessages();
            Sleep(10);
        } while (GetTickCount() - start < milliseconds);
    }

    // The dialog titled title that is open (the walk opens one at a time).
    HWND Opened(const std::string& title) {
        std::vector<HWND> found = DialogsTitled(title);
        return found.empty() ? nullptr : found.front();
    }

    bool Expect(const std::string& row, const char* status) {
        const std::string seen = StatusOf(main, row);
        std::printf("demo: %s: %s\n", row.c_str(), seen.c_str());
        if (seen == status) return true;
        failed = true;
        return false;
    }

    HWND main;
    std::string shots;
    bool failed = false;
};

}  // namespace

int DriveWindow(const std::string& shots) {
    ui::Program program;
    program.instance = GetModuleHandleA(nullptr);
    HWND main = ui::StartMainWindow(program);
    if (!main) return 2;
    Walk walk(main, shots);

    walk.Shot("01-main-window", main);

    ui::automation::DoubleClickRow(main, "orva-xwa-base");
    walk.Expect("orva-xwa-base", "Installed");
    walk.Shot("02-base-installed", main);

    ui::automation::SelectTab(main, 5);
    walk.Shot("03-x-wing-alliance", main);

    ui::automation::DoubleClickRow(main, "Tie Hunter");
    walk.Expect("Tie Hunter", "Installed");
    walk.Shot("04-ship-installed", main);

    ui::automation::FocusRow(main, "Tie Hunter");
    SendDlgItemMessageA(main, IDC_VIEW_README, BM_CLICK, 0, 0);
    if (HWND readme = walk.Opened("Readme")) {
        walk.Shot("05-readme", readme);
        SendMessageA(readme, WM_CLOSE, 0, 0);
    }

    ui::automation::DoubleClickRow(main, "Tie Hunter");
    walk.Expect("Tie Hunter", "Ready to install");
    walk.Shot("06-ship-removed", main);

    SendMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
    if (HWND about = walk.Opened("About")) {
        walk.Shot("07-about", about);
        SendMessageA(about, WM_CLOSE, 0, 0);
    }
    SendMessageA(main, WM_COMMAND, IDM_PREFERENCES, 0);
    if (HWND directories = walk.Opened("Directories")) {
        walk.Shot("08-directories", directories);
        SendMessageA(directories, WM_CLOSE, 0, 0);
    }

    // The base goes again too, so the demo can be run once more on the same data.
    ui::automation::SelectTab(main, 0);
    ui::automation::DoubleClickRow(main, "orva-xwa-base");
    walk.Expect("orva-xwa-base", "Ready to install");

    SendMessageA(main, WM_CLOSE, 0, 0);
    ui::RunMessageLoop();
    return walk.failed ? 1 : 0;
}

}  // namespace demo

// The program's main window: banner, package list, one tab per row of the platform table,
// "View Patch Readme", status bar with progress bar, and the menu. It turns a double-click on
// a package into an install or removal and is the install engine's view.
#pragma once

#include "ui/Program.h"
#include "ui/WinUi.h"

namespace ui {

// Creates the main window (template 101) and shows it; on a first run (no patch folder
// saved) opens the Directories dialog and the reminder, then focuses that dialog. Null when
// the window could not be made.
HWND StartMainWindow(Program& program);

// Gets, translates and dispatches messages until the quit message; answers its exit code.
int RunMessageLoop();

// Runs every message waiting in the thread's queue without blocking. A quit message ends
// the pumping and is posted again, so the main loop still ends once the caller returns.
void PumpMessages();

}  // namespace ui

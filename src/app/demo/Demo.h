// The demo of the Windows program: demo data in the Wine prefix, and a run of the real main
// window that installs and removes a package and stops at each view for a screenshot.
#pragma once

#include <string>

namespace demo {

// Makes root (emptied first) with a patch folder and five game folders, and saves them in
// the settings file. Answers the exit code.
int MakeDemoData(const std::string& root);

// Opens the main window on the saved settings and walks through it; before each view it
// writes shots\NAME.ready (the window's rectangle on screen, "width height left top") and
// waits for shots\NAME.done. Answers the exit code: 0 when install and removal worked.
int DriveWindow(const std::string& shots);

}  // namespace demo

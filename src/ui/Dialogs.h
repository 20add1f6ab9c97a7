// The dialogs of the program, each a template (resources.rc) and a procedure. All of them are
// modeless and owned by the main window; every use opens a new one.
#pragma once

#include <string>

#include "ui/Program.h"
#include "ui/WinUi.h"

namespace ui {

// Main window (template 101); creation parameter: the Program.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Directories (template 106); creation parameter: the Program (its directoriesSettings).
INT_PTR CALLBACK DirectoriesDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The shell's folder picker opened at "C:\"; the chosen folder, empty when none.
std::string BrowseForFolder(HWND owner, const std::string& caption);
int CALLBACK BrowseCallback(HWND picker, UINT event, LPARAM eventData, LPARAM startFolder);

// Readme viewer (template 107); no creation parameter. The caller sets the text of 1015.
INT_PTR CALLBACK ReadmeDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// About box (template 104); creation parameter: the Program (its aboutLinks).
INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Where the three links lead.
extern const char* const kAboutLinkTargets[kAboutLinkCount];

// Creates one of the dialogs above, owned by owner, and shows it; null when it failed.
HWND OpenDialog(Program& program, HWND owner, int templateId, DLGPROC procedure);

}  // namespace ui

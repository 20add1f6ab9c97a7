// The package list of the main window (control 1010): its columns, and its rows rebuilt from
// the catalogue together with the Program's patchList.
#pragma once

#include "ui/Program.h"
#include "ui/WinUi.h"

namespace ui {

inline constexpr int kFilenameColumnWidth = 316;
inline constexpr int kStatusColumnWidth = 135;

// Full-row selection and the columns "Filename" and "Status"; once, at initialisation.
void SetUpPatchList(HWND list);

// Rows and patchList for program.currentTab from a fresh scan of the patch folder.
void FillPatchList(HWND mainWindow, Program& program);

}  // namespace ui

// Driving the main window the way a user does, through its controls: choosing a tab, focusing
// a row and double-clicking it, finding the dialogs that are open. Used by the GUI tests and
// by the demo, never by the program itself.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/WinUi.h"

namespace ui::automation {

// Selects tab through the tab control, which notifies the window as a click does.
void SelectTab(HWND mainWindow, int tab);
// Focuses and selects the row showing displayName; false when there is none.
bool FocusRow(HWND mainWindow, const std::string& displayName);
// FocusRow, then a double-click on the middle of the row's label; false when there is none.
bool DoubleClickRow(HWND mainWindow, const std::string& displayName);

// Every row of the package list: column 0 and column 1, in list order.
std::vector<std::pair<std::string, std::string>> Rows(HWND mainWindow);

// The title the window stores. Unlike GetWindowText it sends no message, so another thread
// may ask while the window's thread is busy.
std::string StoredTitle(HWND window);
// The visible top-level dialogs of thread titled title, topmost first.
std::vector<HWND> DialogsTitled(const std::string& title, DWORD thread = GetCurrentThreadId());

}  // namespace ui::automation

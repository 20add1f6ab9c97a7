#include "ui/Automation.h"

#include "app/ResourceIds.h"

namespace ui::automation {

namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

struct DialogSearch {
    std::string title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    if (IsWindowVisible(window) && ClassOf(window) == "#32770" &&
        StoredTitle(window) == search.title) {
        search.found.push_back(window);
    }
    return TRUE;
}

std::string CellText(HWND list, int row, int column) {
    char text[300] = {};
    ListView_GetItemText(list, row, column, text, sizeof(text));
    return text;
}

}  // namespace

void SelectTab(HWND mainWindow, int tab) {
    SendDlgItemMessageA(mainWindow, IDC_TABS, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0);
}

bool FocusRow(HWND mainWindow, const std::string& displayName) {
    HWND list = GetDlgItem(mainWindow, IDC_PATCH_LIST);
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
        if (CellText(list, row, 0) != displayName) continue;
        SetFocus(list);
        ListView_SetItemState(list, row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        return true;
    }
    return false;
}

bool DoubleClickRow(HWND mainWindow, const std::string& displayName) {
    if (!FocusRow(mainWindow, displayName)) return false;
    HWND list = GetDlgItem(mainWindow, IDC_PATCH_LIST);
    const int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    return true;
}

std::vector<std::pair<std::string, std::string>> Rows(HWND mainWindow) {
    HWND list = GetDlgItem(mainWindow, IDC_PATCH_LIST);
    std::vector<std::pair<std::string, std::string>> rows;
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) rows.emplace_back(CellText(list, row, 0), CellText(list, row, 1));
    return rows;
}

std::string StoredTitle(HWND window) {
    wchar_t wide[512] = {};
    const int length = InternalGetWindowText(window, wide, 512);
    char narrow[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, length, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    return narrow;
}

std::vector<HWND> DialogsTitled(const std::string& title, DWORD thread) {
    DialogSearch search{title, {}};
    EnumThreadWindows(thread, CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace ui::automation

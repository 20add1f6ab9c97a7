// The Directories dialog: the patch folder and the five game folders in force, a folder
// picker for each, and on OK all six saved and the package list filled again.
#include "platform/PlatformTable.h"
#include "ui/Dialogs.h"

namespace ui {

namespace {

using platform::PlatformTable;

const platform::Settings& SettingsOf(HWND window) {
    return reinterpret_cast<Program*>(GetWindowLongPtrA(window, DWLP_USER))->directoriesSettings;
}

// The row whose Browse button has id, or -1.
int RowOfBrowseButton(int id) {
    for (int row = 0; row < platform::kRowCount; ++row) {
        if (PlatformTable::Row(row).browseButtonId == id) return row;
    }
    return -1;
}

void SaveAll(HWND window) {
    const platform::Settings& settings = SettingsOf(window);
    for (int row = 0; row < platform::kRowCount; ++row) {
        const platform::PlatformInfo& info = PlatformTable::Row(row);
        char text[platform::kPathBufferSize] = {};
        GetDlgItemTextA(window, info.pathFieldId, text, sizeof(text));
        settings.SetFolder(std::string(info.settingsKey), text);
    }
}

}  // namespace

int CALLBACK BrowseCallback(HWND picker, UINT event, LPARAM, LPARAM startFolder) {
    if (event == BFFM_INITIALIZED) {
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, startFolder);
        SendMessageA(picker, BFFM_ENABLEOK, 0, TRUE);
    }
    return 0;
}

std::string BrowseForFolder(HWND owner, const std::string& caption) {
    static const char kStartFolder[] = "C:\\";
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(kStartFolder);

    std::string chosen;
    if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(item, path)) chosen = path;
        CoTaskMemFree(item);
    }
    return chosen;
}

INT_PTR CALLBACK DirectoriesDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        const platform::Settings& settings = SettingsOf(window);
        for (int row = 0; row < platform::kRowCount; ++row) {
            SetDlgItemTextA(window, PlatformTable::Row(row).pathFieldId,
                            settings.GetFolder(row).c_str());
        }
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            SaveAll(window);
            SendMessageA(GetWindow(window, GW_OWNER), UM_REFRESH_LIST, 0, 0);
            DestroyWindow(window);
            return TRUE;
        }
        if (id == IDCANCEL) {
            DestroyWindow(window);
            return TRUE;
        }
        const int row = RowOfBrowseButton(id);
        if (row < 0) return FALSE;
        std::string chosen =
            BrowseForFolder(window, std::string(PlatformTable::Row(row).browseCaption));
        if (!chosen.empty()) SetDlgItemTextA(window, PlatformTable::Row(row).pathFieldId, chosen.c_str());
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace ui

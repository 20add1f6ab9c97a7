#include "ui/MainWindow.h"

#include "install/Journal.h"

#include <memory>
#include <string>

#include "app/ResourceIds.h"
#include "install/InstallDriver.h"
#include "install/InstallResult.h"
#include "platform/PlatformTable.h"
#include "ui/Catalogue.h"
#include "ui/Dialogs.h"
#include "ui/PatchListView.h"
#include "ui/ShellOpen.h"

namespace ui {

namespace {

constexpr int kStatusFirstPartEdge = 205;
constexpr const char* kHelpFile = "help.chm";

// The state of one main window; it lives from WM_INITDIALOG to WM_NCDESTROY.
class MainWindow final : public install::View {
public:
    MainWindow(HWND window, Program& program) : window(window), program(program) {}

    void OnInit();
    void OnListDoubleClick();
    void OnTabChanged();
    void OnViewReadme();
    void OnCommand(int id);
    void OnClose();
    void OnDestroy();
    void Refresh() { FillPatchList(window, program); }

    // install::View
    void SetStatus(const std::string& text) override;
    int GetProgress() override;
    void SetProgress(int position) override;
    void Pump() override { PumpMessages(); }
    bool ShowBanner(const std::string& path) override;

private:
    HWND Control(int id) const { return GetDlgItem(window, id); }
    HWND ProgressBar() const { return GetDlgItem(Control(IDC_STATUS_BAR), IDC_PROGRESS); }
    // The list's focused row when a patchList entry belongs to it, else -1.
    int FocusedEntry() const;
    void CreateStatusBar();
    void CreateTabs();

    HWND window;
    Program& program;
    // The picture we gave the banner; the control never deletes a picture set on it.
    GdiObject<HBITMAP> banner;
    // A close request that arrived while an install ran, carried out when it returns.
    bool closePending = false;
};

MainWindow* StateOf(HWND window) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

void MainWindow::OnInit() {
    HICON icon = LoadIconA(program.instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    TabPrefixes();
    SetUpPatchList(Control(IDC_PATCH_LIST));
    CreateStatusBar();
    CreateTabs();
    FillPatchList(window, program);
}

void MainWindow::CreateStatusBar() {
    HWND statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, install::kStatusIdle,
                                     WS_CHILD | WS_VISIBLE | WS_BORDER, -100, -100, 10, 10, window,
                                     reinterpret_cast<HMENU>(IDC_STATUS_BAR), program.instance,
                                     nullptr);
    int edges[2] = {kStatusFirstPartEdge, -1};
    SendMessageA(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, kStatusFirstPartEdge, 2, 420,
                    18, statusBar, reinterpret_cast<HMENU>(IDC_PROGRESS), program.instance,
                    nullptr);
}

void MainWindow::CreateTabs() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    HWND tabs = Control(IDC_TABS);
    for (int row = 0; row < platform::kRowCount; ++row) {
        std::string label(platform::PlatformTable::Row(row).tabLabel);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = label.data();
        SendMessageA(tabs, TCM_INSERTITEMA, row, reinterpret_cast<LPARAM>(&item));
    }
}

int MainWindow::FocusedEntry() const {
    const int row = ListView_GetNextItem(Control(IDC_PATCH_LIST), -1, LVNI_FOCUSED);
    if (row < 0 || static_cast<size_t>(row) >= program.patchList.size()) return -1;
    return row;
}

void MainWindow::OnListDoubleClick() {
    // The install steps pump messages; a second install must not start inside the first.
    if (program.installer.Busy()) return;
    const int row = FocusedEntry();
    if (row < 0) return;

    const std::string entry = program.patchList[static_cast<size_t>(row)];
    install::Installer& installer = program.installer;
    const install::InstallResult result = installer.Prepare(*this, entry);
    if (result == install::InstallResult::Ready) {
        install::RunInstall(installer, *this);
        installer.FinishInstall();
        FillPatchList(window, program);
        if (closePending) OnClose();
        return;
    }
    const std::string message = install::ResultMessage(result, installer.slot, installer.detail);
    if (!message.empty()) MessageBoxA(window, message.c_str(), "Error", MB_ICONEXCLAMATION | MB_OK);
}

void MainWindow::OnTabChanged() {
    program.currentTab = TabCtrl_GetCurSel(Control(IDC_TABS));
    FillPatchList(window, program);
}

void MainWindow::OnViewReadme() {
    const int row = FocusedEntry();
    if (row < 0) return;
    std::string text;
    const std::string entry = program.patchList[static_cast<size_t>(row)];
    if (!ReadPatchReadme(program.installer.settings, entry, text)) return;
    HWND viewer = OpenDialog(program, window, IDD_README, ReadmeDialogProc);
    if (viewer) SetDlgItemTextA(viewer, IDC_README_TEXT, text.c_str());
}

void MainWindow::OnCommand(int id) {
    switch (id) {
    case IDC_VIEW_README:
        OnViewReadme();
        break;
    case IDM_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case IDM_ABOUT:
        OpenDialog(program, window, IDD_ABOUT, AboutDialogProc);
        break;
    case IDM_PREFERENCES:
        OpenDialog(program, window, IDD_DIRECTORIES, DirectoriesDialogProc);
        break;
    case IDM_CONTENTS:
        ShellOpen(window, kHelpFile, SW_SHOW);
        break;
    default:
        break;
    }
}

void MainWindow::OnClose() {
    // Tearing the installer down under a running install would close the package it reads;
    // the close waits until the install has returned to the double-click handler.
    if (program.installer.Busy()) {
        closePending = true;
        return;
    }
    closePending = false;
    program.installer.FinishInstall();
    PostQuitMessage(0);
    DestroyWindow(window);
}

void MainWindow::OnDestroy() {
    HBITMAP shown = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(window, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (shown && shown != banner.Get()) DeleteObject(shown);
    banner.Reset();
}

void MainWindow::SetStatus(const std::string& text) {
    SetDlgItemTextA(window, IDC_STATUS_BAR, text.c_str());
}

int MainWindow::GetProgress() {
    return static_cast<int>(SendMessageA(ProgressBar(), PBM_GETPOS, 0, 0));
}

void MainWindow::SetProgress(int position) {
    SendMessageA(ProgressBar(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

bool MainWindow::ShowBanner(const std::string& path) {
    auto loaded = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!loaded) return false;
    HBITMAP previous = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(
        window, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(loaded)));
    // The first replacement hands back the picture the template loaded; later ones ours.
    if (previous && previous != banner.Get()) DeleteObject(previous);
    banner.Reset(loaded);
    return true;
}

}  // namespace

HWND OpenDialog(Program& program, HWND owner, int templateId, DLGPROC procedure) {
    HWND dialog = CreateDialogParamA(program.instance, MAKEINTRESOURCEA(templateId), owner,
                                     procedure, reinterpret_cast<LPARAM>(&program));
    if (dialog) ShowWindow(dialog, SW_SHOW);
    return dialog;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto state = std::make_unique<MainWindow>(window, *reinterpret_cast<Program*>(lParam));
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state.get()));
        state.release()->OnInit();
        return TRUE;
    }
    MainWindow* state = StateOf(window);
    if (!state) return FALSE;

    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_PATCH_LIST && header->code == NM_DBLCLK) {
            state->OnListDoubleClick();
            return TRUE;
        }
        if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
            state->OnTabChanged();
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        state->OnCommand(LOWORD(wParam));
        return TRUE;
    case UM_FOCUS_LIST:
        SetFocus(GetDlgItem(window, IDC_PATCH_LIST));
        return TRUE;
    case UM_REFRESH_LIST:
        state->Refresh();
        return TRUE;
    case WM_CLOSE:
        state->OnClose();
        return TRUE;
    case WM_DESTROY:
        state->OnDestroy();
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, DWLP_USER, 0);
        delete state;
        return FALSE;
    default:
        return FALSE;
    }
}

HWND StartMainWindow(Program& program) {
    // The list, the tabs and the bars come from the common controls; the templates need
    // their classes before the first dialog is made.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                      ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);

    // An install or removal that was interrupted (a crash, a power cut) is finished or undone
    // before the list is filled, and the user is told once what became of it.
    const std::string recovered = install::RecoverInterrupted(program.listSettings);

    HWND window = CreateDialogParamA(program.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     MainDialogProc, reinterpret_cast<LPARAM>(&program));
    if (!window) return nullptr;
    ShowWindow(window, SW_SHOW);
    if (!recovered.empty()) {
        MessageBoxA(window, recovered.c_str(), "Recovery", MB_OK | MB_ICONINFORMATION);
    }

    if (!program.listSettings.IsConfigured()) {
        HWND directories = OpenDialog(program, window, IDD_DIRECTORIES, DirectoriesDialogProc);
        MessageBoxA(window, "Please select directories", "Reminder", MB_OK);
        SetFocus(directories);
    }
    return window;
}

int RunMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace ui

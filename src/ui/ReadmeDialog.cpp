// The Readme viewer: a package's read-me in a read-only text field on white. Closing it hands
// the keyboard focus back to the package list.
#include "app/ResourceIds.h"
#include "ui/Dialogs.h"

namespace ui {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// One brush per open viewer, from its initialisation until it closes.
struct ReadmeState {
    GdiObject<HBRUSH> white{CreateSolidBrush(kWhite)};
};

ReadmeState* StateOf(HWND window) {
    return reinterpret_cast<ReadmeState*>(GetWindowLongPtrA(window, DWLP_USER));
}

}  // namespace

INT_PTR CALLBACK ReadmeDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(new ReadmeState));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        ReadmeState* state = StateOf(window);
        if (!state) return FALSE;
        SetBkColor(reinterpret_cast<HDC>(wParam), kWhite);
        return reinterpret_cast<INT_PTR>(state->white.Get());
    }
    case WM_CLOSE:
        delete StateOf(window);
        SetWindowLongPtrA(window, DWLP_USER, 0);
        SendMessageA(GetWindow(window, GW_OWNER), UM_FOCUS_LIST, 0, 0);
        DestroyWindow(window);
        return TRUE;
    case WM_NCDESTROY:
        // Destroyed without a close request (the owner went first): the brush still goes.
        delete StateOf(window);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace ui

// The About box: the program's name, its author and two organisations, the last three as
// links that open through the shell.
#include "app/ResourceIds.h"
#include "ui/Dialogs.h"

namespace ui {

const char* const kAboutLinkTargets[kAboutLinkCount] = {
    "https://www.example.org/quenlar-office/",
    "https://www.example.org/orvalan/",
    "mailto:maltek@example.org",
};

namespace {

constexpr int kLinkControls[kAboutLinkCount] = {IDC_LINK_OFFICE, IDC_LINK_ORGANISATION,
                                                IDC_LINK_AUTHOR};

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto& program = *reinterpret_cast<Program*>(lParam);
        for (int i = 0; i < kAboutLinkCount; ++i) {
            CHyperLink& link = program.aboutLinks[i];
            if (link.SetUrl(kAboutLinkTargets[i])) {
                link.Attach(GetDlgItem(window, kLinkControls[i]));
            }
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) SendMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        // Modeless: destroying it (not EndDialog, which would only hide it) gives the links
        // their window procedures and fonts back.
        DestroyWindow(window);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace ui

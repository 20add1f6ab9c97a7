// A static text control turned into a hyperlink: blue text that turns purple once opened,
// underlined while the mouse is over it, a hand cursor, a dotted focus rectangle, and the
// target opened through the shell on a click or on the space bar. The control and its parent
// are subclassed; a window property (one global atom) leads from each window to its state.
#pragma once

#include <memory>

#include "ui/WinUi.h"

namespace ui {

inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
inline constexpr COLORREF kVisitedLinkColour = RGB(128, 0, 128);
inline constexpr const char* kHyperLinkPropertyName =
    "_Hyperlink_Object_Pointer_\\{AFEED740-CC6D-47c5-831D-9848FD916EEF}";

class CHyperLink {
public:
    CHyperLink() = default;
    virtual ~CHyperLink() = default;
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // Turns static control into a link to url (which must be set); answers true.
    bool Attach(HWND control);
    // Replaces url by a copy of target; false (url then none) when no copy could be made.
    bool SetUrl(const char* target);

    // Hooks for a link that wants to show more than the underline; nothing here.
    virtual void OnHighlight() {}
    virtual void OnUnhighlight() {}

    std::unique_ptr<char[]> url;
    BOOL hovering = FALSE;
    BOOL visited = FALSE;
    HFONT savedFont = nullptr;
    WNDPROC savedProc = nullptr;
};

LRESULT CALLBACK HyperLinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HyperLinkControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The link object stored in control's property, or null for a control that is no link.
CHyperLink* LinkOf(HWND control);

}  // namespace ui

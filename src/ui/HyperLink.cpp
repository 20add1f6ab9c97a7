#include "ui/HyperLink.h"

#include <cstring>
#include <new>

#include "ui/ShellOpen.h"

namespace ui {

namespace {

// The property name as a global atom, for the whole run: every link control keeps its
// CHyperLink under it, and every subclassed parent its own window procedure from before.
class PropertyAtom {
public:
    PropertyAtom() : atom(GlobalAddAtomA(kHyperLinkPropertyName)) {}
    ~PropertyAtom() {
        if (atom) GlobalDeleteAtom(atom);
    }
    PropertyAtom(const PropertyAtom&) = delete;
    PropertyAtom& operator=(const PropertyAtom&) = delete;
    LPCSTR Name() const { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)); }

private:
    ATOM atom;
};

const PropertyAtom propertyAtom;

// Shared by every attached control: made with the first, released with the last.
GdiObject<HFONT> underlineFont;
HCURSOR linkCursor = nullptr;
int attachedCount = 0;

void DrawFocusRectAround(HWND control) {
    HWND parent = GetParent(control);
    if (!parent) return;
    RECT rect;
    GetWindowRect(control, &rect);
    InflateRect(&rect, 1, 1);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(parent, &corners[0]);
    ScreenToClient(parent, &corners[1]);
    RECT inParent = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    HDC dc = GetDC(parent);
    if (!dc) return;
    DrawFocusRect(dc, &inParent);
    ReleaseDC(parent, dc);
}

void OpenLink(HWND control, CHyperLink& link) {
    ShellOpen(GetParent(control), link.url.get(), SW_SHOWNORMAL);
    link.visited = TRUE;
}

}  // namespace

CHyperLink* LinkOf(HWND control) {
    return static_cast<CHyperLink*>(GetPropA(control, propertyAtom.Name()));
}

bool CHyperLink::SetUrl(const char* target) {
    url.reset();
    const size_t length = std::strlen(target);
    url.reset(new (std::nothrow) char[length + 1]);
    if (!url) return false;
    std::memcpy(url.get(), target, length + 1);
    return true;
}

bool CHyperLink::Attach(HWND control) {
    HWND parent = GetParent(control);
    if (parent && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) !=
                      HyperLinkParentProc) {
        auto parentProc = GetWindowLongPtrA(parent, GWLP_WNDPROC);
        SetPropA(parent, propertyAtom.Name(), reinterpret_cast<HANDLE>(parentProc));
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HyperLinkParentProc));
    }

    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOTIFY);

    savedFont = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (attachedCount == 0) {
        LOGFONTA attributes{};
        HFONT from = savedFont ? savedFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        GetObjectA(from, sizeof(attributes), &attributes);
        attributes.lfUnderline = TRUE;
        underlineFont.Reset(CreateFontIndirectA(&attributes));
        linkCursor = LoadCursor(nullptr, IDC_HAND);
        if (!linkCursor) linkCursor = LoadCursor(nullptr, IDC_ARROW);
    }
    ++attachedCount;

    savedProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    SetPropA(control, propertyAtom.Name(), this);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HyperLinkControlProc));
    return true;
}

LRESULT CALLBACK HyperLinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, propertyAtom.Name()));
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        CHyperLink* link = LinkOf(reinterpret_cast<HWND>(lParam));
        if (!link) break;
        // The dialog chooses the background; the link only adds its colour to the text.
        LRESULT brush = CallWindowProcA(previous, window, message, wParam, lParam);
        SetTextColor(reinterpret_cast<HDC>(wParam),
                     link->visited ? kVisitedLinkColour : kLinkColour);
        return brush;
    }
    case WM_DESTROY:
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(window, propertyAtom.Name());
        break;
    default:
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK HyperLinkControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CHyperLink* link = LinkOf(window);
    switch (message) {
    case WM_SETFOCUS:
        link->OnHighlight();
        DrawFocusRectAround(window);
        return 0;
    case WM_KILLFOCUS:
        link->OnUnhighlight();
        DrawFocusRectAround(window);
        return 0;
    case WM_SETCURSOR:
        SetCursor(linkCursor);
        return TRUE;
    case WM_KEYUP:
        if (wParam != VK_SPACE) break;
        OpenLink(window, *link);
        return 0;
    case WM_LBUTTONUP:
        OpenLink(window, *link);
        return 0;
    case WM_MOUSEMOVE:
        if (!link->hovering) {
            link->hovering = TRUE;
            SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(underlineFont.Get()), FALSE);
            InvalidateRect(window, nullptr, FALSE);
            link->OnHighlight();
            SetCapture(window);
        } else {
            // Unsigned on purpose: left of or above the control the coordinates are negative
            // and read as large numbers, which lie outside the client rectangle as well.
            POINT at = {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
            RECT client;
            GetClientRect(window, &client);
            if (!PtInRect(&client, at)) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        link->hovering = FALSE;
        link->OnUnhighlight();
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(link->savedFont), FALSE);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_DESTROY: {
        WNDPROC saved = link->savedProc;
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(link->savedFont), FALSE);
        if (--attachedCount <= 0) {
            attachedCount = 0;
            underlineFont.Reset();
            linkCursor = nullptr;
        }
        RemovePropA(window, propertyAtom.Name());
        return CallWindowProcA(saved, window, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(link->savedProc, window, message, wParam, lParam);
}

}  // namespace ui

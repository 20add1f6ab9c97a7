// The window code's way into the Windows headers: the one lean <windows.h> of the project plus
// the common controls, the shell and the folder picker, and an owner for GDI objects so that
// brushes, fonts and bitmaps are deleted on every path out.
#pragma once

#include "os/win32/WinHeader.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

// The OS layer's interface has a member of this name; left defined, the Win32 macro would
// rename it in every file that includes this header before the OS layer's.
#undef WriteProfileString

namespace ui {

template <class Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    void Reset(Handle replacement = nullptr) {
        if (handle) DeleteObject(handle);
        handle = replacement;
    }

private:
    Handle handle;
};

}  // namespace ui

// The one way into <windows.h>: lean, without the min/max macros, for Windows 7 and later.
// Small owners for handles so that every path out of a function closes what it opened.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace os::win32 {

class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE h = INVALID_HANDLE_VALUE) : h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE Get() const { return h; }
    bool Valid() const { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    HANDLE Release() {
        HANDLE r = h;
        h = INVALID_HANDLE_VALUE;
        return r;
    }
    void Reset() {
        if (Valid()) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h;
};

class UniqueFind {
public:
    explicit UniqueFind(HANDLE h) : h(h) {}
    ~UniqueFind() {
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
    UniqueFind(const UniqueFind&) = delete;
    UniqueFind& operator=(const UniqueFind&) = delete;
    HANDLE Get() const { return h; }

private:
    HANDLE h;
};

class UniqueKey {
public:
    UniqueKey() = default;
    ~UniqueKey() {
        if (key) RegCloseKey(key);
    }
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;
    HKEY* Out() { return &key; }
    HKEY Get() const { return key; }

private:
    HKEY key = nullptr;
};

}  // namespace os::win32

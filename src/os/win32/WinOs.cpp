// The Win32 backend of the OS layer: the real profile, registry, shell, file and thread API.
#include "os/win32/WinHeader.h"

#include <shlobj.h>

#include <memory>

#include "os/Os.h"

namespace os {

struct Thread {
    HANDLE handle;
};

namespace {

using win32::UniqueHandle;

class WinFile final : public File {
public:
    explicit WinFile(HANDLE h) : handle(h) {}
    int64_t Read(void* buffer, int64_t size) override {
        char* p = static_cast<char*>(buffer);
        int64_t total = 0;
        while (total < size) {
            DWORD chunk = static_cast<DWORD>(std::min<int64_t>(size - total, 1 << 30));
            DWORD got = 0;
            if (!ReadFile(handle.Get(), p + total, chunk, &got, nullptr)) return -1;
            if (got == 0) break;
            total += got;
        }
        return total;
    }
    bool Write(const void* data, int64_t size) override {
        const char* p = static_cast<const char*>(data);
        int64_t total = 0;
        while (total < size) {
            DWORD chunk = static_cast<DWORD>(std::min<int64_t>(size - total, 1 << 30));
            DWORD put = 0;
            if (!WriteFile(handle.Get(), p + total, chunk, &put, nullptr) || put == 0) return false;
            total += put;
        }
        return true;
    }
    bool Seek(int64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return SetFilePointerEx(handle.Get(), to, nullptr, FILE_BEGIN) != 0;
    }
    int64_t Tell() override {
        LARGE_INTEGER zero, at;
        zero.QuadPart = 0;
        if (!SetFilePointerEx(handle.Get(), zero, &at, FILE_CURRENT)) return -1;
        return at.QuadPart;
    }
    int64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle.Get(), &size) ? size.QuadPart : -1;
    }
    bool Flush() override { return FlushFileBuffers(handle.Get()) != 0; }
    bool Close() override {
        if (!handle.Valid()) return true;
        return CloseHandle(handle.Release()) != 0;
    }

private:
    UniqueHandle handle;
};

class WinSearch final : public DirSearch {
public:
    WinSearch(HANDLE h, const WIN32_FIND_DATAA& first) : find(h), data(first) {}
    bool Next(std::string& name) override {
        if (!pending) {
            if (!FindNextFileA(find.Get(), &data)) return false;
        }
        pending = false;
        name = data.cFileName;
        return true;
    }

private:
    win32::UniqueFind find;
    WIN32_FIND_DATAA data;
    bool pending = true;
};

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

DWORD WINAPI ThreadStart(LPVOID p);

struct StartBlock {
    ThreadProc proc;
    void* argument;
};

DWORD WINAPI ThreadStart(LPVOID p) {
    std::unique_ptr<StartBlock> block(static_cast<StartBlock*>(p));
    block->proc(block->argument);
    return 0;
}

class WinOs final : public Os {
public:
    std::string ReadProfileString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  int bufferSize) override {
        std::string buffer(static_cast<size_t>(bufferSize > 0 ? bufferSize : 1), '\0');
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                           buffer.data(), static_cast<DWORD>(buffer.size()),
                                           path.c_str());
        buffer.resize(n);
        return buffer;
    }

    bool WriteProfileString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()) != 0;
    }

    bool ReadMachineRegistryString(const std::string& key, const std::string& valueName,
                                   int bufferSize, std::string& value) override {
        win32::UniqueKey k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, k.Out()) != ERROR_SUCCESS) {
            return false;
        }
        std::string buffer(static_cast<size_t>(bufferSize) + 1, '\0');
        DWORD size = static_cast<DWORD>(bufferSize);
        if (RegQueryValueExA(k.Get(), valueName.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
            return false;
        }
        value = buffer.c_str();
        return true;
    }

    std::string AppDataFolder() override { return SpecialFolder(CSIDL_APPDATA); }
    std::string DocumentsFolder() override { return SpecialFolder(CSIDL_PERSONAL); }

    bool Exists(const std::string& path) override {
        return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool IsFolder(const std::string& path) override {
        DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool CreateFolder(const std::string& path) override {
        return !path.empty() && CreateDirectoryA(path.c_str(), nullptr) != 0;
    }

    bool RemoveFile(const std::string& path) override {
        return !path.empty() && DeleteFileA(path.c_str()) != 0;
    }

    bool MoveReplace(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    bool SetModifiedTime(const std::string& path, const FileTime& t) override {
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(t.year);
        st.wMonth = static_cast<WORD>(t.month);
        st.wDay = static_cast<WORD>(t.day);
        st.wHour = static_cast<WORD>(t.hour);
        st.wMinute = static_cast<WORD>(t.minute);
        st.wSecond = static_cast<WORD>(t.second);
        FILETIME local, utc;
        if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc)) return false;
        UniqueHandle h(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        return h.Valid() && SetFileTime(h.Get(), nullptr, nullptr, &utc) != 0;
    }

    bool GetModifiedTime(const std::string& path, FileTime& t) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
        FILETIME local;
        SYSTEMTIME st;
        if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
            !FileTimeToSystemTime(&local, &st)) {
            return false;
        }
        t = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
        return true;
    }

    std::unique_ptr<DirSearch> FindFiles(const std::string& folder,
                                         const std::string& extension) override {
        WIN32_FIND_DATAA data;
        std::string pattern = folder + "\\*" + extension;
        HANDLE h = FindFirstFileA(pattern.c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<WinSearch>(h, data);
    }

    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        if (path.empty()) return nullptr;
        DWORD access = 0, disposition = 0;
        switch (mode) {
            case OpenMode::Read: access = GENERIC_READ; disposition = OPEN_EXISTING; break;
            case OpenMode::Update:
                access = GENERIC_READ | GENERIC_WRITE;
                disposition = OPEN_EXISTING;
                break;
            case OpenMode::Create: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
            case OpenMode::Append: access = FILE_APPEND_DATA; disposition = OPEN_ALWAYS; break;
        }
        HANDLE h = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        auto file = std::make_unique<WinFile>(h);
        if (mode == OpenMode::Append) {
            LARGE_INTEGER zero;
            zero.QuadPart = 0;
            SetFilePointerEx(h, zero, nullptr, FILE_END);
        }
        return file;
    }

    Thread* StartThread(ThreadProc proc, void* argument) override {
        auto* block = new StartBlock{proc, argument};
        HANDLE h = CreateThread(nullptr, 0, ThreadStart, block, 0, nullptr);
        if (!h) {
            delete block;
            return nullptr;
        }
        return new Thread{h};
    }

    bool ThreadEnded(Thread* thread) override {
        return thread && WaitForSingleObject(thread->handle, 0) == WAIT_OBJECT_0;
    }

    void CloseThread(Thread* thread) override {
        if (!thread) return;
        WaitForSingleObject(thread->handle, INFINITE);
        CloseHandle(thread->handle);
        delete thread;
    }

    uint32_t TickCount() override { return GetTickCount(); }
    void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Os& Native() {
    static WinOs instance;
    return instance;
}

}  // namespace os

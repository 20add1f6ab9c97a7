// Durability and exclusion on Windows: moves are written through already, and a file opened
// without sharing cannot be opened again until it is closed.
#include "os/win32/WinHeader.h"

#include "os/Os.h"

namespace os {

namespace {

class LockedFile final : public File {
public:
    explicit LockedFile(HANDLE h) : handle(h) {}
    ~LockedFile() override { Close(); }
    int64_t Read(void*, int64_t) override { return -1; }
    bool Write(const void*, int64_t) override { return false; }
    bool Seek(int64_t) override { return false; }
    int64_t Tell() override { return -1; }
    int64_t Size() override { return -1; }
    bool Flush() override { return true; }
    bool Close() override {
        handle.Reset();
        return true;
    }

private:
    win32::UniqueHandle handle;
};

}  // namespace

void SyncFolder(const std::string&) {}

std::unique_ptr<File> OpenExclusive(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<LockedFile>(h);
}

}  // namespace os

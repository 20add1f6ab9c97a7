// Durability and exclusion on Windows: moves are written through already, and a file opened
// without sharing cannot be opened again until it is closed.
#include "os/win32/WinHeader.h"

#include "os/HeldFile.h"
#include "os/Os.h"

namespace os {

void SyncFolder(const std::string&) {}

std::unique_ptr<File> OpenExclusive(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HeldFile>([h] { CloseHandle(h); });
}

}  // namespace os

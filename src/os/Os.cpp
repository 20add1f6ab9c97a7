// The Os in force, and whole-file helpers written once above the interface.
#include "os/Os.h"

namespace os {

namespace {
Os* overrideOs = nullptr;
}

Os& Current() { return overrideOs ? *overrideOs : Native(); }

OsOverride::OsOverride(Os& replacement) : previous(overrideOs) { overrideOs = &replacement; }
OsOverride::~OsOverride() { overrideOs = previous; }

bool ReadWholeFile(const std::string& path, std::string& data) {
    data.clear();
    auto file = Current().Open(path, OpenMode::Read);
    if (!file) return false;
    char buffer[64 * 1024];
    for (;;) {
        int64_t got = file->Read(buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) break;
        data.append(buffer, static_cast<size_t>(got));
    }
    return file->Close();
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    auto file = Current().Open(path, OpenMode::Create);
    if (!file) return false;
    bool written = file->Write(data.data(), static_cast<int64_t>(data.size()));
    return file->Close() && written;
}

namespace {

size_t NameStart(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? 0 : cut + 1;
}

}  // namespace

bool IsScratchName(const std::string& path) {
    return path.compare(NameStart(path), 4, kScratchPrefix) == 0;
}

bool ReplaceWholeFile(const std::string& path, const std::string& data) {
    const size_t name = NameStart(path);
    const std::string temporary =
        path.substr(0, name) + kScratchPrefix + "-" + path.substr(name) + ".new";
    auto file = Current().Open(temporary, OpenMode::Create);
    if (!file) return false;
    bool written = file->Write(data.data(), static_cast<int64_t>(data.size())) && file->Flush();
    written = file->Close() && written;
    if (written && Current().MoveReplace(temporary, path)) {
        SyncFolder(name > 0 ? path.substr(0, name - 1) : std::string("."));
        return true;
    }
    Current().RemoveFile(temporary);
    return false;
}

bool EnsureFolder(const std::string& path) {
    Os& sys = Current();
    if (path.empty()) return false;
    if (sys.Exists(path)) return sys.IsFolder(path);
    size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return true;
    if (cut > 0 && !EnsureFolder(path.substr(0, cut))) return false;
    return sys.CreateFolder(path);
}

}  // namespace os

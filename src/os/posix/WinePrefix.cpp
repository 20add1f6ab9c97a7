#include "os/posix/WinePrefix.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "os/posix/WineRegistry.h"

namespace os::posix {

namespace {

bool IsHostFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The host folder of a drive letter in the prefix, with its link resolved, or empty.
std::string DriveFolder(const std::string& prefix, char drive) {
    std::string link = prefix + "/dosdevices/" + drive + ":";
    if (char* real = realpath(link.c_str(), nullptr)) {
        std::string folder = real;
        std::free(real);
        if (IsHostFolder(folder)) return folder;
    }
    // A prefix made by hand, or whose links were lost in a copy, still has its C: drive.
    if (drive == 'c' && IsHostFolder(prefix + "/drive_c")) return prefix + "/drive_c";
    return {};
}

bool ReadHostFile(const std::string& path, std::string& text) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace

std::string WinePrefixFolder() {
    std::string prefix;
    if (const char* set = std::getenv("WINEPREFIX"); set && *set) {
        prefix = set;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        prefix = std::string(home) + "/.wine";
    }
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    return IsHostFolder(prefix) ? prefix : std::string();
}

std::string MapDrivePath(const std::string& path) {
    char drive = 0;
    std::string rest;
    if (!SplitDrivePath(path, drive, rest)) return path;
    const std::string prefix = WinePrefixFolder();
    if (prefix.empty()) return path;
    const std::string folder = DriveFolder(prefix, drive);
    return folder.empty() ? path : JoinDrivePath(folder, rest);
}

bool ReadPrefixRegistryString(const std::string& key, const std::string& valueName,
                              int bufferSize, std::string& value) {
    const std::string prefix = WinePrefixFolder();
    std::string text;
    if (prefix.empty() || !ReadHostFile(prefix + "/system.reg", text)) return false;
    std::string stored;
    if (!FindRegistryValue(text, key, valueName, stored)) return false;
    // The value must fit the caller's buffer as Windows would store it, and the folder it
    // stands for here must fit as well: every folder passes through buffers of that size.
    const auto fits = [bufferSize](const std::string& s) {
        return s.size() < static_cast<size_t>(bufferSize > 0 ? bufferSize : 0);
    };
    if (!fits(stored)) return false;
    std::string mapped = MapDrivePath(stored);
    if (!fits(mapped)) return false;
    value = mapped;
    return true;
}

}  // namespace os::posix

#include "os/posix/PosixPath.h"

#include "os/posix/WinePrefix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <vector>

namespace os::posix {

namespace {

bool PathExists(const std::string& p) {
    struct stat st;
    return lstat(p.c_str(), &st) == 0;
}

bool EqualNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return i == a.size() && b[i] == 0;
}

// The name in folder that equals component ignoring case, or component itself.
std::string MatchInFolder(const std::string& folder, const std::string& component) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return component;
    std::string found = component;
    while (dirent* e = readdir(dir)) {
        if (EqualNoCase(component, e->d_name)) {
            found = e->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

std::string ResolvePath(const std::string& corePath) {
    // Drive paths (a built-in "C:\TIECD", folders from the registry) mean the drives of the
    // user's Wine prefix.
    std::string path = MapDrivePath(corePath);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (path.empty() || PathExists(path)) return path;

    std::vector<std::string> parts;
    size_t pos = 0;
    bool absolute = path[0] == '/';
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        parts.push_back(path.substr(pos, slash - pos));
        pos = slash + 1;
    }

    std::string out = absolute ? "/" : "";
    bool onDisk = true;  // everything so far exists, so the next part may be matched
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.empty()) continue;
        std::string name = part;
        std::string candidate = out + name;
        if (onDisk && part != "." && part != ".." && !PathExists(candidate)) {
            name = MatchInFolder(out.empty() ? "" : out, part);
            candidate = out + name;
            onDisk = PathExists(candidate);
        }
        out = candidate;
        if (i + 1 < parts.size()) out += "/";
    }
    // Keep a trailing separator the caller gave.
    return out;
}

}  // namespace os::posix

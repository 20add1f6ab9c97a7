#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzzing {

std::string Normalized(const std::string& path) {
    std::string p = path;
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    if (p.empty() || p[0] != '/') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) std::abort();
        p = std::string(cwd) + "/" + p;
    }
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= p.size()) {
        size_t slash = p.find('/', pos);
        if (slash == std::string::npos) slash = p.size();
        std::string part = p.substr(pos, slash - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = slash + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

void GuardOs::Check(const std::string& path, const char* what) {
    std::string n = Normalized(path);
    for (const std::string& a : allowed) {
        std::string root = Normalized(a);
        if (n == root || n.compare(0, root.size() + 1, root + "/") == 0) return;
    }
    std::fprintf(stderr, "write outside the allowed folders: %s %s (%s)\n", what, path.c_str(), n.c_str());
    std::abort();
}

std::unique_ptr<os::File> GuardOs::Open(const std::string& path, os::OpenMode mode) {
    if (mode != os::OpenMode::Read) Check(path, "open for writing");
    return target.Open(path, mode);
}

bool GuardOs::CreateFolder(const std::string& path) {
    Check(path, "create folder");
    return target.CreateFolder(path);
}

bool GuardOs::RemoveFile(const std::string& path) {
    Check(path, "delete");
    return target.RemoveFile(path);
}

bool GuardOs::MoveReplace(const std::string& from, const std::string& to) {
    Check(from, "move from");
    Check(to, "move to");
    return target.MoveReplace(from, to);
}

bool GuardOs::SetModifiedTime(const std::string& path, const os::FileTime& time) {
    Check(path, "set time");
    return target.SetModifiedTime(path, time);
}

bool GuardOs::WriteProfileString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& value) {
    Check(path, "profile");
    return target.WriteProfileString(path, section, key, value);
}

namespace {
std::string scratch;
void RemoveScratch() {
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
}
}  // namespace

const std::string& ScratchFolder() {
    if (scratch.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "osp-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        scratch = pattern;
        std::atexit(RemoveScratch);
    }
    return scratch;
}

void EmptyFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
}

}  // namespace fuzzing

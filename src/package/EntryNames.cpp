// Entry-name rules. Packages come from anywhere, so a stored name is first cleaned the way
// packages have always been read, and then checked once more before anything is joined to a
// folder: cleaning alone leaves "../x", "a/.." and device names able to reach outside.
#include "package/EntryNames.h"

#include <array>

#include "common/Ascii.h"

namespace package {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The four patterns of the cleaning rules, in the order they are tried.
constexpr std::array<std::string_view, 4> kParentPatterns = {"\\..\\", "\\../", "/../", "/..\\"};

// Names Windows opens as devices whatever folder they are in, with or without an extension.
// COM0/LPT0 and the superscript digits (0xB9, 0xB2, 0xB3 in the system code page) are
// reserved as well on current Windows.
bool IsDeviceName(std::string_view component) {
    std::string_view stem = component.substr(0, component.find('.'));
    // "nul .txt" still opens the device: trailing spaces of the stem do not count.
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    static constexpr std::string_view kPlain[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (std::string_view device : kPlain) {
        if (common::EqualsNoCase(stem, device)) return true;
    }
    if (stem.size() != 4) return false;
    std::string_view head = stem.substr(0, 3);
    if (!common::EqualsNoCase(head, "com") && !common::EqualsNoCase(head, "lpt")) return false;
    unsigned char digit = static_cast<unsigned char>(stem[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool ComponentIsSafe(std::string_view component) {
    if (component.empty()) return false;
    // Windows drops trailing dots and spaces, so "dir." and "dir " would alias "dir" (and
    // "." and ".." are the folder itself and its parent).
    char last = component.back();
    if (last == '.' || last == ' ') return false;
    return !IsDeviceName(component);
}

}  // namespace

std::string CleanEntryName(std::string_view stored) {
    std::string_view name = stored;
    // Each rule removes a prefix, so the result is a suffix of the stored name. Where each
    // pattern next occurs is remembered, so that long hostile names are not searched again and
    // again from the start.
    std::array<size_t, kParentPatterns.size()> next{};
    std::array<bool, kParentPatterns.size()> known{};
    size_t start = 0;
    auto find = [&](size_t i) {
        if (!known[i] || (next[i] != std::string_view::npos && next[i] < start)) {
            next[i] = name.find(kParentPatterns[i], start);
            known[i] = true;
        }
        return next[i];
    };
    for (;;) {
        std::string_view rest = name.substr(start);
        if (rest.size() >= 2 && rest[1] == ':') {
            start += 2;
            continue;
        }
        if (!rest.empty() && IsSeparator(rest[0])) {
            start += 1;
            continue;
        }
        bool applied = false;
        for (size_t i = 0; i < kParentPatterns.size(); ++i) {
            size_t at = find(i);
            if (at != std::string_view::npos) {
                start = at + kParentPatterns[i].size();
                applied = true;
                break;
            }
        }
        if (!applied) return std::string(rest);
    }
}

bool StaysInside(std::string_view name) {
    if (name.empty()) return false;
    // A leading separator makes the name absolute; it also covers "\\server\share", "\\?\"
    // and "\\.\" device paths.
    if (IsSeparator(name.front())) return false;
    for (char c : name) {
        // ":" is a drive prefix anywhere Windows looks for one, and an NTFS stream name
        // ("file:stream") elsewhere; control bytes (NUL included) cut or confuse the name.
        if (c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    // Folder entries are stored with one trailing separator; that one is no empty component.
    if (IsSeparator(name.back())) name.remove_suffix(1);
    size_t begin = 0;
    for (;;) {
        size_t end = begin;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        if (!ComponentIsSafe(name.substr(begin, end - begin))) return false;
        if (end == name.size()) return true;
        begin = end + 1;
    }
}

}  // namespace package

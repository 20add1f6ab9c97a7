// A Wine "system.reg" is a text file of sections "[key] stamp" followed by lines
// "name"=value. Key and value names and string values are written with C-like escapes
// ("\\" for a backslash, "\"" for a quote, "\xNNNN" for a UTF-16 unit beyond ASCII).
#include "os/posix/WineRegistry.h"

#include <cstdint>
#include <vector>

#include "common/Ascii.h"

namespace os::posix {

namespace {

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return common::LowerAscii(c) - 'a' + 10;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes text from pos up to the unescaped byte end; pos is left just after it. False when
// the line ends first.
bool Unescape(std::string_view text, size_t& pos, char end, std::string& out) {
    out.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == end) return true;
        if (c != '\\' || pos == text.size()) {
            out += c;
            continue;
        }
        c = text[pos++];
        switch (c) {
            case 'a': out += '\a'; break;
            case 'b': out += '\b'; break;
            case 'e': out += '\x1b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'v': out += '\v'; break;
            case 'x': {
                uint32_t cp = 0;
                int digits = 0;
                while (digits < 4 && pos < text.size() && IsHex(text[pos])) {
                    cp = cp * 16 + static_cast<uint32_t>(HexValue(text[pos++]));
                    ++digits;
                }
                if (digits == 0) {
                    out += 'x';
                } else {
                    AppendUtf8(out, cp);
                }
                break;
            }
            default:
                if (c >= '0' && c <= '7') {
                    uint32_t cp = static_cast<uint32_t>(c - '0');
                    for (int digits = 1; digits < 3 && pos < text.size() && text[pos] >= '0' &&
                                         text[pos] <= '7';
                         ++digits) {
                        cp = cp * 8 + static_cast<uint32_t>(text[pos++] - '0');
                    }
                    AppendUtf8(out, cp);
                } else {
                    out += c;  // "\\", "\"", "\[", "\]" and anything unknown: the byte itself
                }
        }
    }
    return false;
}

// The string of a value line's right-hand side: "text" or str(N):"text". A multi-string or
// a string with an embedded NUL ends at its first NUL, as a C string read of it would.
bool StringValue(std::string_view rhs, std::string& value) {
    size_t pos = 0;
    if (rhs.starts_with("str(")) {
        size_t colon = rhs.find("):");
        if (colon == std::string_view::npos) return false;
        pos = colon + 2;
    }
    if (pos >= rhs.size() || rhs[pos] != '"') return false;
    ++pos;
    if (!Unescape(rhs, pos, '"', value)) return false;
    size_t nul = value.find('\0');
    if (nul != std::string::npos) value.resize(nul);
    return true;
}

std::vector<std::string> KeyViews(std::string_view key) {
    std::vector<std::string> views;
    constexpr std::string_view kSoftware = "software\\";
    if (key.size() > kSoftware.size() &&
        common::EqualsNoCase(key.substr(0, kSoftware.size()), kSoftware)) {
        views.push_back(std::string(key.substr(0, kSoftware.size())) + "Wow6432Node\\" +
                        std::string(key.substr(kSoftware.size())));
    }
    views.emplace_back(key);
    return views;
}

bool FindInKey(std::string_view text, std::string_view key, std::string_view valueName,
               std::string& value) {
    bool inKey = false;
    std::string decoded;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lf = text.find('\n', lineStart);
        size_t lineEnd = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        size_t pos = 1;
        if (line[0] == '[') {
            if (inKey) return false;  // the key's section ended without the value
            inKey = Unescape(line, pos, ']', decoded) && common::EqualsNoCase(decoded, key);
        } else if (inKey && line[0] == '"' && Unescape(line, pos, '"', decoded) &&
                   common::EqualsNoCase(decoded, valueName) && pos < line.size() &&
                   line[pos] == '=') {
            return StringValue(line.substr(pos + 1), value);
        }
    }
    return false;
}

}  // namespace

bool FindRegistryValue(std::string_view systemReg, std::string_view key,
                       std::string_view valueName, std::string& value) {
    for (const std::string& view : KeyViews(key)) {
        std::string found;
        if (FindInKey(systemReg, view, valueName, found)) {
            value = found;
            return true;
        }
    }
    return false;
}

bool SplitDrivePath(std::string_view path, char& drive, std::string& rest) {
    if (path.size() < 2 || path[1] != ':') return false;
    char letter = common::LowerAscii(path[0]);
    if (letter < 'a' || letter > 'z') return false;
    if (path.size() > 2 && path[2] != '\\' && path[2] != '/') return false;
    drive = letter;
    size_t start = 2;
    while (start < path.size() && (path[start] == '\\' || path[start] == '/')) ++start;
    rest = std::string(path.substr(start));
    return true;
}

std::string JoinDrivePath(const std::string& folder, std::string_view rest) {
    std::string out = folder;
    if (rest.empty()) return out;
    if (out.empty() || out.back() != '/') out += '/';
    for (char c : rest) out += c == '\\' ? '/' : c;
    return out;
}

}  // namespace os::posix

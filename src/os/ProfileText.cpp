#include "os/ProfileText.h"

#include <vector>

namespace os {

namespace {

struct Line {
    size_t begin;  // offset of the line in the text
    size_t end;    // offset of its line end (or of the end of the text)
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        size_t end = lf == std::string::npos ? text.size() : lf;
        size_t contentEnd = end;
        if (contentEnd > pos && text[contentEnd - 1] == '\r') --contentEnd;
        lines.push_back({pos, contentEnd});
        pos = lf == std::string::npos ? text.size() : lf + 1;
    }
    return lines;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// The section name of a "[name]" line, or nothing.
std::optional<std::string> SectionName(const std::string& line) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

struct KeyLine {
    std::string key;
    std::string value;
};

std::optional<KeyLine> ParseKey(const std::string& line) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return std::nullopt;
    KeyLine k{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
    if (k.value.size() >= 2 && ((k.value.front() == '"' && k.value.back() == '"') ||
                                (k.value.front() == '\'' && k.value.back() == '\''))) {
        k.value = k.value.substr(1, k.value.size() - 2);
    }
    return k;
}

}  // namespace

std::optional<std::string> ProfileLookup(const std::string& text, const std::string& section,
                                         const std::string& key) {
    bool inSection = false;
    for (const Line& l : SplitLines(text)) {
        std::string line = text.substr(l.begin, l.end - l.begin);
        if (auto name = SectionName(line)) {
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (auto k = ParseKey(line); k && SameName(k->key, key)) return k->value;
    }
    return std::nullopt;
}

std::string ProfileAssign(const std::string& text, const std::string& section,
                          const std::string& key, const std::string& value) {
    const std::string newLine = key + "=" + value;
    std::vector<Line> lines = SplitLines(text);
    bool inSection = false;
    bool found = false;
    size_t insertAt = std::string::npos;  // end of the last line of the section
    for (const Line& l : lines) {
        std::string line = text.substr(l.begin, l.end - l.begin);
        if (auto name = SectionName(line)) {
            if (found) break;
            inSection = SameName(*name, section);
            if (inSection) {
                found = true;
                insertAt = l.end;
            }
            continue;
        }
        if (!inSection) continue;
        if (auto k = ParseKey(line); k && SameName(k->key, key)) {
            return text.substr(0, l.begin) + newLine + text.substr(l.end);
        }
        if (!Trim(line).empty()) insertAt = l.end;
    }
    if (found) {
        // After the last non-empty line of the section, on a line of its own.
        size_t after = text.find('\n', insertAt);
        if (after == std::string::npos) return text + "\r\n" + newLine + "\r\n";
        return text.substr(0, after + 1) + newLine + "\r\n" + text.substr(after + 1);
    }
    std::string out = text;
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += "[" + section + "]\r\n" + newLine + "\r\n";
    return out;
}

}  // namespace os

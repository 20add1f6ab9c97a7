// The install-script language: splitting lines into words, reading numbers, the keyword
// tables and the line reader that every pass over a script shares.
#include "package/Script.h"

#include <limits>

#include "common/Ascii.h"
#include "platform/PlatformTable.h"

namespace package {

void Tokenizer::Split(std::string_view line, std::string_view delimiterSet) {
    tokens.clear();
    size_t begin = line.find_first_not_of(delimiterSet);
    while (begin != std::string_view::npos) {
        size_t end = line.find_first_of(delimiterSet, begin);
        if (end == std::string_view::npos) end = line.size();
        tokens.emplace_back(line.substr(begin, end - begin));
        begin = line.find_first_not_of(delimiterSet, end);
    }
    constexpr size_t kMaxCount = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    tokenCount = static_cast<int32_t>(tokens.size() < kMaxCount ? tokens.size() : kMaxCount);
    nextIndex = 0;
}

std::string Tokenizer::NextToken() {
    if (nextIndex >= tokenCount) return "empty";
    return tokens[static_cast<size_t>(nextIndex++)];
}

int32_t ReadNumber(std::string_view word) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    // Accumulated as a negative number, whose range includes INT32_MIN, and clamped there; a
    // slot number of a few digits never comes near, but a hostile script may.
    constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t value = 0;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        value = value * 10 - (word[i] - '0');
        if (value < -kLimit) value = -kLimit;
    }
    if (negative) return static_cast<int32_t>(value);
    int64_t positive = -value;
    if (positive > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(positive);
}

Keywords::Keywords()
    : commands{{"none", kNone},           {"game", kGame},         {"slot", kSlot},
               {"uninstall", kUninstall}, {"copyfile", kCopyFile}, {"patchfile", kPatchFile},
               {"deletefile", kDeleteFile}, {"textfile", kTextFile}} {
    for (platform::PlatformId id = 1; id < platform::kRowCount; ++id) {
        const platform::PlatformInfo& row = platform::PlatformTable::Row(id);
        platformKeywords.emplace(std::string(row.scriptKeyword), id);
        platformNames.emplace(id, std::string(row.upperName));
    }
}

int Keywords::Command(const std::string& word) const {
    auto it = commands.find(word);
    return it == commands.end() ? kNone : it->second;
}

int Keywords::Platform(const std::string& word) const {
    auto it = platformKeywords.find(word);
    return it == platformKeywords.end() ? 0 : it->second;
}

std::string Keywords::PlatformName(int id) const {
    auto it = platformNames.find(id);
    return it == platformNames.end() ? std::string() : it->second;
}

ScriptLines::ScriptLines(std::string_view text) : text(text.substr(0, text.find('\0'))) {}

bool ScriptLines::Next(std::string& line) {
    while (pos < text.size()) {
        size_t feed = text.find('\n', pos);
        size_t end = feed == std::string_view::npos ? text.size() : feed;
        std::string_view raw = text.substr(pos, end - pos);
        pos = feed == std::string_view::npos ? text.size() : feed + 1;
        if (raw.empty()) continue;
        if (raw.back() == '\r') raw.remove_suffix(1);
        line.assign(raw);
        for (char& c : line) c = common::LowerAscii(c);
        return true;
    }
    return false;
}

}  // namespace package

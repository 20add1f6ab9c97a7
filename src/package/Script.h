// The install-script language: the tokenizer, the keyword tables, number reading and the one
// line reader that every pass over a script uses.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace package {

// Space, apostrophe, tab, apostrophe.
inline constexpr std::string_view kDelimiters = " '\t'";

enum ScriptCommand : int {
    kNone = 0,
    kGame = 1,
    kSlot = 2,
    kUninstall = 3,
    kCopyFile = 4,
    kPatchFile = 5,
    kDeleteFile = 6,
    kTextFile = 7,
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view delimiters = kDelimiters) : delimiters(delimiters) {}

    void Split(std::string_view line, std::string_view delimiterSet);
    void Split(std::string_view line) { Split(line, delimiters); }
    // The next word, or "empty" when the line has no more.
    std::string NextToken();
    bool HasMoreTokens() const { return nextIndex < tokenCount; }
    const std::string& Delimiters() const { return delimiters; }

private:
    std::vector<std::string> tokens;
    std::string delimiters;
    int32_t tokenCount = 0;
    int32_t nextIndex = 0;
};

// A signed decimal number: optional sign, then digits up to the first other byte; a word
// that does not start so reads 0. Values beyond 32 bits saturate.
int32_t ReadNumber(std::string_view word);

// The three keyword tables; a key that is not there reads 0 (or the empty string).
struct Keywords {
    Keywords();
    int Command(const std::string& word) const;
    int Platform(const std::string& word) const;
    std::string PlatformName(int id) const;

    std::map<std::string, int> commands;
    std::map<std::string, int> platformKeywords;
    std::map<int, std::string> platformNames;
};

// The lines of a script, read by the one rule of every pass: split at line feeds, empty lines
// passed over, one trailing carriage return removed, "A" to "Z" lowered. The text ends at its
// first zero byte.
class ScriptLines {
public:
    explicit ScriptLines(std::string_view text);
    // The next prepared line; false after the last one. A line that is empty only after its
    // carriage return was removed is still handed out (it then has no words).
    bool Next(std::string& line);

private:
    std::string_view text;
    size_t pos = 0;
};

}  // namespace package

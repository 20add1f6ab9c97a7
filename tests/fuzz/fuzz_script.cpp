// Every pass reads scripts through the one line reader and the tokenizer: arbitrary bytes must
// come out as lower-cased lines without line feeds and words without delimiters.
#include <cstddef>
#include <cstdint>
#include <string>

#include "package/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text.push_back('\0');
    package::ScriptLines lines(text);
    package::Tokenizer tokenizer;
    package::Keywords keywords;
    std::string line;
    while (lines.Next(line)) {
        for (char c : line) {
            if (c == '\n' || c == '\0' || (c >= 'A' && c <= 'Z')) __builtin_trap();
        }
        tokenizer.Split(line);
        while (tokenizer.HasMoreTokens()) {
            std::string word = tokenizer.NextToken();
            if (word.empty() || word.find_first_of(package::kDelimiters) != std::string::npos) __builtin_trap();
            (void)package::ReadNumber(word);
            (void)keywords.Command(word);
            (void)keywords.Platform(word);
        }
        if (tokenizer.NextToken() != "empty" || tokenizer.NextToken() != "empty") __builtin_trap();
    }
    return 0;
}

// Profile (INI) text with the semantics of the Windows profile functions, for systems that
// have none: section and key names ignore case and surrounding blanks; a value loses its
// surrounding blanks and one pair of enclosing quotes; writing changes only the one line.
#pragma once

#include <optional>
#include <string>

namespace os {

// The value of key in section, or nothing when the section or key is missing.
std::optional<std::string> ProfileLookup(const std::string& text, const std::string& section,
                                         const std::string& key);

// text with key in section set to value: the key's line replaced, or a line appended to the
// section, or the section appended to the text. Lines end with CR LF.
std::string ProfileAssign(const std::string& text, const std::string& section,
                          const std::string& key, const std::string& value);

}  // namespace os

// The parts of a Wine prefix that stand in for the registry and the drive letters on a
// POSIX host, as plain functions over strings: reading a value out of the text of the
// prefix's "system.reg", and splitting a Windows drive path into its drive and the rest.
#pragma once

#include <string>
#include <string_view>

namespace os::posix {

// The string value valueName of key (relative to HKEY_LOCAL_MACHINE, components joined with
// a single "\") in the text of a "system.reg". A key below "Software" is looked for first in
// the view that 32-bit programs see on a 64-bit prefix ("Software\Wow6432Node\..."), then
// as written. Keys and value names match without regard to case. Only string values count;
// escapes are decoded, characters beyond ASCII as UTF-8. False when nothing matches.
bool FindRegistryValue(std::string_view systemReg, std::string_view key,
                       std::string_view valueName, std::string& value);

// "C:\Games\XWA" gives drive 'c' and rest "Games\XWA"; "d:" alone gives 'd' and "". False
// for anything that does not start with a letter, a colon and a separator or the end.
bool SplitDrivePath(std::string_view path, char& drive, std::string& rest);

// folder + "/" + rest, every "\" of rest turned into "/", without doubling a separator.
std::string JoinDrivePath(const std::string& folder, std::string_view rest);

}  // namespace os::posix

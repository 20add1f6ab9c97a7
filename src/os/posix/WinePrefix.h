// The Wine prefix of the user on a POSIX host: where Windows games installed through Wine
// live, what their installers wrote into the registry, and what the drive letters of their
// paths stand for.
#pragma once

#include <string>

namespace os::posix {

// $WINEPREFIX when set, else $HOME/.wine; empty when that is not a folder.
std::string WinePrefixFolder();

// A core path that starts with a drive ("C:\Games\XWA") turned into the host folder of that
// drive in the prefix: the target of dosdevices/x:, or drive_c for a c: without its link.
// Any other path, and every path when there is no prefix or no such drive, comes back as it
// was.
std::string MapDrivePath(const std::string& path);

// The registry of the prefix, "system.reg" (HKEY_LOCAL_MACHINE): the string value of key,
// with a drive path mapped as MapDrivePath does. False when there is no prefix, no such
// value, or when the value as stored or as mapped does not fit bufferSize bytes.
bool ReadPrefixRegistryString(const std::string& key, const std::string& valueName,
                              int bufferSize, std::string& value);

}  // namespace os::posix

// Names derived from a package file name, formed the same way wherever they are needed.
#pragma once

#include <string>

#include "platform/PlatformTable.h"

namespace platform {

// The name up to, not including, its last "."; the whole name when it has none.
inline std::string StemOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// The backup archive of a package: its stem followed by ".backup".
inline std::string BackupNameOf(const std::string& packageName) {
    return StemOf(packageName) + std::string(kBackupExtension);
}

}  // namespace platform

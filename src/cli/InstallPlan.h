// What a prepared install would do, worked out from the package's script and entries with
// the engine's own rules, for "orva check".
#pragma once

#include <string>
#include <vector>

#include "install/Installer.h"

namespace cli {

// One line per action, in the order the install takes them: the command walk's patch, text
// and delete lines, then the copy step's entries. The installer must be prepared (Ready).
std::vector<std::string> DescribeInstall(install::Installer& installer);

}  // namespace cli

// The copy step: every ordinary entry of the archive into the game folder, each game file it
// replaces saved into the backup archive first, and a "DeleteFile" line per copied file.
#pragma once

#include <string>

#include "install/Installer.h"
#include "install/View.h"

namespace install {

void CopyPackageFiles(Installer& installer, View& view, const std::string& gameFolder);

}  // namespace install

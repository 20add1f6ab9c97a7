// Carrying out a prepared install or removal: the command walk, then the copy step, then the
// uninstall script stored as "Install.cfg" and the backup archive closed.
#pragma once

#include "install/Installer.h"
#include "install/View.h"

namespace install {

// False only when no package is open.
bool RunInstall(Installer& installer, View& view);

}  // namespace install

// The command walk of installs with a slot of 1 or more: "patchfile", "deletefile" and
// "textfile" in script order.
#pragma once

#include <string>

#include "install/Installer.h"
#include "install/View.h"

namespace install {

void RunSlotCommands(Installer& installer, View& view, const std::string& gameFolder);

}  // namespace install

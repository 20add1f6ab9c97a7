// The patch handler of the slot-mode command walk: bytes of a game file changed in place, the
// inverse patch saved so that the removal writes the earlier bytes back.
#pragma once

#include <string>

#include "install/Installer.h"

namespace install {

// "patchfile" entry file, with the tokenizer after the command word.
void DoPatchFile(Installer& installer, const std::string& gameFolder);

}  // namespace install

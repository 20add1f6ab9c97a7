// Opening a file or an address through the shell with the verb "open". The window code goes
// through one replaceable function, so that the GUI tests can click links and ask for the
// help file without starting a browser or a help viewer.
#pragma once

#include "ui/WinUi.h"

namespace ui {

using ShellOpenFunction = void (*)(HWND owner, const char* target, int showCommand);

// Hands target to the shell; the outcome is not examined.
void ShellOpen(HWND owner, const char* target, int showCommand);

// Puts replacement in force for ShellOpen and answers the function it replaced.
ShellOpenFunction ReplaceShellOpen(ShellOpenFunction replacement);

}  // namespace ui

#include "ui/ShellOpen.h"

namespace ui {

namespace {

void OpenWithShell(HWND owner, const char* target, int showCommand) {
    ShellExecuteA(owner, "open", target, nullptr, nullptr, showCommand);
}

ShellOpenFunction current = OpenWithShell;

}  // namespace

void ShellOpen(HWND owner, const char* target, int showCommand) {
    current(owner, target, showCommand);
}

ShellOpenFunction ReplaceShellOpen(ShellOpenFunction replacement) {
    ShellOpenFunction previous = current;
    current = replacement ? replacement : OpenWithShell;
    return previous;
}

}  // namespace ui

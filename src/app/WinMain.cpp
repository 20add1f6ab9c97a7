// The program's entry: the process-wide objects, the main window, the message loop.
#include "ui/MainWindow.h"
#include "ui/Program.h"
#include "ui/WinUi.h"

namespace {

// Made before the entry runs and destroyed after it returns.
ui::Program program;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    program.instance = instance;
    // The new-style folder picker of the Directories dialog needs OLE on this thread.
    const HRESULT ole = OleInitialize(nullptr);
    if (ui::StartMainWindow(program)) ui::RunMessageLoop();
    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
}

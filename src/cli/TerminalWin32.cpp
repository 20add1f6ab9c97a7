#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include "cli/Terminal.h"
#include "os/win32/WinHeader.h"

namespace cli {

// _isatty also answers true for the NUL device; only a console has a console mode.
bool StderrIsTerminal() {
    DWORD mode = 0;
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    return err != INVALID_HANDLE_VALUE && err != nullptr && GetConsoleMode(err, &mode) != 0;
}

// Text mode would turn every line feed into CR LF.
void UseBinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace cli

#include <unistd.h>

#include "cli/Terminal.h"

namespace cli {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

// POSIX streams never translate bytes.
void UseBinaryStdout() {}

}  // namespace cli

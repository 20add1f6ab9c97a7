// What the companion needs to know about its console, answered by the system it runs on:
// whether standard error is a terminal (only then it draws a progress line), and a binary
// standard output (a read-me is handed on byte for byte).
#pragma once

namespace cli {

bool StderrIsTerminal();
void UseBinaryStdout();

}  // namespace cli

// orva: the command-line companion of the patcher.
#include "cli/Commands.h"

int main(int argc, char** argv) { return cli::RunProgram(argc, argv); }

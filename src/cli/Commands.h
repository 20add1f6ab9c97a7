// The companion's commands: each with its arguments, its help text and the function that
// carries it out. Every command drives the same engine as the window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/Installer.h"

namespace cli {

// Exit statuses besides the install's result numbers (1 to 10).
inline constexpr int kExitOk = 0;
inline constexpr int kExitNone = 1;       // readme: no read-me; pack, mkpatch: refused or failed
inline constexpr int kExitUsage = 2;
inline constexpr int kExitWrongState = 20;  // install, remove: the package is not in that state

using Arguments = std::vector<std::string>;

struct Command {
    std::string_view name;
    std::string_view arguments;  // as the synopsis shows them
    std::string_view summary;    // one line for the command list
    std::string_view help;       // the rest of "orva help NAME"
    size_t argumentCount;
    int (*run)(const Arguments& args);
};

const std::vector<Command>& Commands();

// The whole program: argv[0] is the program, the rest its arguments.
int RunProgram(int argc, char** argv);

// Error lines of the companion's own, "orva: " and the text.
void ReportError(const std::string& text);
// A failed preparation: the window's message on standard error, and its number as the exit
// status.
int ReportRefusal(const install::Installer& installer, install::InstallResult result);
// A row or tab number 0 to 5 written in plain digits; false for anything else.
bool ParseRow(const std::string& text, int& row);

// The commands, one function each (FolderCommands.cpp, InstallCommands.cpp,
// CheckCommand.cpp, AuthorCommands.cpp).
int RunFolders(const Arguments& args);
int RunSetFolder(const Arguments& args);
int RunList(const Arguments& args);
int RunReadme(const Arguments& args);
int RunActivate(const Arguments& args);
int RunInstallCommand(const Arguments& args);
int RunRemove(const Arguments& args);
int RunCheck(const Arguments& args);
int RunPack(const Arguments& args);
int RunMkpatch(const Arguments& args);

}  // namespace cli

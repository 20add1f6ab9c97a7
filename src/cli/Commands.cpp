// The command table, the help texts and the dispatch from the command line.
#include "cli/Commands.h"

#include "install/Journal.h"
#include "platform/Settings.h"

#include <cstdio>

namespace cli {

namespace {

constexpr std::string_view kExitStatuses =
    "Exit status:\n"
    "  0    done\n"
    "  1-10 activate, install, remove, check: the install's result, as the window\n"
    "       reports it (message on standard error):\n"
    "         1 package not found or not an archive    6 data entry unreadable\n"
    "         2 no usable install.cfg                  7 game file not writable\n"
    "         3 slot file unusable                     8 name outside the game folder\n"
    "         4 slot held by another package           9 backup archive not creatable\n"
    "         5 base package missing                  10 game folder not set\n"
    "  1    readme: no read-me; pack, mkpatch: refused, or the output not written\n"
    "  2    usage error (unknown command, wrong arguments, row or tab not 0 to 5)\n"
    "  20   install, remove: the package is not in the state the command needs;\n"
    "       activate: the package is installed (its list entry is the backup archive)\n"
    "  100  another install or removal (in the window or another orva) is under way\n";

constexpr std::string_view kRows =
    "Rows and tabs: 0 Patches (base packages), 1 TIE Fighter CD, 2 TIE Fighter 95,\n"
    "3 X-wing vs TIE Fighter, 4 Balance of Power, 5 X-wing Alliance.\n";

const std::vector<Command> kCommands = {
    {"folders", "", "print the six folders in force",
     "Prints one line KEY=FOLDER for each row 0 to 5: the settings key and the folder the\n"
     "installer uses (the saved value, else the registry record or the built-in default).\n",
     0, RunFolders},
    {"set-folder", "ROW PATH", "save the folder of a row",
     "Saves PATH as the folder of ROW (0 to 5) in the settings file. An empty PATH clears\n"
     "the saved value, so the default applies again.\n",
     2, RunSetFolder},
    {"list", "TAB", "list the packages of a tab",
     "Prints the rows of tab TAB (0 to 5) as the window lists them, one line each:\n"
     "display name, tab, status (\"Installed\" or \"Ready to install\"), tab, list entry.\n"
     "The list entry is what activate takes: the package file, or its backup archive\n"
     "when the package is installed.\n",
     1, RunList},
    {"activate", "ENTRY", "install or remove, as a double-click does",
     "Does what a double-click on the row with list entry ENTRY does: a package file is\n"
     "installed, a backup archive (NAME.backup) removes its package again. The package\n"
     "file of an installed package is refused (exit 20): installing it again would\n"
     "replace the backup archive that its removal needs.\n"
     "On a terminal the status and a progress bar are shown on standard error.\n",
     1, RunActivate},
    {"install", "NAME", "install a package that is not installed",
     "Installs the package NAME (its file name in the patch folder, \".ovx\" may be left\n"
     "out). Exit 20 when it is already installed.\n",
     1, RunInstallCommand},
    {"remove", "NAME", "remove an installed package",
     "Removes the package NAME by running its backup archive. Exit 20 when it is not\n"
     "installed.\n",
     1, RunRemove},
    {"readme", "ENTRY", "print a package's read-me",
     "Prints the read-me (\"readme.txt\") of the package behind list entry ENTRY, byte for\n"
     "byte, to standard output; for a backup archive that of its package. Exit 1 when\n"
     "there is none.\n",
     1, RunReadme},
    {"check", "PACKAGE", "test a package against the folders, changing nothing",
     "Runs every test of an install of PACKAGE (a file in the patch folder) against the\n"
     "folders in force, without claiming a slot, writing a backup archive or touching a\n"
     "file, and prints what the install would do: the files it would copy (new or\n"
     "replacing), patch (bytes and records), rewrite (line ranges) and delete. The exit\n"
     "status is the result the install would have.\n",
     1, RunCheck},
    {"pack", "FOLDER OUTPUT.ovx", "build a package from a folder",
     "Builds a package from FOLDER, which holds \"install.cfg\" and the package's files;\n"
     "files in sub-folders keep their place (entry names with \"/\"). Refuses names the\n"
     "install would refuse: names that leave the game folder, ordinary files whose name\n"
     "holds a space, tab or apostrophe, and data entries named by a patchfile or\n"
     "textfile line that carry none of the marks .zt .t95 .114 .bop .202 .txt .1 .2 .3\n"
     "(the install would also copy them into the game folder), and script lines that\n"
     "name a missing entry or a file outside the game folder.\n",
     2, RunPack},
    {"mkpatch", "ORIGINAL MODIFIED OUTPUT", "write patch data from two versions of a file",
     "Writes patch data that turns ORIGINAL into MODIFIED, for a patchfile line. Both\n"
     "files must have the same size. Nearby changes share one record; at most 32767\n"
     "records.\n",
     3, RunMkpatch},
};

const Command* Find(std::string_view name) {
    for (const Command& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

std::string Synopsis(const Command& c) {
    std::string line = "orva " + std::string(c.name);
    if (!c.arguments.empty()) line += " " + std::string(c.arguments);
    return line;
}

void ProgramHelp(FILE* out) {
    std::fputs("usage: orva COMMAND [ARGUMENTS]\n"
               "       orva help [COMMAND] | orva COMMAND --help\n\n"
               "The command-line companion of the Orvalan Ship Patcher: the same folders,\n"
               "package list and installs as the window.\n\nCommands:\n",
               out);
    for (const Command& c : kCommands) {
        std::string left = "  " + std::string(c.name) + " " + std::string(c.arguments);
        if (left.size() < 34) left.resize(34, ' ');
        std::fprintf(out, "%s%s\n", left.c_str(), std::string(c.summary).c_str());
    }
    std::fprintf(out, "\n%s\n%s", std::string(kRows).c_str(), std::string(kExitStatuses).c_str());
}

void CommandHelp(const Command& c, FILE* out) {
    std::fprintf(out, "usage: %s\n\n%s\n%s\n%s", Synopsis(c).c_str(), std::string(c.help).c_str(),
                 std::string(kRows).c_str(), std::string(kExitStatuses).c_str());
}

int UsageError(const std::string& text, const Command* c) {
    ReportError(text);
    std::fprintf(stderr, "usage: %s\n", c ? Synopsis(*c).c_str() : "orva COMMAND [ARGUMENTS]");
    std::fputs("Try 'orva --help'.\n", stderr);
    return kExitUsage;
}

bool IsHelpWord(std::string_view word) { return word == "--help" || word == "-h"; }

}  // namespace

const std::vector<Command>& Commands() { return kCommands; }

void ReportError(const std::string& text) { std::fprintf(stderr, "orva: %s\n", text.c_str()); }

int ReportRefusal(const install::Installer& installer, install::InstallResult result) {
    if (result == install::InstallResult::Busy) {
        // The window has no message for it: it never asks while its own install runs.
        ReportError("another install or removal is under way; nothing was done");
    } else {
        std::fprintf(stderr, "%s\n",
                     install::ResultMessage(result, installer.slot, installer.detail).c_str());
    }
    return static_cast<int>(result);
}

bool ParseRow(const std::string& text, int& row) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '5') return false;
    row = text[0] - '0';
    return true;
}

int RunProgram(int argc, char** argv) {
    Arguments args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) return UsageError("no command given", nullptr);
    if (IsHelpWord(args[0])) {
        ProgramHelp(stdout);
        return kExitOk;
    }
    if (args[0] == "help") {
        if (args.size() == 1) {
            ProgramHelp(stdout);
            return kExitOk;
        }
        if (args.size() > 2) return UsageError("help takes one command name", nullptr);
        const Command* c = Find(args[1]);
        if (!c) return UsageError("unknown command '" + args[1] + "'", nullptr);
        CommandHelp(*c, stdout);
        return kExitOk;
    }
    const Command* c = Find(args[0]);
    if (!c) return UsageError("unknown command '" + args[0] + "'", nullptr);
    Arguments rest(args.begin() + 1, args.end());
    if (rest.size() == 1 && IsHelpWord(rest[0])) {
        CommandHelp(*c, stdout);
        return kExitOk;
    }
    if (rest.size() != c->argumentCount) {
        return UsageError(std::string(c->name) + " takes " + std::to_string(c->argumentCount) +
                              " argument" + (c->argumentCount == 1 ? "" : "s"),
                          c);
    }
    // An install or removal that was interrupted (a crash, a power cut) is finished or undone
    // before anything else, and the user is told once.
    {
        platform::Settings settings;
        std::string told = install::RecoverInterrupted(settings);
        if (!told.empty()) ReportError(told);
    }
    return c->run(rest);
}

}  // namespace cli

// The one installer of the process: the package or backup archive being applied, what its
// script says about game and slot, the backup archive being written and the uninstall script
// being collected. Prepare tests everything that can be tested before a game file changes;
// RunInstall (InstallDriver.h) then carries the install or removal out.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "install/InstallResult.h"
#include "install/Journal.h"
#include "install/View.h"
#include "package/ArchiveReader.h"
#include "package/ArchiveWriter.h"
#include "package/Script.h"
#include "platform/Settings.h"

namespace install {

class Installer {
public:
    // writer is the process's one backup-archive writer.
    explicit Installer(package::ArchiveWriter& writer);
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Opens the package (or backup archive) named packageName in the patch folder and tests
    // it; on Ready the slot is claimed (or released) and the backup archive is open.
    InstallResult Prepare(View& view, const std::string& packageName);
    // The end clean-up: closes the package; after a removal deletes the archive just applied.
    // Asked for while an install runs, it is carried out when the install returns.
    void FinishInstall();
    // The clean-up of a failed preparation: reader and writer closed, slot released.
    void AbortInstall();
    // True while RunInstall runs.
    bool Busy() const { return busy; }

    // A preparation that only tests: every check runs, but no slot is claimed or released, no
    // backup archive is made, no banner is written, and the clean-ups release nothing. Lets a
    // package's author see what an install would answer without changing anything.
    bool dryRun = false;

    // Fields the install driver and the file steps use.
    package::ArchiveReader reader;
    platform::Settings settings;
    bool opened = false;
    bool scriptRead = false;
    bool uninstallMode = false;
    int32_t platform = -1;
    int32_t slot = -1;
    std::vector<char> scriptText;  // "install.cfg" and one zero byte; empty when none is held
    package::Keywords keywords;
    package::Tokenizer tokenizer;
    std::string uninstallScript;
    std::string backupPath;
    std::string detail;
    package::ArchiveWriter& writer;

    // Per-install bookkeeping that keeps every removal exact.
    // Game files (lower case, "/" separators) already saved or created by this install: the
    // first state of a file is the one its removal brings back.
    std::set<std::string> touchedTargets;
    // Entry names (lower case) already in the backup archive.
    std::set<std::string> backupEntries;
    // Undo lines of the command walk, in the order of the actions, and the game files they
    // touch (see StoreWalkUndo).
    std::vector<std::string> walkUndo;
    std::vector<std::string> walkUndoTargets;

    // A backup entry name not yet used by this install: name itself, else name + "~2", "~3"...
    // (still carrying name's data-entry marker, so the copy step of a removal leaves it alone).
    std::string ReserveBackupEntry(const std::string& name);
    // True the first time this install meets the game file relName (any case, "\" or "/").
    bool FirstTouch(const std::string& relName);
    // Adds the walk's undo lines to the uninstall script: in action order, or last-first when
    // two of them act on one file, so that a removal undoes overlapping changes in reverse.
    void StoreWalkUndo();

private:
    friend bool RunInstall(Installer& installer, View& view);
    InstallResult RunPreparationPass(const std::string& packageName, const std::string& packagePath);
    InstallResult CheckDataLine(const std::string& gameFolder, std::vector<char>& data,
                                int64_t& size, int64_t& targetSize);
    InstallResult CheckPatchLine(const std::string& gameFolder);
    InstallResult CheckTextLine(const std::string& gameFolder);
    InstallResult CheckTarget(const std::string& name);
    InstallResult CheckOrdinaryEntries();
    InstallResult CheckGameFolder();
    InstallResult BeginOperation(const std::string& packageName, const std::string& patchFolder);
    // Commits the operation (or undoes it) as its journal says, and lets the lock go.
    void EndOperation(bool commit);
    InstallResult Fail(InstallResult result);
    void EndPreparation();
    void ShowBanner(View& view);
    std::string GameFolder() const;

    bool busy = false;
    bool finishRequested = false;
    bool driverRan = false;
    // Slots to claim once every test has passed, and to release when a removal is committed.
    std::vector<std::pair<int, int>> pendingClaims;
    std::vector<std::pair<int, int>> pendingReleases;
    std::vector<std::pair<int, int>> claimed;
    // Folders in which the steps may leave scratch files.
    std::set<std::string> scratchFolders;
    Journal journal;
    bool journalWritten = false;
    std::unique_ptr<os::File> lock;
};

// The commands of the installer's script, read by the one rule of every pass: each Next moves
// to the next line, splits it and answers its command, the tokenizer then standing after the
// command word; false after the last line.
class ScriptWalk {
public:
    explicit ScriptWalk(Installer& installer)
        : installer(installer),
          lines(std::string_view(installer.scriptText.data(), installer.scriptText.size())) {}
    bool Next(int& command) {
        if (!lines.Next(line)) return false;
        installer.tokenizer.Split(line);
        command = installer.keywords.Command(installer.tokenizer.NextToken());
        return true;
    }

private:
    Installer& installer;
    package::ScriptLines lines;
    std::string line;
};

// The game folder of the install under way: the folder of platform 0 to 5, else empty.
std::string GameFolderOf(const Installer& installer);

}  // namespace install

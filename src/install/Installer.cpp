// Preparation of an install or removal: every test that can be made before a game file
// changes, then the operation begun: lock, journal, backup archive with the head of its
// uninstall script, slot claims, and the banner. Slots are claimed only once every test has
// passed, and released by a removal only when it is committed, so that an interruption can
// always bring the slot file back to one of its two states.
#include "install/Installer.h"

#include "common/Ascii.h"
#include "install/DataEntries.h"
#include "install/Journal.h"
#include "install/PatchData.h"
#include "os/Os.h"
#include "package/EntryNames.h"
#include "platform/Names.h"
#include "slots/SlotTable.h"

namespace install {

namespace {

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string TouchKey(const std::string& relName) {
    std::string key = common::ToLowerAscii(relName);
    for (char& c : key) {
        if (c == '\\') c = '/';
    }
    return key;
}

}  // namespace

std::string GameFolderOf(const Installer& installer) {
    if (installer.platform < 0 || installer.platform > 5) return {};
    return installer.settings.GetFolder(installer.platform);
}

Installer::Installer(package::ArchiveWriter& writer) : writer(writer) {}

std::string Installer::GameFolder() const { return GameFolderOf(*this); }

std::string Installer::ReserveBackupEntry(const std::string& name) {
    std::string candidate = name;
    for (int n = 2; !backupEntries.insert(common::ToLowerAscii(candidate)).second; ++n) {
        candidate = name + "~" + std::to_string(n);
    }
    return candidate;
}

bool Installer::FirstTouch(const std::string& relName) {
    return touchedTargets.insert(TouchKey(relName)).second;
}

void Installer::StoreWalkUndo() {
    std::set<std::string> seen;
    bool shared = false;
    for (const std::string& target : walkUndoTargets) {
        if (!seen.insert(TouchKey(target)).second) shared = true;
    }
    if (shared) {
        for (auto it = walkUndo.rbegin(); it != walkUndo.rend(); ++it) uninstallScript += *it;
    } else {
        for (const std::string& line : walkUndo) uninstallScript += line;
    }
    walkUndo.clear();
    walkUndoTargets.clear();
}

void Installer::EndPreparation() {
    reader.Close();
    opened = false;
    scriptRead = false;
}

InstallResult Installer::Fail(InstallResult result) {
    AbortInstall();
    return result;
}

InstallResult Installer::Prepare(View& view, const std::string& packageName) {
    if (busy) return InstallResult::Busy;
    if (opened) FinishInstall();

    uninstallMode = false;
    platform = -1;
    slot = -1;
    uninstallScript.clear();
    backupPath.clear();
    detail.clear();
    scriptText.clear();
    touchedTargets.clear();
    backupEntries = {"install.cfg", "header.bmp"};
    walkUndo.clear();
    walkUndoTargets.clear();
    driverRan = false;
    pendingClaims.clear();
    pendingReleases.clear();
    claimed.clear();
    scratchFolders.clear();
    journal = Journal();

    const std::string patchFolder = settings.GetFolder(platform::kPatchFolder);
    const std::string packagePath = patchFolder + "\\" + packageName;
    opened = reader.Open(packagePath);
    if (!opened) return InstallResult::PatchNotFound;

    int64_t scriptSize = 0;
    scriptRead = reader.ExtractToMemory("install.cfg", scriptText, scriptSize, true);
    if (!scriptRead) scriptText.clear();

    if (opened && scriptRead) {
        InstallResult pass = RunPreparationPass(packageName, packagePath);
        if (pass != InstallResult::Ready) return pass;
    }
    if (slot == -1 && platform == -1) return Fail(InstallResult::ScriptUnreadable);

    if (InstallResult folder = CheckGameFolder(); folder != InstallResult::Ready) return folder;
    if (InstallResult names = CheckOrdinaryEntries(); names != InstallResult::Ready) return names;

    if (!uninstallMode) backupPath = patchFolder + "\\" + platform::BackupNameOf(packageName);
    if (dryRun) {
        if (!uninstallMode && !os::Current().IsFolder(patchFolder)) {
            detail = backupPath;
            return Fail(InstallResult::BackupNotWritable);
        }
        return InstallResult::Ready;
    }
    if (auto r = BeginOperation(packageName, patchFolder); r != InstallResult::Ready) return r;
    if (!uninstallMode) {
        uninstallScript += "Game " + keywords.PlatformName(platform) + "\r\n\r\n";
        uninstallScript += "Uninstall 1\r\n\r\n";
        // Every slot from 0 up gets its line: without it the removal could not release the
        // slot, and would take the slotless road with its platform reset.
        if (slot >= 0) uninstallScript += "Slot " + std::to_string(slot) + "\r\n\r\n";
    }

    if (!dryRun) ShowBanner(view);
    return InstallResult::Ready;
}

InstallResult Installer::RunPreparationPass(const std::string& packageName,
                                            const std::string& packagePath) {
    slots::SlotTable slotTable(settings);
    ScriptWalk walk(*this);
    for (int command; walk.Next(command);) {
        switch (command) {
            case package::kGame:
                platform = keywords.Platform(tokenizer.NextToken());
                break;
            case package::kUninstall:
                uninstallMode = package::ReadNumber(tokenizer.NextToken()) != 0;
                backupPath = packagePath;
                break;
            case package::kSlot: {
                slot = package::ReadNumber(tokenizer.NextToken());
                if (slot < 0) break;
                std::string marker = GameFolder() + std::string(platform::kBaseMarker);
                if (!os::Current().Exists(marker)) {
                    EndPreparation();
                    return InstallResult::BaseMissing;
                }
                if (uninstallMode) {
                    // Released when the removal is committed; a slot file that cannot be read
                    // now could not be released then.
                    auto slotFile = os::Current().Open(slotTable.PathOf(platform), os::OpenMode::Read);
                    if (!slotFile) {
                        EndPreparation();
                        return InstallResult::SlotDataMissing;
                    }
                    pendingReleases.emplace_back(platform, slot);
                } else {
                    std::string owner;
                    bool ours = std::find(pendingClaims.begin(), pendingClaims.end(),
                                          std::make_pair(platform, slot)) != pendingClaims.end();
                    if (ours) owner = packageName;
                    if (ours || slotTable.FindOwner(platform, slot, owner)) {
                        detail = owner;
                        EndPreparation();
                        return InstallResult::SlotInUse;
                    }
                    if (!platform::PlatformTable::IsGame(platform)) {
                        EndPreparation();
                        return InstallResult::SlotDataMissing;
                    }
                    // Claimed once every test has passed.
                    pendingClaims.emplace_back(platform, slot);
                }
                break;
            }
            case package::kPatchFile:
                if (auto r = CheckPatchLine(GameFolder()); r != InstallResult::Ready) return r;
                break;
            case package::kDeleteFile:
                if (auto r = CheckTarget(tokenizer.NextToken()); r != InstallResult::Ready) return r;
                break;
            case package::kTextFile:
                if (auto r = CheckTextLine(GameFolder()); r != InstallResult::Ready) return r;
                break;
            default:
                break;
        }
    }
    return InstallResult::Ready;
}

// Game files are named relative to the game folder; without one (a game whose folder was
// never chosen, a script without "game" line) they would be looked for at the root of the
// drive or in the working directory, so nothing that touches game files may run.
InstallResult Installer::CheckGameFolder() {
    std::string folder = GameFolder();
    if (!folder.empty() && (!os::Current().Exists(folder) || os::Current().IsFolder(folder))) {
        return InstallResult::Ready;
    }
    return Fail(InstallResult::GameFolderMissing);
}

InstallResult Installer::CheckTarget(const std::string& name) {
    if (auto r = CheckGameFolder(); r != InstallResult::Ready) return r;
    if (package::StaysInside(name)) {
        scratchFolders.insert(FolderOf(GameFolder() + "\\" + name));
        return InstallResult::Ready;
    }
    detail = name;
    return Fail(InstallResult::UnsafeName);
}

// The two words of a "patchfile" or "textfile" line: the entry must be readable from the
// archive and the target must stay inside the game folder and open for update.
InstallResult Installer::CheckDataLine(const std::string& gameFolder, std::vector<char>& data,
                                       int64_t& size, int64_t& targetSize) {
    if (auto r = CheckGameFolder(); r != InstallResult::Ready) return r;
    std::string entry = tokenizer.NextToken();
    if (!reader.ExtractToMemory(entry, data, size, false)) {
        detail = entry;
        return Fail(InstallResult::PatchEntryUnreadable);
    }
    std::string file = tokenizer.NextToken();
    if (auto r = CheckTarget(file); r != InstallResult::Ready) return r;
    std::string target = gameFolder + "\\" + file;
    auto handle = os::Current().Open(target, os::OpenMode::Update);
    if (!handle) {
        detail = target;
        return Fail(InstallResult::TargetNotWritable);
    }
    targetSize = handle->Size();
    handle->Close();
    detail = entry;  // named by a refusal of the data itself
    return InstallResult::Ready;
}

InstallResult Installer::CheckPatchLine(const std::string& gameFolder) {
    std::vector<char> data;
    int64_t size = 0, targetSize = 0;
    if (auto r = CheckDataLine(gameFolder, data, size, targetSize); r != InstallResult::Ready) return r;
    // Data that runs past its own end, or records beyond the end of the file, could not be
    // applied or undone exactly.
    if (!PatchFits(data.data(), size, targetSize)) return Fail(InstallResult::PatchEntryUnreadable);
    detail.clear();
    return InstallResult::Ready;
}

InstallResult Installer::CheckTextLine(const std::string& gameFolder) {
    std::vector<char> data;
    int64_t size = 0, targetSize = 0;
    InstallResult r = CheckDataLine(gameFolder, data, size, targetSize);
    if (r == InstallResult::Ready) detail.clear();
    return r;
}

InstallResult Installer::CheckOrdinaryEntries() {
    for (int32_t i = 0; i < reader.EntryCount(); ++i) {
        package::EntryInfo info;
        if (!reader.GetEntryInfo(i, info)) continue;
        if (info.usable && IsDataEntry(info, uninstallMode)) continue;
        bool folder = (info.attributes & package::kFolderAttribute) != 0;
        std::string name = info.name;
        while (folder && !name.empty() && (name.back() == '/' || name.back() == '\\')) name.pop_back();
        // A file whose name is not one script word could be copied but never removed again:
        // its "DeleteFile" line would read back as other names.
        if (!info.usable || !package::StaysInside(name) || (!folder && !IsOneScriptWord(name))) {
            detail = info.name;
            return Fail(InstallResult::UnsafeName);
        }
        scratchFolders.insert(FolderOf(GameFolder() + "\\" + name));
    }
    return InstallResult::Ready;
}

void Installer::ShowBanner(View& view) {
    std::vector<char> bitmap;
    int64_t size = 0;
    if (!reader.ExtractToMemory("header.bmp", bitmap, size, false)) return;
    if (!uninstallMode) writer.AddMemory("header.bmp", bitmap.data(), size);
    // The picture is handed to the view as a file in the settings folder, the one folder
    // of the program's own, and removed again whether or not it could be shown.
    const std::string& folder = settings.SettingsFolder();
    if (!os::EnsureFolder(folder)) return;
    std::string path = folder + "\\header.bmp";
    if (os::WriteWholeFile(path, std::string(bitmap.data(), static_cast<size_t>(size)))) {
        view.ShowBanner(path);
    }
    os::Current().RemoveFile(path);
}

InstallResult Installer::BeginOperation(const std::string& packageName, const std::string& patchFolder) {
    // One operation at a time, also across processes (the window and the command line).
    if (!os::EnsureFolder(settings.SettingsFolder())) {
        detail = JournalPath(settings);
        return Fail(InstallResult::BackupNotWritable);
    }
    lock = os::OpenExclusive(LockPath(settings));
    if (!lock) {
        EndPreparation();
        return InstallResult::Busy;
    }
    journal.removal = uninstallMode;
    journal.package = packageName;
    journal.backupPath = backupPath;
    if (!uninstallMode) {
        journal.backupScratch = patchFolder + "\\" + os::kScratchPrefix + "-" +
                                platform::BackupNameOf(packageName) + ".new";
    }
    scratchFolders.insert(GameFolder());
    journal.folders.assign(scratchFolders.begin(), scratchFolders.end());
    journal.claims = pendingClaims;
    journal.releases = pendingReleases;
    journal.resetGame = uninstallMode && slot < 0 && platform::PlatformTable::IsGame(platform) ? platform : 0;
    if (!WriteJournal(settings, journal)) {
        detail = JournalPath(settings);
        return Fail(InstallResult::BackupNotWritable);
    }
    journalWritten = true;
    if (!uninstallMode) {
        // An archive of that name already holds what an earlier install saved (the list never
        // offers such a package, but a caller could); writing over it would lose it for good.
        if (os::Current().Exists(backupPath)) {
            detail = backupPath;
            return Fail(InstallResult::BackupNotWritable);
        }
        // Without a backup archive nothing that the install replaces could be brought back,
        // so an install that cannot write one does not start. It is written under a scratch
        // name and takes its own name only when it is complete.
        if (!writer.Create(journal.backupScratch)) {
            detail = backupPath;
            return Fail(InstallResult::BackupNotWritable);
        }
    }
    slots::SlotTable slotTable(settings);
    for (const auto& [game, number] : pendingClaims) {
        if (!slotTable.Claim(game, number, packageName)) return Fail(InstallResult::SlotDataMissing);
        claimed.emplace_back(game, number);
    }
    return InstallResult::Ready;
}

void Installer::EndOperation(bool commit) {
    if (journalWritten) {
        if (commit) {
            Commit(settings, journal);  // what it cannot finish now, the next start finishes
        } else {
            Undo(settings, journal);
        }
    }
    journalWritten = false;
    lock.reset();
}

void Installer::FinishInstall() {
    if (dryRun) {
        AbortInstall();
        return;
    }
    if (busy) {
        finishRequested = true;
        return;
    }
    if (opened && !driverRan) {
        // Prepared but never carried out: nothing changed, so nothing is kept.
        AbortInstall();
        return;
    }
    // The driver committed or undid the operation; only the package is left to close.
    reader.Close();
    opened = false;
    scriptRead = false;
}

void Installer::AbortInstall() {
    reader.Close();
    opened = false;
    scriptRead = false;
    if (dryRun) return;
    writer.Close();
    EndOperation(false);
}

}  // namespace install

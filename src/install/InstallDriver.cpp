#include "install/InstallDriver.h"

#include "install/CopyStep.h"
#include "install/Journal.h"
#include "install/SlotCommandWalk.h"
#include "install/StagingOs.h"
#include "slots/SlotlessCommandWalk.h"

namespace install {

bool RunInstall(Installer& installer, View& view) {
    if (!installer.opened) return false;
    installer.busy = true;
    installer.driverRan = true;

    const std::string gameFolder = GameFolderOf(installer);
    std::vector<StagedChange> changes;
    bool staged = true;
    {
        // The steps run as they always do, but every change of a game file is staged beside
        // it; what each step saves is what the steps before it left.
        StagingOs staging(os::Current(), gameFolder);
        os::OsOverride useStaging(staging);
        if (installer.scriptRead) {
            view.SetStatus(kStatusPatching);
            if (installer.slot > 0) {
                RunSlotCommands(installer, view, gameFolder);
            } else {
                slots::RunSlotlessCommands(installer, view, gameFolder);
            }
        }
        CopyPackageFiles(installer, view, gameFolder);
        if (!installer.uninstallMode) {
            const std::string& script = installer.uninstallScript;
            installer.writer.AddMemory("Install.cfg", script.data(), static_cast<int64_t>(script.size()));
            // A backup archive that could not be written completely undoes the whole install.
            staged = installer.writer.Close();
        }
        staged = staged && staging.FlushAll();
        changes = staging.Changes();
        if (!staged) staging.Discard();
    }

    // The backup archive is complete and flushed, every change is staged: from the moment the
    // journal says so, an interruption is finished at the next start instead of undone.
    if (staged) {
        installer.journal.stage = Journal::Stage::Committing;
        installer.journal.changes = changes;
        staged = WriteJournal(installer.settings, installer.journal);
        if (!staged) {
            for (const StagedChange& c : changes) {
                if (!c.scratch.empty()) os::Current().RemoveFile(c.scratch);
            }
        }
    }
    // A removal deletes the archive it applies, which must be closed for that.
    if (staged && installer.uninstallMode) installer.reader.Close();
    installer.EndOperation(staged);

    view.SetProgress(0);
    view.SetStatus(kStatusIdle);

    installer.busy = false;
    if (installer.finishRequested) {
        installer.finishRequested = false;
        installer.FinishInstall();
    }
    return true;
}

}  // namespace install

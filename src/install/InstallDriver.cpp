#include "install/InstallDriver.h"

#include "install/CopyStep.h"
#include "install/SlotCommandWalk.h"
#include "slots/SlotlessCommandWalk.h"

namespace install {

bool RunInstall(Installer& installer, View& view) {
    if (!installer.opened) return false;
    installer.busy = true;
    installer.driverRan = true;

    const std::string gameFolder = GameFolderOf(installer);
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
        installer.writer.Close();
    }
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

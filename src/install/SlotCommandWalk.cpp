#include "install/SlotCommandWalk.h"

#include "install/PatchStep.h"
#include "install/TextStep.h"

namespace install {

void RunSlotCommands(Installer& installer, View& view, const std::string& gameFolder) {
    install::ScriptWalk walk(installer);
    for (int command; walk.Next(command);) {
        bool tick = false;
        switch (command) {
            case package::kPatchFile:
                DoPatchFile(installer, gameFolder);
                break;
            case package::kDeleteFile:
                DoDeleteFile(installer, view, gameFolder);
                tick = true;
                break;
            case package::kTextFile:
                tick = DoTextFile(installer, gameFolder);
                break;
            default:
                break;
        }
        if (tick) {
            ProgressTick(view);
            view.Pump();
        }
    }
    installer.StoreWalkUndo();
}

}  // namespace install

#include "install/SlotCommandWalk.h"

#include "install/PatchStep.h"
#include "install/TextStep.h"

namespace install {

void RunSlotCommands(Installer& installer, View& view, const std::string& gameFolder) {
    package::ScriptLines lines(std::string_view(installer.scriptText.data(), installer.scriptText.size()));
    std::string line;
    while (lines.Next(line)) {
        installer.tokenizer.Split(line);
        bool tick = false;
        switch (installer.keywords.Command(installer.tokenizer.NextToken())) {
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

#include "install/PatchStep.h"

#include "install/PatchData.h"
#include "package/EntryNames.h"

namespace install {

void DoPatchFile(Installer& installer, const std::string& gameFolder) {
    const std::string entry = installer.tokenizer.NextToken();
    const std::string file = installer.tokenizer.NextToken();
    std::vector<char> data;
    int64_t size = 0;
    if (!package::StaysInside(file) || !installer.reader.ExtractToMemory(entry, data, size, false)) {
        return;
    }
    PatchApplication patch;
    if (!patch.Load(gameFolder + "\\" + file, data.data(), size)) return;

    if (!installer.uninstallMode) {
        // The inverse is stored before a byte changes; a patch whose inverse could not be
        // stored is not applied.
        std::string name = installer.ReserveBackupEntry(entry);
        const std::vector<char>& inverse = patch.Inverse();
        if (!installer.writer.AddMemory(name, inverse.data(), static_cast<int64_t>(inverse.size()))) {
            return;
        }
        installer.walkUndo.push_back("PatchFile " + name + " " + file + "\r\n");
        installer.walkUndoTargets.push_back(file);
    }
    patch.Write();
}

}  // namespace install

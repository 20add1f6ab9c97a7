#include "install/CopyStep.h"

#include "install/DataEntries.h"
#include "os/Os.h"
#include "package/EntryNames.h"

namespace install {

void CopyPackageFiles(Installer& installer, View& view, const std::string& gameFolder) {
    view.SetProgress(0);
    view.SetStatus(kStatusCopying);
    package::ArchiveReader& reader = installer.reader;
    const int32_t count = reader.EntryCount();
    reader.SetExtractFolder(gameFolder);
    os::Os& sys = os::Current();

    for (int32_t i = 0; i < count; ++i) {
        package::EntryInfo info;
        if (reader.GetEntryInfo(i, info) && info.usable &&
            !IsDataEntry(info, installer.uninstallMode)) {
            const bool folder = (info.attributes & package::kFolderAttribute) != 0;
            const std::string target = gameFolder + "\\" + info.name;
            bool copy = true;
            // The first state of a game file is the one its removal brings back: a file that
            // an earlier entry (in another case) or a whole-file save already covers is not
            // saved again. A file whose saved copy could not be stored is not replaced.
            if (!installer.uninstallMode && !folder && installer.FirstTouch(info.name) &&
                sys.Exists(target) && !sys.IsFolder(target)) {
                copy = installer.writer.AddFile(target, info.name);
                if (copy) installer.backupEntries.insert(info.name);
            }
            if (copy) {
                reader.ExtractEntry(i);
                if (!folder) installer.uninstallScript += "DeleteFile " + info.name + "\r\n";
            }
        }
        view.SetProgress(static_cast<int>(static_cast<double>(i) * 100.0 / count));
        view.Pump();
    }
}

}  // namespace install

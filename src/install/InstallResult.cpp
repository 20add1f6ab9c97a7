#include "install/InstallResult.h"

#include "os/Os.h"

namespace install {

std::string ResultMessage(InstallResult result, int32_t slot, const std::string& detail) {
    switch (result) {
        case InstallResult::PatchNotFound: return "Can't find patch to open!";
        case InstallResult::ScriptUnreadable: return "Can't read from patch!";
        case InstallResult::SlotDataMissing: return "Can't find slot data for this platform!";
        case InstallResult::SlotInUse:
            return "Slot " + std::to_string(slot) + " is already in use by patch " + detail +
                   "\nPlease uninstall that patch before continuing!";
        case InstallResult::BaseMissing:
            return "Can't find back.ov!\nMake sure ORVA for this platform is installed first!";
        case InstallResult::PatchEntryUnreadable: return "Can't open patch " + detail + " for reading!";
        case InstallResult::TargetNotWritable:
            return "Can't open file " + os::Current().DisplayPath(detail) + " for writing!";
        case InstallResult::UnsafeName:
            return "Patch refers to a file outside the game folder: " + detail;
        case InstallResult::BackupNotWritable:
            return "Can't create backup " + os::Current().DisplayPath(detail) + "!";
        case InstallResult::GameFolderMissing:
            return "Can't find the game folder for this platform!\nPlease select directories first!";
        case InstallResult::Ready:
        case InstallResult::Busy:
            break;
    }
    return {};
}

}  // namespace install

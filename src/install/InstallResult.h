// The answer of a preparation, and the words every front end shows for it.
#pragma once

#include <cstdint>
#include <string>

namespace install {

enum class InstallResult : int {
    Ready = 0,
    PatchNotFound = 1,
    ScriptUnreadable = 2,
    SlotDataMissing = 3,
    SlotInUse = 4,
    BaseMissing = 5,
    PatchEntryUnreadable = 6,
    TargetNotWritable = 7,
    UnsafeName = 8,
    BackupNotWritable = 9,
    // The game's folder is not set, or names a file: its files would land elsewhere.
    GameFolderMissing = 10,
    // An install is running; the request was not carried out. Front ends show nothing.
    Busy = 100,
};

// The message for a failed preparation ("\n" separates lines); empty for Ready, Busy and any
// value without a message. slot and detail are the installer's fields of that preparation.
std::string ResultMessage(InstallResult result, int32_t slot, const std::string& detail);

}  // namespace install

// The command walk of installs without a slot of 1 or more (base packages above all): before
// a game file is patched, the whole file is saved into the backup archive by a worker thread
// while the window keeps its progress bar moving. (A removal through this walk ends with the
// platform reset, which the installer carries out when it commits the removal.)
#pragma once

#include <cstdint>
#include <string>

#include "install/Installer.h"
#include "install/View.h"

namespace slots {

// One request from the window thread to the worker. The worker reads the two names and sets
// `added`; the window thread reads it only after the worker has ended.
struct BackupJob {
    std::string sourcePath;  // game folder + "\" + target
    std::string entryName;   // "\" + target
    bool save = true;        // false when this install already saved the file
    bool added = false;
    package::ArchiveWriter* writer = nullptr;
};

void BackupWorker(void* job);

// Writes the records of patch data into the file without keeping what they overwrite.
bool WritePatchRecords(const std::string& path, const char* data, int64_t size);

void RunSlotlessCommands(install::Installer& installer, install::View& view,
                         const std::string& gameFolder);

// A progress cycle lasts at least this long.
constexpr uint32_t kCycleMilliseconds = 100;

}  // namespace slots

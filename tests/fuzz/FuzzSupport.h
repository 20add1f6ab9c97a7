// What the fuzz targets share: an Os that aborts on any write outside the folders a run may
// change, with a clock that moves only when the engine sleeps, and a quiet view.
#pragma once

#include <string>
#include <vector>

#include "install/View.h"
#include "os/ForwardingOs.h"

namespace fuzzing {

// The absolute, "/"-separated form of a path with "." and ".." taken out, as the file system
// would see it.
std::string Normalized(const std::string& path);

class GuardOs : public os::ForwardingOs {
public:
    explicit GuardOs(os::Os& target) : ForwardingOs(target) {}

    // Folders (and everything below them) that may be written.
    std::vector<std::string> allowed;
    std::string appData;
    std::string documents;

    std::string AppDataFolder() override { return appData; }
    std::string DocumentsFolder() override { return documents; }
    bool ReadMachineRegistryString(const std::string&, const std::string&, int, std::string&) override {
        return false;
    }
    std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool MoveReplace(const std::string& from, const std::string& to) override;
    bool SetModifiedTime(const std::string& path, const os::FileTime& time) override;
    bool WriteProfileString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value) override;
    uint32_t TickCount() override { return now; }
    void Sleep(uint32_t milliseconds) override { now += milliseconds; }

private:
    void Check(const std::string& path, const char* what);
    uint32_t now = 0;
};

class QuietView : public install::View {
public:
    void SetStatus(const std::string&) override {}
    int GetProgress() override { return position; }
    void SetProgress(int p) override {
        if (p < 0 || p > 99) __builtin_trap();  // the bar's range
        position = p;
    }
    void Pump() override {}
    bool ShowBanner(const std::string&) override { return true; }

private:
    int position = 0;
};

// A folder for one fuzz target, made once per process below the temporary folder.
const std::string& ScratchFolder();

// Removes everything below folder (host path) and makes it again, empty.
void EmptyFolder(const std::string& folder);

}  // namespace fuzzing

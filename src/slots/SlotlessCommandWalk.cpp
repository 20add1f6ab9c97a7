#include "slots/SlotlessCommandWalk.h"

#include <memory>

#include "install/PatchData.h"
#include "install/TextStep.h"
#include "os/Os.h"
#include "package/EntryNames.h"
#include "slots/SlotTable.h"

namespace slots {

namespace {

// Cycles of at least kCycleMilliseconds, one progress tick and one pump each, until the
// worker has ended.
void WaitWithProgress(install::View& view, os::Thread* worker) {
    os::Os& sys = os::Current();
    for (;;) {
        uint32_t start = sys.TickCount();
        install::ProgressTick(view);
        view.Pump();
        bool ended = sys.ThreadEnded(worker);
        if (ended) sys.CloseThread(worker);
        for (uint32_t spent = sys.TickCount() - start; spent < kCycleMilliseconds;
             spent = sys.TickCount() - start) {
            sys.Sleep(kCycleMilliseconds - spent);
        }
        if (ended) return;
    }
}

void PatchLine(install::Installer& installer, install::View& view, const std::string& gameFolder) {
    const std::string entry = installer.tokenizer.NextToken();
    const std::string target = installer.tokenizer.NextToken();
    std::vector<char> data;
    int64_t size = 0;
    if (!package::StaysInside(target) || !installer.reader.ExtractToMemory(entry, data, size, false)) {
        return;
    }
    auto job = std::make_unique<BackupJob>();
    job->sourcePath = gameFolder + "\\" + target;
    job->entryName = "\\" + target;
    job->writer = &installer.writer;
    // Only the first state of a file is saved: a second line on the same target would
    // otherwise store a copy that already holds the first patch, and the removal would put
    // that copy back last.
    job->save = installer.uninstallMode || installer.FirstTouch(target);
    const bool existed = os::Current().Exists(job->sourcePath);

    os::Thread* worker = os::Current().StartThread(BackupWorker, job.get());
    if (worker) {
        WaitWithProgress(view, worker);
    } else {
        BackupWorker(job.get());  // no thread to be had: save it here instead
        install::ProgressTick(view);
        view.Pump();
    }
    // In an install, a file that existed but could not be saved is not patched.
    if (!installer.uninstallMode && job->save && existed && !job->added) return;
    if (job->added) installer.backupEntries.insert("/" + target);
    WritePatchRecords(job->sourcePath, data.data(), size);
}

}  // namespace

void BackupWorker(void* argument) {
    auto* job = static_cast<BackupJob*>(argument);
    const std::string source = job->sourcePath;
    const std::string entry = job->entryName;
    if (job->save) job->added = job->writer->AddFile(source, entry);
}

bool WritePatchRecords(const std::string& path, const char* data, int64_t size) {
    install::PatchApplication patch;
    return patch.Load(path, data, size) && patch.Write();
}

void RunSlotlessCommands(install::Installer& installer, install::View& view,
                         const std::string& gameFolder) {
    install::ScriptWalk walk(installer);
    for (int command; walk.Next(command);) {
        switch (command) {
            case package::kPatchFile:
                PatchLine(installer, view, gameFolder);
                break;
            case package::kDeleteFile:
                view.SetStatus(install::kStatusDeleting);
                install::DeleteGameFile(gameFolder, installer.tokenizer.NextToken());
                install::ProgressTick(view);
                view.Pump();
                break;
            default:
                break;
        }
    }
    // The platform reset that ends the removal of a package without slot is carried out when
    // that removal is committed (see the installer's journal).
}

}  // namespace slots

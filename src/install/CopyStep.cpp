#include "install/CopyStep.h"

#include <vector>

#include "install/DataEntries.h"
#include "os/Os.h"
#include "package/EntryNames.h"

namespace install {

namespace {

// One game file to be saved into the backup archive before its entry replaces it.
struct SaveJob {
    package::ArchiveWriter* writer = nullptr;
    std::string source;
    std::string entryName;
    bool saved = false;
};

void RunSaveJob(void* argument) {
    auto* job = static_cast<SaveJob*>(argument);
    job->saved = job->writer->AddFile(job->source, job->entryName);
}

// Saves run one at a time on a thread of their own, so that the next file is compressed while
// the entries before it are extracted; an entry is extracted only after its own file is saved.
class SaveQueue {
public:
    ~SaveQueue() { Wait(); }
    void Start(SaveJob& job) {
        Wait();
        running = &job;
        thread = os::Current().StartThread(RunSaveJob, &job);
        if (!thread) RunSaveJob(&job);  // no thread to be had: save it here
    }
    void Wait() {
        if (thread) os::Current().CloseThread(thread);
        thread = nullptr;
        running = nullptr;
    }
    bool Holds(const SaveJob& job) const { return running == &job; }

private:
    os::Thread* thread = nullptr;
    SaveJob* running = nullptr;
};

}  // namespace

void CopyPackageFiles(Installer& installer, View& view, const std::string& gameFolder) {
    view.SetProgress(0);
    view.SetStatus(kStatusCopying);
    package::ArchiveReader& reader = installer.reader;
    const int32_t count = reader.EntryCount();
    reader.SetExtractFolder(gameFolder);
    os::Os& sys = os::Current();

    // What each entry does, decided in archive order: the first state of a game file is the
    // one its removal brings back, so a file that an earlier entry (in another case) or a
    // whole-file save already covers is not saved again.
    struct Plan {
        bool copy = false;
        bool folder = false;
        bool save = false;
        package::EntryInfo info;
    };
    std::vector<Plan> plans(static_cast<size_t>(count > 0 ? count : 0));
    std::vector<SaveJob> jobs(plans.size());
    for (int32_t i = 0; i < count; ++i) {
        Plan& p = plans[static_cast<size_t>(i)];
        if (!reader.GetEntryInfo(i, p.info) || !p.info.usable || IsDataEntry(p.info, installer.uninstallMode)) continue;
        p.copy = true;
        p.folder = (p.info.attributes & package::kFolderAttribute) != 0;
        const std::string target = gameFolder + "\\" + p.info.name;
        p.save = !installer.uninstallMode && !p.folder && installer.FirstTouch(p.info.name) &&
                 sys.Exists(target) && !sys.IsFolder(target);
        jobs[static_cast<size_t>(i)] = {&installer.writer, target, p.info.name, false};
    }
    auto nextSave = [&](size_t from) {
        while (from < plans.size() && !plans[from].save) ++from;
        return from;
    };

    SaveQueue queue;
    size_t pending = nextSave(0);
    if (pending < plans.size()) queue.Start(jobs[pending]);
    for (size_t i = 0; i < plans.size(); ++i) {
        Plan& p = plans[i];
        bool copy = p.copy;
        if (p.save) {
            if (queue.Holds(jobs[i])) queue.Wait();
            // A file whose saved copy could not be stored is not replaced.
            copy = jobs[i].saved;
            if (copy) installer.backupEntries.insert(p.info.name);
            pending = nextSave(i + 1);
            if (pending < plans.size()) queue.Start(jobs[pending]);
        }
        if (copy) {
            reader.ExtractEntry(static_cast<int32_t>(i));
            if (!p.folder) installer.uninstallScript += "DeleteFile " + p.info.name + "\r\n";
        }
        view.SetProgress(static_cast<int>(static_cast<double>(i) * 100.0 / count));
        view.Pump();
    }
}

}  // namespace install

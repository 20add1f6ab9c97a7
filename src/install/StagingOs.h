// Nothing in the game folder changes until the backup archive is complete. While the steps run,
// this Os stands in front of the real one: every write to a game file goes to a scratch file
// beside it ("~osp..."), deletions are only noted, and reads see the staged state, so each
// step saves exactly what the steps before it left. Commit then moves the scratch files over
// their targets, one rename each, after the backup archive and the journal are on disk.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "os/ForwardingOs.h"

namespace install {

// The final state of one game file: replaced by a scratch file, or deleted.
struct StagedChange {
    std::string target;
    std::string scratch;  // empty: the target is deleted
};

// Applies changes to the real file system; a scratch file that is gone was moved already, so
// a commit can be run again after an interruption. False when a change could not be made.
bool ApplyChanges(const std::vector<StagedChange>& changes);

class StagingOs : public os::ForwardingOs {
public:
    StagingOs(os::Os& target, const std::string& gameFolder);

    // In the order in which the targets were first changed.
    std::vector<StagedChange> Changes() const;
    // A write to a scratch file failed: what is staged cannot be trusted.
    bool Failed() const;
    // Puts every staged file on the disk: before the journal may say that the operation commits,
    // so that after a power cut no rename brings in a file whose bytes never got there. Done
    // once at the end, the disk has meanwhile written most of it.
    bool FlushAll();
    // Deletes every scratch file the steps made.
    void Discard();

    std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override;
    bool RemoveFile(const std::string& path) override;
    bool MoveReplace(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
    bool SetModifiedTime(const std::string& path, const os::FileTime& time) override;
    bool GetModifiedTime(const std::string& path, os::FileTime& time) override;

    void NoteFailure();

private:
    struct Staged {
        std::string target;
        std::string scratch;  // empty when deleted
    };
    bool Virtual(const std::string& path) const;
    std::string Key(const std::string& path) const;
    std::string NewScratch(const std::string& path);
    std::unique_ptr<os::File> Track(std::unique_ptr<os::File> file);
    // The staged entry of a game file, or null; callers hold the mutex.
    Staged* Find(const std::string& path);
    void Stage(const std::string& path, const std::string& scratch);

    std::string gamePrefix;  // lower case, "/" separators, ends with "/"
    mutable std::mutex mutex;
    std::map<std::string, Staged> staged;
    std::vector<std::string> order;
    std::set<std::string> scratchFiles;
    unsigned counter = 0;
    bool failed = false;
};

}  // namespace install

#include "install/StagingOs.h"

#include <algorithm>

#include "common/Ascii.h"

namespace install {

namespace {

std::string Normal(const std::string& path) {
    std::string n = common::ToLowerAscii(path);
    std::replace(n.begin(), n.end(), '\\', '/');
    return n;
}

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// Notes a failed write, flush or close of a scratch file.
class TrackedFile final : public os::File {
public:
    TrackedFile(std::unique_ptr<os::File> file, StagingOs& owner) : file(std::move(file)), owner(owner) {}
    int64_t Read(void* buffer, int64_t size) override { return file->Read(buffer, size); }
    bool Write(const void* data, int64_t size) override { return Note(file->Write(data, size)); }
    bool Seek(int64_t offset) override { return file->Seek(offset); }
    int64_t Tell() override { return file->Tell(); }
    int64_t Size() override { return file->Size(); }
    bool Flush() override { return Note(file->Flush()); }
    void StartFlush() override { file->StartFlush(); }
    // The disk starts on a staged file as soon as it is complete; FlushAll waits for it later.
    bool Close() override {
        file->StartFlush();
        return Note(file->Close());
    }

private:
    bool Note(bool ok) {
        if (!ok) owner.NoteFailure();
        return ok;
    }
    std::unique_ptr<os::File> file;
    StagingOs& owner;
};

}  // namespace

bool ApplyChanges(const std::vector<StagedChange>& changes) {
    os::Os& sys = os::Current();
    std::set<std::string> folders;
    bool all = true;
    for (const StagedChange& c : changes) {
        if (c.scratch.empty()) {
            if (sys.Exists(c.target) && !sys.IsFolder(c.target)) all = sys.RemoveFile(c.target) && all;
        } else if (sys.Exists(c.scratch)) {
            all = sys.MoveReplace(c.scratch, c.target) && all;
        }
        folders.insert(FolderOf(c.target));
    }
    for (const std::string& folder : folders) os::SyncFolder(folder);
    return all;
}

StagingOs::StagingOs(os::Os& target, const std::string& gameFolder)
    : ForwardingOs(target), gamePrefix(Normal(gameFolder)) {
    if (gamePrefix.empty() || gamePrefix.back() != '/') gamePrefix += '/';
}

bool StagingOs::Virtual(const std::string& path) const {
    return !os::IsScratchName(path) && Normal(path).rfind(gamePrefix, 0) == 0;
}

std::string StagingOs::Key(const std::string& path) const { return Normal(path); }

StagingOs::Staged* StagingOs::Find(const std::string& path) {
    auto it = staged.find(Key(path));
    return it == staged.end() ? nullptr : &it->second;
}

void StagingOs::Stage(const std::string& path, const std::string& scratch) {
    const std::string key = Key(path);
    auto [it, added] = staged.try_emplace(key, Staged{path, scratch});
    if (added) {
        order.push_back(key);
        return;
    }
    if (!it->second.scratch.empty() && it->second.scratch != scratch) {
        target.RemoveFile(it->second.scratch);
        scratchFiles.erase(it->second.scratch);
    }
    it->second.scratch = scratch;
}

std::string StagingOs::NewScratch(const std::string& path) {
    const std::string folder = FolderOf(path);
    for (;;) {
        std::string candidate = (folder.empty() ? "" : folder + "\\") + os::kScratchPrefix + "S" +
                                std::to_string(++counter) + ".tmp";
        if (!target.Exists(candidate)) {
            scratchFiles.insert(candidate);
            return candidate;
        }
    }
}

std::unique_ptr<os::File> StagingOs::Track(std::unique_ptr<os::File> file) {
    // A scratch file that cannot even be opened leaves a change unmade: the operation as a
    // whole cannot be trusted any more. (Callers hold the mutex.)
    if (!file) {
        failed = true;
        return nullptr;
    }
    return std::make_unique<TrackedFile>(std::move(file), *this);
}

void StagingOs::NoteFailure() {
    std::lock_guard<std::mutex> lock(mutex);
    failed = true;
}

bool StagingOs::Failed() const {
    std::lock_guard<std::mutex> lock(mutex);
    return failed;
}

std::vector<StagedChange> StagingOs::Changes() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<StagedChange> changes;
    for (const std::string& key : order) {
        const Staged& s = staged.at(key);
        changes.push_back({s.target, s.scratch});
    }
    return changes;
}

bool StagingOs::FlushAll() {
    std::lock_guard<std::mutex> lock(mutex);
    bool all = !failed;
    for (const std::string& key : order) {
        const Staged& s = staged.at(key);
        if (s.scratch.empty()) continue;
        auto file = target.Open(s.scratch, os::OpenMode::Update);
        all = file && file->Flush() && file->Close() && all;
    }
    if (!all) failed = true;
    return all;
}

void StagingOs::Discard() {
    std::lock_guard<std::mutex> lock(mutex);
    for (const std::string& scratch : scratchFiles) target.RemoveFile(scratch);
    scratchFiles.clear();
    staged.clear();
    order.clear();
}

std::unique_ptr<os::File> StagingOs::Open(const std::string& path, os::OpenMode mode) {
    if (!Virtual(path)) {
        if (mode == os::OpenMode::Read || !os::IsScratchName(path)) return target.Open(path, mode);
        std::lock_guard<std::mutex> lock(mutex);
        scratchFiles.insert(path);
        return Track(target.Open(path, mode));
    }
    std::lock_guard<std::mutex> lock(mutex);
    Staged* s = Find(path);
    if (mode == os::OpenMode::Read) {
        if (!s) return target.Open(path, mode);
        return s->scratch.empty() ? nullptr : target.Open(s->scratch, mode);
    }
    if (mode == os::OpenMode::Create) {
        std::string scratch = s && !s->scratch.empty() ? s->scratch : NewScratch(path);
        auto file = Track(target.Open(scratch, mode));
        if (file) Stage(path, scratch);
        return file;
    }
    // Update and Append change what is there: the first change copies the game file.
    if (!s) {
        auto source = target.Open(path, os::OpenMode::Read);
        if (!source) {
            if (mode != os::OpenMode::Append) return nullptr;
            std::string scratch = NewScratch(path);
            auto file = Track(target.Open(scratch, mode));
            if (file) Stage(path, scratch);
            return file;
        }
        std::string scratch = NewScratch(path);
        auto copy = target.Open(scratch, os::OpenMode::Create);
        bool ok = copy != nullptr;
        char buffer[64 * 1024];
        for (int64_t got; ok && (got = source->Read(buffer, sizeof buffer)) != 0;) {
            ok = got > 0 && copy->Write(buffer, got);
        }
        ok = copy && copy->Close() && ok;
        if (!ok) {
            target.RemoveFile(scratch);
            scratchFiles.erase(scratch);
            failed = true;
            return nullptr;
        }
        Stage(path, scratch);
        s = Find(path);
    }
    if (s->scratch.empty()) return nullptr;
    return Track(target.Open(s->scratch, mode));
}

bool StagingOs::RemoveFile(const std::string& path) {
    if (!Virtual(path)) {
        std::lock_guard<std::mutex> lock(mutex);
        if (os::IsScratchName(path)) scratchFiles.erase(path);
        return target.RemoveFile(path);
    }
    std::lock_guard<std::mutex> lock(mutex);
    Staged* s = Find(path);
    if (s) {
        if (s->scratch.empty()) return false;
        Stage(path, "");
        return true;
    }
    if (!target.Exists(path) || target.IsFolder(path)) return false;
    Stage(path, "");
    return true;
}

bool StagingOs::MoveReplace(const std::string& from, const std::string& to) {
    if (!Virtual(to)) return target.MoveReplace(from, to);
    std::lock_guard<std::mutex> lock(mutex);
    std::string scratch;
    if (os::IsScratchName(from)) {
        if (!target.Exists(from)) return false;
        scratch = from;
        scratchFiles.insert(from);
    } else if (Staged* s = Find(from); s && !s->scratch.empty()) {
        scratch = s->scratch;
        s->scratch.clear();  // the name it stood under is gone
    } else {
        return false;
    }
    Stage(to, scratch);
    return true;
}

bool StagingOs::Exists(const std::string& path) {
    if (!Virtual(path)) return target.Exists(path);
    std::lock_guard<std::mutex> lock(mutex);
    if (Staged* s = Find(path)) return !s->scratch.empty();
    return target.Exists(path);
}

bool StagingOs::IsFolder(const std::string& path) {
    if (!Virtual(path)) return target.IsFolder(path);
    std::lock_guard<std::mutex> lock(mutex);
    if (Find(path)) return false;
    return target.IsFolder(path);
}

bool StagingOs::SetModifiedTime(const std::string& path, const os::FileTime& time) {
    if (!Virtual(path)) return target.SetModifiedTime(path, time);
    std::lock_guard<std::mutex> lock(mutex);
    Staged* s = Find(path);
    if (!s || s->scratch.empty()) return false;
    return target.SetModifiedTime(s->scratch, time);
}

bool StagingOs::GetModifiedTime(const std::string& path, os::FileTime& time) {
    if (!Virtual(path)) return target.GetModifiedTime(path, time);
    std::lock_guard<std::mutex> lock(mutex);
    Staged* s = Find(path);
    if (!s) return target.GetModifiedTime(path, time);
    return !s->scratch.empty() && target.GetModifiedTime(s->scratch, time);
}

}  // namespace install

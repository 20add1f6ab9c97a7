// Durability and exclusion on POSIX: fsync of a folder after renames in it, and a lock file
// held with flock, which other processes (and other handles) cannot take meanwhile.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "os/Os.h"
#include "os/posix/PosixPath.h"

namespace os {

namespace {

class LockedFile final : public File {
public:
    explicit LockedFile(int fd) : fd(fd) {}
    ~LockedFile() override { Close(); }
    int64_t Read(void*, int64_t) override { return -1; }
    bool Write(const void*, int64_t) override { return false; }
    bool Seek(int64_t) override { return false; }
    int64_t Tell() override { return -1; }
    int64_t Size() override { return -1; }
    bool Flush() override { return true; }
    bool Close() override {
        if (fd >= 0) ::close(fd);  // gives the lock up
        fd = -1;
        return true;
    }

private:
    int fd;
};

}  // namespace

void SyncFolder(const std::string& folder) {
    int fd = ::open(posix::ResolvePath(folder.empty() ? "." : folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::unique_ptr<File> OpenExclusive(const std::string& path) {
    int fd = ::open(posix::ResolvePath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<LockedFile>(fd);
}

}  // namespace os

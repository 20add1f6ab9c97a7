// Durability and exclusion on POSIX: fsync of a folder after renames in it, and a lock file
// held with flock, which other processes (and other handles) cannot take meanwhile.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "os/HeldFile.h"
#include "os/Os.h"
#include "os/posix/PosixPath.h"

namespace os {

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
    return std::make_unique<HeldFile>([fd] { ::close(fd); });  // closing gives the lock up
}

}  // namespace os

// The POSIX backend of the OS layer (Linux builds: fast tests, fuzzing, the command-line
// companion). Profile files use the shared INI text rules; the registry is that of the user's
// Wine prefix.
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "os/Os.h"
#include "os/ProfileText.h"
#include "os/posix/PosixPath.h"
#include "os/posix/WinePrefix.h"

namespace os {

struct Thread {
    pthread_t id;
    ThreadProc proc;
    void* argument;
    std::atomic<bool> ended{false};
};

namespace {

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd(fd) {}
    ~PosixFile() override {
        if (fd >= 0) ::close(fd);
    }
    int64_t Read(void* buffer, int64_t size) override {
        char* p = static_cast<char*>(buffer);
        int64_t total = 0;
        while (total < size) {
            ssize_t got = ::read(fd, p + total, static_cast<size_t>(size - total));
            if (got < 0) {
                if (errno == EINTR) continue;
                return -1;
            }
            if (got == 0) break;
            total += got;
        }
        return total;
    }
    bool Write(const void* data, int64_t size) override {
        const char* p = static_cast<const char*>(data);
        int64_t total = 0;
        while (total < size) {
            ssize_t put = ::write(fd, p + total, static_cast<size_t>(size - total));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            total += put;
        }
        return true;
    }
    bool Seek(int64_t offset) override { return ::lseek(fd, offset, SEEK_SET) == offset; }
    int64_t Tell() override { return ::lseek(fd, 0, SEEK_CUR); }
    int64_t Size() override {
        struct stat st;
        return fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }
    bool Flush() override { return ::fsync(fd) == 0; }
    void StartFlush() override {
#ifdef __linux__
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    }
    bool Close() override {
        if (fd < 0) return true;
        int r = ::close(fd);
        fd = -1;
        return r == 0;
    }

private:
    int fd;
};

class PosixSearch final : public DirSearch {
public:
    PosixSearch(DIR* dir, std::string folder, std::string extension)
        : dir(dir), folder(std::move(folder)), extension(std::move(extension)) {}
    ~PosixSearch() override { closedir(dir); }
    bool Next(std::string& name) override {
        while (dirent* e = readdir(dir)) {
            std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            if (Matches(n)) {
                name = n;
                return true;
            }
        }
        return false;
    }

private:
    bool Matches(const std::string& n) const {
        if (n.size() < extension.size()) return false;
        for (size_t i = 0; i < extension.size(); ++i) {
            unsigned char a = static_cast<unsigned char>(n[n.size() - extension.size() + i]);
            unsigned char b = static_cast<unsigned char>(extension[i]);
            if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a + 32);
            if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b + 32);
            if (a != b) return false;
        }
        return true;
    }
    DIR* dir;
    std::string folder;
    std::string extension;
};

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string Home() { return EnvOr("HOME", ""); }

std::string ConfigHome() {
    std::string home = Home();
    return EnvOr("XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs, with $HOME expanded; empty when not set there.
std::string XdgDocuments() {
    std::string config = ConfigHome();
    if (config.empty()) return {};
    std::string text;
    FILE* f = std::fopen((config + "/user-dirs.dirs").c_str(), "rb");
    if (!f) return {};
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
    std::fclose(f);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        std::string line = text.substr(pos, lf == std::string::npos ? std::string::npos : lf - pos);
        pos = lf == std::string::npos ? text.size() : lf + 1;
        const std::string key = "XDG_DOCUMENTS_DIR=";
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
        return value;
    }
    return {};
}

void* ThreadStart(void* p) {
    Thread* t = static_cast<Thread*>(p);
    t->proc(t->argument);
    t->ended.store(true);
    return nullptr;
}

class PosixOs final : public Os {
public:
    std::string ReadProfileString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  int bufferSize) override {
        std::string text;
        std::string value = fallback;
        if (ReadWholeFile(path, text)) {
            if (auto found = ProfileLookup(text, section, key)) value = *found;
        }
        if (bufferSize > 0 && value.size() > static_cast<size_t>(bufferSize - 1)) {
            value.resize(static_cast<size_t>(bufferSize - 1));
        }
        return value;
    }

    bool WriteProfileString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value) override {
        std::string text;
        ReadWholeFile(path, text);  // a missing file is an empty one
        return WriteWholeFile(path, ProfileAssign(text, section, key, value));
    }

    // Games installed through Wine are registered in the user's Wine prefix.
    bool ReadMachineRegistryString(const std::string& key, const std::string& valueName,
                                   int bufferSize, std::string& value) override {
        return posix::ReadPrefixRegistryString(key, valueName, bufferSize, value);
    }

    std::string AppDataFolder() override { return ConfigHome(); }

    std::string DocumentsFolder() override {
        std::string docs = XdgDocuments();
        if (!docs.empty()) return docs;
        std::string home = Home();
        return home.empty() ? "" : home + "/Documents";
    }

    bool Exists(const std::string& path) override {
        if (path.empty()) return false;
        struct stat st;
        return stat(posix::ResolvePath(path).c_str(), &st) == 0;
    }

    bool IsFolder(const std::string& path) override {
        if (path.empty()) return false;
        struct stat st;
        return stat(posix::ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool CreateFolder(const std::string& path) override {
        return !path.empty() && ::mkdir(posix::ResolvePath(path).c_str(), 0777) == 0;
    }

    bool RemoveFile(const std::string& path) override {
        std::string p = posix::ResolvePath(path);
        struct stat st;
        if (path.empty() || lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
        return ::unlink(p.c_str()) == 0;
    }

    bool MoveReplace(const std::string& from, const std::string& to) override {
        return ::rename(posix::ResolvePath(from).c_str(), posix::ResolvePath(to).c_str()) == 0;
    }

    bool SetModifiedTime(const std::string& path, const FileTime& t) override {
        struct tm tm = {};
        tm.tm_year = t.year - 1900;
        tm.tm_mon = t.month - 1;
        tm.tm_mday = t.day;
        tm.tm_hour = t.hour;
        tm.tm_min = t.minute;
        tm.tm_sec = t.second;
        tm.tm_isdst = -1;
        time_t when = mktime(&tm);
        if (when == static_cast<time_t>(-1)) return false;
        struct timespec times[2];
        times[0].tv_sec = when;
        times[0].tv_nsec = 0;
        times[1] = times[0];
        return utimensat(AT_FDCWD, posix::ResolvePath(path).c_str(), times, 0) == 0;
    }

    bool GetModifiedTime(const std::string& path, FileTime& t) override {
        struct stat st;
        if (stat(posix::ResolvePath(path).c_str(), &st) != 0) return false;
        struct tm tm;
        time_t when = st.st_mtime;
        if (!localtime_r(&when, &tm)) return false;
        t = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
        return true;
    }

    std::unique_ptr<DirSearch> FindFiles(const std::string& folder,
                                         const std::string& extension) override {
        std::string p = posix::ResolvePath(folder);
        DIR* dir = opendir(p.empty() ? "." : p.c_str());
        if (!dir) return nullptr;
        return std::make_unique<PosixSearch>(dir, p, extension);
    }

    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        if (path.empty()) return nullptr;
        int flags = O_CLOEXEC;
        switch (mode) {
            case OpenMode::Read: flags |= O_RDONLY; break;
            case OpenMode::Update: flags |= O_RDWR; break;
            case OpenMode::Create: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
            case OpenMode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
        }
        std::string p = posix::ResolvePath(path);
        int fd = ::open(p.c_str(), flags, 0666);
        if (fd < 0) return nullptr;
        struct stat st;
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }

    Thread* StartThread(ThreadProc proc, void* argument) override {
        auto* t = new Thread;
        t->proc = proc;
        t->argument = argument;
        if (pthread_create(&t->id, nullptr, ThreadStart, t) != 0) {
            delete t;
            return nullptr;
        }
        return t;
    }

    bool ThreadEnded(Thread* thread) override { return thread && thread->ended.load(); }

    void CloseThread(Thread* thread) override {
        if (!thread) return;
        pthread_join(thread->id, nullptr);
        delete thread;
    }

    uint32_t TickCount() override {
        struct timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                     static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    }

    void Sleep(uint32_t milliseconds) override {
        struct timespec ts;
        ts.tv_sec = milliseconds / 1000;
        ts.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
        }
    }

    std::string DisplayPath(const std::string& path) override {
        std::string out = path;
        for (char& c : out) {
            if (c == '\\') c = '/';
        }
        return out;
    }
};

}  // namespace

Os& Native() {
    static PosixOs instance;
    return instance;
}

}  // namespace os

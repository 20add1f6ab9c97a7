// The operating-system layer: every file-system, profile, registry, special-folder, thread and
// clock call of the portable core goes through the Os interface below. The build picks one
// backend (os/win32 or os/posix); tests may put their own in front of it (OsOverride) to fake a
// registry or to make the Nth call fail.
//
// Paths are Windows-shaped byte strings in the system code page: components joined with "\".
// The POSIX backend accepts "\" and "/" alike and finds components case-insensitively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace os {

// An open file. Positions are absolute byte offsets; short reads mean end of file.
class File {
public:
    virtual ~File() = default;
    // Reads up to size bytes at the current position; answers the number read, -1 on error.
    virtual int64_t Read(void* buffer, int64_t size) = 0;
    // Writes size bytes at the current position; answers false unless all were written.
    virtual bool Write(const void* data, int64_t size) = 0;
    virtual bool Seek(int64_t offset) = 0;  // from the start of the file
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
    // Pushes written bytes to the disk (FlushFileBuffers / fsync).
    virtual bool Flush() = 0;
    // Lets the disk start writing what was written so far, without waiting for it; a later
    // Flush then has less to wait for. Where the system has no such call it does nothing.
    virtual void StartFlush() {}
    // Closes the handle; answers false when the last writes could not be completed.
    // The destructor closes a file that is still open, ignoring the outcome.
    virtual bool Close() = 0;

    // Positioned forms, for patching bytes in place.
    int64_t ReadAt(int64_t offset, void* buffer, int64_t size) {
        return Seek(offset) ? Read(buffer, size) : -1;
    }
    bool WriteAt(int64_t offset, const void* data, int64_t size) {
        return Seek(offset) && Write(data, size);
    }
};

enum class OpenMode {
    Read,    // existing file, read only
    Update,  // existing file, read and write, neither created nor truncated
    Create,  // write only; created, or emptied when it exists
    Append,  // write only at the end; created when missing
};

// One wildcard search of one folder; yields the names (no folder part) one by one.
class DirSearch {
public:
    virtual ~DirSearch() = default;
    virtual bool Next(std::string& name) = 0;
};

// Started by Os::StartThread; ended and released with Os::CloseThread.
struct Thread;
using ThreadProc = void (*)(void* argument);

// A file time as the archive format stores it (local time, two-second steps).
struct FileTime {
    int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Os {
public:
    virtual ~Os() = default;

    // Profile (INI) files, with the semantics of the Windows profile functions: section and
    // key names ignore case; a missing file, section or key gives the default; a value is
    // read into a buffer of bufferSize bytes, so it is cut at bufferSize - 1 bytes.
    virtual std::string ReadProfileString(const std::string& path, const std::string& section,
                                          const std::string& key, const std::string& fallback,
                                          int bufferSize) = 0;
    // Creates the file, section or key as needed; the rest of the file stays as it was.
    virtual bool WriteProfileString(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& value) = 0;

    // A string value under HKEY_LOCAL_MACHINE\key, read into a buffer of bufferSize bytes.
    // False when the key or value is missing or the value does not fit.
    virtual bool ReadMachineRegistryString(const std::string& key, const std::string& valueName,
                                           int bufferSize, std::string& value) = 0;

    // Per-user folders, never created by asking; empty when unknown.
    virtual std::string AppDataFolder() = 0;
    virtual std::string DocumentsFolder() = 0;

    virtual bool Exists(const std::string& path) = 0;
    virtual bool IsFolder(const std::string& path) = 0;
    // Creates one folder whose parent exists.
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Moves a file over another, replacing it; both in the same folder or volume.
    virtual bool MoveReplace(const std::string& from, const std::string& to) = 0;
    virtual bool SetModifiedTime(const std::string& path, const FileTime& time) = 0;
    virtual bool GetModifiedTime(const std::string& path, FileTime& time) = 0;

    // Searches folder for names matching "*" + extension (extension such as ".ovx"); the
    // extension is compared without regard to case. Null when nothing matches or the folder
    // cannot be read.
    virtual std::unique_ptr<DirSearch> FindFiles(const std::string& folder,
                                                 const std::string& extension) = 0;

    virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;

    // Threads: start one with a pointer argument; test whether it has ended without waiting;
    // close the handle (after it has ended).
    virtual Thread* StartThread(ThreadProc proc, void* argument) = 0;
    virtual bool ThreadEnded(Thread* thread) = 0;
    virtual void CloseThread(Thread* thread) = 0;

    // Milliseconds since some start, 32-bit and wrapping.
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;

    // Turns a core path into the form the user knows on this system (for messages).
    virtual std::string DisplayPath(const std::string& path) { return path; }
};

// The backend of this build.
Os& Native();

// The Os in force: the native one unless a test has put another in front of it.
Os& Current();

// Puts another Os in force for the life of the object (tests only).
class OsOverride {
public:
    explicit OsOverride(Os& replacement);
    ~OsOverride();
    OsOverride(const OsOverride&) = delete;
    OsOverride& operator=(const OsOverride&) = delete;

private:
    Os* previous;
};

// Whole files as bytes. ReadWholeFile answers false when the file cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& data);
bool WriteWholeFile(const std::string& path, const std::string& data);

// Replaces the content of path as one step: the data goes to a scratch file beside it (named
// ScratchPrefix + ...), which is flushed and then moved over path; on failure path keeps its
// old content.
bool ReplaceWholeFile(const std::string& path, const std::string& data);

// Names of the program's own scratch files begin with this, wherever they stand.
inline constexpr const char* kScratchPrefix = "~osp";
// Whether the last component of path names a scratch file.
bool IsScratchName(const std::string& path);

// Makes the renames and deletions in folder durable (POSIX: fsync of the folder; Windows moves
// are written through already).
void SyncFolder(const std::string& folder);

// Opens path (created when missing) for this process alone; null while another process (or
// another handle of this one) holds it. Closing the file gives it up.
std::unique_ptr<File> OpenExclusive(const std::string& path);

// True when folder path exists when the call returns; missing folders above it are made
// first. A path without any separator is taken as it is and answers true.
bool EnsureFolder(const std::string& path);

}  // namespace os

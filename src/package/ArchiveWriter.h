// Writing ZIP archives (backup archives) through minizip and the OS layer. Entries are
// deflated; every "\" of an entry name is stored as "/".
#pragma once

#include <cstdint>
#include <string>

namespace package {

class ArchiveWriter {
public:
    ArchiveWriter() = default;
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;
    // Closes nothing: owners call Close.
    ~ArchiveWriter() = default;

    bool Create(const std::string& path);
    // Writes the central directory and closes the file; false when that failed or when no
    // archive was open.
    bool Close();
    bool IsOpen() const { return isOpen; }

    // An entry name that is empty or ends in "\" or "/" (a folder to every reader) answers
    // false. A source that fails part-way through is stored with a checksum that cannot match,
    // so that it is never extracted as a truncated copy; the answer is false.
    bool AddFile(const std::string& sourcePath, const std::string& entryName);
    bool AddFile(const std::string& pathAndName) { return AddFile(pathAndName, pathAndName); }
    bool AddMemory(const std::string& entryName, const void* data, int64_t length);

private:
    bool isOpen = false;
    void* handle = nullptr;
};

}  // namespace package

// Reading ZIP archives (packages and backup archives) through minizip, with every file access
// going through the OS layer. Packages come from the internet, so entry names are checked
// before anything is written and extraction never trusts declared sizes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "os/Os.h"

namespace package {

// Folders are made the way the rest of the core makes them.
using os::EnsureFolder;

// Windows file attribute of a folder entry.
constexpr uint32_t kFolderAttribute = 0x10;
// Stored names must fit a buffer of this size (259 bytes and a terminating zero).
constexpr int kNameBufferSize = 260;
// Entries read into memory (scripts, patch and text data, read-mes) are small; anything
// that declares more is refused without allocating.
constexpr uint64_t kMaxMemoryEntry = 64ull * 1024 * 1024;

struct EntryInfo {
    std::string name;         // cleaned stored name, separators as stored (normally "/")
    std::string storedName;   // the name as stored, before cleaning (cut when not usable)
    uint32_t attributes = 0;  // Windows attributes; kFolderAttribute marks a folder entry
                              // (also set for a name that ends in a separator)
    uint64_t size = 0;        // uncompressed size
    bool usable = false;      // false when the stored name did not fit kNameBufferSize
};

class ArchiveReader {
public:
    ArchiveReader() = default;
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;
    // Closes nothing: owners call Close.
    ~ArchiveReader() = default;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return isOpen; }
    int32_t EntryCount() const { return entryCount; }
    // Cleaned name and attributes of the entry at index; false for an index out of range.
    bool GetEntryInfo(int32_t index, EntryInfo& info) const;
    bool SetExtractFolder(const std::string& folder);
    const std::string& ExtractFolder() const { return extractFolder; }

    // The first entry whose cleaned name equals name, ignoring case, written below the
    // extraction folder under its own cleaned name. False, writing nothing, for a name that
    // StaysInside refuses or that did not fit kNameBufferSize. The data goes to a temporary
    // file beside the target that replaces it only once it is complete and its checksum
    // matched, so a damaged entry leaves an existing file as it was.
    bool ExtractToFile(const std::string& name);
    bool ExtractEntry(int32_t index);
    // The first entry whose cleaned name equals name, ignoring case, into block. size is the
    // entry's size; with terminate the block holds one more byte, a zero. An entry that
    // declares more than kMaxMemoryEntry bytes answers false before anything is allocated.
    bool ExtractToMemory(const std::string& name, std::vector<char>& block, int64_t& size,
                         bool terminate);

    // Index of the first usable entry whose cleaned name equals name ignoring case, or -1.
    int32_t FindEntry(const std::string& name) const;

private:
    // Where an entry lives and what its data must turn out to be, from the central directory.
    struct EntryPlace {
        uint64_t directoryOffset = 0;
        uint64_t fileNumber = 0;
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        int method = 0;
        bool encrypted = false;
        bool hasTime = false;
        os::FileTime time;
    };
    bool WriteEntryToDisk(int32_t index);
    // Decompresses the entry chunk by chunk into take; true only when the data came out
    // exactly as long as declared, with the declared checksum, and take accepted every chunk.
    bool ReadEntry(int32_t index, const std::function<bool(const char*, size_t)>& take);
    void Forget();

    std::string extractFolder;
    bool isOpen = false;
    void* handle = nullptr;
    int32_t entryCount = 0;
    std::vector<EntryInfo> entries;  // central directory, read once by Open
    std::vector<EntryPlace> places;  // one per entry, same order
    std::unordered_map<std::string, int32_t> firstByName;  // lowered cleaned name -> index
};

}  // namespace package

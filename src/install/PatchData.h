// Patch data: a 13-byte head, a signed 16-bit record count at offset 13, then records of a
// 32-bit file offset, an 8-bit byte count n and n new bytes (little-endian). The checks and
// the application are written once here for both command walks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace install {

constexpr int64_t kPatchHeadSize = 15;  // head and record count

// Whether the data is well formed (at least 15 bytes, every record inside the data) and every
// record with bytes lies inside a target of targetSize bytes (-1: not tested).
bool PatchFits(const char* data, int64_t size, int64_t targetSize);

// A patch applied to one file. Load reads every byte the records overwrite and works out, in
// memory, both the inverse patch and the file's new bytes; Write then puts the new bytes in
// place, so that nothing changes before the inverse could be stored.
class PatchApplication {
public:
    // False, changing nothing, when the file cannot be opened for update, the data is not
    // well formed, or a record reaches beyond the end of the file.
    bool Load(const std::string& path, const char* data, int64_t size);
    // The inverse patch: the same size and head, each record's bytes replaced by what stood
    // there before it was written. When records overlap, the inverse lists them last-first,
    // so that applying it in order undoes them in reverse.
    const std::vector<char>& Inverse() const { return inverse; }
    // Writes the patched bytes; false when the file could not be opened or written.
    bool Write();

private:
    struct Span {
        int64_t offset;
        std::vector<char> bytes;  // the file's bytes, then the patched ones
    };
    std::string path;
    std::vector<Span> spans;
    std::vector<char> inverse;
};

// Applies patch data to the file at path and hands back its inverse; false when nothing
// could be written.
bool ApplyPatch(const std::string& path, const char* data, int64_t size, std::vector<char>& inverse);

}  // namespace install

// Patch data made from two versions of a file: the records that turn the original into the
// modified one, in the layout the install's patch step reads (13-byte head, signed 16-bit
// record count, records of 32-bit offset, 8-bit count and the new bytes, little-endian).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The head written into every patch made here, NUL included: exactly 13 bytes.
inline constexpr char kPatchHead[] = "ORVA PATCH 1";
static_assert(sizeof kPatchHead == 13);

inline constexpr size_t kMaxRecordBytes = 255;
inline constexpr size_t kMaxRecords = 32767;
// Equal bytes between two changes that still go into one record: a new record costs five
// bytes of offset and count, so up to five equal bytes are no dearer inside one, and they
// save a record.
inline constexpr size_t kMaxMergedGap = 5;

struct PatchRecord {
    uint32_t offset = 0;
    std::string bytes;
};

// The records, in file order, that cover every byte where the two differ.
std::vector<PatchRecord> DiffRecords(std::string_view original, std::string_view modified);

enum class DiffResult { Ok, SizesDiffer, TooLarge, TooManyRecords };

// Patch data holding records, in that order, under the head above.
std::string WritePatchData(const std::vector<PatchRecord>& records);

// The whole patch data; data is left empty unless the answer is Ok.
DiffResult MakePatchData(std::string_view original, std::string_view modified, std::string& data);

// The records of well-formed patch data (as the install has checked it), in stored order.
std::vector<PatchRecord> ReadPatchRecords(std::string_view data);

}  // namespace cli

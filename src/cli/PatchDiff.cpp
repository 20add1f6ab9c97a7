#include "cli/PatchDiff.h"

#include <limits>

namespace cli {

std::vector<PatchRecord> DiffRecords(std::string_view original, std::string_view modified) {
    std::vector<PatchRecord> records;
    const size_t size = std::min(original.size(), modified.size());
    size_t i = 0;
    while (i < size) {
        if (original[i] == modified[i]) {
            ++i;
            continue;
        }
        const size_t start = i;
        size_t end = i + 1;  // one past the last differing byte taken
        for (size_t j = end; j < size && j < start + kMaxRecordBytes; ++j) {
            if (original[j] != modified[j]) {
                end = j + 1;
            } else if (j + 1 - end > kMaxMergedGap) {
                break;
            }
        }
        records.push_back({static_cast<uint32_t>(start),
                           std::string(modified.substr(start, end - start))});
        i = end;
    }
    return records;
}

DiffResult MakePatchData(std::string_view original, std::string_view modified, std::string& data) {
    data.clear();
    if (original.size() != modified.size()) return DiffResult::SizesDiffer;
    // Offsets are 32-bit; a change past 4 GiB could not be written down.
    if (original.size() > std::numeric_limits<uint32_t>::max()) return DiffResult::TooLarge;
    const std::vector<PatchRecord> records = DiffRecords(original, modified);
    if (records.size() > kMaxRecords) return DiffResult::TooManyRecords;

    data = WritePatchData(records);
    return DiffResult::Ok;
}

std::string WritePatchData(const std::vector<PatchRecord>& records) {
    std::string data(kPatchHead, sizeof kPatchHead);
    const auto count = static_cast<uint16_t>(records.size());
    data += static_cast<char>(count & 0xFF);
    data += static_cast<char>(count >> 8);
    for (const PatchRecord& r : records) {
        for (int shift = 0; shift < 32; shift += 8) data += static_cast<char>((r.offset >> shift) & 0xFF);
        data += static_cast<char>(r.bytes.size());
        data += r.bytes;
    }
    return data;
}

std::vector<PatchRecord> ReadPatchRecords(std::string_view data) {
    std::vector<PatchRecord> records;
    if (data.size() < 15) return records;
    const auto byte = [&data](size_t at) { return static_cast<uint8_t>(data[at]); };
    const auto count = static_cast<int16_t>(byte(13) | (byte(14) << 8));
    size_t pos = 15;
    for (int16_t n = 0; n < count && pos + 5 <= data.size(); ++n) {
        PatchRecord r;
        r.offset = static_cast<uint32_t>(byte(pos)) | (static_cast<uint32_t>(byte(pos + 1)) << 8) |
                   (static_cast<uint32_t>(byte(pos + 2)) << 16) |
                   (static_cast<uint32_t>(byte(pos + 3)) << 24);
        const size_t length = byte(pos + 4);
        pos += 5;
        if (pos + length > data.size()) break;
        r.bytes = std::string(data.substr(pos, length));
        pos += length;
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace cli

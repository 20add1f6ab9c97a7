#include "install/PatchData.h"

#include <algorithm>

#include "os/Os.h"

namespace install {

namespace {

struct Record {
    uint32_t offset;
    uint32_t count;
    int64_t dataPos;  // of the record's first new byte
    int64_t recordPos;
};

int16_t RecordCount(const char* data) {
    uint16_t raw = static_cast<uint16_t>(static_cast<unsigned char>(data[13]) |
                                         (static_cast<unsigned char>(data[14]) << 8));
    return static_cast<int16_t>(raw);
}

// The records of well-formed data, in data order; false when a record runs past the end.
bool ParseRecords(const char* data, int64_t size, std::vector<Record>& records) {
    records.clear();
    if (!data || size < kPatchHeadSize) return false;
    int16_t count = RecordCount(data);
    int64_t pos = kPatchHeadSize;
    for (int i = 0; i < count; ++i) {
        if (size - pos < 5) return false;
        const unsigned char* p = reinterpret_cast<const unsigned char*>(data + pos);
        Record r;
        r.offset = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                   (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        r.count = p[4];
        r.recordPos = pos;
        r.dataPos = pos + 5;
        if (size - r.dataPos < r.count) return false;
        records.push_back(r);
        pos = r.dataPos + r.count;
    }
    return true;
}

}  // namespace

bool PatchFits(const char* data, int64_t size, int64_t targetSize) {
    std::vector<Record> records;
    if (!ParseRecords(data, size, records)) return false;
    if (targetSize < 0) return true;
    for (const Record& r : records) {
        if (r.count > 0 && static_cast<int64_t>(r.offset) + r.count > targetSize) return false;
    }
    return true;
}

bool PatchApplication::Load(const std::string& file, const char* data, int64_t size) {
    path = file;
    spans.clear();
    inverse.clear();
    std::vector<Record> records;
    if (!ParseRecords(data, size, records)) return false;

    auto target = os::Current().Open(path, os::OpenMode::Update);
    if (!target) return false;
    int64_t fileSize = target->Size();

    // The byte ranges the records touch, merged where they overlap or meet.
    std::vector<std::pair<int64_t, int64_t>> ranges;
    for (const Record& r : records) {
        if (r.count == 0) continue;
        int64_t begin = r.offset, end = begin + r.count;
        if (end > fileSize) return false;
        ranges.emplace_back(begin, end);
    }
    std::sort(ranges.begin(), ranges.end());
    bool overlapping = false;
    for (const auto& range : ranges) {
        if (!spans.empty() && range.first <= spans.back().offset + static_cast<int64_t>(spans.back().bytes.size())) {
            Span& last = spans.back();
            int64_t lastEnd = last.offset + static_cast<int64_t>(last.bytes.size());
            if (range.first < lastEnd) overlapping = true;
            if (range.second > lastEnd) last.bytes.resize(static_cast<size_t>(range.second - last.offset));
        } else {
            spans.push_back({range.first, std::vector<char>(static_cast<size_t>(range.second - range.first))});
        }
    }
    for (Span& span : spans) {
        int64_t want = static_cast<int64_t>(span.bytes.size());
        if (target->ReadAt(span.offset, span.bytes.data(), want) != want) return false;
    }
    target->Close();

    // Apply the records in order to the bytes in memory, collecting what each overwrote.
    inverse.assign(static_cast<size_t>(size), 0);
    std::copy(data, data + kPatchHeadSize, inverse.begin());
    int64_t out = kPatchHeadSize;
    std::vector<int64_t> placeOf(records.size());
    if (overlapping) {
        // Last-first: the inverse of the last record comes first.
        for (size_t k = records.size(); k-- > 0;) {
            placeOf[k] = out;
            out += 5 + records[k].count;
        }
    } else {
        for (size_t k = 0; k < records.size(); ++k) placeOf[k] = records[k].recordPos;
    }
    for (size_t k = 0; k < records.size(); ++k) {
        const Record& r = records[k];
        char* inv = inverse.data() + placeOf[k];
        std::copy(data + r.recordPos, data + r.recordPos + 5, inv);
        if (r.count == 0) continue;
        auto it = std::upper_bound(spans.begin(), spans.end(), static_cast<int64_t>(r.offset),
                                   [](int64_t off, const Span& s) { return off < s.offset; });
        Span& span = *(it - 1);
        char* at = span.bytes.data() + (r.offset - span.offset);
        std::copy(at, at + r.count, inv + 5);
        std::copy(data + r.dataPos, data + r.dataPos + r.count, at);
    }
    return true;
}

bool PatchApplication::Write() {
    auto target = os::Current().Open(path, os::OpenMode::Update);
    if (!target) return false;
    bool ok = true;
    for (const Span& span : spans) {
        ok = target->WriteAt(span.offset, span.bytes.data(), static_cast<int64_t>(span.bytes.size())) && ok;
    }
    return target->Close() && ok;
}

bool ApplyPatch(const std::string& path, const char* data, int64_t size, std::vector<char>& inverse) {
    PatchApplication patch;
    if (!patch.Load(path, data, size) || !patch.Write()) return false;
    inverse = patch.Inverse();
    return true;
}

}  // namespace install

// ZIP archives built byte by byte for tests: entries with any stored name ("\", "..", control
// bytes, names longer than the reader's buffer), folder entries, and headers that lie about an
// entry's size or checksum. Nothing here goes through the archive writer, so tests can build
// what it would never produce.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/Os.h"

namespace testing_support {

struct FixtureEntry {
    std::string name = {};  // stored exactly as given
    std::string data = {};
    bool folder = false;  // a folder entry: attribute 0x10, no data
    bool stored = false;  // kept uncompressed instead of deflated
    // Recorded in the headers in place of the true size or checksum.
    std::optional<uint32_t> declaredSize = std::nullopt;
    std::optional<uint32_t> declaredCrc = std::nullopt;
    os::FileTime time{2004, 5, 6, 7, 8, 10};
};

// The bytes of an archive holding entries, in order.
std::string BuildZip(const std::vector<FixtureEntry>& entries);
// BuildZip written to path through the OS layer.
bool WriteZip(const std::string& path, const std::vector<FixtureEntry>& entries);
// Where the (compressed) data of the first entry stored under name starts in zip, an archive
// made by BuildZip, and how long it is; false when there is no such entry.
bool FindEntryData(const std::string& zip, const std::string& name, size_t& offset,
                   size_t& length);

}  // namespace testing_support

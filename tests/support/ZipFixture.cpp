#include "support/ZipFixture.h"

#include <zlib.h>

namespace testing_support {

namespace {

void Put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Get16(const std::string& in, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(in[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(in[at + 1])) << 8;
}

uint32_t Get32(const std::string& in, size_t at) { return Get16(in, at) | Get16(in, at + 2) << 16; }

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

struct Written {
    uint32_t offset, method, crc, compressedSize, size, time, date, attributes;
};

// The fields that local and central headers share, from "version needed" to the extra field's
// length.
void PutCommonFields(std::string& zip, const Written& w, size_t nameLength) {
    Put16(zip, 20);  // version needed
    Put16(zip, 0);   // flags
    Put16(zip, w.method);
    Put16(zip, w.time);
    Put16(zip, w.date);
    Put32(zip, w.crc);
    Put32(zip, w.compressedSize);
    Put32(zip, w.size);
    Put16(zip, static_cast<uint32_t>(nameLength));
    Put16(zip, 0);  // extra field
}

}  // namespace

std::string BuildZip(const std::vector<FixtureEntry>& entries) {
    std::string zip;
    std::vector<Written> written;
    for (const FixtureEntry& e : entries) {
        bool stored = e.stored || e.folder;
        std::string body = stored ? e.data : RawDeflate(e.data);
        uint32_t crc = static_cast<uint32_t>(
            crc32(0L, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        Written w;
        w.offset = static_cast<uint32_t>(zip.size());
        w.method = stored ? 0 : Z_DEFLATED;
        w.crc = e.declaredCrc.value_or(crc);
        w.compressedSize = static_cast<uint32_t>(body.size());
        w.size = e.declaredSize.value_or(static_cast<uint32_t>(e.data.size()));
        w.time = static_cast<uint32_t>(e.time.hour << 11 | e.time.minute << 5 | e.time.second / 2);
        w.date = static_cast<uint32_t>((e.time.year - 1980) << 9 | e.time.month << 5 | e.time.day);
        w.attributes = e.folder ? 0x10 : 0x20;
        written.push_back(w);

        Put32(zip, 0x04034b50);
        PutCommonFields(zip, w, e.name.size());
        zip += e.name;
        zip += body;
    }
    uint32_t directory = static_cast<uint32_t>(zip.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Written& w = written[i];
        Put32(zip, 0x02014b50);
        Put16(zip, 20);  // made by: MS-DOS attributes
        PutCommonFields(zip, w, entries[i].name.size());
        Put16(zip, 0);  // comment
        Put16(zip, 0);  // disk
        Put16(zip, 0);  // internal attributes
        Put32(zip, w.attributes);
        Put32(zip, w.offset);
        zip += entries[i].name;
    }
    uint32_t directorySize = static_cast<uint32_t>(zip.size()) - directory;
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, static_cast<uint32_t>(entries.size()));
    Put16(zip, static_cast<uint32_t>(entries.size()));
    Put32(zip, directorySize);
    Put32(zip, directory);
    Put16(zip, 0);  // comment
    return zip;
}

bool WriteZip(const std::string& path, const std::vector<FixtureEntry>& entries) {
    return os::WriteWholeFile(path, BuildZip(entries));
}

bool FindEntryData(const std::string& zip, const std::string& name, size_t& offset,
                   size_t& length) {
    size_t at = 0;
    while (at + 30 <= zip.size() && Get32(zip, at) == 0x04034b50) {
        size_t nameLength = Get16(zip, at + 26);
        size_t extraLength = Get16(zip, at + 28);
        size_t dataLength = Get32(zip, at + 18);
        size_t data = at + 30 + nameLength + extraLength;
        if (zip.compare(at + 30, nameLength, name) == 0 && nameLength == name.size()) {
            offset = data;
            length = dataLength;
            return true;
        }
        at = data + dataLength;
    }
    return false;
}

}  // namespace testing_support

// Writing backup archives. Each entry is deflated here and handed to minizip raw, so that the
// size and checksum recorded for it are the ones of the bytes actually read: a game file that
// fails half-way through reading is stored with a checksum that can never match, and a later
// restore refuses it instead of putting back a truncated copy.
#include "package/ArchiveWriter.h"

#include <zip.h>

#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

#include "os/Os.h"
#include "package/ZipIo.h"

namespace package {

namespace {

constexpr size_t kChunkSize = 256 * 1024;
// MS-DOS attribute of an ordinary file that has changed since its last backup.
constexpr uLong kArchiveAttribute = 0x20;

// The archive format stores local time in two-second steps from 1980 to 2107.
tm_zip ToZipTime(const os::FileTime& time) {
    tm_zip stored{};
    int year = time.year < 1980 ? 1980 : (time.year > 2107 ? 2107 : time.year);
    stored.tm_year = static_cast<decltype(stored.tm_year)>(year);
    stored.tm_mon = static_cast<decltype(stored.tm_mon)>(time.month - 1);
    stored.tm_mday = static_cast<decltype(stored.tm_mday)>(time.day);
    stored.tm_hour = static_cast<decltype(stored.tm_hour)>(time.hour);
    stored.tm_min = static_cast<decltype(stored.tm_min)>(time.minute);
    stored.tm_sec = static_cast<decltype(stored.tm_sec)>(time.second);
    return stored;
}

os::FileTime LocalTimeNow() {
    // std::localtime shares one buffer; the writer may be used from the worker thread.
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return {};
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
            local->tm_hour,        local->tm_min,     local->tm_sec};
}

// Source of an entry's bytes: fills buffer with up to size bytes and answers how many, 0 at
// the end, -1 on an error.
class Source {
public:
    virtual ~Source() = default;
    virtual int64_t Read(unsigned char* buffer, size_t size) = 0;
};

class MemorySource final : public Source {
public:
    MemorySource(const void* data, uint64_t length)
        : data(static_cast<const unsigned char*>(data)), left(length) {}
    int64_t Read(unsigned char* buffer, size_t size) override {
        size_t n = left < size ? static_cast<size_t>(left) : size;
        std::memcpy(buffer, data, n);
        data += n;
        left -= n;
        return static_cast<int64_t>(n);
    }

private:
    const unsigned char* data;
    uint64_t left;
};

class FileSource final : public Source {
public:
    explicit FileSource(os::File& file) : file(file) {}
    int64_t Read(unsigned char* buffer, size_t size) override {
        return file.Read(buffer, static_cast<int64_t>(size));
    }

private:
    os::File& file;
};

// Adds one deflated entry whose bytes come from source. sizeHint decides whether the entry
// needs the 64-bit extension (only for 4 GiB and more, so that plain unzip tools read the rest).
bool AddEntry(zipFile zip, const std::string& entryName, const os::FileTime& time,
              uint64_t sizeHint, Source& source) {
    // Names ending in a separator are folder entries to every reader, and an empty name is no
    // name: neither can hold data.
    if (entryName.empty() || entryName.back() == '\\' || entryName.back() == '/') return false;
    std::string stored = entryName;
    for (char& c : stored) {
        if (c == '\\') c = '/';
    }

    // The first piece is read before the entry is opened, so that a source that cannot be read
    // at all leaves no entry behind.
    std::vector<unsigned char> in(kChunkSize);
    int64_t got = source.Read(in.data(), in.size());
    if (got < 0) return false;

    zip_fileinfo info{};
    info.tmz_date = ToZipTime(time);
    info.dosDate = 0;
    info.internal_fa = 0;
    info.external_fa = kArchiveAttribute;
    const int zip64 = sizeHint >= 0xFFFFFFFFull ? 1 : 0;
    if (zipOpenNewFileInZip2_64(zip, stored.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1, zip64) != ZIP_OK) {
        return false;
    }

    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        zipCloseFileInZipRaw64(zip, 0, 1);  // an empty entry with a checksum that cannot match
        return false;
    }
    std::vector<unsigned char> out(kChunkSize);
    uint64_t total = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    bool readOk = true;
    bool writeOk = true;
    for (;;) {
        if (got > 0) {
            total += static_cast<uint64_t>(got);
            crc = crc32(crc, in.data(), static_cast<uInt>(got));
        }
        // Past 4 GiB without the extension the sizes would wrap; stop and spoil the entry.
        if (!zip64 && total >= 0xFFFFFFFFull) readOk = false;
        bool last = got <= 0 || !readOk;
        stream.next_in = in.data();
        stream.avail_in = got > 0 ? static_cast<uInt>(got) : 0;
        bool more = true;
        while (more) {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            int result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            size_t produced = out.size() - stream.avail_out;
            if (result == Z_STREAM_ERROR) {
                writeOk = false;
                break;
            }
            // No progress possible: this piece is all taken in (while finishing, that would
            // mean a stream that never ends).
            if (result == Z_BUF_ERROR) {
                if (last) writeOk = false;
                break;
            }
            if (produced > 0 && writeOk) {
                writeOk = zipWriteInFileInZip(zip, out.data(), static_cast<unsigned>(produced)) ==
                          ZIP_OK;
            }
            // Full output means more is waiting; when finishing, go on until the stream ends.
            more = stream.avail_out == 0 || (last && result != Z_STREAM_END);
        }
        if (last) break;
        got = source.Read(in.data(), in.size());
        if (got < 0) readOk = false;
    }
    deflateEnd(&stream);
    uLong recorded = readOk ? crc : ~crc;
    bool closed = zipCloseFileInZipRaw64(zip, total, recorded) == ZIP_OK;
    return readOk && writeOk && closed;
}

}  // namespace

bool ArchiveWriter::Create(const std::string& path) {
    // A writer still open on another archive finishes that one first, so neither leaks.
    if (isOpen) Close();
    zlib_filefunc64_def io = detail::OsFileFunctions();
    zipFile zip = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
    handle = zip;
    isOpen = zip != nullptr;
    return isOpen;
}

bool ArchiveWriter::Close() {
    if (!isOpen) return false;
    bool closed = zipClose(static_cast<zipFile>(handle), nullptr) == ZIP_OK;
    isOpen = false;
    handle = nullptr;
    return closed;
}

bool ArchiveWriter::AddFile(const std::string& sourcePath, const std::string& entryName) {
    if (!isOpen) return false;
    os::Os& sys = os::Current();
    auto file = sys.Open(sourcePath, os::OpenMode::Read);
    if (!file) return false;
    os::FileTime time;
    if (!sys.GetModifiedTime(sourcePath, time)) time = LocalTimeNow();
    int64_t size = file->Size();
    FileSource source(*file);
    return AddEntry(static_cast<zipFile>(handle), entryName, time,
                    size > 0 ? static_cast<uint64_t>(size) : 0, source);
}

bool ArchiveWriter::AddMemory(const std::string& entryName, const void* data, int64_t length) {
    if (!isOpen || !data || length <= 0) return false;
    MemorySource source(data, static_cast<uint64_t>(length));
    return AddEntry(static_cast<zipFile>(handle), entryName, LocalTimeNow(),
                    static_cast<uint64_t>(length), source);
}

}  // namespace package

// Writing backup archives. Each entry is deflated here and handed to minizip raw, so that the
// size and checksum recorded for it are the ones of the bytes actually read: a game file that
// fails half-way through reading is stored with a checksum that can never match, and a later
// restore refuses it instead of putting back a truncated copy.
#include "package/ArchiveWriter.h"

#include <zip.h>

#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "os/Os.h"
#include "package/ZipIo.h"

namespace package {

namespace {

// Backups are written at deflate's fastest level: an install waits for every game file it
// replaces to be compressed, and level 1 keeps that to a fraction of the time of the default
// level for archives only slightly larger.
constexpr int kDeflateLevel = Z_BEST_SPEED;
// Files are compressed in blocks of this size, each on its own core. Memory stays at two
// blocks per core whatever the file's size.
constexpr size_t kBlockSize = 1024 * 1024;
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

// One block of an entry: its bytes, their deflated form (ending on a byte boundary but not
// ending the stream, so blocks can be joined) and their checksum.
struct Block {
    std::vector<unsigned char> in;
    std::vector<unsigned char> out;
    uLong crc = 0;
    bool ok = false;
};

void DeflateBlock(void* argument) {
    Block& block = *static_cast<Block*>(argument);
    block.crc = crc32(crc32(0L, Z_NULL, 0), block.in.data(), static_cast<uInt>(block.in.size()));
    z_stream stream{};
    block.ok = false;
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
    block.out.resize(deflateBound(&stream, static_cast<uLong>(block.in.size())) + 16);
    stream.next_in = block.in.data();
    stream.avail_in = static_cast<uInt>(block.in.size());
    stream.next_out = block.out.data();
    stream.avail_out = static_cast<uInt>(block.out.size());
    int result = deflate(&stream, Z_SYNC_FLUSH);
    block.ok = result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    block.out.resize(block.out.size() - stream.avail_out);
    deflateEnd(&stream);
}

// Deflates the blocks of a batch side by side: all but the first on threads of their own.
class BlockCompressor {
public:
    BlockCompressor() {
        unsigned cores = std::thread::hardware_concurrency();
        width = cores == 0 ? 1 : (cores > 8 ? 8 : cores);
    }
    size_t Width() const { return width; }
    void Deflate(Block* blocks, size_t count) {
        os::Os& sys = os::Current();
        std::vector<os::Thread*> threads;
        for (size_t k = 1; k < count; ++k) {
            os::Thread* t = sys.StartThread(DeflateBlock, &blocks[k]);
            if (!t) DeflateBlock(&blocks[k]);  // no thread to be had: this one does it
            threads.push_back(t);
        }
        if (count > 0) DeflateBlock(&blocks[0]);
        for (os::Thread* t : threads) sys.CloseThread(t);
    }

private:
    size_t width;
};

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
    std::vector<unsigned char> in(kBlockSize);
    int64_t got = source.Read(in.data(), in.size());
    if (got < 0) return false;

    zip_fileinfo info{};
    info.tmz_date = ToZipTime(time);
    info.dosDate = 0;
    info.internal_fa = 0;
    info.external_fa = kArchiveAttribute;
    const int zip64 = sizeHint >= 0xFFFFFFFFull ? 1 : 0;
    if (zipOpenNewFileInZip2_64(zip, stored.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, kDeflateLevel, 1, zip64) != ZIP_OK) {
        return false;
    }

    BlockCompressor compressor;
    uint64_t total = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    bool readOk = true;
    bool writeOk = true;
    // Blocks are read in turn and deflated side by side, one per core; the output goes into
    // the archive in their order.
    std::vector<Block> batch(compressor.Width());
    for (bool end = false; !end && writeOk;) {
        size_t filled = 0;
        while (filled < batch.size()) {
            Block& block = batch[filled];
            block.in.resize(kBlockSize);
            size_t have = 0;
            if (filled == 0 && total == 0 && got >= 0) {
                std::memcpy(block.in.data(), in.data(), static_cast<size_t>(got));
                have = static_cast<size_t>(got);
                got = -2;  // the first piece is used
            }
            while (have < kBlockSize) {
                int64_t n = source.Read(block.in.data() + have, kBlockSize - have);
                if (n < 0) readOk = false;
                if (n <= 0) break;
                have += static_cast<size_t>(n);
            }
            block.in.resize(have);
            if (have > 0) ++filled;
            if (have < kBlockSize) {
                end = true;
                break;
            }
        }
        compressor.Deflate(batch.data(), filled);
        for (size_t k = 0; k < filled && writeOk; ++k) {
            const Block& block = batch[k];
            writeOk = block.ok && zipWriteInFileInZip(zip, block.out.data(), static_cast<unsigned>(block.out.size())) == ZIP_OK;
            crc = crc32_combine(crc, block.crc, static_cast<z_off_t>(block.in.size()));
            total += block.in.size();
        }
        // Past 4 GiB without the extension the sizes would wrap; stop and spoil the entry.
        if (!zip64 && total >= 0xFFFFFFFFull) {
            readOk = false;
            end = true;
        }
    }
    // The blocks end on byte boundaries without ending the stream; one empty final block does.
    static const unsigned char kFinalBlock[] = {0x03, 0x00};
    if (writeOk) writeOk = zipWriteInFileInZip(zip, kFinalBlock, sizeof kFinalBlock) == ZIP_OK;
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

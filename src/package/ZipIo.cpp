// minizip reads and writes archives through these callbacks, each one a thin call on the
// os::File that the open callback made.
#include "package/ZipIo.h"

#include <limits>
#include <memory>

#include "os/Os.h"

namespace package::detail {

namespace {

struct Stream {
    std::unique_ptr<os::File> file;
    bool failed = false;
    bool writing = false;
};

voidpf ZCALLBACK OpenStream(voidpf, const void* filename, int mode) {
    if (!filename) return nullptr;
    os::OpenMode openMode;
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) {
        openMode = os::OpenMode::Read;
    } else if (mode & ZLIB_FILEFUNC_MODE_EXISTING) {
        openMode = os::OpenMode::Update;
    } else if (mode & ZLIB_FILEFUNC_MODE_CREATE) {
        openMode = os::OpenMode::Create;
    } else {
        return nullptr;
    }
    auto file = os::Current().Open(static_cast<const char*>(filename), openMode);
    if (!file) return nullptr;
    auto* stream = new Stream;
    stream->file = std::move(file);
    stream->writing = openMode != os::OpenMode::Read;
    return stream;
}

uLong ZCALLBACK ReadStream(voidpf, voidpf opaque, void* buffer, uLong size) {
    auto* stream = static_cast<Stream*>(opaque);
    int64_t got = stream->file->Read(buffer, static_cast<int64_t>(size));
    if (got < 0) {
        stream->failed = true;
        return 0;
    }
    return static_cast<uLong>(got);
}

uLong ZCALLBACK WriteStream(voidpf, voidpf opaque, const void* data, uLong size) {
    auto* stream = static_cast<Stream*>(opaque);
    if (!stream->file->Write(data, static_cast<int64_t>(size))) {
        stream->failed = true;
        return 0;
    }
    return size;
}

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf opaque) {
    auto* stream = static_cast<Stream*>(opaque);
    int64_t at = stream->file->Tell();
    if (at < 0) {
        stream->failed = true;
        return static_cast<ZPOS64_T>(-1);
    }
    return static_cast<ZPOS64_T>(at);
}

long ZCALLBACK SeekStream(voidpf, voidpf opaque, ZPOS64_T offset, int origin) {
    auto* stream = static_cast<Stream*>(opaque);
    int64_t base = 0;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
        case ZLIB_FILEFUNC_SEEK_CUR: base = stream->file->Tell(); break;
        case ZLIB_FILEFUNC_SEEK_END: base = stream->file->Size(); break;
        default: return -1;
    }
    // minizip passes backward moves as large unsigned numbers; the sum wraps to the target.
    uint64_t target = static_cast<uint64_t>(base) + offset;
    if (base < 0 || target > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ||
        !stream->file->Seek(static_cast<int64_t>(target))) {
        return -1;
    }
    return 0;
}

int ZCALLBACK CloseStream(voidpf, voidpf opaque) {
    auto* stream = static_cast<Stream*>(opaque);
    // An archive that was written is on the disk when its close answers: a backup archive is
    // complete before any game file changes.
    // A write that failed on the way (a full disk) makes the archive unusable, whatever the
    // calls after it managed.
    bool flushed = !stream->writing || stream->file->Flush();
    bool closed = stream->file->Close() && flushed && !(stream->writing && stream->failed);
    delete stream;
    return closed ? 0 : -1;
}

int ZCALLBACK StreamFailed(voidpf, voidpf opaque) {
    return static_cast<Stream*>(opaque)->failed ? 1 : 0;
}

}  // namespace

zlib_filefunc64_def OsFileFunctions() {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenStream;
    functions.zread_file = ReadStream;
    functions.zwrite_file = WriteStream;
    functions.ztell64_file = TellStream;
    functions.zseek64_file = SeekStream;
    functions.zclose_file = CloseStream;
    functions.zerror_file = StreamFailed;
    functions.opaque = nullptr;
    return functions;
}

}  // namespace package::detail

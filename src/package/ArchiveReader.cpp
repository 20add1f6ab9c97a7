// Reading packages and backup archives. The central directory is read once when an archive
// is opened; entries are then found by index or by name without going back to it.
//
// Packages are untrusted input, so nothing the archive declares is taken on faith: names are
// checked before they are joined to a folder, memory is only allocated up to a fixed cap, and
// the compressed data is inflated here (minizip hands it over raw) so that data that runs
// short, runs long or fails its checksum is caught whatever sizes the headers claim.
#include "package/ArchiveReader.h"

#include <unzip.h>

#include <cstring>
#include <limits>

#include "common/Ascii.h"
#include "package/EntryNames.h"
#include "package/ZipIo.h"

namespace package {

namespace {

// Extraction works in pieces of this size, however large the entry.
constexpr size_t kChunkSize = 256 * 1024;

bool EndsWithSeparator(const std::string& name) {
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// The stored time, when it is a time at all (hostile or broken archives hold any bits).
bool ToFileTime(const tm_unz& stored, os::FileTime& time) {
    time.year = static_cast<int>(stored.tm_year);
    time.month = static_cast<int>(stored.tm_mon) + 1;
    time.day = static_cast<int>(stored.tm_mday);
    time.hour = static_cast<int>(stored.tm_hour);
    time.minute = static_cast<int>(stored.tm_min);
    time.second = static_cast<int>(stored.tm_sec);
    return time.year >= 1980 && time.month >= 1 && time.month <= 12 && time.day >= 1 &&
           time.day <= 31 && time.hour >= 0 && time.hour < 24 && time.minute >= 0 &&
           time.minute < 60 && time.second >= 0 && time.second < 60;
}

// A folder and its missing parents. EnsureFolder leaves a name without any separator alone
// (a child of the working directory), so that one is made here.
bool MakeFolder(const std::string& path) {
    os::Os& sys = os::Current();
    if (!EnsureFolder(path)) return false;
    return sys.IsFolder(path) || sys.CreateFolder(path);
}

// A name in folderPrefix that nothing has yet: where an entry is written before it replaces
// its target.
std::string TemporaryName(const std::string& folderPrefix) {
    os::Os& sys = os::Current();
    for (int n = 0; n < 1000; ++n) {
        std::string candidate = folderPrefix + "~osp" + std::to_string(n) + ".part";
        if (!sys.Exists(candidate)) return candidate;
    }
    return {};
}

}  // namespace

bool ArchiveReader::Open(const std::string& path) {
    Close();
    extractFolder.clear();
    zlib_filefunc64_def io = detail::OsFileFunctions();
    unzFile zip = unzOpen2_64(path.c_str(), &io);
    if (!zip) return false;

    unz_global_info64 global;
    bool ok = unzGetGlobalInfo64(zip, &global) == UNZ_OK &&
              global.number_entry <= static_cast<ZPOS64_T>(std::numeric_limits<int32_t>::max());
    if (ok && global.number_entry > 0) {
        int err = unzGoToFirstFile(zip);
        while (err == UNZ_OK) {
            unz_file_info64 stored;
            char name[kNameBufferSize];
            unz64_file_pos pos;
            err = unzGetCurrentFileInfo64(zip, &stored, name, sizeof name, nullptr, 0, nullptr, 0);
            if (err == UNZ_OK) err = unzGetFilePos64(zip, &pos);
            if (err != UNZ_OK) break;
            if (entries.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
                err = UNZ_BADZIPFILE;
                break;
            }

            // minizip cuts a name at the buffer's end; such an entry is kept (its index counts)
            // but never found or written under the cut-off name.
            EntryInfo info;
            info.usable = stored.size_filename < static_cast<uLong>(kNameBufferSize);
            size_t length = info.usable ? stored.size_filename : kNameBufferSize - 1;
            info.storedName.assign(name, length);
            info.name = CleanEntryName(info.storedName);
            info.attributes = static_cast<uint32_t>(stored.external_fa & 0xFF);
            if (EndsWithSeparator(info.name)) info.attributes |= kFolderAttribute;
            info.size = stored.uncompressed_size;

            EntryPlace place;
            place.directoryOffset = pos.pos_in_zip_directory;
            place.fileNumber = pos.num_of_file;
            place.crc = static_cast<uint32_t>(stored.crc);
            place.compressedSize = stored.compressed_size;
            place.method = static_cast<int>(stored.compression_method);
            place.encrypted = (stored.flag & 1) != 0;
            place.hasTime = ToFileTime(stored.tmu_date, place.time);

            int32_t index = static_cast<int32_t>(entries.size());
            if (info.usable) firstByName.emplace(common::ToLowerAscii(info.name), index);
            entries.push_back(std::move(info));
            places.push_back(place);
            err = unzGoToNextFile(zip);
        }
        // An old-style count of 0xFFFF means "this many or more": minizip then walks on until
        // the next record is no directory entry.
        bool openEnded = global.number_entry == 0xFFFF && err == UNZ_BADZIPFILE &&
                         entries.size() >= 0xFFFF;
        ok = (err == UNZ_END_OF_LIST_OF_FILE && entries.size() == global.number_entry) || openEnded;
    }
    if (!ok) {
        unzClose(zip);
        Forget();
        return false;
    }
    handle = zip;
    isOpen = true;
    entryCount = static_cast<int32_t>(entries.size());
    return true;
}

void ArchiveReader::Close() {
    if (!isOpen) return;
    unzClose(static_cast<unzFile>(handle));
    Forget();
}

void ArchiveReader::Forget() {
    isOpen = false;
    handle = nullptr;
    entryCount = 0;
    entries.clear();
    places.clear();
    firstByName.clear();
}

bool ArchiveReader::GetEntryInfo(int32_t index, EntryInfo& info) const {
    if (!isOpen || index < 0 || index >= entryCount) return false;
    info = entries[static_cast<size_t>(index)];
    return true;
}

int32_t ArchiveReader::FindEntry(const std::string& name) const {
    if (!isOpen) return -1;
    auto it = firstByName.find(common::ToLowerAscii(name));
    return it == firstByName.end() ? -1 : it->second;
}

bool ArchiveReader::SetExtractFolder(const std::string& folder) {
    // An empty folder would make every target start with "\": the root of the drive.
    if (folder.empty()) return false;
    os::Os& sys = os::Current();
    if (sys.Exists(folder) && !sys.IsFolder(folder)) return false;
    extractFolder = folder + "\\";
    return EnsureFolder(folder);
}

bool ArchiveReader::ExtractToFile(const std::string& name) {
    int32_t index = FindEntry(name);
    return index >= 0 && WriteEntryToDisk(index);
}

bool ArchiveReader::ExtractEntry(int32_t index) { return WriteEntryToDisk(index); }

bool ArchiveReader::ExtractToMemory(const std::string& name, std::vector<char>& block,
                                    int64_t& size, bool terminate) {
    size = 0;
    std::vector<char>().swap(block);
    int32_t index = FindEntry(name);
    if (index < 0) return false;
    uint64_t declared = entries[static_cast<size_t>(index)].size;
    if (declared > kMaxMemoryEntry) return false;

    std::vector<char> data(static_cast<size_t>(declared) + (terminate ? 1 : 0), 0);
    size_t filled = 0;
    // ReadEntry never hands over more than the declared size, so the block cannot overflow.
    bool ok = ReadEntry(index, [&](const char* chunk, size_t length) {
        std::memcpy(data.data() + filled, chunk, length);
        filled += length;
        return true;
    });
    if (!ok) return false;
    block.swap(data);
    size = static_cast<int64_t>(declared);
    return true;
}

bool ArchiveReader::ReadEntry(int32_t index,
                              const std::function<bool(const char*, size_t)>& take) {
    if (!isOpen || index < 0 || index >= entryCount) return false;
    const EntryInfo& info = entries[static_cast<size_t>(index)];
    const EntryPlace& place = places[static_cast<size_t>(index)];
    // No archive of this system is ever protected by a password; other methods are not ours.
    if (!info.usable || place.encrypted || (place.method != 0 && place.method != Z_DEFLATED)) {
        return false;
    }
    unzFile zip = static_cast<unzFile>(handle);
    unz64_file_pos pos{place.directoryOffset, place.fileNumber};
    int method = 0, level = 0;
    if (unzGoToFilePos64(zip, &pos) != UNZ_OK ||
        unzOpenCurrentFile2(zip, &method, &level, 1) != UNZ_OK) {
        return false;
    }

    const uint64_t declared = info.size;
    uint64_t total = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    std::vector<unsigned char> in(kChunkSize);
    // Accepts a piece of the entry's data unless it would run past the declared size.
    auto emit = [&](const unsigned char* data, size_t length) {
        if (length == 0) return true;
        if (length > declared - total) return false;
        total += length;
        crc = crc32(crc, data, static_cast<uInt>(length));
        return take(reinterpret_cast<const char*>(data), length);
    };
    // The next piece of compressed data: its length, 0 at its end, negative on an error.
    auto readRaw = [&]() { return unzReadCurrentFile(zip, in.data(), static_cast<unsigned>(in.size())); };

    bool ok = true;
    if (place.method == 0) {
        for (int got; ok && (got = readRaw()) != 0;) {
            ok = got > 0 && emit(in.data(), static_cast<size_t>(got));
        }
    } else {
        std::vector<unsigned char> out(kChunkSize);
        z_stream stream{};
        ok = inflateInit2(&stream, -MAX_WBITS) == Z_OK;
        bool inputDone = false;
        bool ended = false;
        while (ok && !ended) {
            if (stream.avail_in == 0 && !inputDone) {
                int got = readRaw();
                if (got < 0) {
                    ok = false;
                    break;
                }
                inputDone = got == 0;
                stream.next_in = in.data();
                stream.avail_in = static_cast<uInt>(got);
            }
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            int result = inflate(&stream, Z_NO_FLUSH);
            ok = emit(out.data(), out.size() - stream.avail_out);
            if (result == Z_STREAM_END) {
                ended = true;
            } else if (result == Z_BUF_ERROR) {
                // No progress: fine while more compressed data is to come; once it has all
                // been read, the data stopped before the deflate stream ended.
                if (inputDone || stream.avail_in != 0) ok = false;
            } else if (result != Z_OK) {
                ok = false;
            }
        }
        inflateEnd(&stream);
    }
    // Raw reading leaves the checksum to us: minizip checks none here.
    unzCloseCurrentFile(zip);
    return ok && total == declared && static_cast<uint32_t>(crc) == place.crc;
}

bool ArchiveReader::WriteEntryToDisk(int32_t index) {
    if (!isOpen || index < 0 || index >= entryCount) return false;
    const EntryInfo& info = entries[static_cast<size_t>(index)];
    if (!info.usable || !StaysInside(info.name)) return false;

    // Core paths are joined with "\"; the stored "/" are turned into it.
    std::string relative = info.name;
    for (char& c : relative) {
        if (c == '/') c = '\\';
    }
    if (EndsWithSeparator(relative)) relative.pop_back();
    std::string target = extractFolder + relative;
    if (info.attributes & kFolderAttribute) return MakeFolder(target);

    os::Os& sys = os::Current();
    if (sys.IsFolder(target)) return false;
    size_t cut = target.find_last_of("\\/");
    std::string folderPrefix = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
    if (cut != std::string::npos && cut > 0 && !MakeFolder(target.substr(0, cut))) return false;

    std::string temporary = TemporaryName(folderPrefix);
    if (temporary.empty()) return false;
    auto file = sys.Open(temporary, os::OpenMode::Create);
    if (!file) return false;
    bool ok = ReadEntry(index, [&](const char* data, size_t length) {
        return file->Write(data, static_cast<int64_t>(length));
    });
    ok = file->Close() && ok;
    file.reset();
    const EntryPlace& place = places[static_cast<size_t>(index)];
    // The time is a courtesy: a file system that cannot take it still gets the data.
    if (ok && place.hasTime) sys.SetModifiedTime(temporary, place.time);
    ok = ok && sys.MoveReplace(temporary, target);
    if (!ok) sys.RemoveFile(temporary);
    return ok;
}

}  // namespace package

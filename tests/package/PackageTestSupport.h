// Helpers of the archive tests: a working-directory guard, varied test data and an Os whose
// chosen files fail to read, write or be moved.
#pragma once

#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "common/Ascii.h"
#include "os/ForwardingOs.h"

namespace package_tests {

// Makes folder the working directory for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& folder) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingDirectory() {
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous;
};

// The modification time of path as "YYYY-MM-DD hh:mm:ss", or "<none>".
inline std::string ModifiedTimeText(const std::string& path) {
    os::FileTime t;
    if (!os::Current().GetModifiedTime(path, t)) return "<none>";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// size bytes of text that deflates, but not to nothing (so damage in the middle of the
// compressed data lands in real data).
inline std::string VariedData(size_t size) {
    std::string data(size, '\0');
    uint32_t state = 12345;
    for (char& c : data) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>('a' + (state >> 16) % 16);
    }
    return data;
}

// The real backend, except for files whose path ends with failingName: those answer -1 to
// every read after the first readsAllowed and false to every write after writesAllowed. With
// failMove set, no file can be moved over another.
class FaultyOs : public os::ForwardingOs {
public:
    FaultyOs() : os::ForwardingOs(os::Native()) {}

    std::string failingName;
    int readsAllowed = INT_MAX;
    int writesAllowed = INT_MAX;
    bool failMove = false;

    std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override {
        auto file = target.Open(path, mode);
        if (!file || failingName.empty() || !common::EndsWithNoCase(path, failingName)) return file;
        return std::make_unique<FaultyFile>(std::move(file), *this);
    }
    bool MoveReplace(const std::string& from, const std::string& to) override {
        return !failMove && target.MoveReplace(from, to);
    }

private:
    class FaultyFile final : public os::File {
    public:
        FaultyFile(std::unique_ptr<os::File> inner, FaultyOs& owner)
            : inner(std::move(inner)), reads(owner.readsAllowed), writes(owner.writesAllowed) {}
        int64_t Read(void* buffer, int64_t size) override {
            return reads-- > 0 ? inner->Read(buffer, size) : -1;
        }
        bool Write(const void* data, int64_t size) override {
            return writes-- > 0 && inner->Write(data, size);
        }
        bool Seek(int64_t offset) override { return inner->Seek(offset); }
        int64_t Tell() override { return inner->Tell(); }
        int64_t Size() override { return inner->Size(); }
        bool Flush() override { return inner->Flush(); }
        bool Close() override { return inner->Close(); }

    private:
        std::unique_ptr<os::File> inner;
        int reads;
        int writes;
    };
};

}  // namespace package_tests

// A File that stands for a held lock: nothing is read or written through it, and closing it
// (or destroying it) gives the lock up through the backend's release.
#pragma once

#include <functional>
#include <utility>

#include "os/Os.h"

namespace os {

class HeldFile final : public File {
public:
    explicit HeldFile(std::function<void()> release) : release(std::move(release)) {}
    ~HeldFile() override { Close(); }
    int64_t Read(void*, int64_t) override { return -1; }
    bool Write(const void*, int64_t) override { return false; }
    bool Seek(int64_t) override { return false; }
    int64_t Tell() override { return -1; }
    int64_t Size() override { return -1; }
    bool Flush() override { return true; }
    bool Close() override {
        if (release) std::exchange(release, nullptr)();
        return true;
    }

private:
    std::function<void()> release;
};

}  // namespace os

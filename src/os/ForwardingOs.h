// An Os that hands every call to another one. Tests derive from it and replace the calls they
// want to fake or to fail, leaving the rest to the real backend.
#pragma once

#include "os/Os.h"

namespace os {

class ForwardingOs : public Os {
public:
    explicit ForwardingOs(Os& target) : target(target) {}

    std::string ReadProfileString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& fallback,
                                  int bufferSize) override {
        return target.ReadProfileString(path, section, key, fallback, bufferSize);
    }
    bool WriteProfileString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value) override {
        return target.WriteProfileString(path, section, key, value);
    }
    bool ReadMachineRegistryString(const std::string& key, const std::string& valueName,
                                   int bufferSize, std::string& value) override {
        return target.ReadMachineRegistryString(key, valueName, bufferSize, value);
    }
    std::string AppDataFolder() override { return target.AppDataFolder(); }
    std::string DocumentsFolder() override { return target.DocumentsFolder(); }
    bool Exists(const std::string& path) override { return target.Exists(path); }
    bool IsFolder(const std::string& path) override { return target.IsFolder(path); }
    bool CreateFolder(const std::string& path) override { return target.CreateFolder(path); }
    bool RemoveFile(const std::string& path) override { return target.RemoveFile(path); }
    bool MoveReplace(const std::string& from, const std::string& to) override {
        return target.MoveReplace(from, to);
    }
    bool SetModifiedTime(const std::string& path, const FileTime& time) override {
        return target.SetModifiedTime(path, time);
    }
    bool GetModifiedTime(const std::string& path, FileTime& time) override {
        return target.GetModifiedTime(path, time);
    }
    std::unique_ptr<DirSearch> FindFiles(const std::string& folder,
                                         const std::string& extension) override {
        return target.FindFiles(folder, extension);
    }
    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        return target.Open(path, mode);
    }
    Thread* StartThread(ThreadProc proc, void* argument) override {
        return target.StartThread(proc, argument);
    }
    bool ThreadEnded(Thread* thread) override { return target.ThreadEnded(thread); }
    void CloseThread(Thread* thread) override { target.CloseThread(thread); }
    uint32_t TickCount() override { return target.TickCount(); }
    void Sleep(uint32_t milliseconds) override { target.Sleep(milliseconds); }
    std::string DisplayPath(const std::string& path) override { return target.DisplayPath(path); }

protected:
    Os& target;
};

}  // namespace os

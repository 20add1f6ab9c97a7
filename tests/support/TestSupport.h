// Helpers shared by the tests: a temporary folder that cleans up after itself, an Os with
// fake user folders and a fake registry in front of the real backend, and file helpers.
#pragma once

#include <map>
#include <string>

#include "os/ForwardingOs.h"

namespace testing_support {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // path + "\" + name, the way the core joins names.
    std::string Join(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
};

// User folders below a temporary folder and, unless a test asks for the real one, a
// registry held in memory.
class TestOs : public os::ForwardingOs {
public:
    TestOs();

    std::string AppDataFolder() override { return appData; }
    std::string DocumentsFolder() override { return documents; }
    bool ReadMachineRegistryString(const std::string& key, const std::string& valueName,
                                   int bufferSize, std::string& value) override;

    // HKEY_LOCAL_MACHINE\key "Install Path" (or another value name) for the fake registry.
    void SetRegistry(const std::string& key, const std::string& value,
                     const std::string& valueName = "Install Path");

    TempDir root;
    std::string appData;
    std::string documents;
    bool fakeRegistry = true;

private:
    std::map<std::string, std::string> registry;
};

// Whole files through the OS layer; Read answers "<missing>" for a file that cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);
// Every file below folder, relative name ("/"-separated) to content: a snapshot to compare.
std::map<std::string, std::string> Snapshot(const std::string& folder);
// The same without folder entries, and with every archive ("*.backup") given as its entries'
// names and bytes: the times stored in archives differ from one run to the next.
std::map<std::string, std::string> ContentSnapshot(const std::string& folder);

}  // namespace testing_support

#include "support/TestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "os/Os.h"
#include "package/ArchiveReader.h"

namespace fs = std::filesystem;

namespace testing_support {

namespace {

fs::path HostPath(const std::string& corePath) {
    std::string p = corePath;
#ifndef _WIN32
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
#endif
    return fs::path(p);
}

}  // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    fs::path base = fs::temp_directory_path();
    for (;;) {
        fs::path candidate = base / ("osp-" + std::to_string(rd()) + "-" +
                                     std::to_string(counter.fetch_add(1)));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path = candidate.string();
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(HostPath(path), ec);
}

TestOs::TestOs() : os::ForwardingOs(os::Native()) {
    appData = root.Join("AppData");
    documents = root.Join("Documents");
    os::Native().CreateFolder(appData);
    os::Native().CreateFolder(documents);
}

bool TestOs::ReadMachineRegistryString(const std::string& key, const std::string& valueName,
                                       int bufferSize, std::string& value) {
    if (!fakeRegistry) return target.ReadMachineRegistryString(key, valueName, bufferSize, value);
    auto it = registry.find(key + "|" + valueName);
    if (it == registry.end()) return false;
    if (it->second.size() + 1 > static_cast<size_t>(bufferSize)) return false;
    value = it->second;
    return true;
}

void TestOs::SetRegistry(const std::string& key, const std::string& value,
                         const std::string& valueName) {
    registry[key + "|" + valueName] = value;
}

std::string ReadFile(const std::string& path) {
    std::string data;
    if (!os::ReadWholeFile(path, data)) return "<missing>";
    return data;
}

void WriteFile(const std::string& path, const std::string& data) {
    os::WriteWholeFile(path, data);
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    fs::path root = HostPath(folder);
    std::error_code ec;
    if (!fs::exists(root, ec)) return files;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (ec) break;
        std::string rel = fs::relative(it->path(), root, ec).generic_string();
        if (it->is_directory(ec)) {
            files[rel + "/"] = "";
            continue;
        }
        std::ifstream in(it->path(), std::ios::binary);
        files[rel] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

std::map<std::string, std::string> ContentSnapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (auto& [name, data] : Snapshot(folder)) {
        if (name.back() == '/') continue;
        if (name.size() > 7 && name.compare(name.size() - 7, 7, ".backup") == 0) {
            package::ArchiveReader reader;
            std::string listing = "archive:";
            if (reader.Open(folder + "\\" + name)) {
                for (int32_t i = 0; i < reader.EntryCount(); ++i) {
                    package::EntryInfo info;
                    reader.GetEntryInfo(i, info);
                    std::vector<char> block;
                    int64_t size = 0;
                    reader.ExtractToMemory(info.name, block, size, false);
                    listing += "\n" + info.storedName + "=" + std::string(block.begin(), block.begin() + size);
                }
                reader.Close();
            }
            data = listing;
        }
        files[name] = data;
    }
    return files;
}

}  // namespace testing_support

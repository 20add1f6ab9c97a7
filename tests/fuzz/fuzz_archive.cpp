// Arbitrary bytes opened as an archive: every entry is looked up, read into memory and
// extracted, and nothing may be written outside the extraction folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "os/Os.h"
#include "package/ArchiveReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string root = fuzzing::ScratchFolder();
    const std::string archive = root + "/input.zip";
    const std::string out = root + "/out";
    fuzzing::EmptyFolder(out);
    os::WriteWholeFile(archive, std::string(reinterpret_cast<const char*>(data), size));

    fuzzing::GuardOs guard(os::Native());
    guard.allowed = {out};
    os::OsOverride use(guard);

    package::ArchiveReader reader;
    if (!reader.Open(archive)) {
        if (reader.EntryCount() != 0 || reader.IsOpen()) __builtin_trap();
        return 0;
    }
    reader.SetExtractFolder(out);
    for (int32_t i = 0; i < reader.EntryCount(); ++i) {
        package::EntryInfo info;
        if (!reader.GetEntryInfo(i, info)) __builtin_trap();
        std::vector<char> block;
        int64_t got = -1;
        if (reader.ExtractToMemory(info.name, block, got, true)) {
            if (block.size() != static_cast<size_t>(got) + 1 || block.back() != '\0') __builtin_trap();
        }
        reader.ExtractEntry(i);
        reader.ExtractToFile(info.name);
    }
    if (reader.ExtractEntry(reader.EntryCount())) __builtin_trap();
    reader.Close();
    return 0;
}

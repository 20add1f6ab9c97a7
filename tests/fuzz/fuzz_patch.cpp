// Patch data applied to a small file: the file never changes length, data that does not fit
// changes nothing, and the inverse patch always brings the earlier bytes back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "install/PatchData.h"
#include "os/Os.h"
#include "slots/SlotlessCommandWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t fileSize = (data[0] | (data[1] << 8)) % 600;
    const char* patch = reinterpret_cast<const char*>(data + 2);
    const int64_t patchSize = static_cast<int64_t>(size - 2);

    std::string original(fileSize, '\0');
    for (size_t i = 0; i < fileSize; ++i) original[i] = static_cast<char>(i * 7 + 3);
    const std::string file = fuzzing::ScratchFolder() + "/target.bin";
    std::string now;

    os::WriteWholeFile(file, original);
    const bool fits = install::PatchFits(patch, patchSize, static_cast<int64_t>(fileSize));
    std::vector<char> inverse;
    const bool applied = install::ApplyPatch(file, patch, patchSize, inverse);
    if (applied != fits) __builtin_trap();
    if (!os::ReadWholeFile(file, now) || now.size() != fileSize) __builtin_trap();
    if (!applied && now != original) __builtin_trap();
    if (applied) {
        if (inverse.size() != static_cast<size_t>(patchSize)) __builtin_trap();
        const std::string patched = now;
        // The slotless walk writes the same bytes without keeping the old ones.
        os::WriteWholeFile(file, original);
        slots::WritePatchRecords(file, patch, patchSize);
        if (!os::ReadWholeFile(file, now) || now != patched) __builtin_trap();
        std::vector<char> again;
        if (!install::ApplyPatch(file, inverse.data(), patchSize, again)) __builtin_trap();
        if (!os::ReadWholeFile(file, now) || now != original) __builtin_trap();
    }
    return 0;
}

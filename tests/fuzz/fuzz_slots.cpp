// A slot file of arbitrary bytes: a release drops the records of its own slot and no other.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "FuzzSupport.h"
#include "os/Os.h"
#include "platform/Settings.h"
#include "slots/SlotTable.h"

namespace {

// Owners as queries see them, for the slot numbers that could stand in the file.
std::map<int32_t, std::string> Owners(const slots::SlotTable& table, int32_t around) {
    std::map<int32_t, std::string> owners;
    for (int32_t slot : {around - 1, around, around + 1, 0, 1, 2, 3, 7, 12, -1, INT32_MAX, INT32_MIN}) {
        std::string owner;
        if (table.FindOwner(5, slot, owner)) owners[slot] = owner;
    }
    return owners;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string root = fuzzing::ScratchFolder() + "/slots";
    fuzzing::EmptyFolder(root + "/Tolvenar/ORVA");
    fuzzing::GuardOs guard(os::Native());
    guard.appData = root;
    guard.allowed = {root + "/Tolvenar/ORVA"};
    os::OsOverride use(guard);

    platform::Settings settings;
    slots::SlotTable table(settings);
    const int32_t slot = static_cast<int32_t>(data[0] % 16);
    const std::string file = table.PathOf(5);
    os::WriteWholeFile(file, std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    std::map<int32_t, std::string> before = Owners(table, slot);
    if (!table.Release(5, slot)) __builtin_trap();
    std::map<int32_t, std::string> after = Owners(table, slot);
    std::string owner;
    if (table.FindOwner(5, slot, owner)) __builtin_trap();  // every record of the slot went
    before.erase(slot);
    if (slot - 1 == INT32_MAX || slot + 1 == INT32_MIN) return 0;
    if (before != after) __builtin_trap();  // every other record is still found, unchanged

    std::string once, twice;
    os::ReadWholeFile(file, once);
    table.Release(5, slot);
    os::ReadWholeFile(file, twice);
    if (once != twice) __builtin_trap();
    return 0;
}

#include "GameData.h"

#include <cstdio>
#include <cstring>

namespace bench {

namespace {

constexpr const char* kCraft[] = {
    "XWing", "YWing", "AWing", "BWing", "ZNinetyFive", "TieFighter", "TieInterceptor",
    "TieBomber", "TieAdvanced", "Corvette", "Frigate", "Cruiser", "Shuttle", "Transport",
    "Freighter", "Container", "StarDestroyer", "Platform", "Mine", "Probe",
};
constexpr size_t kCraftCount = sizeof kCraft / sizeof kCraft[0];

// 32-byte records: id, type, flags, three quantised coordinates, a padded name.
void AppendRecords(Random& random, std::string& out, size_t bytes, uint32_t& nextId) {
    while (bytes >= 32) {
        unsigned char record[32] = {};
        uint32_t id = nextId++;
        std::memcpy(record, &id, 4);
        record[4] = static_cast<unsigned char>(random.Below(8));
        record[6] = random.Below(4) == 0 ? static_cast<unsigned char>(random.Below(16)) : 0;
        for (int axis = 0; axis < 3; ++axis) {
            float coordinate = static_cast<float>(static_cast<int>(random.Below(8000)) - 4000) * 0.5f;
            std::memcpy(record + 8 + axis * 4, &coordinate, 4);
        }
        const char* craft = kCraft[random.Below(kCraftCount)];
        std::strncpy(reinterpret_cast<char*>(record + 20), craft, 11);
        out.append(reinterpret_cast<const char*>(record), sizeof record);
        bytes -= 32;
    }
    out.append(bytes, '\0');
}

void AppendRuns(Random& random, std::string& out, size_t bytes) {
    while (bytes > 0) {
        size_t run = 16 + random.Below(497);
        if (run > bytes) run = bytes;
        char value = random.Below(3) == 0 ? static_cast<char>(random.Below(256)) : '\0';
        out.append(run, value);
        bytes -= run;
    }
}

void AppendNoise(Random& random, std::string& out, size_t bytes) {
    while (bytes >= 8) {
        uint64_t word = random.Next();
        out.append(reinterpret_cast<const char*>(&word), 8);
        bytes -= 8;
    }
    while (bytes-- > 0) out.push_back(static_cast<char>(random.Below(256)));
}

}  // namespace

std::string GameBytes(uint64_t seed, size_t size) {
    Random random(seed);
    std::string out;
    out.reserve(size);
    uint32_t nextId = random.Below(1000);
    while (out.size() < size) {
        size_t segment = 256 + random.Below(16 * 1024);
        if (segment > size - out.size()) segment = size - out.size();
        // Out of 100 segments: 30 already compressed, 48 records, 22 runs.
        uint32_t kind = random.Below(100);
        if (kind < 30) {
            AppendNoise(random, out, segment);
        } else if (kind < 78) {
            AppendRecords(random, out, segment, nextId);
        } else {
            AppendRuns(random, out, segment);
        }
    }
    return out;
}

std::string GameTextLine(uint64_t seed, int index) {
    Random random(seed * 1000003u + static_cast<uint64_t>(index));
    std::string line = std::string(kCraft[random.Below(kCraftCount)]) + "_" + std::to_string(index);
    line += ",speed=" + std::to_string(50 + random.Below(150));
    line += ",shield=" + std::to_string(random.Below(400));
    line += ",hull=" + std::to_string(10 + random.Below(990));
    line += ",flags=" + std::to_string(random.Below(64));
    return line;
}

std::vector<GameFile> GameFileSet(int count, size_t totalBytes) {
    // Folders and kinds of an installed game; none of the extensions is one that marks data
    // entries of a package.
    struct Kind {
        const char* folder;
        const char* stem;
        const char* extension;
    };
    constexpr Kind kKinds[] = {
        {"FlightModels", "Craft", ".opt"},
        {"FlightModels", "Cockpit", ".opt"},
        {"Resdata", "Textures", ".dat"},
        {"Wave", "Engine", ".wav"},
        {"FlightModels", "Exterior", ".opt"},
    };
    std::vector<size_t> weights;
    size_t weightSum = 0;
    for (int i = 0; i < count; ++i) {
        weights.push_back(1 + static_cast<size_t>((i * 7) % 13));
        weightSum += weights.back();
    }
    std::vector<GameFile> files;
    size_t given = 0;
    for (int i = 0; i < count; ++i) {
        const Kind& kind = kKinds[i % (sizeof kKinds / sizeof kKinds[0])];
        GameFile file;
        char number[16];
        std::snprintf(number, sizeof number, "%02d", i);
        file.name = std::string(kind.folder) + "/" + kind.stem + number + kind.extension;
        file.replacementSize =
            i + 1 == count ? totalBytes - given : totalBytes / weightSum * weights[i];
        given += file.replacementSize;
        // The shipped file is a little shorter or longer than its replacement, or as long.
        file.originalSize = file.replacementSize + file.replacementSize / 32 * (i % 3) -
                            file.replacementSize / 32;
        files.push_back(file);
    }
    return files;
}

}  // namespace bench

// Reproducible game-like bytes and the file set of the install benchmark. Game files are a mix
// of structured records (craft tables, mesh vertices), runs (padding, flat image areas) and
// bytes that are already compressed (textures, sound); deflate at its default level takes the
// mix to roughly half its size, as it does with real game folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Bumped whenever the generated data changes, so that a stored data set is made again.
inline constexpr int kGameDataVersion = 1;

// splitmix64: fast, and the same sequence on every machine.
class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number from 0 to bound - 1.
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }

private:
    uint64_t state;
};

// size bytes of game-like data; the same seed gives the same bytes.
std::string GameBytes(uint64_t seed, size_t size);

// One line of a craft table, as game text files hold them (no line end).
std::string GameTextLine(uint64_t seed, int index);

struct GameFile {
    std::string name;        // relative to the game folder, "/" between folders
    size_t originalSize;     // the file the game ships with
    size_t replacementSize;  // the package's file of the same name
};

// The files that the benchmark package replaces; the replacement sizes add up to totalBytes.
std::vector<GameFile> GameFileSet(int count, size_t totalBytes);

}  // namespace bench

// orva killed in the middle of an install or a removal (SIGKILL natively, TerminateProcess
// under Wine), thirty times at random instants: the next command must find the folders as they
// were before, or with the operation complete.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "CliFixture.h"

namespace cli_testing {
namespace {

struct State {
    std::map<std::string, std::string> game, patches;
    std::string slots;
    bool operator==(const State& o) const { return game == o.game && patches == o.patches && slots == o.slots; }
};

// Game-like bytes: records, runs and noise.
std::string GameData(std::mt19937& rng, size_t size) {
    std::string data;
    while (data.size() < size) {
        switch (rng() % 3) {
            case 0:
                for (int i = 0; i < 64; ++i) data += static_cast<char>("SHIPREC"[i % 7] + (rng() % 2));
                break;
            case 1: data.append(128, static_cast<char>(rng())); break;
            default:
                for (int i = 0; i < 96; ++i) data += static_cast<char>(rng());
        }
    }
    data.resize(size);
    return data;
}

class KillTest : public CliTest {
protected:
    State Now() {
        std::string slots = SlotFile(5);
        return {testing_support::ContentSnapshot(Game(5)), testing_support::ContentSnapshot(patches),
                slots == "<missing>" ? "" : slots};
    }
    long Millis(const std::vector<std::string>& args) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Orva(args).exitCode, 0);
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start).count());
    }
};

TEST_F(KillTest, KilledOperationsEndBeforeOrComplete) {
    std::mt19937 rng(20261211);
    MakeBaseMarker(5);
    std::vector<Entry> entries = {{"install.cfg", "game xwa\nslot 3\npatchfile ships.t95 ships.lst\n"
                                                  "textfile names.txt strings.txt 2 1\n"},
                                  {"ships.t95", MakePatch({{4, "patched"}})},
                                  {"names.txt", "NEW\r\n"}};
    PutGameFile(5, "ships.lst", GameData(rng, 4096));
    PutGameFile(5, "strings.txt", "one\r\ntwo\r\nthree\r\n");
    for (int i = 0; i < 16; ++i) {
        std::string name = "Models\\ship" + std::to_string(i) + ".opt";
        PutGameFile(5, name, GameData(rng, 256 * 1024));
        entries.push_back({"Models/ship" + std::to_string(i) + ".opt", GameData(rng, 256 * 1024)});
    }
    MakePackage("xwa-big.ovx", entries);

    const State before = Now();
    const long installTime = Millis({"activate", "xwa-big.ovx"});
    const State installed = Now();
    ASSERT_NE(installed, before);
    const long removalTime = Millis({"activate", "xwa-big.backup"});
    ASSERT_EQ(Now(), before);

    int endedBefore = 0, endedComplete = 0, killed = 0;
    for (int round = 0; round < 30; ++round) {
        const bool removal = round % 2 == 1;
        if (removal) {
            ASSERT_EQ(Orva({"activate", "xwa-big.ovx"}).exitCode, 0);
        }
        const State start = removal ? installed : before;
        const State done = removal ? before : installed;
        const long span = (removal ? removalTime : installTime) * 5 / 4;
        const int delay = static_cast<int>(rng() % static_cast<unsigned>(span + 1));
        Outcome run = Spawn(ORVA_PROGRAM, {"activate", removal ? "xwa-big.backup" : "xwa-big.ovx"}, env,
                            sys.root.Path(), delay);
        if (run.exitCode == kKilled) ++killed;
        // The next command finds the interrupted operation first.
        ASSERT_EQ(Orva({"list", "5"}).exitCode, 0);
        const State after = Now();
        if (after == start) {
            ++endedBefore;
        } else if (after == done) {
            ++endedComplete;
        } else {
            ADD_FAILURE() << (removal ? "removal" : "install") << " killed after " << delay << " ms left a third state";
        }
        // Back to the start of the next round.
        if (Now() == installed) {
            ASSERT_EQ(Orva({"activate", "xwa-big.backup"}).exitCode, 0);
        }
        ASSERT_EQ(Now(), before);
    }
    std::printf("30 kills (%d while running): %d ended as before, %d complete\n", killed, endedBefore,
                endedComplete);
    EXPECT_GT(killed, 0) << "no run was killed while it worked";
}

}  // namespace
}  // namespace cli_testing

// An install or a removal interrupted at every point where it touches the disk: a call that
// fails once (disk full, access denied), or the process stopping there (from that call on
// nothing reaches the disk). After the next start's recovery the folders must be in one of two
// states: as before the operation, or with the operation complete.
#include <gtest/gtest.h>

#include <cstdio>

#include "InstallFixture.h"
#include "install/Journal.h"

using install::InstallResult;
using testing_support::Snapshot;

#ifdef __SANITIZE_ADDRESS__
// minizip keeps the central-directory record of an entry in a buffer that it does not free
// when writing the entry's local header fails; the failures injected here make it do so.
extern "C" const char* __lsan_default_suppressions() { return "leak:zipOpenNewFileInZip4_64\n"; }
#endif

namespace install_testing {
namespace {

enum class Fault { FailOnce, Stop };

// Counts the calls that change the disk, and fails the Nth (once, or from then on).
class FaultOs : public os::ForwardingOs {
public:
    FaultOs(os::Os& target, long failAt, Fault fault) : ForwardingOs(target), failAt(failAt), fault(fault) {}

    long calls = 0;
    std::string failedCall;  // what the call at failAt was, for the report
    bool Fails(const std::string& what = "write") {
        ++calls;
        if (calls == failAt) failedCall = what;
        return fault == Fault::FailOnce ? calls == failAt : calls >= failAt;
    }

    std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override;
    bool CreateFolder(const std::string& path) override { return !Fails("mkdir " + path) && target.CreateFolder(path); }
    bool RemoveFile(const std::string& path) override { return !Fails("delete " + path) && target.RemoveFile(path); }
    bool MoveReplace(const std::string& from, const std::string& to) override {
        return !Fails("move " + from + " -> " + to) && target.MoveReplace(from, to);
    }
    bool SetModifiedTime(const std::string& path, const os::FileTime& t) override {
        return !Fails("set time " + path) && target.SetModifiedTime(path, t);
    }
    bool WriteProfileString(const std::string& p, const std::string& s, const std::string& k,
                            const std::string& v) override {
        return !Fails("profile " + p) && target.WriteProfileString(p, s, k, v);
    }

private:
    long failAt;
    Fault fault;
};

class FaultFile : public os::File {
public:
    FaultFile(std::unique_ptr<os::File> file, FaultOs& os, std::string path)
        : file(std::move(file)), os(os), path(std::move(path)) {}
    int64_t Read(void* b, int64_t n) override { return file->Read(b, n); }
    bool Write(const void* d, int64_t n) override { return !os.Fails("write " + path) && file->Write(d, n); }
    bool Seek(int64_t o) override { return file->Seek(o); }
    int64_t Tell() override { return file->Tell(); }
    int64_t Size() override { return file->Size(); }
    bool Flush() override { return !os.Fails("flush " + path) && file->Flush(); }
    bool Close() override {
        bool failed = os.Fails("close " + path);
        return file->Close() && !failed;
    }

private:
    std::unique_ptr<os::File> file;
    FaultOs& os;
    std::string path;
};

std::unique_ptr<os::File> FaultOs::Open(const std::string& path, os::OpenMode mode) {
    if (mode == os::OpenMode::Read) return target.Open(path, mode);
    if (Fails("open " + path)) return nullptr;
    auto file = target.Open(path, mode);
    if (!file) return nullptr;
    return std::make_unique<FaultFile>(std::move(file), *this, path);
}

struct State {
    std::map<std::string, std::string> game;
    std::map<std::string, std::string> patches;
    std::string slots;
    bool operator==(const State& o) const { return game == o.game && patches == o.patches && slots == o.slots; }
};

void PrintTo(const State& s, std::ostream* out) {
    *out << "game:";
    for (const auto& [name, data] : s.game) *out << " " << name << "(" << data.size() << ")";
    *out << " patches:";
    for (const auto& [name, data] : s.patches) *out << " " << name << "(" << data.size() << ")";
    *out << " slots: " << ::testing::PrintToString(s.slots);
}

struct Scenario {
    const char* title;
    const char* package;
    std::vector<Entry> entries;
};

std::vector<Scenario> Scenarios() {
    return {
        {"slot-mode package", "xwa-ship.ovx",
         {{"install.cfg", "game xwa\nslot 4\npatchfile ship.t95 ships.lst\ntextfile names.txt strings.txt 2 2\n"},
          {"header.bmp", "BM picture"},
          {"ship.t95", MakePatch({{1, "PATCH"}, {40, "XY"}})},
          {"names.txt", "NEW2\r\nNEW3\r\n"},
          {"New.opt", "a new model"},
          {"Existing.dat", "replacement"},
          {"Models/Old.opt", "replacement model"},
          {"Sub/Deep.dat", "in a new folder"}}},
        {"slotless package", "orva-xwa-base.ovx",
         {{"install.cfg", "game xwa\npatchfile base.t95 ships.lst\n"},
          {"base.t95", MakePatch({{0, "BASE"}})},
          {"Existing.dat", "replaced by the base"},
          {"Extra/Base.opt", "base model"}}},
    };
}

class FaultInjectionTest : public InstallTest, public ::testing::WithParamInterface<size_t> {
protected:
    void Pristine() {
        for (const auto& entry : Snapshot(Game(5))) {
            if (entry.first.back() != '/') os::Native().RemoveFile(Game(5) + "\\" + entry.first);
        }
        for (const auto& entry : Snapshot(patches)) {
            if (entry.first != scenario.package) os::Native().RemoveFile(patches + "\\" + entry.first);
        }
        os::Native().RemoveFile(installer->settings.SettingsFolder() + "\\xwa.slot");
        MakeBaseMarker(5);
        PutGameFile(5, "ships.lst", std::string(64, 's'));
        PutGameFile(5, "strings.txt", "one\r\ntwo\r\nthree\r\nfour\r\n");
        PutGameFile(5, "Existing.dat", "original");
        PutGameFile(5, "Models\\Old.opt", "original model");
    }
    // A slot file without records and no slot file say the same.
    // A slot file without records and no slot file say the same.
    State Now() {
        std::string slots = SlotFile(5);
        return {testing_support::ContentSnapshot(Game(5)), testing_support::ContentSnapshot(patches),
                slots == "<missing>" ? "" : slots};
    }

    // One operation, with the Nth call failing; then the next start.
    std::string lastFailedCall;
    void RunWithFault(const std::string& entry, long failAt, Fault fault, long* calls = nullptr) {
        {
            FaultOs faulty(sys, failAt, fault);
            os::OsOverride use(faulty);
            package::ArchiveWriter w;
            install::Installer inst(w);
            if (inst.Prepare(view, entry) == InstallResult::Ready) install::RunInstall(inst, view);
            inst.FinishInstall();  // in a stopped process this changes nothing on disk
            w.Close();
            if (calls) *calls = faulty.calls;
            lastFailedCall = faulty.failedCall;
        }
        platform::Settings settings;
        install::RecoverInterrupted(settings);
        EXPECT_EQ(testing_support::ReadFile(install::JournalPath(settings)), "<missing>");
    }

    Scenario scenario = Scenarios()[GetParam()];
};

TEST_P(FaultInjectionTest, EveryInterruptionEndsBeforeOrComplete) {
    SCOPED_TRACE(scenario.title);
    MakePackage(scenario.package, scenario.entries);
    Pristine();
    const State before = Now();
    ASSERT_EQ(Activate(scenario.package), InstallResult::Ready);
    const State installed = Now();
    ASSERT_NE(installed, before);
    const std::string backup = ListEntry(scenario.package);
    ASSERT_EQ(Activate(backup), InstallResult::Ready);
    ASSERT_EQ(Now(), before);

    // How many disk-changing calls a clean install and a clean removal make.
    long installCalls = 0, removalCalls = 0;
    RunWithFault(scenario.package, -1, Fault::FailOnce, &installCalls);
    ASSERT_EQ(Now(), installed);
    RunWithFault(backup, -1, Fault::FailOnce, &removalCalls);
    ASSERT_EQ(Now(), before);

    int tried = 0, endedBefore = 0, endedComplete = 0;
    for (Fault fault : {Fault::FailOnce, Fault::Stop}) {
        for (long n = 1; n <= installCalls; ++n) {
            Pristine();
            RunWithFault(scenario.package, n, fault);
            const State after = Now();
            ++tried;
            if (after == before) {
                ++endedBefore;
            } else if (after == installed) {
                ++endedComplete;
                // Complete means: its removal brings the game back.
                ASSERT_EQ(Activate(backup), InstallResult::Ready);
                EXPECT_EQ(Now(), before) << "install, call " << n;
            } else {
                for (const auto& [name, data] : installed.game) {
                    auto it = after.game.find(name);
                    if (it == after.game.end() || it->second != data) ADD_FAILURE() << "differs: " << name;
                }
                ADD_FAILURE() << "install " << (fault == Fault::Stop ? "stopped" : "failed") << " at call " << n
                              << " of " << installCalls << " (" << lastFailedCall << ") left a third state: " << ::testing::PrintToString(after);
            }
        }
        for (long n = 1; n <= removalCalls; ++n) {
            Pristine();
            ASSERT_EQ(Activate(scenario.package), InstallResult::Ready);
            ASSERT_EQ(Now(), installed);
            RunWithFault(backup, n, fault);
            const State after = Now();
            ++tried;
            if (after == installed) {
                ++endedBefore;
            } else if (after == before) {
                ++endedComplete;
            } else {
                ADD_FAILURE() << "removal " << (fault == Fault::Stop ? "stopped" : "failed") << " at call " << n
                              << " of " << removalCalls << " (" << lastFailedCall << ") left a third state: " << ::testing::PrintToString(after);
            }
        }
    }
    std::printf("%s: %d interruption points, %d ended as before, %d complete\n", scenario.title, tried,
                endedBefore, endedComplete);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultInjectionTest, ::testing::Range<size_t>(0, Scenarios().size()));

}  // namespace
}  // namespace install_testing

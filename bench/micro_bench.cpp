// Google Benchmark programs for the engine's hot spots: the package list's decisions over a
// large patch folder, a "textfile" range in a long text file, a patch with the most records
// the format allows, and slot claims and releases in a full slot file. The data is made at
// start-up below --scratch.
//
//   bench_micro --scratch=DIR [--summary=FILE] [Google Benchmark flags]
//
// --summary receives one line per benchmark: its name and its real time in seconds (the
// median when --benchmark_repetitions is above 1).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "BenchOs.h"
#include "GameData.h"
#include "install/Installer.h"
#include "install/PatchData.h"
#include "install/TextStep.h"
#include "os/Os.h"
#include "platform/PlatformTable.h"
#include "platform/Settings.h"
#include "slots/SlotTable.h"
#include "ui/Catalogue.h"

namespace {

constexpr int kPackageCount = 5000;
constexpr int kTextLines = 100000;
constexpr int kTextEntryLines = 1000;
constexpr int kTextFirstLine = 50000;
constexpr int kPatchRecords = 32767;
constexpr int kPatchRecordBytes = 8;
constexpr int kPatchSpacing = 256;
constexpr int kSlotRecords = 1000;
constexpr int32_t kFreeSlot = 5000;

const platform::PlatformId kGame = platform::kXwingAlliance;

struct Fixture {
    std::string catalogueFolder;
    std::string textGame;
    std::string textPackage;
    std::string textBackup;
    std::string patchTarget;
    std::vector<char> patchData;
} fixture;

bool Fail(const std::string& what) {
    std::fprintf(stderr, "bench_micro: could not make %s\n", what.c_str());
    return false;
}

// A patch folder of kPackageCount packages of the X-wing Alliance tab, in mixed case, every
// fourth one installed (its backup archive beside it).
bool MakeCatalogue(const std::string& scratch) {
    fixture.catalogueFolder = scratch + "\\catalogue";
    if (!os::EnsureFolder(fixture.catalogueFolder)) return Fail(fixture.catalogueFolder);
    const char* prefixes[] = {"xwa-", "XWA-", "Xwa-"};
    for (int i = 0; i < kPackageCount; ++i) {
        char stem[64];
        std::snprintf(stem, sizeof stem, "%sShip_Pack_%04d", prefixes[i % 3], i);
        std::string base = fixture.catalogueFolder + "\\" + stem;
        if (!os::WriteWholeFile(base + ".ovx", "")) return Fail(base + ".ovx");
        if (i % 4 == 0 && !os::WriteWholeFile(base + ".backup", "")) return Fail(base + ".backup");
    }
    bench::SaveFolder(platform::kPatchFolder, fixture.catalogueFolder);
    if (ui::BuildCatalogue(platform::Settings(), kGame).size() != kPackageCount) {
        return Fail("a catalogue that lists every package");
    }
    return true;
}

// A game text file of kTextLines lines and a package whose text entry holds kTextEntryLines.
bool MakeText(const std::string& scratch) {
    fixture.textGame = scratch + "\\text-game";
    std::string lines;
    for (int i = 0; i < kTextLines; ++i) lines += bench::GameTextLine(7, i) + "\r\n";
    if (!os::EnsureFolder(fixture.textGame + "\\Resdata") ||
        !os::WriteWholeFile(fixture.textGame + "\\Resdata\\Ships.lst", lines)) {
        return Fail("the text file");
    }
    std::string entry;
    for (int i = 0; i < kTextEntryLines; ++i) entry += bench::GameTextLine(8, i) + "\r\n";
    fixture.textPackage = scratch + "\\xwa-text.ovx";
    fixture.textBackup = scratch + "\\xwa-text.backup";
    package::ArchiveWriter writer;
    const std::string script = "game xwa\r\n";
    bool ok = writer.Create(fixture.textPackage) &&
              writer.AddMemory("install.cfg", script.data(), static_cast<int64_t>(script.size())) &&
              writer.AddMemory("ships.txt", entry.data(), static_cast<int64_t>(entry.size()));
    return writer.Close() && ok ? true : Fail(fixture.textPackage);
}

// A game file with room for kPatchRecords records kPatchSpacing bytes apart, and the patch.
bool MakePatch(const std::string& scratch) {
    const std::string folder = scratch + "\\patch-game\\FlightModels";
    fixture.patchTarget = scratch + "\\patch-game\\flightmodels\\craft.opt";
    const size_t fileSize = static_cast<size_t>(kPatchRecords) * kPatchSpacing + 4096;
    if (!os::EnsureFolder(folder) ||
        !os::WriteWholeFile(folder + "\\Craft.opt", bench::GameBytes(11, fileSize))) {
        return Fail("the patch target");
    }
    std::vector<char>& data = fixture.patchData;
    data.assign(15, '\0');
    const int16_t count = kPatchRecords;
    std::memcpy(data.data() + 13, &count, 2);
    bench::Random random(12);
    for (uint32_t i = 0; i < kPatchRecords; ++i) {
        const uint32_t offset = i * kPatchSpacing + random.Below(kPatchSpacing - kPatchRecordBytes);
        const char* raw = reinterpret_cast<const char*>(&offset);
        data.insert(data.end(), raw, raw + 4);
        data.push_back(static_cast<char>(kPatchRecordBytes));
        for (int b = 0; b < kPatchRecordBytes; ++b) data.push_back(static_cast<char>(random.Below(256)));
    }
    return true;
}

bool MakeSlots() {
    const platform::Settings settings;
    const slots::SlotTable table(settings);
    os::Current().RemoveFile(table.PathOf(kGame));
    for (int32_t slot = 1; slot <= kSlotRecords; ++slot) {
        char name[64];
        std::snprintf(name, sizeof name, "xwa-Ship_Pack_%04d.ovx", slot);
        if (!table.Claim(kGame, slot, name)) return Fail("the slot file");
    }
    return true;
}

void BM_FillPatchList(benchmark::State& state) {
    const platform::Settings settings;
    for (auto _ : state) {
        std::vector<ui::CatalogueRow> rows = ui::BuildCatalogue(settings, kGame);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_FillPatchList)->Name("FillPatchList/packages:5000")->Unit(benchmark::kMillisecond);

// DoTextFile as the slot-mode walk calls it, on a prepared installer whose backup archive is
// open; its undo bookkeeping is emptied every time, as a new preparation would.
void BM_TextFile(benchmark::State& state) {
    package::ArchiveWriter writer;
    install::Installer installer(writer);
    if (!installer.reader.Open(fixture.textPackage) || !writer.Create(fixture.textBackup)) {
        state.SkipWithError("package or backup archive not open");
        return;
    }
    const std::string line = "textfile ships.txt resdata\\ships.lst " +
                             std::to_string(kTextFirstLine) + " " + std::to_string(state.range(0));
    for (auto _ : state) {
        installer.tokenizer.Split(line);
        installer.tokenizer.NextToken();
        if (!install::DoTextFile(installer, fixture.textGame)) {
            state.SkipWithError("textfile line not carried out");
            break;
        }
        installer.backupEntries.clear();
        installer.walkUndo.clear();
        installer.walkUndoTargets.clear();
    }
    writer.Close();
    installer.reader.Close();
}
BENCHMARK(BM_TextFile)->Name("TextFile/lines:100000")->ArgName("range")->Arg(1)->Arg(kTextEntryLines)
    ->Unit(benchmark::kMillisecond);

void BM_ApplyPatch(benchmark::State& state) {
    std::vector<char> inverse;
    for (auto _ : state) {
        if (!install::ApplyPatch(fixture.patchTarget, fixture.patchData.data(),
                                 static_cast<int64_t>(fixture.patchData.size()), inverse)) {
            state.SkipWithError("patch not applied");
            break;
        }
    }
}
BENCHMARK(BM_ApplyPatch)->Name("ApplyPatch/records:32767")->Unit(benchmark::kMillisecond);

double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// A claim as preparation makes it: the query that finds the slot free, then the record.
void BM_SlotClaim(benchmark::State& state) {
    const platform::Settings settings;
    const slots::SlotTable table(settings);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::string owner;
        const bool taken = table.FindOwner(kGame, kFreeSlot, owner);
        const bool claimed = table.Claim(kGame, kFreeSlot, "xwa-Claimed_Pack.ovx");
        state.SetIterationTime(Seconds(start));
        if (taken || !claimed || !table.Release(kGame, kFreeSlot)) {
            state.SkipWithError("slot not claimed and released");
            break;
        }
    }
}
BENCHMARK(BM_SlotClaim)->Name("SlotClaim/records:1000")->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SlotRelease(benchmark::State& state) {
    const platform::Settings settings;
    const slots::SlotTable table(settings);
    for (auto _ : state) {
        if (!table.Claim(kGame, kFreeSlot, "xwa-Claimed_Pack.ovx")) {
            state.SkipWithError("slot not claimed");
            break;
        }
        const auto start = std::chrono::steady_clock::now();
        const bool released = table.Release(kGame, kFreeSlot);
        state.SetIterationTime(Seconds(start));
        if (!released) {
            state.SkipWithError("slot not released");
            break;
        }
    }
}
BENCHMARK(BM_SlotRelease)->Name("SlotRelease/records:1000")->UseManualTime()->Unit(benchmark::kMillisecond);

// The console table, and beside it the summary lines that the driver script reads.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(std::ofstream* summary) : summary(summary) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        if (!summary) return;
        for (const Run& run : runs) {
            const bool wanted = run.repetitions > 1
                                    ? run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"
                                    : run.run_type == Run::RT_Iteration;
            if (!wanted || run.error_occurred) continue;
            *summary << run.run_name.str() << '\t'
                     << run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit)
                     << '\n';
        }
        summary->flush();
    }

private:
    std::ofstream* summary;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string scratch, summaryPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--scratch=", 10) == 0) {
            scratch = argv[i] + 10;
        } else if (std::strncmp(argv[i], "--summary=", 10) == 0) {
            summaryPath = argv[i] + 10;
        } else {
            std::fprintf(stderr, "bench_micro: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (scratch.empty()) {
        std::fprintf(stderr, "usage: bench_micro --scratch=DIR [--summary=FILE] [benchmark flags]\n");
        return 2;
    }
    bench::BenchOs benchOs(scratch + "\\appdata");
    os::OsOverride inForce(benchOs);
    if (!MakeCatalogue(scratch) || !MakeText(scratch) || !MakePatch(scratch) || !MakeSlots()) return 1;

    std::ofstream summary;
    if (!summaryPath.empty()) summary.open(summaryPath, std::ios::trunc);
    SummaryReporter reporter(summaryPath.empty() ? nullptr : &summary);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

// One install or removal through the engine, the way the window carries it out: Prepare,
// RunInstall, FinishInstall, with a view that shows nothing. The driver starts it as a child
// process so that the peak resident memory of exactly one install can be read.
//
//   bench_engine_run install|remove SETTINGS_FOLDER PATCH_FOLDER GAME_FOLDER PACKAGE
//
// PACKAGE is the package's file name in the patch folder; a removal runs its backup archive.
// Prints the time from Prepare to the end of FinishInstall. Exit status 3 when preparation
// refused, 4 when the driver found no package open.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "BenchOs.h"
#include "install/InstallDriver.h"
#include "install/Installer.h"
#include "platform/Names.h"

namespace {

class QuietView : public install::View {
public:
    void SetStatus(const std::string&) override {}
    int GetProgress() override { return position; }
    void SetProgress(int value) override { position = value; }
    void Pump() override {}
    bool ShowBanner(const std::string&) override { return false; }

private:
    int position = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const bool install = argc == 6 && std::strcmp(argv[1], "install") == 0;
    const bool remove = argc == 6 && std::strcmp(argv[1], "remove") == 0;
    if (!install && !remove) {
        std::fprintf(stderr,
                     "usage: bench_engine_run install|remove SETTINGS_FOLDER PATCH_FOLDER "
                     "GAME_FOLDER PACKAGE\n");
        return 2;
    }
    bench::BenchOs benchOs(argv[2]);
    os::OsOverride inForce(benchOs);
    bench::SaveFolder(platform::kPatchFolder, argv[3]);
    bench::SaveFolder(platform::kXwingAlliance, argv[4]);
    const std::string package = install ? argv[5] : platform::BackupNameOf(argv[5]);

    package::ArchiveWriter writer;
    install::Installer installer(writer);
    QuietView view;
    const auto start = std::chrono::steady_clock::now();
    const install::InstallResult result = installer.Prepare(view, package);
    if (result != install::InstallResult::Ready) {
        std::fprintf(stderr, "bench_engine_run: %s refused: %s\n", package.c_str(),
                     install::ResultMessage(result, installer.slot, installer.detail).c_str());
        return 3;
    }
    const bool ran = install::RunInstall(installer, view);
    installer.FinishInstall();
    const auto end = std::chrono::steady_clock::now();
    if (!ran) return 4;
    std::printf("%s %.3f s\n", install ? "install" : "removal",
                std::chrono::duration<double>(end - start).count());
    return 0;
}

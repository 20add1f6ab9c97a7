// Writes the data of the install benchmark: the game folder as shipped, and the staging
// folders of two packages (all 40 replacement files, and the first 4 of them) that the driver
// turns into archives with zip. "--version" prints the version of the generated data.
//
//   bench_make_data DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "GameData.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFileCount = 40;
constexpr size_t kPackageBytes = 200'000'000;
constexpr int kSmallFileCount = 4;
constexpr const char* kScript = "game xwa\r\n";

bool WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%d\n", bench::kGameDataVersion);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_make_data DIR | --version\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path pristine = root / "pristine";
    const fs::path full = root / "package-src";
    const fs::path small = root / "package-small-src";
    std::error_code ignored;
    for (const fs::path& folder : {pristine, full, small}) fs::remove_all(folder, ignored);

    bool ok = WriteBytes(full / "install.cfg", kScript) && WriteBytes(small / "install.cfg", kScript);
    std::ofstream list(root / "files.txt", std::ios::trunc);
    const auto files = bench::GameFileSet(kFileCount, kPackageBytes);
    for (size_t i = 0; i < files.size() && ok; ++i) {
        const bench::GameFile& file = files[i];
        ok = WriteBytes(pristine / file.name, bench::GameBytes(1000 + i, file.originalSize));
        const std::string replacement = bench::GameBytes(5000 + i, file.replacementSize);
        ok = ok && WriteBytes(full / file.name, replacement);
        if (ok && i < kSmallFileCount) ok = WriteBytes(small / file.name, replacement);
        list << file.name << '\n';
    }
    list.flush();
    if (!ok || !list) {
        std::fprintf(stderr, "bench_make_data: could not write below %s\n", root.c_str());
        return 1;
    }
    return 0;
}

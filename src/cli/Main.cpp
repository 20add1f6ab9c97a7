// orva: the command-line companion of the patcher.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Settings.h"

namespace {

int Folders() {
    platform::Settings settings;
    for (int id = 0; id < platform::kRowCount; ++id) {
        std::string key(platform::PlatformTable::Row(id).settingsKey);
        std::printf("%s=%s\n", key.c_str(), settings.GetFolder(id).c_str());
    }
    return 0;
}

void Usage(FILE* out) {
    std::fputs("usage: orva folders\n", out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "folders") == 0) return Folders();
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        Usage(stdout);
        return 0;
    }
    Usage(stderr);
    return 2;
}

// The settings and the package list, read and written exactly as the window does.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Terminal.h"
#include "platform/PlatformTable.h"
#include "platform/Settings.h"
#include "ui/Catalogue.h"

namespace cli {

namespace {

std::string KeyOf(int row) { return std::string(platform::PlatformTable::Row(row).settingsKey); }

// The row or tab argument; a usage error is reported when it is not one.
bool RowArgument(const std::string& text, const char* what, int& row) {
    if (ParseRow(text, row)) return true;
    ReportError(std::string(what) + " must be a number from 0 to 5, not '" + text + "'");
    return false;
}

}  // namespace

int RunFolders(const Arguments&) {
    platform::Settings settings;
    for (int row = 0; row < platform::kRowCount; ++row) {
        std::printf("%s=%s\n", KeyOf(row).c_str(), settings.GetFolder(row).c_str());
    }
    return kExitOk;
}

int RunSetFolder(const Arguments& args) {
    int row = 0;
    if (!RowArgument(args[0], "ROW", row)) return kExitUsage;
    platform::Settings().SetFolder(KeyOf(row), args[1]);
    return kExitOk;
}

int RunList(const Arguments& args) {
    int tab = 0;
    if (!RowArgument(args[0], "TAB", tab)) return kExitUsage;
    platform::Settings settings;
    for (const ui::CatalogueRow& row : ui::BuildCatalogue(settings, tab)) {
        std::printf("%s\t%s\t%s\n", row.displayName.c_str(),
                    row.installed ? ui::kStatusInstalled : ui::kStatusReady, row.entry.c_str());
    }
    return kExitOk;
}

int RunReadme(const Arguments& args) {
    std::string text;
    if (!ui::ReadPatchReadme(platform::Settings(), args[0], text)) {
        ReportError("no read-me for " + args[0]);
        return kExitNone;
    }
    UseBinaryStdout();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace cli

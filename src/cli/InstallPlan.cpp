#include "cli/InstallPlan.h"

#include "cli/PatchDiff.h"
#include "install/DataEntries.h"
#include "os/Os.h"
#include "package/Script.h"
#include "platform/PlatformTable.h"

namespace cli {

namespace {

std::string PatchLine(install::Installer& installer) {
    const std::string entry = installer.tokenizer.NextToken();
    const std::string file = installer.tokenizer.NextToken();
    std::vector<char> data;
    int64_t size = 0;
    size_t bytes = 0, records = 0;
    if (installer.reader.ExtractToMemory(entry, data, size, false)) {
        for (const PatchRecord& r : ReadPatchRecords(std::string_view(data.data(), data.size()))) {
            bytes += r.bytes.size();
            ++records;
        }
    }
    return "patch    " + file + ": " + std::to_string(bytes) + " byte" + (bytes == 1 ? "" : "s") +
           " in " + std::to_string(records) + " record" + (records == 1 ? "" : "s") +
           " (from " + entry + ")";
}

std::string TextLine(install::Installer& installer) {
    package::Tokenizer& tokens = installer.tokenizer;
    const std::string entry = tokens.NextToken();
    const std::string file = tokens.NextToken();
    const int32_t first = package::ReadNumber(tokens.NextToken());
    const int32_t count = tokens.HasMoreTokens() ? package::ReadNumber(tokens.NextToken()) : 1;
    std::string range;
    if (count <= 0) {
        range = "no lines (count " + std::to_string(count) + ")";
    } else if (count == 1) {
        range = "line " + std::to_string(first);
    } else {
        range = "lines " + std::to_string(first) + " to " + std::to_string(int64_t{first} + count - 1);
    }
    return "rewrite  " + file + ": " + range + " (from " + entry + ")";
}

// The command walk: the slot-mode walk for a slot above 0 runs patch, text and delete lines;
// the slotless walk runs patch and delete lines only.
void DescribeWalk(install::Installer& installer, std::vector<std::string>& plan) {
    const bool slotMode = installer.slot > 0;
    install::ScriptWalk walk(installer);
    for (int command; walk.Next(command);) {
        switch (command) {
            case package::kPatchFile:
                plan.push_back(PatchLine(installer));
                break;
            case package::kDeleteFile:
                plan.push_back("delete   " + installer.tokenizer.NextToken() +
                               (installer.uninstallMode ? "" : " (its removal does not bring it back)"));
                break;
            case package::kTextFile:
                if (slotMode) {
                    plan.push_back(TextLine(installer));
                } else {
                    const std::string entry = installer.tokenizer.NextToken();
                    plan.push_back("skip     rewrite " + installer.tokenizer.NextToken() + " (from " +
                                   entry + "): without a slot above 0 no textfile line runs");
                }
                break;
            default:
                break;
        }
    }
}

void DescribeCopies(install::Installer& installer, const std::string& gameFolder,
                    std::vector<std::string>& plan) {
    os::Os& sys = os::Current();
    for (int32_t i = 0; i < installer.reader.EntryCount(); ++i) {
        package::EntryInfo info;
        if (!installer.reader.GetEntryInfo(i, info) || !info.usable ||
            install::IsDataEntry(info, installer.uninstallMode)) {
            continue;
        }
        const std::string target = gameFolder + "\\" + info.name;
        if ((info.attributes & package::kFolderAttribute) != 0) {
            plan.push_back("folder   " + info.name);
        } else if (sys.Exists(target) && !sys.IsFolder(target)) {
            plan.push_back("copy     " + info.name + " (replacing)");
        } else {
            plan.push_back("copy     " + info.name + " (new)");
        }
    }
}

}  // namespace

std::vector<std::string> DescribeInstall(install::Installer& installer) {
    std::vector<std::string> plan;
    const std::string gameFolder = install::GameFolderOf(installer);
    std::string game = "game     ";
    if (platform::PlatformTable::IsGame(installer.platform)) {
        game += std::string(platform::PlatformTable::Row(installer.platform).tabLabel);
    } else {
        game += "none";
    }
    plan.push_back(game + ", folder " + os::Current().DisplayPath(gameFolder));
    if (installer.slot >= 0) {
        plan.push_back("slot     " + std::to_string(installer.slot) +
                       (installer.uninstallMode ? " (released)" : " (claimed)"));
    }
    if (installer.uninstallMode) {
        plan.push_back("removal  of " + os::Current().DisplayPath(installer.backupPath));
    } else {
        plan.push_back("backup   " + os::Current().DisplayPath(installer.backupPath));
    }
    if (installer.scriptRead) DescribeWalk(installer, plan);
    DescribeCopies(installer, gameFolder, plan);
    if (installer.uninstallMode && installer.slot < 0 &&
        platform::PlatformTable::IsGame(installer.platform)) {
        plan.push_back("reset    every backup archive and the slot file of " +
                       std::string(platform::PlatformTable::Row(installer.platform).tabLabel));
    }
    return plan;
}

}  // namespace cli

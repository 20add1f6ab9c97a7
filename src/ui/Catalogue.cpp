// The package list's decisions, kept apart from the list control so that they run and are
// tested on any system: which packages a tab lists, what each row shows, and which file a
// double-click or "View Patch Readme" works on.
#include "ui/Catalogue.h"

#include <algorithm>
#include <unordered_set>

#include "common/Ascii.h"
#include "os/Os.h"
#include "package/ArchiveReader.h"
#include "platform/Names.h"
#include "platform/PlatformTable.h"

namespace ui {

namespace {

constexpr std::string_view kBasePackageMark = "orva-";
constexpr std::string_view kReadmeEntry = "readme.txt";

bool IsTab(int tab) { return tab >= 0 && tab < platform::kRowCount; }

bool HasNonAscii(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The backup archives of the patch folder, from one search. Asking the file system about each
// package's backup in turn would cost a scan of the folder per package wherever names are
// looked up without regard to case, and patch folders hold thousands of packages.
class BackupIndex {
public:
    explicit BackupIndex(const std::string& folder) : folder(folder) {
        auto search = os::Current().FindFiles(folder, std::string(platform::kBackupExtension));
        if (search) {
            std::string name;
            while (search->Next(name)) names.insert(common::ToLowerAscii(name));
        }
    }

    // Whether an object of this name exists in the folder (a folder counts as well).
    bool Contains(const std::string& name) const {
        if (names.count(common::ToLowerAscii(name)) != 0) return true;
        // Beyond ASCII, only the file system knows which letters it takes as the same.
        return HasNonAscii(name) && os::Current().Exists(folder + "\\" + name);
    }

private:
    std::string folder;
    std::unordered_set<std::string> names;
};

}  // namespace

const std::vector<std::string>& TabPrefixes() {
    static const std::vector<std::string> prefixes = [] {
        std::vector<std::string> list;
        for (int id = 0; id < platform::kRowCount; ++id) {
            list.emplace_back(platform::PlatformTable::Row(id).packagePrefix);
        }
        return list;
    }();
    return prefixes;
}

bool AcceptsName(int tab, const std::string& name) {
    if (!IsTab(tab)) return false;
    const std::string lower = common::ToLowerAscii(name);
    if (tab == platform::kPatchFolder) return lower.find(kBasePackageMark) != std::string::npos;
    // A game's tab leaves out its base packages, and whatever else mentions "orva".
    return lower.starts_with(TabPrefixes()[static_cast<size_t>(tab)]) &&
           lower.find("orva") == std::string::npos;
}

std::string DisplayName(int tab, const std::string& name) {
    std::string stem = platform::StemOf(name);
    // The game's tab already says which game it is; base packages keep their whole name.
    size_t cut = 0;
    if (IsTab(tab) && tab != platform::kPatchFolder) {
        cut = std::min(TabPrefixes()[static_cast<size_t>(tab)].size(), stem.size());
    }
    std::string shown = stem.substr(cut);
    std::replace(shown.begin(), shown.end(), '_', ' ');
    return shown;
}

std::vector<CatalogueRow> BuildCatalogue(const platform::Settings& settings, int tab) {
    std::vector<CatalogueRow> rows;
    if (!IsTab(tab)) return rows;
    const std::string folder = settings.GetFolder(platform::kPatchFolder);
    auto search = os::Current().FindFiles(folder, std::string(platform::kPackageExtension));
    if (!search) return rows;

    const BackupIndex backups(folder);
    std::string name;
    while (search->Next(name)) {
        if (!AcceptsName(tab, name)) continue;
        CatalogueRow row;
        row.displayName = DisplayName(tab, name);
        // Installed means: the backup archive lies next to the package. It is itself the
        // package that undoes the install, so it is what the next double-click runs.
        std::string backupName = platform::BackupNameOf(name);
        row.installed = backups.Contains(backupName);
        row.entry = row.installed ? std::move(backupName) : name;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ReadPatchReadme(const platform::Settings& settings, const std::string& entry,
                     std::string& text) {
    text.clear();
    // An installed row names its backup archive, which holds no read-me; the package beside
    // it does. Only a name that ends in the backup extension is one: a package may well have
    // ".backup" inside its name.
    std::string source = entry;
    const std::string_view backupExtension = platform::kBackupExtension;
    if (entry.ends_with(backupExtension)) {
        source = entry.substr(0, entry.size() - backupExtension.size()) +
                 std::string(platform::kPackageExtension);
    }

    package::ArchiveReader reader;
    if (!reader.Open(settings.GetFolder(platform::kPatchFolder) + "\\" + source)) return false;
    std::vector<char> block;
    int64_t size = 0;
    bool found = reader.ExtractToMemory(std::string(kReadmeEntry), block, size, true);
    if (found) {
        // The text ends at its first NUL byte, as a text control would show it.
        auto end = std::find(block.begin(), block.end(), '\0');
        text.assign(block.begin(), end);
    }
    reader.Close();
    return found;
}

}  // namespace ui

#include "cli/PackageBuilder.h"

#include <algorithm>

#include "common/Ascii.h"
#include "install/DataEntries.h"
#include "os/Os.h"
#include "package/ArchiveReader.h"
#include "package/ArchiveWriter.h"
#include "package/EntryNames.h"
#include "package/Script.h"

namespace cli {

namespace {

constexpr std::string_view kScriptName = "install.cfg";
// Deeper than any game's folders; stops a folder link that points back up.
constexpr int kMaxDepth = 32;

bool ListBelow(const std::string& folder, const std::string& prefix, int depth,
               std::vector<PackFile>& files) {
    if (depth > kMaxDepth) return false;
    auto search = os::Current().FindFiles(folder, "");
    if (!search) return true;  // an empty folder
    std::vector<std::string> names;
    std::string name;
    while (search->Next(name)) {
        if (name != "." && name != "..") names.push_back(name);
    }
    search.reset();
    for (const std::string& n : names) {
        const std::string path = folder + "\\" + n;
        if (os::Current().IsFolder(path)) {
            if (!ListBelow(path, prefix + n + "/", depth + 1, files)) return false;
        } else {
            files.push_back({prefix + n, path});
        }
    }
    return true;
}

const PackFile* FindEntry(const std::vector<PackFile>& files, std::string_view name) {
    for (const PackFile& f : files) {
        if (common::EqualsNoCase(f.entryName, name)) return &f;
    }
    return nullptr;
}

bool IsData(const std::string& entryName) {
    package::EntryInfo info;
    info.name = entryName;
    info.storedName = entryName;
    info.usable = true;
    return install::IsDataEntry(info, false);
}

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

// The script's lines as every pass reads them: its data entries must be in the folder and
// marked as data, its targets must stay inside the game folder.
void CheckScript(const std::vector<PackFile>& files, const std::string& script,
                 std::vector<std::string>& problems) {
    package::Keywords keywords;
    package::Tokenizer tokens;
    package::ScriptLines lines(script);
    std::string line;
    while (lines.Next(line)) {
        tokens.Split(line);
        const int command = keywords.Command(tokens.NextToken());
        if (command == package::kPatchFile || command == package::kTextFile) {
            const std::string entry = tokens.NextToken();
            const std::string target = tokens.NextToken();
            const PackFile* file = FindEntry(files, entry);
            if (!file) {
                problems.push_back("install.cfg names the data entry " + Quoted(entry) +
                                   ", which the folder does not hold");
            } else if (!IsData(file->entryName)) {
                std::string marks;
                for (std::string_view m : install::DataEntryMarkers) marks += " " + std::string(m);
                problems.push_back("data entry " + Quoted(file->entryName) +
                                   " carries none of the marks" + marks +
                                   ": the install would also copy it into the game folder");
            }
            if (!package::StaysInside(target)) {
                problems.push_back("install.cfg names " + Quoted(target) + ", outside the game folder");
            }
        } else if (command == package::kDeleteFile) {
            const std::string target = tokens.NextToken();
            if (!package::StaysInside(target)) {
                problems.push_back("install.cfg names " + Quoted(target) + ", outside the game folder");
            }
        }
    }
}

}  // namespace

bool ListPackageFolder(const std::string& folder, std::vector<PackFile>& files) {
    files.clear();
    if (!os::Current().IsFolder(folder)) return false;
    if (!ListBelow(folder, "", 0, files)) return false;
    std::sort(files.begin(), files.end(),
              [](const PackFile& a, const PackFile& b) { return a.entryName < b.entryName; });
    return true;
}

std::vector<std::string> PackageProblems(const std::vector<PackFile>& files) {
    std::vector<std::string> problems;
    for (const PackFile& f : files) {
        const std::string& name = f.entryName;
        if (name.size() >= static_cast<size_t>(package::kNameBufferSize)) {
            problems.push_back(Quoted(name) + " is too long for an entry name");
        } else if (!package::StaysInside(name)) {
            problems.push_back(Quoted(name) + " is not a name the install may write");
        } else if (!IsData(name) && !install::IsOneScriptWord(name)) {
            problems.push_back(Quoted(name) +
                               " holds a space, tab or apostrophe: its removal could not name it");
        }
    }
    const PackFile* script = nullptr;
    for (const PackFile& f : files) {
        if (common::EqualsNoCase(f.entryName, kScriptName)) script = &f;
    }
    std::string text;
    if (!script) {
        problems.push_back("the folder holds no install.cfg");
    } else if (!os::ReadWholeFile(script->sourcePath, text)) {
        problems.push_back("install.cfg cannot be read");
    } else {
        CheckScript(files, text, problems);
    }
    return problems;
}

bool WritePackage(const std::vector<PackFile>& files, const std::string& output) {
    package::ArchiveWriter writer;
    if (!writer.Create(output)) return false;
    bool ok = true;
    for (const PackFile& f : files) ok = ok && writer.AddFile(f.sourcePath, f.entryName);
    ok = writer.Close() && ok;
    if (!ok) os::Current().RemoveFile(output);
    return ok;
}

}  // namespace cli

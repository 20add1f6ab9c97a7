#include "install/Journal.h"

#include "os/Os.h"
#include "slots/SlotTable.h"

namespace install {

namespace {

constexpr const char* kMagic = "ORVA journal 1";

// Values stand after a tab, one per field; tab, line feed, carriage return and "%" inside a
// value are written as %09, %0A, %0D and %25.
std::string Escape(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\t': out += "%09"; break;
            case '\n': out += "%0A"; break;
            case '\r': out += "%0D"; break;
            case '%': out += "%25"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            std::string hex = value.substr(i + 1, 2);
            if (hex == "09") out += '\t';
            else if (hex == "0A") out += '\n';
            else if (hex == "0D") out += '\r';
            else if (hex == "25") out += '%';
            else out += value.substr(i, 3);
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t pos = 0;
    for (;;) {
        size_t tab = line.find('\t', pos);
        fields.push_back(Unescape(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos)));
        if (tab == std::string::npos) return fields;
        pos = tab + 1;
    }
}

int Number(const std::string& s) {
    try {
        return std::stoi(s);
    } catch (...) {
        return 0;
    }
}

}  // namespace

std::string JournalPath(const platform::Settings& settings) {
    return settings.SettingsFolder() + "\\ORVA.journal";
}

std::string LockPath(const platform::Settings& settings) {
    return settings.SettingsFolder() + "\\ORVA.lock";
}

bool WriteJournal(const platform::Settings& settings, const Journal& j) {
    std::string text = std::string(kMagic) + "\n";
    auto line = [&](std::initializer_list<std::string> fields) {
        bool first = true;
        for (const std::string& f : fields) {
            text += first ? f : "\t" + Escape(f);
            first = false;
        }
        text += "\n";
    };
    line({"stage", j.stage == Journal::Stage::Committing ? "committing" : "prepared"});
    line({"operation", j.removal ? "removal" : "install"});
    line({"package", j.package});
    line({"backup", j.backupPath});
    line({"scratch", j.backupScratch});
    for (const std::string& f : j.folders) line({"folder", f});
    for (const auto& [game, slot] : j.claims) line({"claim", std::to_string(game), std::to_string(slot)});
    for (const auto& [game, slot] : j.releases) line({"release", std::to_string(game), std::to_string(slot)});
    line({"reset", std::to_string(j.resetGame)});
    for (const StagedChange& c : j.changes) line({"change", c.target, c.scratch});
    text += "end\n";  // a journal without this line was cut off and is not used
    if (!os::EnsureFolder(settings.SettingsFolder())) return false;
    return os::ReplaceWholeFile(JournalPath(settings), text);
}

bool ReadJournal(const platform::Settings& settings, Journal& j) {
    std::string text;
    if (!os::ReadWholeFile(JournalPath(settings), text)) return false;
    j = Journal();
    bool magic = false, ended = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string::npos) break;  // an unfinished last line
        std::string line = text.substr(pos, lf - pos);
        pos = lf + 1;
        if (!magic) {
            magic = line == kMagic;
            if (!magic) return false;
            continue;
        }
        std::vector<std::string> f = Fields(line);
        const std::string& key = f[0];
        auto at = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
        if (key == "stage") j.stage = at(1) == "committing" ? Journal::Stage::Committing : Journal::Stage::Prepared;
        else if (key == "operation") j.removal = at(1) == "removal";
        else if (key == "package") j.package = at(1);
        else if (key == "backup") j.backupPath = at(1);
        else if (key == "scratch") j.backupScratch = at(1);
        else if (key == "folder") j.folders.push_back(at(1));
        else if (key == "claim") j.claims.emplace_back(Number(at(1)), Number(at(2)));
        else if (key == "release") j.releases.emplace_back(Number(at(1)), Number(at(2)));
        else if (key == "reset") j.resetGame = Number(at(1));
        else if (key == "change") j.changes.push_back({at(1), at(2)});
        else if (key == "end") ended = true;
    }
    return magic && ended;
}

void RemoveJournal(const platform::Settings& settings) {
    os::Current().RemoveFile(JournalPath(settings));
    os::SyncFolder(settings.SettingsFolder());
}

void ResetPlatform(const platform::Settings& settings, int game) {
    slots::DeletePlatformBackups(settings, game);
    slots::SlotTable(settings).Reset(game);
}

namespace {

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

// False when a scratch file that is there could not be deleted.
bool RemoveScratchFiles(const std::vector<std::string>& folders) {
    os::Os& sys = os::Current();
    bool all = true;
    for (const std::string& folder : folders) {
        for (const char* extension : {".tmp", ".part", ".new"}) {
            std::vector<std::string> names;
            if (auto search = sys.FindFiles(folder, extension)) {
                std::string name;
                while (search->Next(name)) {
                    if (os::IsScratchName(name)) names.push_back(name);
                }
            }
            for (const std::string& name : names) all = sys.RemoveFile(folder + "\\" + name) && all;
        }
    }
    return all;
}

}  // namespace

bool Undo(const platform::Settings& settings, const Journal& j) {
    os::Os& sys = os::Current();
    bool all = RemoveScratchFiles(j.folders);
    if (!j.backupScratch.empty() && sys.Exists(j.backupScratch)) all = sys.RemoveFile(j.backupScratch) && all;
    slots::SlotTable table(settings);
    for (const auto& [game, slot] : j.claims) {
        std::string owner;
        if (table.FindOwner(game, slot, owner) && owner == j.package) all = table.Release(game, slot) && all;
    }
    // What could not be cleaned up is tried again at the next start.
    if (all) RemoveJournal(settings);
    return all;
}

CommitOutcome Commit(const platform::Settings& settings, const Journal& j) {
    os::Os& sys = os::Current();
    // The backup archive takes its place first; if it cannot, no game file has changed yet
    // and the install is undone instead.
    if (!j.removal && !j.backupScratch.empty() && sys.Exists(j.backupScratch)) {
        if (!sys.MoveReplace(j.backupScratch, j.backupPath)) {
            Undo(settings, j);
            return CommitOutcome::Undone;
        }
        os::SyncFolder(FolderOf(j.backupPath));
    }
    bool all = ApplyChanges(j.changes);
    if (all) all = RemoveScratchFiles(j.folders);
    if (all && j.removal) {
        slots::SlotTable table(settings);
        for (const auto& [game, slot] : j.releases) all = table.Release(game, slot) && all;
        if (j.resetGame != 0) ResetPlatform(settings, j.resetGame);
        if (sys.Exists(j.backupPath)) all = sys.RemoveFile(j.backupPath) && all;
    }
    // A change that could not be made yet keeps the journal, and the next start goes on.
    if (!all) return CommitOutcome::Unfinished;
    RemoveJournal(settings);
    return CommitOutcome::Done;
}

std::string RecoverInterrupted(const platform::Settings& settings) {
    if (!os::Current().Exists(JournalPath(settings))) return {};
    auto lock = os::OpenExclusive(LockPath(settings));
    if (!lock) return {};  // the operation is still running in another process
    Journal j;
    if (!ReadJournal(settings, j)) {
        // Journals are replaced whole, so this one is damaged; it cannot be acted on.
        RemoveJournal(settings);
        return {};
    }
    const std::string what = j.removal ? "removal" : "install";
    if (j.stage == Journal::Stage::Prepared) {
        if (!Undo(settings, j)) {
            return "An interrupted " + what + " of " + j.package + " could not be undone yet; it is tried again at the next start.";
        }
        return "An interrupted " + what + " of " + j.package + " was undone; nothing was changed.";
    }
    switch (Commit(settings, j)) {
        case CommitOutcome::Done: return "An interrupted " + what + " of " + j.package + " was completed.";
        case CommitOutcome::Undone: return "An interrupted " + what + " of " + j.package + " was undone; nothing was changed.";
        case CommitOutcome::Unfinished: break;
    }
    return "An interrupted " + what + " of " + j.package + " could not be finished yet; it is tried again at the next start.";
}

}  // namespace install

// The record of an install or removal under way, kept in the settings folder so that the next
// start can finish or undo one that was interrupted. While it says "prepared" no game file has
// changed yet; once it says "committing" the backup archive is complete and every change is
// staged, so carrying the changes out again is safe.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "install/StagingOs.h"
#include "platform/Settings.h"

namespace install {

struct Journal {
    enum class Stage { Prepared, Committing };
    Stage stage = Stage::Prepared;
    bool removal = false;
    std::string package;     // the name handed to the installer
    std::string backupPath;  // the backup archive: being written (install) or applied (removal)
    std::string backupScratch;  // install: where the archive is written until it is complete
    std::vector<std::string> folders;  // where scratch files of the steps may lie
    std::vector<std::pair<int, int>> claims;    // install: (game, slot) claimed for package
    std::vector<std::pair<int, int>> releases;  // removal: released when it is committed
    int resetGame = 0;  // removal of a package without slot: the platform reset of this game
    std::vector<StagedChange> changes;
};

std::string JournalPath(const platform::Settings& settings);
std::string LockPath(const platform::Settings& settings);

// Written as a whole, flushed and moved into place; false when it could not be stored.
bool WriteJournal(const platform::Settings& settings, const Journal& journal);
bool ReadJournal(const platform::Settings& settings, Journal& journal);
void RemoveJournal(const platform::Settings& settings);

// Carry a journal's operation out to its end (committing), or back to its start (prepared),
// and remove the journal. Both can be run again after an interruption.
enum class CommitOutcome {
    Done,
    Undone,      // the backup archive could not be put in place, so nothing was changed
    Unfinished,  // a change could not be made yet; the journal stays for the next start
};
CommitOutcome Commit(const platform::Settings& settings, const Journal& journal);
// False when something could not be cleaned up yet; the journal then stays.
bool Undo(const platform::Settings& settings, const Journal& journal);

// Looks for an operation that was interrupted and finishes or undoes it. Answers the sentence
// to tell the user, or an empty string when there was nothing to do (also when another process
// is at work right now).
std::string RecoverInterrupted(const platform::Settings& settings);

// The platform reset that ends the removal of a package without slot: the backups of the
// game's packages deleted, its slot file removed.
void ResetPlatform(const platform::Settings& settings, int game);

}  // namespace install

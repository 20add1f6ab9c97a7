// The platform reset's clean-up of the patch folder: once a game's base package is removed,
// the game files are back to their first state, so the backup archives of that game's other
// packages would only undo changes that are gone.
#include <string>
#include <vector>

#include "common/Ascii.h"
#include "os/Os.h"
#include "slots/SlotTable.h"

namespace slots {

void DeletePlatformBackups(const platform::Settings& settings, platform::PlatformId game) {
    if (!platform::PlatformTable::IsGame(game)) return;
    const std::string_view prefix = platform::PlatformTable::Row(game).packagePrefix;
    const std::string folder = settings.GetFolder(platform::kPatchFolder);

    os::Os& sys = os::Current();
    std::vector<std::string> doomed;
    if (auto search = sys.FindFiles(folder, std::string(platform::kBackupExtension))) {
        std::string name;
        while (search->Next(name)) {
            // Only the backups of the packages that the game's own tab lists: names that begin
            // with its prefix and hold no "orva". A backup of another game's package whose
            // name merely contains the prefix ("xwa-tie-e"), or of a base package, is the only
            // way back for the changes it saved, and stays.
            const std::string lower = common::ToLowerAscii(name);
            if (lower.rfind(prefix, 0) == 0 && lower.find("orva") == std::string::npos) {
                doomed.push_back(name);
            }
        }
    }
    // Deleted once the search is closed, so that no file system sees its folder change under
    // an open search. A file that cannot be deleted (or a folder of that name) simply stays.
    for (const std::string& name : doomed) sys.RemoveFile(folder + "\\" + name);
}

}  // namespace slots

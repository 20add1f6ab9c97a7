// Everything that differs from one game to the next, in one read-only table. Row 0 stands for
// the patch folder and the base packages' tab; rows 1 to 5 are the games (PlatformId).
#pragma once

#include <string_view>

namespace platform {

using PlatformId = int;

constexpr PlatformId kPatchFolder = 0;
constexpr PlatformId kTieFighterCd = 1;
constexpr PlatformId kTieFighter95 = 2;
constexpr PlatformId kXwingVsTie = 3;
constexpr PlatformId kBalanceOfPower = 4;
constexpr PlatformId kXwingAlliance = 5;
constexpr int kRowCount = 6;

// How a game's registry record is used for its folder.
enum class RegistryRule {
    None,          // no registry record
    FillsEmpty,    // only when the settings value is empty
    Replaces,      // whenever it can be read, over any settings value
};

struct PlatformInfo {
    PlatformId id;
    std::string_view scriptKeyword;   // argument of "game"; empty for row 0
    std::string_view upperName;       // written after "Game " in uninstall scripts
    std::string_view tabLabel;
    std::string_view settingsKey;     // key in section "Paths"
    std::string_view packagePrefix;   // compared with the lower-cased file name
    std::string_view registryKey;     // under HKEY_LOCAL_MACHINE, value "Install Path"
    RegistryRule registryRule;
    std::string_view defaultFolder;   // when the settings value is empty (row 0: see Settings)
    std::string_view slotFile;        // appended to the settings folder
    std::string_view groupCaption;    // Directories dialog
    int pathFieldId;
    int browseButtonId;
    std::string_view browseCaption;
};

// Constants shared by every game.
inline constexpr std::string_view kBaseMarker = "\\RADuvev\\back.ov";
inline constexpr std::string_view kPackageExtension = ".ovx";
inline constexpr std::string_view kBackupExtension = ".backup";
inline constexpr std::string_view kRegistryValueName = "Install Path";
inline constexpr std::string_view kPatchFolderDefaultName = "\\OV Ship Patches";

class PlatformTable {
public:
    // The row of id 0 to 5; any other id is a programming error.
    static const PlatformInfo& Row(PlatformId id);
    // The game of a script keyword, compared exactly; 0 when none has it.
    static PlatformId IdByKeyword(std::string_view keyword);
    // The upper-case name of ids 1 to 5; empty for every other number.
    static std::string_view UpperName(PlatformId id);
    static bool IsGame(PlatformId id) { return id >= 1 && id <= 5; }
};

}  // namespace platform

#include "platform/PlatformTable.h"

#include <array>
#include <cassert>

namespace platform {

namespace {

constexpr std::array<PlatformInfo, kRowCount> kRows = {{
    {0, "", "", "Ship Patches", "Patches", "orva-", "", RegistryRule::None, "", "",
     "Patch Path", 1012, 3, "Browse for OVX"},
    {1, "tiecd", "TIECD", "TIE Fighter CD", "TIE Fighter CD", "tiecd-", "", RegistryRule::None,
     "C:\\TIECD", "\\tiecd.slot", "TIE Fighter CD Path", 1017, 8, "Browse for TIE Fighter CD"},
    {2, "tie", "TIE", "TIE Fighter 95", "TIE Fighter 95", "tie-",
     "SOFTWARE\\LucasArts Entertainment Company LLC\\TIE95\\1.0", RegistryRule::FillsEmpty, "",
     "\\tie.slot", "TIE Fighter 95 Path", 1013, 4, "Browse for TIE Fighter 95"},
    {3, "xvt", "XVT", "X-wing vs TIE Fighter", "X-wing vs TIE Fighter", "xvt-",
     "SOFTWARE\\LucasArts Entertainment Company\\X-Wing vs. TIE Fighter\\1.0",
     RegistryRule::Replaces, "", "\\xvt.slot", "X-wing vs TIE Fighter Path", 1014, 5,
     "Browse for X-wing vs TIE Fighter"},
    {4, "bop", "BOP", "Balance of Power", "Balance of Power", "bop-",
     "SOFTWARE\\LucasArts Entertainment Company\\X-Wing vs. TIE Fighter\\2.0",
     RegistryRule::Replaces, "", "\\bop.slot", "Balance of Power Path", 1015, 6,
     "Browse for Balance of Power"},
    {5, "xwa", "XWA", "X-wing Alliance", "X-wing Alliance", "xwa-",
     "SOFTWARE\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0",
     RegistryRule::Replaces, "", "\\xwa.slot", "X-wing Alliance Path", 1016, 7,
     "Browse for X-wing Alliance"},
}};

}  // namespace

const PlatformInfo& PlatformTable::Row(PlatformId id) {
    assert(id >= 0 && id < kRowCount);
    return kRows[static_cast<size_t>(id)];
}

PlatformId PlatformTable::IdByKeyword(std::string_view keyword) {
    if (keyword.empty()) return 0;
    for (const PlatformInfo& row : kRows) {
        if (row.scriptKeyword == keyword) return row.id;
    }
    return 0;
}

std::string_view PlatformTable::UpperName(PlatformId id) {
    return IsGame(id) ? kRows[static_cast<size_t>(id)].upperName : std::string_view{};
}

}  // namespace platform

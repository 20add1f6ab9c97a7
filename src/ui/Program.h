// The objects that live for the whole run of the program: made before the main window,
// destroyed after the message loop has ended. The main window and its dialogs reach them
// through the pointer handed to each dialog at creation, not through globals, so that the
// GUI tests can make a fresh set on a test user's folders.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "install/Installer.h"
#include "package/ArchiveWriter.h"
#include "platform/Settings.h"
#include "ui/HyperLink.h"
#include "ui/WinUi.h"

namespace ui {

// Private messages to the main window.
inline constexpr UINT UM_FOCUS_LIST = WM_USER + 1;    // the package list takes the focus
inline constexpr UINT UM_REFRESH_LIST = WM_USER + 2;  // the package list is filled again

// The About box's links, in the order of their controls 1005, 1006, 1007.
enum AboutLink { kOfficeLink, kOrganisationLink, kAuthorLink, kAboutLinkCount };

struct Program {
    Program() : installer(writer) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The module whose resources the dialogs are made from; set by the entry.
    HINSTANCE instance = nullptr;
    // The one backup-archive writer, and the installer that uses it.
    package::ArchiveWriter writer;
    install::Installer installer;
    // The Directories dialog's own settings, and those of the package list and the
    // first-run test.
    platform::Settings directoriesSettings;
    platform::Settings listSettings;
    // The file names behind the list rows (row i: entry i) and the selected tab.
    std::vector<std::string> patchList;
    int currentTab = 0;
    // Reused by every About box, so that a link once opened stays purple.
    std::array<CHyperLink, kAboutLinkCount> aboutLinks;
};

}  // namespace ui

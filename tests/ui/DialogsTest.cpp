// The Directories dialog and the About box with its links, opened from the main window's menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "GuiFixture.h"
#include "app/ResourceIds.h"
#include "platform/PlatformTable.h"
#include "ui/Dialogs.h"
#include "ui/HyperLink.h"

namespace gui_test {

namespace {

using platform::PlatformTable;
using testing_support::FixtureEntry;
using testing_support::ReadFile;

// The dialog that command opened, or null.
HWND OpenFromMenu(HWND main, int command, const std::string& title) {
    const std::vector<HWND> before = DialogsTitled(title);
    SendMessageA(main, WM_COMMAND, command, 0);
    for (HWND dialog : DialogsTitled(title)) {
        if (std::find(before.begin(), before.end(), dialog) == before.end()) return dialog;
    }
    return nullptr;
}

TEST_F(GuiTest, DirectoriesCancelSavesNothingAndOkSavesAllSixInRowOrder) {
    const std::string other = os.root.Join("Other patches");
    os::Current().CreateFolder(other);
    ASSERT_TRUE(testing_support::WriteZip(other + "\\xwa-elsewhere.ovx",
                                          {{"install.cfg", "game xwa\r\n"}}));
    {
        BoxWatcher watcher({"Reminder"});
        ASSERT_NE(Start(), nullptr);
    }
    const std::string ini = program->listSettings.IniPath();

    // The first-run dialog, cancelled after a pick: the settings file is not even made.
    HWND directories = OnlyDialog("Directories");
    ASSERT_NE(directories, nullptr);
    SetDlgItemTextA(directories, IDC_PATH_PATCHES, other.c_str());
    SendDlgItemMessageA(directories, IDCANCEL, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(directories));
    EXPECT_EQ(ReadFile(ini), "<missing>");
    SelectTab(5);
    EXPECT_EQ(ListView_GetItemCount(List()), 0);

    // From the menu, a pick for the patch folder and for X-wing Alliance, then OK.
    directories = OpenFromMenu(main, IDM_PREFERENCES, "Directories");
    ASSERT_NE(directories, nullptr);
    SetDlgItemTextA(directories, IDC_PATH_PATCHES, other.c_str());
    SetDlgItemTextA(directories, IDC_PATH_XWA, games[5].c_str());
    SendDlgItemMessageA(directories, IDOK, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(directories));

    // All six keys, in row order, with the folders in force where nothing was picked.
    const std::string saved = ReadFile(ini);
    size_t at = 0;
    for (int row = 0; row < platform::kRowCount; ++row) {
        const platform::PlatformInfo& info = PlatformTable::Row(row);
        std::string expected = row == 0 ? other : row == 5 ? games[5] : program->listSettings.GetFolder(row);
        const size_t found = saved.find(std::string(info.settingsKey) + "=" + expected + "\r\n", at);
        ASSERT_NE(found, std::string::npos) << info.settingsKey << " in\n" << saved;
        at = found + 1;
    }
    EXPECT_EQ(program->listSettings.GetFolder(1), "C:\\TIECD");
    // The list was filled again from the new patch folder.
    EXPECT_EQ(ListRows(main), (Rows{{"elsewhere", "Ready to install"}}));

    // A later Cancel leaves the file as it is.
    directories = OpenFromMenu(main, IDM_PREFERENCES, "Directories");
    ASSERT_NE(directories, nullptr);
    EXPECT_EQ(ItemText(directories, IDC_PATH_PATCHES), other);
    SetDlgItemTextA(directories, IDC_PATH_PATCHES, "");
    SendMessageA(directories, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(directories));
    EXPECT_EQ(ReadFile(ini), saved);
}

struct OwnedSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<OwnedSearch*>(data);
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search.owner) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

TEST_F(GuiTest, BrowseOpensTheFolderPickerAtDriveC) {
    Configure();
    ASSERT_NE(Start(), nullptr);
    HWND directories = OpenFromMenu(main, IDM_PREFERENCES, "Directories");
    ASSERT_NE(directories, nullptr);

    // The picker is modal, owned by the Directories dialog; a second thread finds it and
    // presses OK, which takes the folder it was opened at.
    std::atomic<bool> stop{false};
    std::atomic<bool> pickerSeen{false};
    const DWORD uiThread = GetCurrentThreadId();
    std::thread presser([&] {
        while (!stop) {
            OwnedSearch search{directories};
            EnumThreadWindows(uiThread, FindOwned, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                // Give the picker time to finish its initialisation, where it selects "C:\".
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                pickerSeen = true;
                PostMessageA(search.found, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    SendDlgItemMessageA(directories, IDC_BROWSE_TIE, BM_CLICK, 0, 0);
    stop = true;
    presser.join();

    EXPECT_TRUE(pickerSeen);
    EXPECT_EQ(ItemText(directories, IDC_PATH_TIE), "C:\\");
    EXPECT_EQ(ItemText(directories, IDC_PATH_XWA), games[5]);
}

// The colour a link's parent gives the link's text.
COLORREF TextColourOf(HWND about, int id) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageA(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(GetDlgItem(about, id)));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

bool Underlined(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA attributes{};
    return font && GetObjectA(font, sizeof(attributes), &attributes) && attributes.lfUnderline;
}

TEST_F(GuiTest, AboutLinksOpenThroughTheShellAndStayPurple) {
    Configure();
    ASSERT_NE(Start(), nullptr);
    HWND about = OpenFromMenu(main, IDM_ABOUT, "About");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(ItemText(about, IDC_LINK_AUTHOR), "Maltek");
    for (int id : {IDC_LINK_OFFICE, IDC_LINK_ORGANISATION, IDC_LINK_AUTHOR}) {
        EXPECT_EQ(TextColourOf(about, id), ui::kLinkColour) << id;
    }

    // Hovering underlines the link while the mouse stays inside it.
    HWND office = GetDlgItem(about, IDC_LINK_OFFICE);
    SendMessageA(office, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(Underlined(office));
    EXPECT_EQ(GetCapture(), office);
    RECT client;
    GetClientRect(office, &client);
    SendMessageA(office, WM_MOUSEMOVE, 0, MAKELPARAM(client.right + 3, 2));
    EXPECT_FALSE(Underlined(office));
    EXPECT_NE(GetCapture(), office);
    EXPECT_EQ(TextColourOf(about, IDC_LINK_OFFICE), ui::kLinkColour);

    // A key other than the space bar opens nothing; the space bar and a click do.
    SendMessageA(office, WM_KEYUP, 'A', 0);
    EXPECT_TRUE(ShellRequests().empty());
    SendMessageA(office, WM_KEYUP, VK_SPACE, 0);
    SendMessageA(GetDlgItem(about, IDC_LINK_AUTHOR), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(ShellRequests().size(), 2u);
    EXPECT_EQ(ShellRequests()[0].target, "https://www.example.org/quenlar-office/");
    EXPECT_EQ(ShellRequests()[1].target, "mailto:maltek@example.org");
    EXPECT_EQ(ShellRequests()[1].showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(TextColourOf(about, IDC_LINK_OFFICE), ui::kVisitedLinkColour);

    SendDlgItemMessageA(about, IDOK, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(about));

    // The next About box shares the links: what was opened stays purple.
    HWND again = OpenFromMenu(main, IDM_ABOUT, "About");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(TextColourOf(again, IDC_LINK_OFFICE), ui::kVisitedLinkColour);
    EXPECT_EQ(TextColourOf(again, IDC_LINK_AUTHOR), ui::kVisitedLinkColour);
    EXPECT_EQ(TextColourOf(again, IDC_LINK_ORGANISATION), ui::kLinkColour);
    SendMessageA(GetDlgItem(again, IDC_LINK_ORGANISATION), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(ShellRequests().back().target, "https://www.example.org/orvalan/");
    EXPECT_TRUE(program->aboutLinks[ui::kOrganisationLink].visited);
}

}  // namespace

}  // namespace gui_test

#include "GuiFixture.h"

#include <algorithm>
#include <chrono>

#include "app/ResourceIds.h"
#include "common/Ascii.h"
#include "os/Os.h"
#include "platform/PlatformTable.h"
#include "ui/Automation.h"
#include "ui/MainWindow.h"

namespace gui_test {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

struct BoxParts {
    bool icon = false;
    int buttons = 0;
};

BOOL CALLBACK CountParts(HWND child, LPARAM data) {
    auto& parts = *reinterpret_cast<BoxParts*>(data);
    if (!IsWindowVisible(child)) return TRUE;
    const std::string cls = ClassOf(child);
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if (cls == "Button") ++parts.buttons;
    // Some message boxes keep an empty icon control when asked for none.
    if (cls == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
        SendMessageA(child, STM_GETICON, 0, 0) != 0) {
        parts.icon = true;
    }
    return TRUE;
}

void RecordShellOpen(HWND, const char* target, int showCommand) {
    ShellRequests().push_back({target ? target : "", showCommand});
}

BOOL CALLBACK DestroyTopLevel(HWND window, LPARAM) {
    if (ClassOf(window) == "#32770" && !GetWindow(window, GW_OWNER)) DestroyWindow(window);
    return TRUE;
}

}  // namespace

BoxWatcher::BoxWatcher(std::vector<std::string> titles, std::function<void(HWND)> onSight)
    : titles(std::move(titles)), onSight(std::move(onSight)), uiThread(GetCurrentThreadId()),
      thread([this] { Run(); }) {}

BoxWatcher::~BoxWatcher() {
    stop = true;
    thread.join();
}

void BoxWatcher::Run() {
    std::vector<HWND> handled;
    while (!stop) {
        for (const std::string& title : titles) {
            for (HWND box : ui::automation::DialogsTitled(title, uiThread)) {
                if (std::find(handled.begin(), handled.end(), box) != handled.end()) continue;
                handled.push_back(box);
                SeenBox record;
                record.title = title;
                record.text = ItemText(box, kMessageBoxTextId);
                BoxParts parts;
                EnumChildWindows(box, CountParts, reinterpret_cast<LPARAM>(&parts));
                record.hasIcon = parts.icon;
                record.buttons = parts.buttons;
                if (onSight) onSight(box);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    seen.push_back(record);
                }
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<SeenBox> BoxWatcher::Seen() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
}

bool GuiOs::Refused(const std::string& path) const {
    const std::string folder = refuseWritesBelow + "\\";
    return !refuseWritesBelow.empty() && path.size() > folder.size() &&
           common::EqualsNoCase(std::string_view(path).substr(0, folder.size()), folder);
}

std::unique_ptr<os::File> GuiOs::Open(const std::string& path, os::OpenMode mode) {
    if (mode != os::OpenMode::Read && Refused(path)) return nullptr;
    return TestOs::Open(path, mode);
}

bool GuiOs::CreateFolder(const std::string& path) {
    return !Refused(path) && TestOs::CreateFolder(path);
}

HWND OnlyDialog(const std::string& title) {
    std::vector<HWND> found = ui::automation::DialogsTitled(title);
    EXPECT_EQ(found.size(), 1u) << "dialogs titled " << title;
    return found.empty() ? nullptr : found.back();
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return "<no control>";
    const int length = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

Rows ListRows(HWND mainWindow) {
    Rows rows = ui::automation::Rows(mainWindow);
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string BitmapFile(int width, int height) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = static_cast<uint32_t>(rowBytes * height);
    std::string file;
    auto put = [&file](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    file += "BM";
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < rowBytes; ++x) file.push_back(static_cast<char>((x * 7 + y * 13) & 0xFF));
    }
    return file;
}

std::vector<ShellRequest>& ShellRequests() {
    static std::vector<ShellRequest> requests;
    return requests;
}

GuiTest::GuiTest() : program(std::make_unique<ui::Program>()) {
    program->instance = GetModuleHandleA(nullptr);
    previousShellOpen = ui::ReplaceShellOpen(RecordShellOpen);
    ShellRequests().clear();
    patches = os.root.Join("Patches");
    os::Current().CreateFolder(patches);
    const char* names[6] = {"", "TIECD", "TIE95", "XVT", "BOP", "XWA"};
    for (int id = 1; id <= 5; ++id) {
        games[id] = os.root.Join(names[id]);
        os::Current().CreateFolder(games[id]);
    }
}

GuiTest::~GuiTest() {
    // Owned dialogs go with their owners; then every message the windows left behind,
    // the quit message of a closed main window included, so the next test starts clean.
    EnumThreadWindows(GetCurrentThreadId(), DestroyTopLevel, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
    ui::ReplaceShellOpen(previousShellOpen);
}

void GuiTest::Configure() {
    const platform::Settings& settings = program->listSettings;
    for (int row = 0; row < platform::kRowCount; ++row) {
        settings.SetFolder(std::string(platform::PlatformTable::Row(row).settingsKey),
                           row == 0 ? patches : games[row]);
    }
}

HWND GuiTest::Start() {
    main = ui::StartMainWindow(*program);
    return main;
}

HWND GuiTest::List() const { return GetDlgItem(main, IDC_PATCH_LIST); }

void GuiTest::SelectTab(int tab) { ui::automation::SelectTab(main, tab); }

bool GuiTest::FocusRow(const std::string& displayName) {
    return ui::automation::FocusRow(main, displayName);
}

bool GuiTest::DoubleClick(const std::string& displayName) {
    return ui::automation::DoubleClickRow(main, displayName);
}

std::string GuiTest::StatusOf(const std::string& displayName) {
    for (const auto& [name, status] : ui::automation::Rows(main)) {
        if (name == displayName) return status;
    }
    return "<no row>";
}

void GuiTest::WritePackage(const std::string& name,
                           std::vector<testing_support::FixtureEntry> entries) {
    ASSERT_TRUE(testing_support::WriteZip(Package(name), entries)) << name;
}

}  // namespace gui_test

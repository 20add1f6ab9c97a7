// The demo's patch folder and game folders: base packages and ship patches for several games,
// each with a banner and a read-me, and the settings file pointed at them.
#include "app/demo/Demo.h"

#include <cstdio>
#include <vector>

#include "os/Os.h"
#include "package/ArchiveWriter.h"
#include "platform/PlatformTable.h"
#include "platform/Settings.h"
#include "ui/WinUi.h"

namespace demo {

namespace {

struct DemoFile {
    std::string name;
    std::string data;
};

struct DemoPackage {
    const char* file;
    const char* title;  // lettered on the banner
    std::string script;
    std::vector<DemoFile> files;
    const char* readme;
};

// A 400 x 100 banner, 24 bits per pixel: a night sky, a few stars and the ship's name.
std::string Banner(const std::string& title, COLORREF tint) {
    constexpr int kWidth = 400, kHeight = 100;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    ui::GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        DeleteDC(dc);
        return {};
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap.Get());
    for (int y = 0; y < kHeight; ++y) {
        const int fade = 255 * y / kHeight;
        ui::GdiObject<HBRUSH> row(CreateSolidBrush(RGB(GetRValue(tint) * (255 - fade) / 255,
                                                       GetGValue(tint) * (255 - fade) / 255,
                                                       GetBValue(tint) * (255 - fade) / 255)));
        RECT line = {0, y, kWidth, y + 1};
        FillRect(dc, &line, row.Get());
    }
    unsigned seed = 4711;
    for (int i = 0; i < 120; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int x = static_cast<int>(seed >> 8) % kWidth;
        seed = seed * 1103515245u + 12345u;
        const int y = static_cast<int>(seed >> 8) % kHeight;
        const int b = 140 + static_cast<int>(seed >> 20) % 116;
        SetPixel(dc, x, y, RGB(b, b, 255 - (255 - b) / 2));
    }
    ui::GdiObject<HFONT> font(CreateFontA(34, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          ANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
    HGDIOBJ oldFont = SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(240, 230, 176));
    RECT area = {0, 0, kWidth, kHeight};
    DrawTextA(dc, title.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();

    const int rowBytes = (kWidth * 3 + 3) / 4 * 4;
    const DWORD pixelBytes = static_cast<DWORD>(rowBytes * kHeight);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + pixelBytes;
    info.bmiHeader.biSizeImage = pixelBytes;
    std::string out(reinterpret_cast<const char*>(&file), sizeof(file));
    out.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.append(static_cast<const char*>(bits), pixelBytes);

    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return out;
}

bool WritePackage(const std::string& path, const DemoPackage& package, COLORREF tint) {
    package::ArchiveWriter writer;
    if (!writer.Create(path)) return false;
    bool ok = writer.AddMemory("install.cfg", package.script.data(),
                               static_cast<int64_t>(package.script.size()));
    const std::string banner = Banner(package.title, tint);
    ok = ok && writer.AddMemory("header.bmp", banner.data(), static_cast<int64_t>(banner.size()));
    const std::string readme = package.readme;
    ok = ok && writer.AddMemory("readme.txt", readme.data(), static_cast<int64_t>(readme.size()));
    for (const DemoFile& f : package.files) {
        ok = ok && writer.AddMemory(f.name, f.data.data(), static_cast<int64_t>(f.data.size()));
    }
    return writer.Close() && ok;
}

bool WriteGameFile(const std::string& folder, const std::string& name, const std::string& data) {
    const std::string path = folder + "\\" + name;
    const size_t cut = path.find_last_of('\\');
    return os::EnsureFolder(path.substr(0, cut)) && os::WriteWholeFile(path, data);
}

// Removes folder and everything below it; a demo made again starts from nothing.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

int MakeDemoData(const std::string& root) {
    RemoveTree(root);
    const std::string patches = root + "\\Ship Patches";
    const char* gameNames[platform::kRowCount] = {"", "TIE Fighter CD", "TIE Fighter 95",
                                                  "X-wing vs TIE Fighter", "Balance of Power",
                                                  "X-wing Alliance"};
    std::string games[platform::kRowCount];
    bool ok = os::EnsureFolder(patches);
    for (int id = 1; id < platform::kRowCount; ++id) {
        games[id] = root + "\\Games\\" + gameNames[id];
        ok = ok && WriteGameFile(games[id], "game.txt", std::string(gameNames[id]) + "\r\n");
    }
    ok = ok && WriteGameFile(games[5], "FlightModels\\Spacecraft0.lst", "TieFighter.opt\r\n");
    ok = ok && WriteGameFile(games[2], "IFF\\ships.lst", "TIE Fighter\r\n");

    const DemoPackage packages[] = {
        {"orva-xwa-base.ovx", "ORVA Base for X-wing Alliance", "game xwa\r\n",
         {{"RADuvev/back.ov", "ORVA base for X-wing Alliance\r\n"}},
         "The ORVA base package for X-wing Alliance.\r\n\r\nInstall it before any ship patch "
         "that takes a craft slot."},
        {"orva-tie-base.ovx", "ORVA Base for TIE Fighter 95", "game tie\r\n",
         {{"RADuvev/back.ov", "ORVA base for TIE Fighter 95\r\n"}},
         "The ORVA base package for TIE Fighter 95."},
        {"xwa-Tie_Hunter.ovx", "TIE Hunter", "game xwa\r\nslot 7\r\n",
         {{"FlightModels/TieHunter.opt", "TIE Hunter model\r\n"},
          {"FlightModels/TieHunterCockpit.opt", "TIE Hunter cockpit\r\n"}},
         "TIE Hunter\r\n\r\nA heavy interceptor for X-wing Alliance, in craft slot 7.\r\n"
         "Needs the ORVA base for X-wing Alliance."},
        {"xwa-Assault_Gunboat_Mk2.ovx", "Assault Gunboat Mk II", "game xwa\r\nslot 8\r\n",
         {{"FlightModels/GunboatMk2.opt", "Assault Gunboat Mk II model\r\n"}},
         "Assault Gunboat Mk II, craft slot 8."},
        {"tie-Red_Baron.ovx", "Red Baron", "game tie\r\nslot 3\r\n",
         {{"IFF/redbaron.cft", "Red Baron craft\r\n"}}, "The Red Baron, craft slot 3."},
        {"tiecd-Defender_Classic.ovx", "TIE Defender Classic", "game tiecd\r\n",
         {{"RESOURCE/defender.lfd", "TIE Defender\r\n"}}, "TIE Defender in its first colours."},
        {"xvt-Corvette_Refit.ovx", "Corvette Refit", "game xvt\r\n",
         {{"FLIGHT/corvette.opt", "Corvette refit\r\n"}}, "A refitted corellian corvette."},
        {"bop-Escort_Carrier.ovx", "Escort Carrier", "game bop\r\n",
         {{"FLIGHT/carrier.opt", "Escort carrier\r\n"}}, "An escort carrier for Balance of Power."},
    };
    const COLORREF tints[] = {RGB(20, 36, 90), RGB(60, 20, 70), RGB(16, 70, 60), RGB(80, 40, 10)};
    int index = 0;
    for (const DemoPackage& package : packages) {
        const bool written = WritePackage(patches + "\\" + package.file, package, tints[index++ % 4]);
        if (!written) std::fprintf(stderr, "demo: could not write %s\n", package.file);
        ok = ok && written;
    }

    const platform::Settings settings;
    for (int row = 0; row < platform::kRowCount; ++row) {
        settings.SetFolder(std::string(platform::PlatformTable::Row(row).settingsKey),
                           row == 0 ? patches : games[row]);
    }
    std::printf("demo: patch folder %s\ndemo: settings %s\n", patches.c_str(),
                settings.IniPath().c_str());
    return ok ? 0 : 1;
}

}  // namespace demo

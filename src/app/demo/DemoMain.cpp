// osp-demo: "make ROOT" makes the demo data; "drive SHOTS" walks through the main window.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/demo/Demo.h"
#include "ui/WinUi.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "make") == 0) return demo::MakeDemoData(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "drive") == 0) {
        const HRESULT ole = OleInitialize(nullptr);
        const int result = demo::DriveWindow(argv[2]);
        if (SUCCEEDED(ole)) OleUninitialize();
        return result;
    }
    std::fprintf(stderr, "usage: osp-demo make ROOT | osp-demo drive SHOTS\n");
    return 2;
}

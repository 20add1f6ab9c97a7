#include "ui/PatchListView.h"

#include "app/ResourceIds.h"
#include "ui/Catalogue.h"

namespace ui {

namespace {

void InsertColumn(HWND list, int index, const char* title, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

int InsertRow(HWND list, int index, const std::string& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(HWND list, int index, int column, const char* text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void SetUpPatchList(HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    InsertColumn(list, 0, "Filename", kFilenameColumnWidth);
    InsertColumn(list, 1, "Status", kStatusColumnWidth);
}

void FillPatchList(HWND mainWindow, Program& program) {
    HWND list = GetDlgItem(mainWindow, IDC_PATCH_LIST);
    ListView_DeleteAllItems(list);
    program.patchList.clear();

    int row = 0;
    for (const CatalogueRow& entry : BuildCatalogue(program.listSettings, program.currentTab)) {
        InsertRow(list, row, entry.displayName);
        SetCell(list, row, 1, entry.installed ? kStatusInstalled : kStatusReady);
        program.patchList.push_back(entry.entry);
        ++row;
    }
    ListView_SetColumnWidth(list, 1, LVSCW_AUTOSIZE_USEHEADER);
}

}  // namespace ui

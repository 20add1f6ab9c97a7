/* Numbers of the resources and of the controls in them, shared by resources.rc and the
   window code. Plain #defines, since the resource compiler reads this file too. */
#pragma once

/* Templates, menu and pictures. */
#define IDD_MAIN 101
#define IDB_BANNER 102
#define IDR_MAIN_MENU 103
#define IDD_ABOUT 104
#define IDI_PROGRAM 105
#define IDD_DIRECTORIES 106
#define IDD_README 107

/* Main window. The status bar and its progress bar are made at run time. */
#define IDC_BANNER 1002
#define IDC_PROGRESS 1003
#define IDC_STATUS_BAR 1004
#define IDC_PATCH_LIST 1010
#define IDC_TABS 1013
#define IDC_VIEW_README 1014

/* About box links. */
#define IDC_LINK_OFFICE 1005
#define IDC_LINK_ORGANISATION 1006
#define IDC_LINK_AUTHOR 1007

/* Readme viewer. */
#define IDC_README_TEXT 1015

/* Directories dialog: path fields and Browse buttons, the same numbers as the platform
   table's Directories columns (the code takes them from the table). */
#define IDC_PATH_PATCHES 1012
#define IDC_PATH_TIECD 1017
#define IDC_PATH_TIE 1013
#define IDC_PATH_XVT 1014
#define IDC_PATH_BOP 1015
#define IDC_PATH_XWA 1016
#define IDC_BROWSE_PATCHES 3
#define IDC_BROWSE_TIECD 8
#define IDC_BROWSE_TIE 4
#define IDC_BROWSE_XVT 5
#define IDC_BROWSE_BOP 6
#define IDC_BROWSE_XWA 7

/* Menu commands. */
#define IDM_EXIT 40004
#define IDM_ABOUT 40006
#define IDM_PREFERENCES 40007
#define IDM_CONTENTS 40009

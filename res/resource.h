// Identifiers shared by the code and the resource script.
#pragma once

#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDS_RECYCLE         110
#define IDS_EXPORT          111
#define IDS_RULES           112
#define IDD_RULES           103
#define IDD_MAIN_DIALOG     102
#define IDR_MAINFRAME       128
#define IDI_SECOND          214
#define IDR_POPUP_MENU      222

#define IDB_ANIM1           192
#define IDB_ANIM2           193
#define IDB_ANIM3           194
#define IDB_ANIM4           195
#define IDB_ANIM5           196
#define IDB_ANIM6           197
#define IDB_FRAME_BOTTOM    200
#define IDB_CLOSE           201
#define IDB_CLOSE_HOT       202
#define IDB_FRAME_LEFT      203
#define IDB_TITLE_LEFT      204
#define IDB_TITLE_MID       205
#define IDB_MIN             206
#define IDB_MIN_HOT         207
#define IDB_FRAME_RIGHT     208
#define IDB_TITLE_RIGHT     209
#define IDB_TITLE_ICON      210
#define IDB_BTN             211
#define IDB_SCAN            212
#define IDB_SCAN_ALT        215
#define IDB_BTN_HOT         216
#define IDB_SCAN_HOT        217
#define IDB_MAX             218
#define IDB_MAX_HOT         219
#define IDB_RESTORE         220
#define IDB_RESTORE_HOT     221
// The bitmap of set k (1 = 125 %, 2 = 150 %, 3 = 175 %, 4 = 200 %) has its 100 % id + k * IDB_SCALE_STEP.
#define IDB_SCALE_STEP      1000

// System-menu commands; compared after masking with 0xFFF0.
#define IDM_ABOUTBOX        0x0010
#define IDM_RECYCLE         0x0020
#define IDM_EXPORT          0x0030
#define IDM_RULES           0x0040

#define ID_MENU_CLOSE       32780
#define ID_MENU_ABOUT       32781
#define ID_MENU_MAXIMIZE    32782
#define ID_MENU_MINIMIZE    32783
#define ID_MENU_RECYCLE     32784
#define ID_MENU_EXPORT      32785
#define ID_MENU_RULES       32786

#define IDC_BTN_START       1001
#define IDC_BTN_DELETE      1002
#define IDC_BTN_DELETE_ALL  1003
#define IDC_BTN_SELECT_ALL  1004
#define IDC_BTN_SELECT_NONE 1005
#define IDC_COMBO_DRIVE     1006
#define IDC_LIST_FILES      1007
#define IDC_LIST_TYPES      1008
#define IDC_BTN_STOP        1010
#define IDC_BTN_PAUSE       1011
#define IDC_PROGRESS        1015
#define IDC_STATIC_DRIVE    1016
#define IDC_STATIC_STATUS   1021
#define IDC_BTN_SCAN_NOW    1027

// The rules dialog.
#define IDC_RULE_PATTERN        1030
#define IDC_RULE_ADD            1031
#define IDC_RULE_PATTERNS       1032
#define IDC_RULE_REMOVE         1033
#define IDC_RULE_FOLDERS        1034
#define IDC_RULE_ADD_FOLDER     1035
#define IDC_RULE_REMOVE_FOLDER  1036
#define IDC_RULE_DAYS           1037
#define IDC_RULE_TEMP           1038

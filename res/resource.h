/*
 * Resource identifiers of ZendalFileSa.
 * Plain C macros only: this header is read by windres and by the C++ sources.
 */
#ifndef ZENDALFILESA_RESOURCE_H
#define ZENDALFILESA_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC                      (-1)
#endif

/* ---------------------------------------------------------------- dialogs */
#define IDD_ABOUTBOX                    100
#define IDD_ZENDALFILESA_DIALOG         102
#define IDD_SUBMAIN                     129
#define IDD_ENCRYPT                     141
#define IDD_CRUSH                       146
#define IDD_SPLIT                       147
#define IDD_FILEPROTECT                 149
#define IDD_FOLDERPROTECT               154
#define IDD_DISKHIDE                    160
#define IDD_FUNCTION                    162
#define IDD_LOGON                       163

/* ---------------------------------------------------------------- strings */
/* Text of the "About" entry appended to the main window's system menu. */
#define IDS_ABOUTBOX                    101

/* System menu command that opens the About box (tested masked with 0xFFF0). */
#define IDM_ABOUTBOX                    0x0010

/* ------------------------------------------------------------------ menus */
/* Context menus of the protection lists; both carry the same two commands. */
#define IDR_MENU_FILEPROTECT            153
#define IDR_MENU_FOLDERPROTECT          159
#define ID_PROTECT_REMOVE               32773   /* removes the selected row */
#define ID_PROTECT_REMOVEALL            32774   /* empties the whole list */

/* ----------------------------------------------------------------- images */
/* Application icon (large and small window icon, About box). */
#define IDI_MAIN                        128

/* Page host background, 750 x 580. */
#define IDB_SUBMAIN_BG                  130

/* Navigation button faces, 138 x 30 each. */
#define IDB_NAV_NORMAL                  131
#define IDB_NAV_CURRENT                 132
#define IDB_NAV_HOT                     133

/* Navigation button icons, drawn at 24 x 24. */
#define IDI_NAV_ENCRYPT                 134     /* button 1000 */
#define IDI_NAV_SPLIT                   135     /* button 1002 */
#define IDI_NAV_CRUSH                   136     /* button 1001 */
#define IDI_NAV_FILEPROTECT             137     /* button 1003 */
#define IDI_NAV_FOLDERPROTECT           138     /* button 1004 */
#define IDI_NAV_DISKHIDE                139     /* button 1005 */
#define IDI_NAV_FUNCTION                140     /* button 1006 */

/* 16 x 16 list images, white is transparent. */
#define IDB_LIST_DOCUMENT               143
#define IDB_LIST_CROSS                  144
#define IDB_LIST_TICK                   145
#define IDB_LIST_FOLDER                 155
#define IDB_LIST_DISK                   161

/* Marks beside the protection mode check boxes. */
#define IDB_FILE_MODE_O                 150     /* file invalid */
#define IDB_FILE_MODE_I                 151     /* information protection */
#define IDB_FILE_MODE_W                 152     /* file read-only */
#define IDB_FOLDER_MODE_O               156     /* folder invalid */
#define IDB_FOLDER_MODE_I               157     /* information protection */
#define IDB_FOLDER_MODE_W               158     /* folder read-only */

/* PNG skin of the layered main window (resource type "PNG"). */
#define IDR_PNG_CLOSE_HOT               164     /* 54 x 30 */
#define IDR_PNG_FRAME                   165     /* 780 x 630 */
#define IDR_PNG_MIN_NORMAL              166     /* 27 x 18 */
#define IDR_PNG_MIN_HOT                 167     /* 39 x 30 */
#define IDR_PNG_CLOSE_NORMAL            168     /* 45 x 18 */

/* ------------------------------------------------- main window (102) */
#define IDC_MAIN_MINIMIZE               1035
#define IDC_MAIN_CLOSE                  1036

/* ---------------------------------------------------- About box (100) */
#define IDC_ABOUT_SPLITLINE             1028

/* ---------------------------------------------------- page host (129) */
#define IDC_NAV_ENCRYPT                 1000
#define IDC_NAV_CRUSH                   1001
#define IDC_NAV_SPLIT                   1002
#define IDC_NAV_FILEPROTECT             1003
#define IDC_NAV_FOLDERPROTECT           1004
#define IDC_NAV_DISKHIDE                1005
#define IDC_NAV_FUNCTION                1006
#define IDC_LINK_SITE                   1007
#define IDC_LINK_FORUM                  1008

/* ------------------------------------------------------- logon (163) */
#define IDC_LOGON_PASSWORD              1016
#define IDC_LOGON_BUTTON                1034

/* -------------------------------------------------- encryption (141) */
#define IDC_ENCRYPT_START               1000
#define IDC_ENCRYPT_OPERATION           1009
#define IDC_ENCRYPT_PASSWORD            1010
#define IDC_ENCRYPT_CONFIRM             1011
#define IDC_ENCRYPT_BROWSE              1012
#define IDC_ENCRYPT_PROGRESS            1014
#define IDC_ENCRYPT_FRAME               1015

/* --------------------------------------------------- shredding (146) */
#define IDC_CRUSH_START                 1001
#define IDC_CRUSH_BROWSE                1012
#define IDC_CRUSH_PROGRESS              1014
#define IDC_CRUSH_PATH                  1016

/* ------------------------------------------------------- split (147) */
#define IDC_SPLIT_START                 1002
#define IDC_SPLIT_OPERATION             1009
#define IDC_SPLIT_BROWSE                1012
#define IDC_SPLIT_PROGRESS              1014
#define IDC_SPLIT_COUNT                 1018
#define IDC_SPLIT_PATH                  1019
#define IDC_SPLIT_PATH_LABEL            1020

/* ------------------------ file (149) and folder (154) protection */
#define IDC_PROTECT_BROWSE              1012
#define IDC_PROTECT_FRAME               1015
#define IDC_PROTECT_PATH                1016
#define IDC_PROTECT_MODE_O              1022
#define IDC_PROTECT_MODE_W              1023
#define IDC_PROTECT_MODE_I              1024
#define IDC_PROTECT_ADD                 1025

/* ------------------------------------------------- disk hiding (160) */
#define IDC_DISKHIDE_FRAME              1015
#define IDC_DISKHIDE_UNUSABLE           1026
#define IDC_DISKHIDE_SAVE               1027

/* ---------------------------------------------------- settings (162) */
#define IDC_FUNCTION_SAVE               1027
#define IDC_FUNCTION_SPLITLINE_PROTECT  1028
#define IDC_FUNCTION_SPLITLINE_PASSWORD 1029
#define IDC_FUNCTION_STOP               1030
#define IDC_FUNCTION_RESTORE            1031
#define IDC_FUNCTION_OLD_PASSWORD       1032
#define IDC_FUNCTION_NEW_PASSWORD       1033
#define IDC_FUNCTION_CONFIRM_PASSWORD   1034

/* ------------------------------- tree-list child created at run time */
#define IDC_TREELIST                    12321

#endif /* ZENDALFILESA_RESOURCE_H */

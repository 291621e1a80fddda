// Resource ids. The numbers are fixed: templates, code and tests share them.
#pragma once

// Main wizard (dialog 129, menu 222)
#define IDD_MAIN_WIZARD          129
#define IDI_TIDYHOLD             128
#define IDR_MAIN_MENU            222
#define IDC_WIZARD_PANE          1016
#define IDC_WIZARD_HELP          9
#define IDC_WIZARD_BACK          1014
#define IDC_WIZARD_NEXT          1015
#define IDC_WIZARD_CANCEL        2

#define IDM_EXIT                 2
#define IDM_CONTENT              9
#define IDM_RESCUE_MANAGER       32773
#define IDM_CLEAR_TYPED_URLS     32776
#define IDM_JOTBOOK              32777
#define IDM_WEBSITE              32781
#define IDM_CONTACT_US           32782
#define IDM_ABOUT                32783

// Shared by several pages
#define IDC_PAGE_DESCRIPTION     1026

// Welcome page
#define IDD_WELCOME_PAGE         205
#define IDC_WELCOME_TEXT         1025

// Folder page
#define IDD_FOLDER_PAGE          206
#define IDC_FOLDER_TREE          1015
#define IDC_FOLDER_SELECT_ALL    1030
#define IDC_FOLDER_REMOVE_ALL    1029
#define IDC_FOLDER_DEFAULT       1017

// Junk files page
#define IDD_JUNK_FILES_PAGE      211
#define IDC_JUNK_LIST            1027
#define IDC_JUNK_ADD             1028
#define IDC_JUNK_DELETE          1015
#define IDC_JUNK_MODIFY          1016
#define IDC_JUNK_CHECK_ALL       1069
#define IDC_JUNK_UNCHECK_ALL     1019
#define IDC_JUNK_DEFAULT         1017

// Options page
#define IDD_OPTIONS_PAGE         212
#define IDC_OPT_NOT_ACCESSED     1050
#define IDC_OPT_SKIP_READ_ONLY   1051
#define IDC_OPT_SKIP_SYSTEM      1052
#define IDC_OPT_ZERO_LENGTH      1053
#define IDC_OPT_INVALID_SHORTCUT 1054
#define IDC_OPT_MONTHS           1055
#define IDC_OPT_SKIP_HIDDEN      1056
#define IDC_OPT_FIND_TEMP        1057
#define IDC_OPT_FIND_IE_TEMP     1058
#define IDC_OPT_FIND_RECENT      1059
#define IDC_OPT_FIND_IE_HISTORY  1060
#define IDC_OPT_FIND_IE_COOKIES  1061
#define IDC_OPT_DEFAULT          1017

// Skip folders page
#define IDD_SKIP_FOLDERS_PAGE    213
#define IDC_SKIP_LIST            1056
#define IDC_SKIP_ADD             1028
#define IDC_SKIP_REMOVE          1016
#define IDC_SKIP_DEFAULT         1017

// Scanning page
#define IDD_SCAN_PAGE            214
#define IDC_SCAN_LIST            1057
#define IDC_SCAN_STATUS          1058
#define IDC_SCAN_STOP            1059
#define IDC_SCAN_COUNT           1060

// Report page
#define IDD_REPORT_PAGE          215
#define IDC_REPORT_TOTAL         1058
#define IDC_REPORT_LIST          1060
#define IDC_REPORT_MORE_INFO     1061
#define IDC_REPORT_SELECT_ALL    1030
#define IDC_REPORT_REMOVE_ALL    1029
#define IDC_REPORT_CHECKED       1089
#define IDC_REPORT_EXPORT        1090

// Cleaning page
#define IDD_CLEANING_PAGE        216
#define IDC_CLEANING_STATE       1058
#define IDC_CLEANING_PROGRESS    1067
#define IDC_CLEANING_STOP        1059

// Clean options page
#define IDD_CLEAN_OPTIONS_PAGE   217
#define IDC_CLEAN_PERMANENT      1035
#define IDC_CLEAN_RECYCLE        1036
#define IDC_CLEAN_BACKUP         1064
#define IDC_CLEAN_BACKUP_DIR     1065
#define IDC_CLEAN_BROWSE         1066
#define IDC_CLEAN_DEFAULT        1017

// Results page
#define IDD_RESULTS_PAGE         218
#define IDC_RESULTS_LOG_VIEWER   1080
#define IDC_RESULTS_SUMMARY      1081
#define IDC_RESULTS_OPEN_BACKUP  1082

// Junk file dialog
#define IDD_JUNK_FILE_DIALOG     219
#define IDC_JUNK_DIALOG_MASK     1041
#define IDC_JUNK_DIALOG_DESCRIPTION 1040

// More info dialog
#define IDD_MORE_INFO_DIALOG     220
#define IDC_MORE_INFO_ICON       1062
#define IDC_MORE_INFO_PATH       1041
#define IDC_MORE_INFO_LIST       1063
#define IDC_MORE_INFO_SEARCH     1060
#define IDC_MORE_INFO_BROWSE     1061

// Rescue dialog
#define IDD_RESCUE_DIALOG        223
#define IDC_RESCUE_DIRECTORY     1073
#define IDC_RESCUE_BROWSE        1066
#define IDC_RESCUE_LIST          1060
#define IDC_RESCUE_STATE         1058
#define IDC_RESCUE_PROGRESS      1067
#define IDC_RESCUE_DELETE        1015
#define IDC_RESCUE_RESTORE       1072

// Typed URLs dialog
#define IDD_TYPED_URLS_DIALOG    224
#define IDC_TYPED_URLS_LIST      1060
#define IDC_TYPED_URLS_CHECK_ALL 1069
#define IDC_TYPED_URLS_UNCHECK_ALL 1019
#define IDC_TYPED_URLS_CLEAR     1076

// Progress popup
#define IDD_PROGRESS_POPUP       225
#define IDC_PROGRESS_STATUS      1058
#define IDC_PROGRESS_BAR         1067

// About dialog
#define IDD_ABOUT_DIALOG         236
#define IDC_ABOUT_THANKS_LIST    1084
#define IDC_ABOUT_WEBSITE        1085
#define IDC_ABOUT_SUPPORT        1086
#define IDC_ABOUT_APP_NAME       1087
#define IDC_ABOUT_APP_VERSION    1088

// Pictures
#define IDB_FOLDER_IMAGES        201
#define IDB_CHECK_STATES         202
#define IDB_FOLDER_IMAGES_2X     203  // the same images at twice the size, for higher DPIs
#define IDB_CHECK_STATES_2X      204
#define IDB_RESULTS_PICTURE      241
#define IDB_WELCOME_PICTURE      242
#define IDB_FOLDER_PICTURE       243
#define IDB_JUNK_FILES_PICTURE   244
#define IDB_OPTIONS_PICTURE      245
#define IDB_SKIP_FOLDERS_PICTURE 246
#define IDB_SCAN_PICTURE         247
#define IDB_CLEANING_PICTURE     248

#ifndef IDC_STATIC
#define IDC_STATIC               -1
#endif

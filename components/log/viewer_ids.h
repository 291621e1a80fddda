// Ids of the log viewer's template (macros: windres reads this file too).
#pragma once
#define IDD_LOG_VIEWER 100
#define IDC_LOG_SEARCH_LABEL 1001
#define IDC_LOG_SEARCH 1002
#define IDC_LOG_REFRESH 1003
#define IDC_LOG_LIST 1004
#define IDC_LOG_TEXT 1005

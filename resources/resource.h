// Resource ids of Paiview.rc, grouped by dialog; no value names two kinds of resource.
#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_HISTORY 106
#define IDD_SEARCH 109

// Icon, accelerators, menu
#define IDI_APP 110
#define IDR_ACCELERATORS 112
#define IDR_MAIN_MENU 113

// Main window (IDD_MAIN); IDOK (1) loads, IDCANCEL (2) quits
#define IDC_MAIN_TIMES_PLAYERS 1001
#define IDC_MAIN_CHOOSE_FILE 1003
#define IDC_MAIN_PLACINGS 1007
#define IDC_MAIN_LIST 1009
#define IDC_MAIN_FILE_NAME 1011
#define IDC_MAIN_HISTORY 1013
#define IDC_MAIN_SEARCH 1015
#define IDC_MAIN_CLEAR 1017

// Hand history (IDD_HISTORY)
#define IDC_HISTORY_RESULT 1014
#define IDC_HISTORY_HANDS 1015
#define IDC_HISTORY_YAKU 1016

// Search (IDD_SEARCH); IDCANCEL (2) cancels
#define IDC_SEARCH_TEXT 1014
#define IDC_SEARCH_ABOVE 1018
#define IDC_SEARCH_BELOW 1019
#define IDC_SEARCH_TABLE_NAME 1020
#define IDC_SEARCH_START_TIME 1022
#define IDC_SEARCH_PLAYER_LINE 1023
#define IDC_SEARCH_HAND_YAKU 1024
#define IDC_SEARCH_PLACING1 1025
#define IDC_SEARCH_PLACING2 1026
#define IDC_SEARCH_HAND_RESULT 1027
#define IDC_SEARCH_HAND_NAME 1028
#define IDC_SEARCH_END_TIME 1029
#define IDC_SEARCH_PLACING3 1030
#define IDC_SEARCH_PLACING4 1031

// Menu and accelerator commands of the main window
#define IDM_QUIT 2
#define IDM_SEARCH_DIALOG 40003
#define IDM_SEARCH_ABOVE 40004
#define IDM_SEARCH_BELOW 40005
#define IDM_ABOUT 40006

// Static controls that code never addresses
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

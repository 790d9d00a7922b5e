// The main window: a modeless dialog listing the loaded half-games.
#pragma once

#include <windows.h>

// Procedure of dialog template IDD_MAIN; returns FALSE for every message.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

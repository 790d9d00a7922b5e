// The main window's two summary panes, filled with the core's texts of a record.
#pragma once

#include <windows.h>

class GameLibrary;

// Sets an edit control's whole text to the pane text of the record at position;
// "error!" for a position out of range.
void showTimesAndPlayers(const GameLibrary& library, HWND edit, int position);
void showPlacings(const GameLibrary& library, HWND edit, int position);

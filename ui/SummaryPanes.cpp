// Puts the core's summary texts of a record into the main window's two panes.
#include "ui/SummaryPanes.h"

#include "model/GameLibrary.h"

void showTimesAndPlayers(const GameLibrary& library, HWND edit, int position) {
    SetWindowTextA(edit, library.timesAndPlayersText(position).c_str());
}

void showPlacings(const GameLibrary& library, HWND edit, int position) {
    SetWindowTextA(edit, library.placingsText(position).c_str());
}

// Puts the core's summary texts of a record into the main window's two panes.
#include <windows.h>

#include "model/GameLibrary.h"

void GameLibrary::showTimesAndPlayers(HWND__* edit, int position) const {
    SetWindowTextA(edit, timesAndPlayersText(position).c_str());
}

void GameLibrary::showPlacings(HWND__* edit, int position) const {
    SetWindowTextA(edit, placingsText(position).c_str());
}

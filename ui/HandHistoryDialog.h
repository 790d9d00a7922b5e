// The hand history dialog: one half-game shown hand by hand.
#pragma once

#include <windows.h>

// Runs the dialog modally, owned by owner, on the record at position, which must be
// a valid record position.
void showHandHistory(HWND owner, int position);

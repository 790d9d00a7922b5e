// The About box: program name, version and maker.
#pragma once

#include <windows.h>

// Runs the About box modally, owned by owner.
void showAboutBox(HWND owner);

// What a dropped log needs from the desktop, per platform (DropCommand_win.cpp on
// Windows, DropCommand_posix.cpp elsewhere). Paths are UTF-8.
#pragma once

#include <string>

// The user's Documents folder, where a report goes when the log's folder cannot take
// it; empty when there is none.
std::string documentsFolder();

// Shows the written report: the default browser on Windows. The path is printed too.
void openReport(const std::string& path);

// Tells the user why no report came: a message box on Windows, as nobody may be
// watching the console that a drop opens. Also written to standard error.
void showDropFailure(const std::string& message);

// Set by the tests (Wine has no browser, and a box would wait for a click): then
// nothing is opened or shown, and the terminal gets everything.
bool desktopDisabled();

// Defines the globals in one translation unit, which fixes their construction order.
#include "ui/Globals.h"

HINSTANCE appInstance = nullptr;
GameLibrary gameLibrary;
SettingsStore settingsStore(kProductName);
SearchOptions searchOptions{};

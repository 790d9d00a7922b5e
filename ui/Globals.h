// The program's three long-lived objects and its instance handle.
#pragma once

#include <windows.h>

#include "model/GameLibrary.h"
#include "platform/SettingsStore.h"
#include "search/SearchOptions.h"

extern HINSTANCE appInstance;
// Constructed in this order and destroyed in reverse: the settings store closes its
// keys before the library frees its records.
extern GameLibrary gameLibrary;
extern SettingsStore settingsStore;
extern SearchOptions searchOptions;

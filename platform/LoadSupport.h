// The two services that loading a score file needs from the platform.
#pragma once

// True when the path names something that exists (a file or a folder).
bool pathExists(const char* path);
// The wait cursor while a file loads, and the arrow cursor afterwards.
void showWaitCursor();
void showArrowCursor();

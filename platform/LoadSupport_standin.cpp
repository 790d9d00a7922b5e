// Off Windows a path exists when stat finds it, and there is no cursor to change.
#include "platform/LoadSupport.h"

#include <sys/stat.h>

bool pathExists(const char* path) {
    struct stat info;
    return path && stat(path, &info) == 0;
}

void showWaitCursor() {}

void showArrowCursor() {}

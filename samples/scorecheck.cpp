// scorecheck: loads each score log with the program's own loader and reports its records.
#include <cstdio>

#include "model/GameLibrary.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scorecheck FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        GameLibrary library;
        library.filePath = argv[i];
        if (library.load()) {
            std::printf("sample: %s loaded, %d half-games\n", argv[i], library.recordCount());
        } else {
            std::printf("sample: %s failed to load\n", argv[i]);
            status = 1;
        }
    }
    return status;
}

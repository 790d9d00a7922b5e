// Entry of the end-to-end tests: the last argument names the Paiview.exe under test.
#include "tests/e2e/Driver.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: e2e_tests [gtest options] PATH-TO-Paiview.exe\n");
        return 2;
    }
    e2e::setPaiviewPath(argv[argc - 1]);
    return RUN_ALL_TESTS();
}

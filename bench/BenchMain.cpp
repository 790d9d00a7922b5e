// The benchmark program; "--peak-rss FILE" instead loads one file in a fresh process.
#include <benchmark/benchmark.h>

#include <cstring>

int peakResidentAfterLoad(const char* path);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--peak-rss") == 0) {
        return peakResidentAfterLoad(argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

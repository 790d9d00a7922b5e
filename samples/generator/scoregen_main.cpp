// scoregen: writes a generated score log to a file (benchmarks, fuzz seeds, samples).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "samples/generator/ScoreLogGenerator.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: scoregen --games N --seed S [--hands H] [--aborted PERCENT] "
                         "[--lf] [--rule A1,A2,A3,A4/D] -o FILE\n"
                         "  --rule: Kuma sits in every half-game, their rating moving by\n"
                         "  A[place] + (T - R) / D (3 players: A1, (A2+A3)/2, A4; 2: A1, A4)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    GeneratorOptions options;
    GeneratedRatingRule rule;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--games") == 0 && hasValue) {
            options.halfGames = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--hands") == 0 && hasValue) {
            options.averageHands = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--aborted") == 0 && hasValue) {
            options.abortedPercent = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--rule") == 0 && hasValue) {
            int a[4] = {}, divisor = 0;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d/%d", &a[0], &a[1], &a[2], &a[3], &divisor) !=
                    5 ||
                divisor < 1) {
                return usage();
            }
            rule.a = {std::vector<int>{a[0], a[1], a[2], a[3]},
                      std::vector<int>{a[0], (a[1] + a[2]) / 2, a[3]},
                      std::vector<int>{a[0], a[3]}};
            rule.divisor = divisor;
            options.ratingRule = &rule;
        } else if (std::strcmp(argv[i], "--lf") == 0) {
            options.crlf = false;
        } else if (std::strcmp(argv[i], "-o") == 0 && hasValue) {
            output = argv[++i];
        } else {
            return usage();
        }
    }
    if (!output || options.halfGames < 0 || options.averageHands < 1) {
        return usage();
    }

    GeneratorStats stats;
    const std::string log = generateScoreLog(options, &stats);
    std::FILE* file = std::fopen(output, "wb");
    if (!file || std::fwrite(log.data(), 1, log.size(), file) != log.size()) {
        std::fprintf(stderr, "scoregen: cannot write %s\n", output);
        if (file) {
            std::fclose(file);
        }
        return 1;
    }
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "scoregen: cannot write %s\n", output);
        return 1;
    }
    std::printf("scoregen: %s: %d half-games (%d completed, %d aborted, %d of them without "
                "hands; %d/%d/%d with 2/3/4 players), %llu hands, %zu bytes\n",
                output, stats.halfGames, stats.completed, stats.aborted, stats.abortedWithoutHands,
                stats.twoPlayer, stats.threePlayer, stats.fourPlayer,
                static_cast<unsigned long long>(stats.hands), log.size());
    return 0;
}

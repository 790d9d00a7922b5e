// Writes each benchmark log once from the generator and keeps it in the build folder.
#include "bench/BenchLogs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>

#include "samples/generator/ScoreLogGenerator.h"

namespace {

std::string logDir() {
    const char* dir = std::getenv("PAIVIEW_BENCH_LOG_DIR");
    return dir ? dir : PAIVIEW_BENCH_LOG_DIR;
}

bool fileHasSize(const std::string& path, std::size_t size) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && static_cast<std::size_t>(st.st_size) == size;
}

} // namespace

std::string benchLogFileName(int halfGames) {
    return logDir() + "/scorelog-" + std::to_string(halfGames) + ".txt";
}

const std::string& benchLogPath(int halfGames) {
    static std::map<int, std::string> paths;
    auto found = paths.find(halfGames);
    if (found != paths.end()) {
        return found->second;
    }
    GeneratorOptions options;
    options.seed = 1000003u + static_cast<unsigned>(halfGames);
    options.halfGames = halfGames;
    options.averageHands = 12;
    const std::string path = benchLogFileName(halfGames);
    mkdir(logDir().c_str(), 0755);
    // Regenerated when missing; the generator is deterministic, so a file of the
    // right size is the same log.
    const std::string log = generateScoreLog(options);
    if (!fileHasSize(path, log.size())) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(log.data(), static_cast<std::streamsize>(log.size()));
        if (!out) {
            std::fprintf(stderr, "bench: cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }
    return paths.emplace(halfGames, path).first->second;
}

const std::string& benchLogBytes(int halfGames) {
    static std::map<int, std::string> logs;
    auto found = logs.find(halfGames);
    if (found != logs.end()) {
        return found->second;
    }
    std::ifstream in(benchLogPath(halfGames), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return logs.emplace(halfGames, std::move(bytes)).first->second;
}

std::size_t benchLogSize(int halfGames) {
    return benchLogBytes(halfGames).size();
}

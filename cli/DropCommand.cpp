// Logs dropped onto paiview-cli.exe (or given with no command): one report of them all,
// written beside the first log, or in Documents when that folder takes no file.
#include "cli/DropCommand.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/Cli.h"
#include "cli/Terminal.h"

namespace fs = std::filesystem;

namespace {

std::string utf8Of(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Root ignores permissions and Windows folders have ACLs, so only a real file says
// whether the folder takes one.
bool canWriteIn(const fs::path& folder) {
    const fs::path probe =
        folder /
        (".paiview-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) {
            return false;
        }
    }
    std::error_code ec;
    fs::remove(probe, ec);
    return true;
}

// tonpuso.txt -> tonpuso.report.html, beside the log or else in Documents.
std::string reportPathFor(const std::string& log) {
    std::error_code ec;
    fs::path path = fs::absolute(fs::u8path(log), ec);
    if (ec) {
        path = fs::u8path(log);
    }
    const fs::path name = path.stem().concat(".report.html");
    if (canWriteIn(path.parent_path())) {
        return utf8Of(path.parent_path() / name);
    }
    const std::string documents = documentsFolder();
    if (documents.empty() || !canWriteIn(fs::u8path(documents))) {
        throw CliExit{kExitFailure, "neither " + utf8Of(path.parent_path()) +
                                        " nor the Documents folder can take the report"};
    }
    return utf8Of(fs::u8path(documents) / name);
}

} // namespace

bool desktopDisabled() {
    const char* value = std::getenv("PAIVIEW_NO_DESKTOP");
    return value && *value;
}

int runDroppedLogs(const std::vector<std::string>& paths) {
    // A dropped file always exists: anything else is a mistyped command.
    std::error_code ec;
    if (!fs::exists(fs::u8path(paths.front()), ec)) {
        writeErr("paiview: '" + paths.front() +
                 "' is neither a command nor a score log (see paiview --help)\n");
        return kExitUsage;
    }
    // Several logs dropped together are one player's history split over files: they
    // are merged (and copies counted once) as every command merges them.
    LogOptions logs;
    logs.logs = paths;
    std::string report;
    try {
        report = reportPathFor(paths.front());
        writeReportFor(logs, FilterOptions{}, "", report);
    } catch (const CliExit& failure) {
        flushOut();
        showDropFailure("No report was written for " + paths.front() + ":\n" + failure.message);
        return failure.code;
    }
    openReport(report);
    return 0;
}

// Dropped logs without a desktop: the report's path goes to the terminal.
#include "cli/DropCommand.h"

#include <cstdlib>
#include <filesystem>

#include "cli/Terminal.h"

std::string documentsFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        return {};
    }
    std::error_code ec;
    const std::filesystem::path documents = std::filesystem::path(home) / "Documents";
    return std::filesystem::is_directory(documents, ec) ? documents.string() : home;
}

void openReport(const std::string& path) {
    writeOut(path + "\n");
    flushOut();
}

void showDropFailure(const std::string& message) {
    writeErr("paiview: " + message + "\n");
}

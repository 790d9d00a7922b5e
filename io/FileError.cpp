// Paths in UTF-8, the system's reasons for a failure, and whether two paths are one file.
#include "io/FileError.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path pathFromUtf8(const std::string& utf8) {
    return fs::u8path(utf8);
}

std::string utf8Of(const fs::path& path) {
    return path.u8string();
}

void throwFileError(const fs::path& path, std::string_view what, int error) {
    throw FileError(utf8Of(path) + ": " + std::string(what) + ": " +
                    std::generic_category().message(error));
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

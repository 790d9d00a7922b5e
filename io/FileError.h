// A file that cannot be read or written. The message is UTF-8 and names the path.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A UTF-8 path as the file system takes it, and back for messages.
std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);

// Throws FileError "PATH: what: the system's reason" for an errno value.
[[noreturn]] void throwFileError(const std::filesystem::path& path, std::string_view what,
                                 int error);

// Whether two paths name the same file, through links or other spellings; false when
// either does not exist.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Temporary files beside their destination, renamed into place when complete.
#include "export/PendingFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "export/Export.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string randomSuffix() {
    std::random_device device;
    static const char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        suffix += kDigits[device() % 16];
    }
    return suffix;
}

// The data on the disk before the rename: otherwise a crash soon after could leave an
// empty file where the old one was.
bool syncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// mode "wb" or "ab".
std::FILE* openFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wide(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wide.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

} // namespace

fs::path exportPath(const std::string& utf8) {
    return fs::u8path(utf8);
}

std::string displayPath(const fs::path& path) {
    return path.u8string();
}

void throwFileError(const fs::path& path, std::string_view what, int error) {
    throw ExportError(displayPath(path) + ": " + std::string(what) + ": " +
                      std::generic_category().message(error));
}

PendingFile::PendingFile(fs::path destination) : destination_(std::move(destination)) {
    // Visible, so that a file left by a crash is seen and can be removed.
    std::error_code ec;
    do {
        temporary_ = destination_;
        temporary_ += ".paiview-" + randomSuffix() + ".tmp";
    } while (fs::exists(temporary_, ec));
}

PendingFile::~PendingFile() {
    if (!committed_) {
        std::error_code ec;
        fs::remove(temporary_, ec);
    }
}

void PendingFile::create() {
    std::FILE* file = openFile(temporary_, "wb");
    if (!file) {
        throwFileError(destination_, "cannot be written", errno);
    }
    std::fclose(file);
}

void PendingFile::sync() {
    std::FILE* file = openFile(temporary_, "ab");
    const bool synced = file && syncToDisk(file);
    const int error = errno;
    if (file) {
        std::fclose(file);
    }
    if (!synced) {
        throwFileError(destination_, "cannot be written", error);
    }
}

void PendingFile::commit() {
    std::error_code ec;
    fs::rename(temporary_, destination_, ec);
    if (ec) {
        throwFileError(destination_, "cannot be replaced", ec.value());
    }
    committed_ = true;
}

BufferedFile::BufferedFile(const PendingFile& pending) : path_(pending.destination()) {
    file_ = openFile(pending.temporary(), "wb");
    if (!file_) {
        throwFileError(path_, "cannot be written", errno);
    }
    buffer.reserve(kFlushAt + (kFlushAt >> 2));
}

BufferedFile::~BufferedFile() {
    if (file_) {
        std::fclose(file_);
    }
}

void BufferedFile::flush() {
    if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), file_) != buffer.size()) {
        throwFileError(path_, "cannot be written", errno);
    }
    buffer.clear();
}

void BufferedFile::close() {
    flush();
    if (std::fflush(file_) != 0 || !syncToDisk(file_)) {
        throwFileError(path_, "cannot be written", errno);
    }
    const int result = std::fclose(file_);
    file_ = nullptr;
    if (result != 0) {
        throwFileError(path_, "cannot be written", errno);
    }
}

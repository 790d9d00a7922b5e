// Temporary files beside their destination, renamed into place when complete.
#include "io/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "io/TempFiles.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <signal.h>
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
    // Shared for deletion: an interruption may remove the file while it is still open.
    const bool append = mode[0] == 'a';
    HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
        return nullptr;
    }
    const int fd =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | (append ? _O_APPEND : 0));
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, mode);
    if (!file) {
        _close(fd);
    }
    return file;
#else
    return std::fopen(path.c_str(), mode);
#endif
}

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// Whether the process that named a temporary file has ended: then nobody will finish or
// remove that file. Unknown on Windows, so nothing is removed there.
bool processEnded(long id) {
#ifdef _WIN32
    (void)id;
    return false;
#else
    return id > 0 && kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
#endif
}

// Temporary files of this destination left by a run that was killed outright (a signal
// that cannot be caught, a power cut): "x.db.paiview-PID-XXXXXXXX.tmp".
void removeLeftovers(const fs::path& destination) {
    const std::string prefix = destination.filename().string() + ".paiview-";
    fs::path folder = destination.parent_path();
    std::error_code ec;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0) {
            continue;
        }
        const std::string rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == std::string::npos || dash == 0 ||
            rest.find_first_not_of("0123456789") != dash) {
            continue;
        }
        if (processEnded(std::stol(rest.substr(0, dash)))) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    }
}

} // namespace

PendingFile::PendingFile(fs::path destination) : destination_(std::move(destination)) {
    removeLeftovers(destination_);
    // Visible, so that a file left by a crash is seen and can be removed; the process
    // id tells whose it was.
    std::error_code ec;
    do {
        temporary_ = destination_;
        temporary_ += ".paiview-" + std::to_string(processId()) + "-" + randomSuffix() + ".tmp";
    } while (fs::exists(temporary_, ec));
    // Before the file exists: a signal between the two cannot miss it.
    rememberTemporary(temporary_);
}

PendingFile::~PendingFile() {
    if (!committed_) {
        std::error_code ec;
        fs::remove(temporary_, ec);
    }
    forgetTemporary(temporary_);
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

void commitAll(const std::vector<PendingFile*>& files) {
    const HeldSignals held;
    for (PendingFile* file : files) {
        file->commit();
    }
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

void writeFileAtomically(const fs::path& path, std::string_view bytes) {
    PendingFile pending(path);
    BufferedFile out(pending);
    out.buffer.assign(bytes.data(), bytes.size());
    out.close();
    commitAll({&pending});
}

// Files written under a temporary name beside their destination and renamed over it
// only when complete, so that a failure never leaves half a file where the user looks.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// A UTF-8 path as the file system takes it, and back for messages.
std::filesystem::path exportPath(const std::string& utf8);
std::string displayPath(const std::filesystem::path& path);

// Throws ExportError with "what: the system's reason" from errno (or ec).
[[noreturn]] void throwFileError(const std::filesystem::path& path, std::string_view what,
                                 int error);

// The temporary name of one destination. The destructor removes the temporary file
// unless commit() has put it in place.
class PendingFile {
  public:
    explicit PendingFile(std::filesystem::path destination);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::filesystem::path& temporary() const { return temporary_; }
    const std::filesystem::path& destination() const { return destination_; }
    // Makes the temporary file empty, for a writer that opens it by name (SQLite).
    void create();
    // Flushes a temporary file written by someone else (SQLite) to the disk.
    void sync();
    // Renames the temporary file, complete and on the disk, over the destination.
    void commit();

  private:
    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// Writes the temporary file of a PendingFile through a large buffer of its own.
class BufferedFile {
  public:
    explicit BufferedFile(const PendingFile& pending);
    ~BufferedFile();
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // Callers append here and call flushIfFull now and then.
    std::string buffer;
    void flushIfFull() {
        if (buffer.size() >= kFlushAt) {
            flush();
        }
    }
    void flush();
    // Writes the rest, syncs and closes; the pending file can then be committed.
    void close();

  private:
    static constexpr std::size_t kFlushAt = 1u << 20;
    std::filesystem::path path_; // the destination, for messages
    std::FILE* file_ = nullptr;
};

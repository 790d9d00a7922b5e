// Files written under a temporary name beside their destination and renamed over it
// only when complete and on the disk, so that a failure, a full disk or an interruption
// never leaves half a file where the user looks, nor a temporary file beside it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "io/FileError.h"

// The temporary name of one destination, in the same folder. The destructor removes
// the temporary file unless commit() has put it in place.
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

// Renames several pending files into place as one step: an interruption waits until
// every one is in place. Throws FileError.
void commitAll(const std::vector<PendingFile*>& files);

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

// The whole of bytes at path, through a pending file. Throws FileError.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

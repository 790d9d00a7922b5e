// A file with given bytes in the temporary folder, removed when the test is done.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

class TempFile {
  public:
    explicit TempFile(const std::string& bytes) : path_(uniquePath()) {
        std::FILE* file = std::fopen(path_.string().c_str(), "wb");
        if (file) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string path() const { return path_.string(); }

  private:
    // Several test runs may share the folder: a random name per file.
    static std::filesystem::path uniquePath() {
        static std::mt19937_64 random(
            std::random_device{}() ^
            static_cast<std::uint64_t>(
                std::chrono::steady_clock::now().time_since_epoch().count()));
        return std::filesystem::temp_directory_path() /
               ("paiview-test-" + std::to_string(random()) + ".txt");
    }

    std::filesystem::path path_;
};

// The JSON export: one array of games with their seats and hands, or JSON Lines.
#include "export/ExportWriters.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include "export/JsonText.h"
#include "io/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

// Where the document goes: a file put in place when complete, or a stream.
class JsonOut {
  public:
    JsonOut(const fs::path& path, std::function<void(std::string_view)> stream)
        : stream_(std::move(stream)) {
        if (!stream_) {
            pending_.emplace(path);
            file_.emplace(*pending_);
        }
    }
    std::string& buffer() { return file_ ? file_->buffer : buffer_; }
    void flushIfFull() {
        if (file_) {
            file_->flushIfFull();
        } else if (buffer_.size() >= kFlushAt) {
            stream_(buffer_);
            buffer_.clear();
        }
    }
    void close() {
        if (file_) {
            file_->close();
        } else {
            stream_(buffer_);
            buffer_.clear();
        }
    }
    void commit() {
        if (pending_) {
            commitAll({&*pending_});
        }
    }

  private:
    static constexpr std::size_t kFlushAt = 1u << 20;
    std::function<void(std::string_view)> stream_;
    std::optional<PendingFile> pending_;
    std::optional<BufferedFile> file_;
    std::string buffer_;
};

class JsonWriter : public GameWriter {
  public:
    JsonWriter(const fs::path& path, const ExportOptions& options)
        : out_(path, options.stream), options_(options) {
        if (!options_.lines) {
            out_.buffer() += '[';
        }
    }

    void add(const GameFacts& game) override {
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        batch_.push_back(game);
        if (batch_.size() == kBatch) {
            renderBatch();
        }
    }

    void commit() override {
        renderBatch();
        if (!options_.lines) {
            out_.buffer() += first_ ? "]\n" : "\n]\n";
        }
        out_.close();
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        out_.commit();
    }

  private:
    // Games are turned into text in batches, each batch shared out in order among the
    // processor's cores: writing the JSON is most of an export's work.
    static constexpr std::size_t kBatch = 512;

    void renderBatch() {
        const std::size_t count = batch_.size();
        const std::size_t threads =
            std::max<std::size_t>(1, std::min<std::size_t>(std::thread::hardware_concurrency(), 8));
        std::vector<std::string> parts(threads);
        const auto render = [&](std::size_t part) {
            std::string& out = parts[part];
            for (std::size_t i = count * part / threads; i < count * (part + 1) / threads; ++i) {
                if (!options_.lines) {
                    out += first_ && i == 0 ? "\n" : ",\n";
                }
                JsonText json(out);
                writeGameJson(batch_[i], true, json);
                if (options_.lines) {
                    out += '\n';
                }
            }
        };
        std::vector<std::thread> workers;
        for (std::size_t part = 1; part < threads && count > 1; ++part) {
            workers.emplace_back(render, part);
        }
        render(0);
        for (std::thread& worker : workers) {
            worker.join();
        }
        if (workers.empty()) {
            for (std::size_t part = 1; part < threads; ++part) {
                render(part);
            }
        }
        first_ = first_ && count == 0;
        for (const std::string& part : parts) {
            out_.buffer() += part;
            out_.flushIfFull();
        }
        batch_.clear();
    }

    std::vector<GameFacts> batch_;
    JsonOut out_;
    ExportOptions options_;
    bool first_ = true;
};

} // namespace

std::unique_ptr<GameWriter> openJsonExport(const fs::path& path, const ExportOptions& options) {
    return std::make_unique<JsonWriter>(path, options);
}

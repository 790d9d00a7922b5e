// The JSON export: one array of games with their seats and hands, or JSON Lines.
#include "export/ExportWriters.h"

#include <optional>

#include "export/JsonWriter.h"
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

class JsonExportWriter : public GameWriter {
  public:
    JsonExportWriter(const fs::path& path, const ExportOptions& options)
        : out_(path, options.stream), options_(options) {
        if (!options_.lines) {
            out_.buffer() += '[';
        }
    }

    void add(const GameFacts& game) override {
        render(game, parts_);
        addRendered(parts_);
    }

    bool rendersApart() const override { return true; }

    void render(const GameFacts& game, std::vector<std::string>& parts) const override {
        // Each thread renders into parts of its own, whose storage is kept.
        parts.resize(1);
        StringOutput output(parts[0]);
        StringJsonWriter writer(output);
        JsonWriterSink<StringJsonWriter> sink(writer);
        writeGameJson(game, true, sink);
    }

    void addRendered(const std::vector<std::string>& parts) override {
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        std::string& out = out_.buffer();
        if (!options_.lines) {
            out += first_ ? "\n" : ",\n";
        }
        out += parts[0];
        if (options_.lines) {
            out += '\n';
        }
        first_ = false;
        out_.flushIfFull();
    }

    void commit() override {
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
    JsonOut out_;
    ExportOptions options_;
    std::vector<std::string> parts_; // add()'s own
    bool first_ = true;
};

} // namespace

std::unique_ptr<GameWriter> openJsonExport(const fs::path& path, const ExportOptions& options) {
    return std::make_unique<JsonExportWriter>(path, options);
}

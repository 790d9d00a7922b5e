// The JSON export: one array of games with their seats and hands, or JSON Lines.
#include "export/ExportWriters.h"
#include "export/GameJson.h"
#include "export/PendingFile.h"

namespace fs = std::filesystem;

namespace {

class JsonWriter : public GameWriter {
  public:
    JsonWriter(const fs::path& path, const ExportOptions& options)
        : pending_(path), out_(pending_), options_(options) {
        if (!options_.lines) {
            out_.buffer += '[';
        }
    }

    void add(const GameFacts& game) override {
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        if (!options_.lines) {
            out_.buffer += first_ ? "\n" : ",\n";
        }
        first_ = false;
        out_.buffer +=
            gameJson(game, true).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        if (options_.lines) {
            out_.buffer += '\n';
        }
        out_.flushIfFull();
    }

    void commit() override {
        if (!options_.lines) {
            out_.buffer += first_ ? "]\n" : "\n]\n";
        }
        out_.close();
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        pending_.commit();
    }

  private:
    PendingFile pending_;
    BufferedFile out_;
    ExportOptions options_;
    bool first_ = true;
};

} // namespace

std::unique_ptr<GameWriter> openJsonExport(const fs::path& path, const ExportOptions& options) {
    return std::make_unique<JsonWriter>(path, options);
}

// The CSV export: one RFC 4180 file per table, UTF-8 with CR LF, in a folder.
#include <array>
#include <charconv>
#include <optional>

#include "export/Csv.h"
#include "export/ExportTables.h"
#include "export/ExportWriters.h"
#include "io/AtomicFile.h"
#include "io/TempFiles.h"

namespace fs = std::filesystem;

namespace {

// A folder made for the export, removed again if the export fails before it is
// complete (only when still empty: nothing of the user's is ever removed).
class MadeFolder {
  public:
    explicit MadeFolder(const fs::path& folder) : folder_(folder) {
        std::error_code ec;
        if (fs::exists(folder_, ec)) {
            return;
        }
        // Remembered first: an interruption right after would leave it behind.
        rememberTemporary(folder_, true);
        if (!fs::create_directory(folder_, ec) || ec) {
            forgetTemporary(folder_);
            throwFileError(folder_, "the folder cannot be made", ec.value());
        }
        made_ = true;
    }
    ~MadeFolder() {
        if (made_ && !kept_) {
            std::error_code ec;
            fs::remove(folder_, ec);
        }
        if (made_) {
            forgetTemporary(folder_);
        }
    }
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;
    void keep() {
        kept_ = true;
        forgetTemporary(folder_);
    }

  private:
    fs::path folder_;
    bool made_ = false;
    bool kept_ = false;
};

struct CsvTable {
    CsvTable(const fs::path& folder, const ExportTableInfo& info, bool bom)
        : pending(csvFile(folder, info.name)), out(pending) {
        if (bom) {
            out.buffer += "\xEF\xBB\xBF";
        }
        std::vector<std::string> header;
        for (const ExportColumn& column : info.columns) {
            header.emplace_back(column.name);
        }
        appendCsvRow(out.buffer, header);
    }
    PendingFile pending;
    BufferedFile out;
};

class CsvWriter : public GameWriter, private RowSink {
  public:
    CsvWriter(const fs::path& folder, const ExportOptions& options)
        : folder_(folder), options_(options) {
        for (std::size_t i = 0; i < kExportTableCount; ++i) {
            tables_[i].emplace(folder, exportTables()[i], options.bom);
        }
    }

    void add(const GameFacts& game) override {
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        emitGameRows(game, *this);
        for (auto& table : tables_) {
            table->out.flushIfFull();
        }
    }

    void commit() override {
        for (auto& table : tables_) {
            table->out.close();
        }
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        std::vector<PendingFile*> files;
        for (auto& table : tables_) {
            files.push_back(&table->pending);
        }
        commitAll(files);
        folder_.keep();
    }

  private:
    void beginRow(ExportTable table) override {
        row_ = &tables_[static_cast<std::size_t>(table)]->out.buffer;
        first_ = true;
    }
    void separate() {
        if (!first_) {
            *row_ += ',';
        }
        first_ = false;
    }
    void null() override { separate(); }
    void integer(long long value) override {
        separate();
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        row_->append(digits, static_cast<std::size_t>(end - digits));
    }
    void tenths(int value) override {
        separate();
        *row_ += tenthsText(value);
    }
    void text(std::string_view utf8) override {
        separate();
        appendCsvField(*row_, utf8);
    }
    void endRow() override { *row_ += "\r\n"; }

    MadeFolder folder_; // first: it outlives the files in it
    ExportOptions options_;
    std::array<std::optional<CsvTable>, kExportTableCount> tables_;
    std::string* row_ = nullptr;
    bool first_ = true;
};

} // namespace

std::unique_ptr<GameWriter> openCsvExport(const fs::path& folder, const ExportOptions& options) {
    return std::make_unique<CsvWriter>(folder, options);
}

// The CSV export: one RFC 4180 file per table, UTF-8 with CR LF, in a folder.
#include <optional>
#include <vector>

#include "export/Columns.h"
#include "export/Csv.h"
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
        for (const TableColumn& column : info.columns) {
            header.push_back(column.name);
        }
        appendCsvRow(out.buffer, header);
    }
    PendingFile pending;
    BufferedFile out;
};

class CsvWriter : public GameWriter {
  public:
    CsvWriter(const fs::path& folder, const ExportOptions& options)
        : folder_(folder), options_(options), tables_(exportTables().size()) {
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            tables_[i].emplace(folder, exportTables()[i], options.bom);
        }
    }

    void add(const GameFacts& game) override {
        render(game, parts_);
        addRendered(parts_);
    }

    bool rendersApart() const override { return true; }

    // Each table's rows of the game in parts, one string per table.
    void render(const GameFacts& game, std::vector<std::string>& parts) const override {
        class Rows : public TableSink {
          public:
            explicit Rows(std::vector<std::string>& parts) : parts_(parts) {}
            FieldSink& beginRow(std::size_t table) override {
                fields_.beginRow(parts_[table]);
                return fields_;
            }
            void endRow() override { fields_.endRow(); }

          private:
            std::vector<std::string>& parts_;
            CsvFields fields_;
        };
        parts.resize(tables_.size());
        for (std::string& part : parts) {
            part.clear();
        }
        Rows rows(parts);
        writeTableRows(game, rows);
    }

    void addRendered(const std::vector<std::string>& parts) override {
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            tables_[i]->out.buffer += parts[i];
            tables_[i]->out.flushIfFull();
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
    MadeFolder folder_; // first: it outlives the files in it
    ExportOptions options_;
    std::vector<std::optional<CsvTable>> tables_;
    std::vector<std::string> parts_; // add()'s own
};

} // namespace

std::unique_ptr<GameWriter> openCsvExport(const fs::path& folder, const ExportOptions& options) {
    return std::make_unique<CsvWriter>(folder, options);
}

// The SQLite export: the tables in one transaction through prepared statements,
// written to a temporary file that is renamed over the destination when complete.
#include <sqlite3.h>

#include <system_error>
#include <vector>

#include "export/Columns.h"
#include "export/ExportWriters.h"
#include "io/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

std::string createTableSql(const ExportTableInfo& table) {
    std::string sql = std::string("CREATE TABLE ") + table.name + " (";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        sql += (i > 0 ? ", " : "");
        sql += table.columns[i].name + " " + table.columns[i].sqlType;
    }
    if (*table.keys) {
        // Rows arrive in key order: a table kept in key order needs no second index.
        sql += std::string(", ") + table.keys + ") WITHOUT ROWID";
    } else {
        sql += ")";
    }
    return sql;
}

std::string insertSql(const ExportTableInfo& table) {
    std::string sql = std::string("INSERT INTO ") + table.name + " VALUES (";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        sql += (i > 0 ? ",?" : "?");
    }
    return sql + ")";
}

// Binds the fields of one row to its table's insert statement.
class Binder : public FieldSink {
  public:
    void start(sqlite3_stmt* statement) {
        statement_ = statement;
        column_ = 0;
    }
    void null() override { sqlite3_bind_null(statement_, ++column_); }
    void integer(long long value) override { sqlite3_bind_int64(statement_, ++column_, value); }
    void tenths(long long value) override {
        sqlite3_bind_double(statement_, ++column_, static_cast<double>(value) / 10.0);
    }
    void flag(bool value) override { sqlite3_bind_int64(statement_, ++column_, value ? 1 : 0); }
    void text(std::string_view utf8) override {
        // The catalogue's texts last until the row is stepped: SQLite need not copy them.
        sqlite3_bind_text(statement_, ++column_, utf8.data(), static_cast<int>(utf8.size()),
                          SQLITE_STATIC);
    }

  private:
    sqlite3_stmt* statement_ = nullptr;
    int column_ = 0;
};

class SqliteWriter : public GameWriter, private TableSink {
  public:
    SqliteWriter(const fs::path& path, const ExportOptions& options)
        : pending_(path), options_(options) {
        // Counting the memory it uses takes a lock at each allocation; nothing reads it.
        // (Only possible before SQLite starts: a second export keeps what the first set.)
        static const int memoryStatus = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        (void)memoryStatus;
        pending_.create();
        sqlite3* db = nullptr;
        const int opened = sqlite3_open_v2(
            utf8Of(pending_.temporary()).c_str(), &db,
            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        db_.reset(db);
        check(opened);
        if (options_.stop) {
            // Index building and the commit are long on a large export: stop them too.
            sqlite3_progress_handler(db_.get(), 100000, &SqliteWriter::stopRequested, this);
        }
        // The file is only renamed into place once complete and synced by us, so
        // SQLite's own journal and syncing would guard nothing.
        execute("PRAGMA journal_mode = OFF");
        execute("PRAGMA synchronous = OFF");
        execute("PRAGMA locking_mode = EXCLUSIVE");
        // Pages of 16 KiB: fewer, fuller pages to split and write while the tables grow in
        // key order; the indexes' sort stays in memory. (A larger cache than SQLite's own
        // was slower, and at a failed write it lost the system's reason.)
        execute("PRAGMA page_size = 16384");
        execute("PRAGMA temp_store = MEMORY");
        execute("BEGIN");
        for (const ExportTableInfo& table : exportTables()) {
            execute(createTableSql(table));
        }
        for (const ExportTableInfo& table : exportTables()) {
            sqlite3_stmt* statement = nullptr;
            check(sqlite3_prepare_v3(db_.get(), insertSql(table).c_str(), -1,
                                     SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
            inserts_.emplace_back(statement);
        }
    }

    void add(const GameFacts& game) override {
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        writeTableRows(game, *this);
    }

    void commit() override {
        // Indexes are built once at the end: far faster than keeping them up to date.
        for (const ExportIndex& index : exportIndexes()) {
            execute(std::string("CREATE INDEX ") + index.name + " ON " + index.table + " (" +
                    index.columns + ")");
        }
        execute("COMMIT");
        for (Statement& insert : inserts_) {
            insert.reset();
        }
        check(sqlite3_close(db_.release()));
        pending_.sync();
        if (options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        commitAll({&pending_});
    }

  private:
    static int stopRequested(void* self) {
        return static_cast<SqliteWriter*>(self)->options_.stop() ? 1 : 0;
    }

    void check(int code) {
        if (code == SQLITE_OK || code == SQLITE_DONE || code == SQLITE_ROW) {
            return;
        }
        if (code == SQLITE_INTERRUPT && options_.stop && options_.stop()) {
            throw ExportStopped("interrupted");
        }
        std::string why = db_ ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(code);
        if (const int error = db_ ? sqlite3_system_errno(db_.get()) : 0) {
            // "disk I/O error" alone does not say that the file grew too large.
            why += " (" + std::generic_category().message(error) + ")";
        }
        throw ExportError(utf8Of(pending_.destination()) + ": cannot be written: " + why);
    }

    void execute(const std::string& sql) {
        check(sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr));
    }

    FieldSink& beginRow(std::size_t table) override {
        row_ = inserts_[table].get();
        binder_.start(row_);
        return binder_;
    }
    void endRow() override {
        const int stepped = sqlite3_step(row_);
        sqlite3_reset(row_);
        check(stepped);
    }

    PendingFile pending_; // first: the file is removed after the database is closed
    ExportOptions options_;
    Database db_;
    std::vector<Statement> inserts_; // in the order of exportTables()
    sqlite3_stmt* row_ = nullptr;
    Binder binder_;
};

} // namespace

std::unique_ptr<GameWriter> openSqliteExport(const fs::path& path, const ExportOptions& options) {
    return std::make_unique<SqliteWriter>(path, options);
}

// Which targets an export can take, and the writer of each format.
#include "export/Export.h"

#include "export/Columns.h"
#include "export/ExportWriters.h"
#include "io/AtomicFile.h"

#include <stdexcept>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void refuse(const fs::path& path, const std::string& why,
                         ExportError::Wanted wanted = ExportError::Wanted::Any) {
    throw ExportError(utf8Of(path) + ": " + why, wanted, path);
}

bool isReadOnly(const fs::file_status& status) {
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// A file the export would replace: absent, or a regular file that may be written.
void checkFileTarget(const fs::path& path, const char* wanted) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        return;
    }
    if (fs::is_directory(status)) {
        refuse(path, std::string("is a folder; ") + wanted + " is one file",
               ExportError::Wanted::File);
    }
    if (!fs::is_regular_file(status)) {
        refuse(path, "is not a regular file");
    }
    if (isReadOnly(status)) {
        refuse(path, "is read-only");
    }
}

void checkFolderExists(const fs::path& folder, const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (!fs::exists(status)) {
        refuse(path, "the folder " + utf8Of(folder) + " does not exist");
    }
    if (!fs::is_directory(status)) {
        refuse(path, utf8Of(folder) + " is not a folder");
    }
}

fs::path parentOf(const fs::path& path) {
    const fs::path parent = path.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

} // namespace

void GameWriter::render(const GameFacts&, std::vector<std::string>&) const {
    throw std::logic_error("this export writes its games in add()");
}

void GameWriter::addRendered(const std::vector<std::string>&) {
    throw std::logic_error("this export writes its games in add()");
}

fs::path csvFile(const fs::path& folder, const char* table) {
    return folder / (std::string(table) + ".csv");
}

bool exportFormatAvailable(ExportFormat format) {
#ifdef PAIVIEW_HAVE_SQLITE
    (void)format;
    return true;
#else
    return format != ExportFormat::Sqlite;
#endif
}

void checkExportTarget(ExportFormat format, const std::string& utf8) {
    if (utf8.empty()) {
        throw ExportError("the output path is empty");
    }
    if (utf8 == kStreamPath) {
        if (format != ExportFormat::Json) {
            throw ExportError("only a JSON export can be written as a stream");
        }
        return;
    }
    const fs::path path = pathFromUtf8(utf8);
    if (format != ExportFormat::Csv) {
        checkFolderExists(parentOf(path), path);
        checkFileTarget(path, format == ExportFormat::Sqlite ? "a SQLite export" : "a JSON export");
        return;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        checkFolderExists(parentOf(path), path);
        return;
    }
    if (!fs::is_directory(status)) {
        refuse(path, "is a file; a CSV export is a folder of files", ExportError::Wanted::Folder);
    }
    for (const ExportTableInfo& table : exportTables()) {
        checkFileTarget(csvFile(path, table.name), "a CSV table");
    }
}

std::unique_ptr<GameWriter> openExport(ExportFormat format, const std::string& utf8,
                                       const ExportOptions& options) {
    checkExportTarget(format, utf8);
    const fs::path path = pathFromUtf8(utf8);
    switch (format) {
    case ExportFormat::Csv:
        return openCsvExport(path, options);
    case ExportFormat::Json:
        return openJsonExport(path, options);
    case ExportFormat::Sqlite:
#ifdef PAIVIEW_HAVE_SQLITE
        return openSqliteExport(path, options);
#else
        break;
#endif
    }
    throw ExportError("this build has no SQLite");
}

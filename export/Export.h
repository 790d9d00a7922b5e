// Writes the facts of half-games to files that other programs read: a SQLite database,
// a folder of CSV files, or a JSON document. Every text is written as UTF-8.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/GameFacts.h"
#include "io/FileError.h"

enum class ExportFormat { Sqlite, Csv, Json };

struct ExportOptions {
    bool bom = false;   // csv: start each file with a UTF-8 BOM, for spreadsheet programs
    bool lines = false; // json: JSON Lines, one game a line
    // Polled between games and during the long final steps; true abandons the export.
    std::function<bool()> stop;
    // json to "-": the document goes here, piece by piece, instead of to a file.
    std::function<void(std::string_view)> stream;
};

// A target that cannot take the export, or a failed write. The message is UTF-8 and
// names the path.
struct ExportError : FileError {
    // What kind of path the format wanted, where the target is the other kind: lets the
    // command word it with its own flags.
    enum class Wanted { Any, File, Folder };
    explicit ExportError(const std::string& message, Wanted wanted = Wanted::Any,
                         std::filesystem::path path = {})
        : FileError(message), wanted(wanted), path(std::move(path)) {}
    Wanted wanted;
    std::filesystem::path path;
};

// The export was abandoned because stop() said so; nothing was written at the path.
struct ExportStopped : ExportError {
    explicit ExportStopped(const std::string& message) : ExportError(message) {}
};

// Takes games one at a time and writes them under temporary names beside the path.
// Only commit() puts them at the path; a writer destroyed before that removes what it
// wrote, so the path keeps whatever it held before.
class GameWriter {
  public:
    virtual ~GameWriter() = default;
    // The game's hands must be filled.
    virtual void add(const GameFacts& game) = 0;
    virtual void commit() = 0;

    // A format whose text can be made apart from its writing: render() may run on
    // another thread than the writer's, for one game at a time of its own, and
    // addRendered() writes what it made, in order. Others write in add() alone.
    virtual bool rendersApart() const { return false; }
    virtual void render(const GameFacts& game, std::vector<std::string>& parts) const;
    virtual void addRendered(const std::vector<std::string>& parts);
};

// The files of the CSV export in their folder, one per table.
std::filesystem::path csvFile(const std::filesystem::path& folder, const char* table);

// False for sqlite in a build without SQLite (the Windows console program).
bool exportFormatAvailable(ExportFormat format);

// The path that stands for the export's stream (json only).
constexpr const char* kStreamPath = "-";

// Throws ExportError when path (UTF-8) cannot take the format's output: a folder that
// does not exist, a folder where a file is wanted or the reverse, a read-only file.
void checkExportTarget(ExportFormat format, const std::string& path);

// Checks the target and starts writing. Throws ExportError.
std::unique_ptr<GameWriter> openExport(ExportFormat format, const std::string& path,
                                       const ExportOptions& options);

// The writers of each format, behind openExport.
#pragma once

#include <filesystem>
#include <memory>

#include "export/Export.h"

std::unique_ptr<GameWriter> openCsvExport(const std::filesystem::path& folder,
                                          const ExportOptions& options);
std::unique_ptr<GameWriter> openJsonExport(const std::filesystem::path& file,
                                           const ExportOptions& options);
#ifdef PAIVIEW_HAVE_SQLITE
std::unique_ptr<GameWriter> openSqliteExport(const std::filesystem::path& file,
                                             const ExportOptions& options);
#endif

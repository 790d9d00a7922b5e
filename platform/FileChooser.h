// The score file's path and the settings of the open file dialog that chooses it.
#pragma once

#include <cstdint>
#include <string>

class SettingsStore;
struct HWND__;

// 1 opens a file, -1 saves one; no other value shows a dialog.
using FileDialogMode = int;
constexpr FileDialogMode kFileDialogOpen = 1;
constexpr FileDialogMode kFileDialogSave = -1;

class FileChooser {
  public:
    // Texts are CP932 bytes; an empty text means the value is not set.
    std::string filter;
    std::string filePath;
    std::string fileTitle;
    std::string initialDir;
    std::string defaultExt;
    std::int32_t filterIndex = 0;
    std::uint32_t flags = 0;
    std::uint16_t fileOffset = 0;
    std::uint16_t extensionOffset = 0;

    // Runs the open (1) or save (-1) dialog owned by owner. On confirm stores the
    // chosen path and dialog results and returns true; otherwise changes nothing.
    bool runFileDialog(FileDialogMode mode, HWND__* owner);
    bool chooseFileToOpen(HWND__* owner) { return runFileDialog(kFileDialogOpen, owner); }

    // Reads ScoreFile into filePath; leaves it unchanged when the read fails.
    void loadScoreFile(SettingsStore& store);
    // Writes filePath as ScoreFile and returns the registry status.
    long storeScoreFile(SettingsStore& store) const;

    // The path as NUL-terminated text; never null, empty when no path is set.
    const char* fileName() const { return filePath.c_str(); }
};

// The bytes of a stored ScoreFile value, read into a buffer of this size.
constexpr int kScoreFileBufferSize = 260;

// The path held by a ScoreFile buffer: the text up to its first NUL. A buffer
// with no NUL holds no valid path (false), so it is treated as a missing value.
bool scoreFilePathFromBuffer(const char (&buffer)[kScoreFileBufferSize], std::string& path);

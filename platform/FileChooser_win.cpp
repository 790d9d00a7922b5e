// The file chooser's dialog: the system's open and save file boxes.
#include "platform/FileChooser.h"

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <vector>

namespace {

constexpr DWORD kFileBufferSize = 260;
constexpr DWORD kFileTitleBufferSize = 256;
// The structure in its original form, up to lpTemplateName: no places bar, no extra
// flags. 76 bytes in a 32-bit program; a 64-bit one's pointers make it 136, and the
// dialog refuses any other size there.
constexpr DWORD kDialogStructSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(sizeof(void*) != 4 || kDialogStructSize == 76, "not the original form");
static_assert(kDialogStructSize <= sizeof(OPENFILENAMEA), "OPENFILENAMEA too small");

const char* textOrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

// The filter as the dialog wants it: each '|' byte becomes a NUL, scanned byte by
// byte (a trail byte 0x7C counts too). Two NULs follow, so the list is closed even
// when the last part has no '|' after it; the dialog never reads past the copy.
std::vector<char> dialogFilter(const std::string& filter) {
    std::vector<char> copy(filter.begin(), filter.end());
    for (char& c : copy) {
        if (c == '|') {
            c = '\0';
        }
    }
    copy.push_back('\0');
    copy.push_back('\0');
    return copy;
}

} // namespace

bool FileChooser::runFileDialog(FileDialogMode mode, HWND__* owner) {
    if (mode != kFileDialogOpen && mode != kFileDialogSave) {
        return false;
    }
    const std::vector<char> filterList = dialogFilter(filter);
    const char* title = mode == kFileDialogOpen ? "開く" : "名前をつけて保存";
    char file[kFileBufferSize] = "";
    char fileTitleBuffer[kFileTitleBufferSize] = "";

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = kDialogStructSize;
    dialog.hwndOwner = owner;
    dialog.hInstance = nullptr;
    dialog.lpstrFilter = filter.empty() ? nullptr : filterList.data();
    dialog.nFilterIndex = static_cast<DWORD>(filterIndex);
    dialog.lpstrFile = file;
    dialog.nMaxFile = kFileBufferSize;
    dialog.lpstrFileTitle = fileTitleBuffer;
    dialog.nMaxFileTitle = kFileTitleBufferSize;
    dialog.lpstrInitialDir = textOrNull(initialDir);
    dialog.lpstrTitle = title;
    dialog.Flags = flags;
    dialog.nFileOffset = fileOffset;
    dialog.nFileExtension = extensionOffset;
    dialog.lpstrDefExt = textOrNull(defaultExt);

    const BOOL confirmed =
        mode == kFileDialogOpen ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    if (!confirmed) {
        return false;
    }
    filePath = file;
    fileTitle = fileTitleBuffer;
    // The next dialog opens at the chosen file's full path, not its folder.
    initialDir = file;
    filterIndex = static_cast<std::int32_t>(dialog.nFilterIndex);
    fileOffset = dialog.nFileOffset;
    extensionOffset = dialog.nFileExtension;
    return true;
}

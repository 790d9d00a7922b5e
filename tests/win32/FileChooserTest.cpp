// The file chooser with the real open and save dialogs, worked from a second thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "model/GameLibrary.h"

namespace {

constexpr DWORD kDialogWaitMs = 20000;
constexpr DWORD kRescueEveryMs = 3000;
constexpr DWORD kCloseWaitMs = 10000; // for the dialog to go after its button
constexpr DWORD kPollMs = 50;
constexpr int kFileNameCombo = 0x47c; // cmb13
constexpr int kFileNameEdit = 0x480;  // edt1
constexpr int kFileTypeCombo = 0x470; // cmb1

std::string className(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Names every window of the thread, for the failure message of a dialog never found.
std::string describeWindows(DWORD thread) {
    std::vector<HWND> windows;
    EnumThreadWindows(thread, collectWindow, reinterpret_cast<LPARAM>(&windows));
    std::string text;
    for (HWND window : windows) {
        text += className(window) + " \"" + windowText(window) + "\"" +
                (IsWindowVisible(window) ? " visible" : " hidden");
        std::vector<HWND> children;
        EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            text += " [" + std::to_string(GetDlgCtrlID(child)) + " " + className(child) + " \"" +
                    windowText(child) + "\"]";
        }
        text += "\n";
    }
    return text;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && className(window) == "#32770") {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// The thread's visible dialog boxes: the file dialog and any message box it shows.
std::vector<HWND> dialogsOf(DWORD thread) {
    std::vector<HWND> found;
    EnumThreadWindows(thread, collectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The edit that takes the file name: edt1 in the old style, else the edit inside
// cmb13 (a ComboBoxEx with a combo box and its edit under it in Wine).
HWND fileNameField(HWND dialog) {
    HWND control = GetDlgItem(dialog, kFileNameCombo);
    if (!control) {
        return GetDlgItem(dialog, kFileNameEdit);
    }
    std::vector<HWND> inside;
    EnumChildWindows(control, collectWindow, reinterpret_cast<LPARAM>(&inside));
    for (HWND window : inside) {
        if (className(window) == "Edit") {
            return window;
        }
    }
    return className(control) == "Edit" ? control : nullptr;
}

// What the user does in the dialog, and what the watcher saw of it.
struct DialogScript {
    std::string typed; // typed into the file name field when not empty
    int button = IDCANCEL;
};

struct DialogSeen {
    bool shown = false;
    bool rescued = false; // something stayed open and had to be closed
    std::string windows;  // the thread's windows when no dialog could be worked
    std::string title;
    std::vector<std::string> fileTypes;
    int fileTypeSelected = -1;
};

// Works the dialog that the test thread opens: waits for it (bounded), reads it,
// types and presses a button; anything still open later is cancelled, so the
// test thread never waits for ever.
class DialogWatcher {
  public:
    explicit DialogWatcher(DialogScript script)
        : script_(std::move(script)), owner_(GetCurrentThreadId()),
          done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, &DialogWatcher::run, this, 0, nullptr);
    }
    ~DialogWatcher() { finish(); }
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Call when the dialog call has returned; then the results are complete.
    const DialogSeen& finish() {
        if (thread_) {
            SetEvent(done_);
            WaitForSingleObject(thread_, kDialogWaitMs + kDialogWaitMs);
            CloseHandle(thread_);
            thread_ = nullptr;
            CloseHandle(done_);
        }
        return seen_;
    }

  private:
    static DWORD WINAPI run(void* self) {
        static_cast<DialogWatcher*>(self)->work();
        return 0;
    }

    bool doneWithin(DWORD ms) { return WaitForSingleObject(done_, ms) == WAIT_OBJECT_0; }

    void work() {
        HWND dialog = nullptr;
        for (DWORD waited = 0; !dialog && waited < kDialogWaitMs; waited += kPollMs) {
            const std::vector<HWND> dialogs = dialogsOf(owner_);
            if (!dialogs.empty() && fileNameField(dialogs.front())) {
                dialog = dialogs.front();
            } else if (doneWithin(kPollMs)) {
                return;
            }
        }
        if (!dialog) {
            if (!doneWithin(0)) {
                seen_.windows = describeWindows(owner_);
                rescue();
            }
            return;
        }
        seen_.shown = true;
        seen_.title = windowText(dialog);
        readFileTypes(dialog);
        if (!script_.typed.empty()) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(fileNameField(dialog), WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>(script_.typed.c_str()), SMTO_NORMAL,
                                kRescueEveryMs, &ignored);
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(script_.button, BN_CLICKED), 0);
        if (!doneWithin(kCloseWaitMs)) {
            seen_.windows = describeWindows(owner_);
            rescue();
        }
    }

    // Cancels whatever the test thread still shows, until its call returns (bounded).
    void rescue() {
        seen_.rescued = true;
        for (DWORD waited = 0; waited < kDialogWaitMs; waited += kRescueEveryMs) {
            std::vector<HWND> windows;
            EnumThreadWindows(owner_, collectWindow, reinterpret_cast<LPARAM>(&windows));
            for (HWND open : windows) {
                PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                PostMessageA(open, WM_CLOSE, 0, 0);
            }
            if (doneWithin(kRescueEveryMs)) {
                return;
            }
        }
    }

    void readFileTypes(HWND dialog) {
        HWND combo = GetDlgItem(dialog, kFileTypeCombo);
        if (!combo) {
            return;
        }
        DWORD_PTR count = 0;
        SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_NORMAL, kRescueEveryMs, &count);
        for (int i = 0; i < static_cast<int>(count) && i < 16; ++i) {
            char text[256] = "";
            DWORD_PTR length = 0;
            if (SendMessageTimeoutA(combo, CB_GETLBTEXTLEN, i, 0, SMTO_NORMAL, kRescueEveryMs,
                                    &length) &&
                length < sizeof text) {
                SendMessageTimeoutA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, kRescueEveryMs, &length);
            }
            seen_.fileTypes.push_back(text);
        }
        DWORD_PTR selected = 0;
        SendMessageTimeoutA(combo, CB_GETCURSEL, 0, 0, SMTO_NORMAL, kRescueEveryMs, &selected);
        seen_.fileTypeSelected = static_cast<int>(static_cast<LRESULT>(selected));
    }

    DialogScript script_;
    DialogSeen seen_;
    DWORD owner_;
    HANDLE done_;
    HANDLE thread_ = nullptr;
};

// Every field of the file chooser, to see that a call left them alone.
struct Fields {
    std::string filter, filePath, fileTitle, initialDir, defaultExt;
    std::int32_t filterIndex;
    std::uint32_t flags;
    std::uint16_t fileOffset, extensionOffset;

    explicit Fields(const FileChooser& c)
        : filter(c.filter), filePath(c.filePath), fileTitle(c.fileTitle), initialDir(c.initialDir),
          defaultExt(c.defaultExt), filterIndex(c.filterIndex), flags(c.flags),
          fileOffset(c.fileOffset), extensionOffset(c.extensionOffset) {}
    bool operator==(const Fields& o) const {
        return filter == o.filter && filePath == o.filePath && fileTitle == o.fileTitle &&
               initialDir == o.initialDir && defaultExt == o.defaultExt &&
               filterIndex == o.filterIndex && flags == o.flags && fileOffset == o.fileOffset &&
               extensionOffset == o.extensionOffset;
    }
};

// A folder of its own under the temporary folder, with files made on request.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name) {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        char longTemp[MAX_PATH] = "";
        if (GetLongPathNameA(temp, longTemp, sizeof longTemp) == 0) {
            lstrcpynA(longTemp, temp, sizeof longTemp);
        }
        GetCurrentDirectoryA(sizeof startDir_, startDir_);
        path_ = std::string(longTemp) + name + "-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    // A confirmed dialog moves the current folder into this one; move it back first.
    ~TempFolder() {
        SetCurrentDirectoryA(startDir_);
        for (const std::string& file : files_) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The full path of name in the folder; made as an empty file when make is true.
    std::string file(const std::string& name, bool make = true) {
        const std::string full = path_ + "\\" + name;
        files_.push_back(full);
        if (make) {
            HANDLE handle = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                CloseHandle(handle);
            }
        }
        return full;
    }

  private:
    char startDir_[MAX_PATH] = "";
    std::string path_;
    std::vector<std::string> files_;
};

TEST(FileChooserModeTest, OnlyOpenAndSaveShowADialog) {
    for (FileDialogMode mode : {0, 2, -2, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(mode);
        GameLibrary chooser;
        const Fields before(chooser);
        DialogWatcher watcher({});
        EXPECT_FALSE(chooser.runFileDialog(mode, nullptr));
        const DialogSeen& seen = watcher.finish();
        EXPECT_FALSE(seen.shown);
        EXPECT_TRUE(Fields(chooser) == before);
    }
}

TEST(FileChooserDialogTest, ConfirmStoresThePathAndTheDialogResults) {
    TempFolder folder("paiview-chooser");
    struct Case {
        const char* what;
        FileDialogMode mode;
        std::string typed;
        std::string expectedPath;
        std::string expectedTitle;
        std::string filter;
        std::int32_t filterIndex;
    };
    const std::string score = folder.file("score.txt");
    const std::string dotted = folder.file("my.score.log.txt");
    const Case cases[] = {
        {"open, full path", kFileDialogOpen, score, score, "score.txt", "", 1},
        {"open, several dots", kFileDialogOpen, dotted, dotted, "my.score.log.txt", "", 1},
        {"open, the second filter pair", kFileDialogOpen, score, score, "score.txt",
         "Logs(*.log)|*.log|Text Files(*.txt)|*.txt|", 2},
        {"save, a new file", kFileDialogSave, folder.file("saved.txt", false),
         folder.path() + "\\saved.txt", "saved.txt", "", 1},
        // Wine's open dialog refuses a name without extension before it adds one.
        {"save, the default extension is added", kFileDialogSave, folder.path() + "\\plain",
         folder.file("plain.txt", false), "plain.txt", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameLibrary chooser;
        if (!c.filter.empty()) {
            chooser.filter = c.filter;
        }
        chooser.filterIndex = c.filterIndex;
        const Fields before(chooser);

        DialogWatcher watcher({c.typed, IDOK});
        const bool confirmed = chooser.runFileDialog(c.mode, nullptr);
        const DialogSeen& seen = watcher.finish();
        ASSERT_TRUE(seen.shown) << seen.windows;
        EXPECT_FALSE(seen.rescued) << seen.windows;
        EXPECT_EQ(seen.title, c.mode == kFileDialogOpen ? "開く" : "名前をつけて保存");
        EXPECT_EQ(seen.fileTypeSelected, c.filterIndex - 1);
        ASSERT_TRUE(confirmed);

        const std::size_t nameAt = c.expectedPath.size() - c.expectedTitle.size();
        EXPECT_EQ(chooser.filePath, c.expectedPath);
        EXPECT_EQ(chooser.fileTitle, c.expectedTitle);
        EXPECT_EQ(chooser.initialDir, c.expectedPath);
        EXPECT_EQ(chooser.filterIndex, c.filterIndex);
        EXPECT_EQ(chooser.fileOffset, nameAt);
        EXPECT_EQ(chooser.extensionOffset, c.expectedPath.rfind('.') + 1);
        // Settings the dialog does not hand back stay as they were.
        EXPECT_EQ(chooser.flags, before.flags);
        EXPECT_EQ(chooser.filter, before.filter);
        EXPECT_EQ(chooser.defaultExt, before.defaultExt);
    }
}

TEST(FileChooserDialogTest, CancelChangesNothing) {
    TempFolder folder("paiview-cancel");
    const std::string typed = folder.file("typed.txt");
    for (FileDialogMode mode : {kFileDialogOpen, kFileDialogSave}) {
        SCOPED_TRACE(mode);
        GameLibrary chooser;
        chooser.filePath = "C:\\earlier\\choice.txt";
        chooser.fileTitle = "choice.txt";
        chooser.fileOffset = 11;
        chooser.extensionOffset = 18;
        const Fields before(chooser);

        DialogWatcher watcher({typed, IDCANCEL});
        EXPECT_FALSE(chooser.runFileDialog(mode, nullptr));
        const DialogSeen& seen = watcher.finish();
        EXPECT_TRUE(seen.shown) << seen.windows;
        EXPECT_FALSE(seen.rescued);
        EXPECT_TRUE(Fields(chooser) == before);
    }
}

TEST(FileChooserDialogTest, FilterBarsBecomeTheListOfFileTypes) {
    struct Case {
        const char* what;
        std::string filter;
        std::vector<std::string> fileTypes;
    };
    const Case cases[] = {
        {"the program's filter", "Text Files(*.txt)|*.txt|", {"Text Files(*.txt)"}},
        {"two pairs", "Logs(*.log)|*.log|All(*.*)|*.*|", {"Logs(*.log)", "All(*.*)"}},
        {"no bar after the last part still closes the list", "Logs(*.log)|*.log", {"Logs(*.log)"}},
        {"CP932 description", "牌譜(*.txt)|*.txt|", {"牌譜(*.txt)"}},
        {"no filter", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameLibrary chooser;
        chooser.filter = c.filter;
        DialogWatcher watcher({"", IDCANCEL});
        EXPECT_FALSE(chooser.runFileDialog(kFileDialogOpen, nullptr));
        const DialogSeen& seen = watcher.finish();
        ASSERT_TRUE(seen.shown) << seen.windows;
        EXPECT_EQ(seen.fileTypes, c.fileTypes);
    }
}

TEST(FileChooserDialogTest, BarBytesAreReplacedWithoutRegardToCharacters) {
    // ポ is the bytes 0x83 0x7C: its second byte is a bar too, so the description
    // ends after the lead byte and the list after it.
    GameLibrary chooser;
    chooser.filter = "ポ|*.txt|";
    DialogWatcher watcher({"", IDCANCEL});
    EXPECT_FALSE(chooser.runFileDialog(kFileDialogOpen, nullptr));
    const DialogSeen& seen = watcher.finish();
    ASSERT_TRUE(seen.shown);
    ASSERT_EQ(seen.fileTypes.size(), 1u);
    EXPECT_NE(seen.fileTypes[0], "ポ");
}

TEST(FileChooserDialogTest, NextDialogStartsAtTheChosenFile) {
    TempFolder folder("paiview-again");
    const std::string first = folder.file("first.txt");
    const std::string second = folder.file("second.txt");
    GameLibrary chooser;
    for (const std::string& path : {first, second}) {
        SCOPED_TRACE(path);
        DialogWatcher watcher({path, IDOK});
        const bool confirmed = chooser.chooseFileToOpen(nullptr);
        const DialogSeen& seen = watcher.finish();
        ASSERT_TRUE(seen.shown);
        EXPECT_FALSE(seen.rescued);
        ASSERT_TRUE(confirmed);
        EXPECT_EQ(chooser.filePath, path);
        EXPECT_EQ(chooser.initialDir, path);
    }
}

} // namespace

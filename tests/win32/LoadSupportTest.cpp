// Loading on Windows: the existence test and the cursor that each way out of a load leaves.
#include "model/GameLibrary.h"
#include "platform/LoadSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

class ScratchFile {
  public:
    explicit ScratchFile(const std::string& bytes) {
        char folder[MAX_PATH];
        char name[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "pvw", 0, name);
        path_ = name;
        std::FILE* file = std::fopen(name, "wb");
        if (file) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    }
    ~ScratchFile() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::string tempFolder() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

TEST(PathExists, FilesAndFolders) {
    ScratchFile file("x");
    EXPECT_TRUE(pathExists(file.path().c_str()));
    EXPECT_TRUE(pathExists(tempFolder().c_str()));
    EXPECT_FALSE(pathExists((tempFolder() + "paiview-no-such-file.txt").c_str()));
    EXPECT_FALSE(pathExists(""));
}

const char* const kGoodLog = "===== T 開始 2003/01/01 21:00\r\n"
                             "  [1]A a [2]B b\r\n"
                             "   ユーザ切断により途中終了\r\n"
                             "----- T 終了 2003/01/01 21:05\r\n"
                             "\r\n";

struct CursorCase {
    const char* name;
    std::string bytes; // written to a file; empty name: no file at all
    bool useFile;
    bool loaded;
    bool cursorRestored; // arrow afterwards; otherwise the cursor is left alone
};

class LoadEndCursor : public ::testing::TestWithParam<CursorCase> {};

TEST_P(LoadEndCursor, ArrowAfterEveryOpenedLoad) {
    const CursorCase& c = GetParam();
    ScratchFile file(c.bytes);
    GameLibrary library;
    library.filePath = c.useFile ? file.path() : tempFolder() + "paiview-no-such-file.txt";

    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cross);
    ASSERT_EQ(GetCursor(), cross);
    EXPECT_EQ(library.load(), c.loaded);
    EXPECT_EQ(GetCursor(), c.cursorRestored ? LoadCursorA(nullptr, IDC_ARROW) : cross);
}

INSTANTIATE_TEST_SUITE_P(
    Loads, LoadEndCursor,
    ::testing::Values(CursorCase{"Good", kGoodLog, true, true, true},
                      CursorCase{"Empty", "", true, true, true},
                      CursorCase{"Broken", "garbage\r\n", true, false, true},
                      CursorCase{"Overlong", std::string(kGoodLog) + std::string(300, 'x'), true,
                                 false, true},
                      CursorCase{"Missing", "", false, false, false}),
    [](const ::testing::TestParamInfo<CursorCase>& info) { return info.param.name; });

// A folder cannot be opened as a file on Windows: nothing changes.
TEST(LoadFolder, LeavesLibraryAndCursorAlone) {
    ScratchFile file(kGoodLog);
    GameLibrary library;
    library.filePath = file.path();
    ASSERT_TRUE(library.load());
    library.filePath = tempFolder();
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cross);
    EXPECT_FALSE(library.load());
    EXPECT_EQ(library.recordCount(), 1);
    EXPECT_EQ(GetCursor(), cross);
}

} // namespace

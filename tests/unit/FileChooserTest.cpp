// The remembered score file path: the stored bytes it accepts and what it writes back.
#include "platform/FileChooser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/SettingsStore.h"

namespace {

struct BufferCase {
    const char* name;
    int nulAt; // -1: no NUL at all
    bool ok;
    std::size_t pathBytes;
};

class ScoreFileBuffer : public ::testing::TestWithParam<BufferCase> {};

TEST_P(ScoreFileBuffer, PathUpToFirstNul) {
    const BufferCase& c = GetParam();
    char buffer[kScoreFileBufferSize];
    std::memset(buffer, 'p', sizeof buffer);
    if (c.nulAt >= 0) {
        buffer[c.nulAt] = '\0';
    }
    std::string path = "unchanged";
    EXPECT_EQ(scoreFilePathFromBuffer(buffer, path), c.ok);
    EXPECT_EQ(path, c.ok ? std::string(c.pathBytes, 'p') : "unchanged");
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, ScoreFileBuffer,
    ::testing::Values(BufferCase{"Empty", 0, true, 0}, BufferCase{"Short", 12, true, 12},
                      BufferCase{"LastByte", 259, true, 259}, BufferCase{"NoNul", -1, false, 0}),
    [](const ::testing::TestParamInfo<BufferCase>& info) { return info.param.name; });

TEST(ScoreFileBufferBytes, KeepsDoubleByteCharactersAndStopsAtFirstNul) {
    char buffer[kScoreFileBufferSize] = {};
    const char text[] = "c:\\表\\麻雀\\tonpuso.txt\0second";
    std::memcpy(buffer, text, sizeof text);
    std::string path;
    ASSERT_TRUE(scoreFilePathFromBuffer(buffer, path));
    EXPECT_EQ(path, "c:\\表\\麻雀\\tonpuso.txt");
}

#ifndef _WIN32
// Natively the settings live in the stand-in store; on Windows the registry tests
// cover the same through the real key.
struct StoredCase {
    const char* name;
    std::string bytes; // the stored ScoreFile value
    std::string path;  // filePath afterwards, starting from "before"
};

class ScoreFileSetting : public ::testing::TestWithParam<StoredCase> {};

TEST_P(ScoreFileSetting, LoadScoreFile) {
    const StoredCase& c = GetParam();
    SettingsStore store(kProductName);
    ASSERT_EQ(
        store.writeBinary("ScoreFile", c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size())),
        0);
    FileChooser chooser;
    chooser.filePath = "before";
    chooser.loadScoreFile(store);
    EXPECT_EQ(chooser.filePath, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScoreFileSetting,
    ::testing::Values(
        StoredCase{"Path", std::string("c:\\logs\\tonpuso.txt", 20), "c:\\logs\\tonpuso.txt"},
        StoredCase{"EmptyText", std::string(1, '\0'), ""},
        StoredCase{"TextThenBytes", std::string("a.txt\0zz", 8), "a.txt"},
        // A short value stored without its NUL must not pick up stale stack bytes.
        StoredCase{"ShortWithoutNul", std::string("d:\\a.txt", 8), "d:\\a.txt"},
        StoredCase{"FullBufferWithNul", std::string(259, 'q') + '\0', std::string(259, 'q')},
        StoredCase{"FullBufferWithoutNul", std::string(260, 'q'), "before"},
        StoredCase{"TooLarge", std::string(300, 'q') + '\0', "before"}),
    [](const ::testing::TestParamInfo<StoredCase>& info) { return info.param.name; });

TEST(ScoreFileSetting, StoreWritesPathAndReadsBack) {
    SettingsStore store(kProductName);
    FileChooser chooser;
    chooser.filePath = "c:\\東風荘\\tonpuso.txt";
    EXPECT_EQ(chooser.storeScoreFile(store), 0);
    char buffer[kScoreFileBufferSize] = {};
    ASSERT_EQ(store.readValue("ScoreFile", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "c:\\東風荘\\tonpuso.txt");

    FileChooser restored;
    restored.loadScoreFile(store);
    EXPECT_EQ(restored.filePath, chooser.filePath);
}

TEST(ScoreFileSetting, EmptyPathStoresEmptyText) {
    SettingsStore store(kProductName);
    FileChooser chooser;
    EXPECT_EQ(chooser.storeScoreFile(store), 0);
    FileChooser restored;
    restored.filePath = "before";
    restored.loadScoreFile(store);
    EXPECT_EQ(restored.filePath, "");
}
#endif

} // namespace

// Loading a score log with OK: the list, the title and the failures a user can meet.
#include "tests/e2e/E2eTest.h"

#include "samples/generator/ScoreLogGenerator.h"

namespace e2e {
namespace {

std::vector<std::string> tablesOf(const std::vector<HalfGame>& games) {
    std::vector<std::string> tables;
    for (const HalfGame& game : games)
        tables.push_back(game.table);
    return tables;
}

std::string withLfEnds(std::string log) {
    std::string result;
    for (char c : log)
        if (c != '\r')
            result += c;
    return result;
}

using LoadingTest = E2eTest;

TEST_F(LoadingTest, OkListsOneLinePerRecordInFileOrder) {
    std::vector<HalfGame> games = standardGames();
    std::string path = writeTempFile("order.txt", scoreLog(games));
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    app().command(kOk);
    HWND box = app().waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Paiview::messageText(box), "Loading succeeded.");
    EXPECT_EQ(Paiview::buttonIds(box), std::vector<int>{IDOK});
    ASSERT_TRUE(app().answer(box, IDOK));
    app().sync();
    EXPECT_EQ(app().title(), "Paiview 初期画面    14件[   0]");
    EXPECT_EQ(app().listLines(), tablesOf(games));
    EXPECT_EQ(app().listSelection(), -1);
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), "");
    EXPECT_EQ(app().itemText(kPanePlacings), "");
    quit();
}

TEST_F(LoadingTest, LfLineEndsLoadLikeCrLf) {
    std::vector<HalfGame> games = standardGames();
    ASSERT_TRUE(startLoaded(writeTempFile("lf.txt", withLfEnds(scoreLog(games))), 14));
    EXPECT_EQ(app().listLines(), tablesOf(games));
    quit();
}

TEST_F(LoadingTest, EnterInTheListLoadsLikeOk) {
    std::string path = writeTempFile("enter.txt", scoreLog(standardGames()));
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    ASSERT_TRUE(focus(kList));
    ASSERT_TRUE(app().pressKey(app().main(), VK_RETURN));
    expectOpenMessage("Loading succeeded.");
    EXPECT_EQ(app().listCount(), 14);
    quit();
}

TEST_F(LoadingTest, OkAgainFailsAndKeepsTheList) {
    std::vector<HalfGame> games = standardGames();
    ASSERT_TRUE(startLoaded(games));
    app().select(2);
    std::string pane = app().itemText(kPaneTimesPlayers);
    expectMessage(kOk, "Loading failed.");
    EXPECT_EQ(app().listLines(), tablesOf(games));
    EXPECT_EQ(app().title(), title(14, 2));
    EXPECT_EQ(app().listSelection(), 2);
    EXPECT_EQ(app().itemText(kPaneTimesPlayers), pane);
    quit();
}

TEST_F(LoadingTest, EmptyFileLoadsNoRecords) {
    std::string path = writeTempFile("empty.txt", "");
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    expectMessage(kOk, "Loading succeeded.");
    EXPECT_EQ(app().title(), "Paiview 初期画面     0件[   0]");
    EXPECT_EQ(app().listCount(), 0);
    quit();
}

// A folder exists but holds no score log to read: reporting success with nothing
// loaded would hide the mistake, so it fails like any unreadable file.
TEST_F(LoadingTest, FolderFailsToLoad) {
    std::string folder = tempFolder();
    folder.pop_back(); // no final backslash
    storeSetting("ScoreFile", REG_SZ, folder + '\0');
    ASSERT_TRUE(start());
    expectMessage(kOk, "Loading failed.");
    EXPECT_EQ(app().title(), "Paiview 初期画面      0件[   0]");
    EXPECT_EQ(app().listCount(), 0);
    quit();
}

TEST_F(LoadingTest, MoreThan9999RecordsWidenTheCount) {
    GeneratorOptions options;
    options.seed = 7;
    options.halfGames = 10001;
    options.averageHands = 2;
    std::string path = writeTempFile("big.txt", generateScoreLog(options));
    ASSERT_TRUE(startLoaded(path, expectedRecordCount(options)));
    EXPECT_EQ(app().title(), "Paiview 初期画面  10001件[   0]");
    app().select(10000);
    EXPECT_EQ(app().title(), "Paiview 初期画面  10001件[10000]");
    quit();
}

TEST_F(LoadingTest, BundledSampleLoads) {
    std::string unixPath = std::string(PAIVIEW_SOURCE_DIR) + "/samples/tonpuso.txt";
    std::string path = windowsPath(unixPath);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no bundled sample at " << path;
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    expectMessage(kOk, "Loading succeeded.");
    int count = app().listCount();
    EXPECT_GT(count, 0);
    EXPECT_EQ(app().title(), title(count, 0));
    quit();
}

// Score logs that must not load: the list stays empty and the title untouched.
struct FailureCase {
    const char* name;
    std::string (*log)();
};

std::string overlongLine() {
    std::vector<HalfGame> games = standardGames();
    games[1].hands[0].yaku = std::string(230, 'Y');
    return scoreLog(games);
}

std::string nulInHeader() {
    std::string log = scoreLog(standardGames());
    log[8] = '\0'; // inside the first table name, before the start marker
    return log;
}

std::string truncatedInHands() {
    std::string log = scoreLog(standardGames());
    return log.substr(0, log.find("---- ", log.find("TABLE-02")));
}

std::string extraEmptyLine() {
    return scoreLog(standardGames()) + "\r\n";
}
std::string singleEmptyLine() {
    return "\r\n";
}
std::string notAScoreLog() {
    return "hello\r\nworld\r\n";
}

class LoadFailureTest : public E2eTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoadFailureTest, ShowsLoadingFailedAndAnEmptyList) {
    std::string path =
        writeTempFile(std::string("bad-") + GetParam().name + ".txt", GetParam().log());
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    app().command(kOk);
    HWND box = app().waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Paiview::messageText(box), "Loading failed.");
    EXPECT_EQ(Paiview::buttonIds(box), std::vector<int>{IDOK});
    ASSERT_TRUE(app().answer(box, IDOK));
    app().sync();
    EXPECT_EQ(app().listCount(), 0);
    EXPECT_EQ(app().title(), initialTitle());
    EXPECT_EQ(app().itemText(kFileNameBox), path);
    quit();
}

INSTANTIATE_TEST_SUITE_P(Logs, LoadFailureTest,
                         ::testing::Values(FailureCase{"OverlongLine", overlongLine},
                                           FailureCase{"NulInHeader", nulInHeader},
                                           FailureCase{"TruncatedInHands", truncatedInHands},
                                           FailureCase{"ExtraEmptyLine", extraEmptyLine},
                                           FailureCase{"SingleEmptyLine", singleEmptyLine},
                                           FailureCase{"NotAScoreLog", notAScoreLog}),
                         [](const auto& info) { return std::string(info.param.name); });

// Paths that cannot be loaded at all.
struct PathCase {
    const char* name;
    bool stored;
};

class MissingPathTest : public E2eTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(MissingPathTest, ShowsLoadingFailed) {
    std::string path = GetParam().stored ? missingTempFile() : "";
    if (GetParam().stored)
        storeSetting("ScoreFile", REG_SZ, path + '\0');
    ASSERT_TRUE(start());
    EXPECT_EQ(app().itemText(kFileNameBox), path);
    expectMessage(kOk, "Loading failed.");
    EXPECT_EQ(app().listCount(), 0);
    EXPECT_EQ(app().title(), initialTitle());
    quit();
}

INSTANTIATE_TEST_SUITE_P(Paths, MissingPathTest,
                         ::testing::Values(PathCase{"NoSuchFile", true},
                                           PathCase{"NoFileName", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e

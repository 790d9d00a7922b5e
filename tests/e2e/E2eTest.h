// The fixture of every end-to-end test: fresh settings, one run of Paiview, common steps.
#pragma once

#include "tests/e2e/Driver.h"
#include "tests/e2e/ScoreLogs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Command and control ids of the program, as a user reaches them.
enum : int {
    kOk = 1,
    kQuit = 2,
    kFileButton = 1003,
    kPaneTimesPlayers = 1001,
    kPanePlacings = 1007,
    kList = 1009,
    kFileNameBox = 1011,
    kHistory = 1013,
    kSearchButton = 1015,
    kClear = 1017,
    kMenuSearchDialog = 40003,
    kMenuAbove = 40004,
    kMenuBelow = 40005,
    kMenuAbout = 40006,
};

class E2eTest : public ::testing::Test {
  protected:
    // Every test begins as a first run: no settings key at all.
    void SetUp() override;
    // Ends the run if the test left it going.
    void TearDown() override;

    // Starts Paiview.exe and waits for its main window; false (with a test failure)
    // when it does not come up.
    bool start();
    Paiview& app() { return *app_; }

    // Stores `path` as ScoreFile, starts the program and loads with OK: expects
    // "Loading succeeded." and `count` list lines.
    bool startLoaded(const std::string& path, int count);
    bool startLoaded(const std::vector<HalfGame>& games);

    // Posts `commandId` and expects a message box with `text`; answers it with `answer`.
    void expectMessage(int commandId, const std::string& text, int answer = IDOK);
    // Waits for a message box with `text` that something else opened, and answers it.
    void expectOpenMessage(const std::string& text, int answer = IDOK);

    // Ends the run with command 2 and expects exit code 0.
    void quit();
    void expectExitCode0();

    // Gives the focus to a control of the main window, as Tab would.
    bool focus(int id);

    // The title for `count` records and position `selected`, as the program formats it.
    static std::string title(int count, int selected);
    // The title before any load, and after Clear.
    static std::string initialTitle();
    static std::string clearedTitle();

    // A ForSearch block: the text is followed by a NUL and then `filler` bytes.
    static std::string searchBlock(std::int32_t startIndex, const std::string& text,
                                   std::int32_t target, std::int32_t step, char filler = '\0');

    std::unique_ptr<Paiview> app_;
};

} // namespace e2e

// The fixture of every end-to-end test: fresh settings, one run of Paiview, common steps.
#include "tests/e2e/E2eTest.h"

#include <cstdio>

namespace e2e {

void E2eTest::SetUp() {
    deleteSettingsKey();
}

void E2eTest::TearDown() {
    if (!app_)
        return;
    if (app_->running()) {
        // Leave no modal box behind and no program running for the next test.
        if (HWND box = app_->findMessageBox())
            ADD_FAILURE() << "a message box was left open: " << Paiview::messageText(box);
    }
    app_.reset();
}

bool E2eTest::start() {
    app_ = std::make_unique<Paiview>();
    if (!app_->started()) {
        ADD_FAILURE() << "Paiview did not start: " << app_->startError();
        return false;
    }
    return true;
}

bool E2eTest::startLoaded(const std::string& path, int count) {
    storeSetting("ScoreFile", REG_SZ, path + '\0');
    if (!start())
        return false;
    expectMessage(kOk, "Loading succeeded.");
    app_->sync();
    EXPECT_EQ(app_->listCount(), count);
    return !::testing::Test::HasFailure();
}

bool E2eTest::startLoaded(const std::vector<HalfGame>& games) {
    std::string path = writeTempFile("standard.txt", scoreLog(games));
    return startLoaded(path, static_cast<int>(games.size()));
}

void E2eTest::expectMessage(int commandId, const std::string& text, int answer) {
    app_->command(commandId);
    expectOpenMessage(text, answer);
}

void E2eTest::expectOpenMessage(const std::string& text, int answer) {
    HWND box = app_->waitMessageBox();
    ASSERT_NE(box, nullptr) << "no message box \"" << text << "\"";
    EXPECT_EQ(Paiview::messageText(box), text);
    EXPECT_TRUE(app_->answer(box, answer)) << "the message box did not close";
    app_->sync();
}

void E2eTest::quit() {
    app_->command(kQuit);
    expectExitCode0();
}

void E2eTest::expectExitCode0() {
    DWORD code = 0;
    ASSERT_TRUE(app_->waitExit(code)) << "Paiview did not end";
    EXPECT_EQ(code, 0u);
}

bool E2eTest::focus(int id) {
    HWND control = app_->item(id);
    app_->post(app_->main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    app_->sync();
    return focusOf(app_->threadId()) == control;
}

std::string E2eTest::initialTitle() {
    return "Paiview 初期画面      0件[   0]";
}
std::string E2eTest::clearedTitle() {
    return "Paiview 初期画面     0件[   0]";
}

std::string E2eTest::searchBlock(std::int32_t startIndex, const std::string& text,
                                 std::int32_t target, std::int32_t step, char filler) {
    std::string block(212, filler);
    auto put = [&block](std::size_t offset, std::int32_t value) {
        for (int i = 0; i < 4; ++i)
            block[offset + i] =
                static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    };
    put(0, startIndex);
    block.replace(4, text.size(), text);
    if (text.size() < 200)
        block[4 + text.size()] = '\0';
    put(204, target);
    put(208, step);
    return block;
}

std::string E2eTest::title(int count, int selected) {
    char text[64];
    std::snprintf(text, sizeof text, "Paiview 初期画面  %4d件[%4d]", count, selected);
    return text;
}

} // namespace e2e

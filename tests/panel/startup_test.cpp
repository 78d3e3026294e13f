// The run of the whole program in this process: start-up, the shared menu bar, and the ways
// the run ends.
#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>

#include "framework/runtime.h"
#include "framework/window.h"
#include "framework/window_private.h"
#include "panel/menubar1.h"
#include "panel/startup.h"
#include "panel/zq8.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/other_panel.h"
#include "tests/support/temp_config.h"

namespace {

TEST(Startup, TheApplicationAndTheMainWindowShareOneMenuBar) {
    entry::initialize();
    entry::Startup();
    auto window = zq8::zq8_();
    ASSERT_NE(fw::RegisteredApp(), nullptr);
    EXPECT_EQ(fw::RegisteredApp()->MenuBar(), window->MenuBar());
    EXPECT_EQ(window->MenuBar(), MenuBar1::MenuBar1_());
    EXPECT_EQ(fw::FindClass("zq8.zq8"), &zq8::Class());
    entry::finalize();
    EXPECT_FALSE(MenuBar1::HasImplicitInstance());
    EXPECT_EQ(fw::GetImplicitWindow("zq8.zq8"), nullptr);
}

TEST(Startup, TheMainWindowHasItsDesignTimeValues) {
    entry::initialize();
    entry::Startup();
    auto window = zq8::zq8_();
    EXPECT_EQ(window->Width(), 260);
    EXPECT_EQ(window->Height(), 474);
    EXPECT_FALSE(window->Resizeable());
    EXPECT_TRUE(window->CloseButton());
    EXPECT_TRUE(window->MinimizeButton());
    EXPECT_FALSE(window->MaximizeButton());
    EXPECT_TRUE(window->MenuBarVisible());
    EXPECT_TRUE(window->Visible());
    const Qt::WindowFlags flags = window->GetPrivate().widget->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->GetPrivate().content->size(), QSize(260, 474));
    entry::finalize();
}

// Runs the whole program, doing `action` once its event loop runs; gives the exit status.
int RunProgramAnd(const std::function<void()>& action) {
    QTimer::singleShot(0, [action] { fw::Dispatch(action); });
    return entry::main();
}

TEST(Startup, ClosingTheMainWindowEndsTheRunWithStatusZero) {
    EXPECT_EQ(RunProgramAnd([] { zq8::zq8_()->GetPrivate().widget->close(); }), 0);
}

TEST(Startup, TheQuitItemEndsTheRunThroughTheCloseEventWithStatusZero) {
    bool closed = false;
    EXPECT_EQ(RunProgramAnd([&closed] {
                  auto window = zq8::zq8_();
                  window->GetPrivate().actions.at(window->FileQuit())->trigger();
                  closed = window->IsClosed();
              }),
              0);
    EXPECT_TRUE(closed);
}

// Two panels on one settings folder would each write back their own table over the other's.
TEST(Startup, ASecondPanelOnTheSameSettingsEndsWithStatusOneBeforeItTouchesThem) {
    const std::string settings = "zq8lang\n1\ncontrolport\n/dev/ttyUSB0\n";
    zq8test::WriteBytes(zq8test::SettingsFile(), settings);
    zq8test::ChildProcess first(zq8test::HoldSettingsLockUntilKilled);
    ASSERT_EQ(first.Read(sizeof zq8test::kLocked - 1), zq8test::kLocked);

    testing::internal::CaptureStderr();
    EXPECT_EQ(entry::main(), 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "zq8: another panel (pid " + std::to_string(first.Pid()) +
                        ") is already running on " + zq8test::SettingsFolder().string() + "\n");
    EXPECT_EQ(fw::GetImplicitWindow("zq8.zq8"), nullptr);
    EXPECT_EQ(zq8test::ReadBytes(zq8test::SettingsFile()), settings);
    EXPECT_EQ(zq8test::FolderEntries(zq8test::SettingsFolder()),
              (std::vector<std::string>{".zq8.lock", "zq8.ini"}));
}

}  // namespace

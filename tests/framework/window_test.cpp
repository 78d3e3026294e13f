// Windows: the order of their building events, their implicit instance, their design-time
// values, and the exceptions that escape their events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "framework/window_private.h"

namespace {

std::vector<std::string> events;

class RecordingWindow : public fw::Window {
public:
    static const fw::ClassInfo& Class() {
        static const fw::ClassInfo info{
            "RecordingWindow.RecordingWindow", &fw::Window::Class(), {}};
        return info;
    }
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    void Layout() override {
        events.push_back("Layout");
        SetWidth(260);
        SetHeight(474);
        SetResizeable(false);
        SetTitle("Recorder");
    }
    void CreateControls() override { events.push_back("CreateControls"); }
    void AddMenuHandlers(fw::Window&) override { events.push_back("AddMenuHandlers"); }
    void Event_Open() override {
        events.push_back("Open");
        openedDuringLoop = fw::EventLoopRunning();
        instanceSeenInOpen = fw::ImplicitInstance<RecordingWindow>().get();
        if (throwInOpen) {
            throw fw::NilObjectException("no such control");
        }
    }
    void Event_Close() override {
        events.push_back("Close");
        fw::Quit(0);
    }

    static inline bool throwInOpen = false;
    bool openedDuringLoop = true;
    RecordingWindow* instanceSeenInOpen = nullptr;
};

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        events.clear();
        RecordingWindow::throwInOpen = false;
    }
    void TearDown() override { fw::ReleaseAllWindows(); }
};

TEST_F(WindowTest, BuildingRaisesItsEventsInOrderAndOpenSeesItselfAsTheImplicitInstance) {
    auto window = fw::ImplicitInstance<RecordingWindow>();
    EXPECT_EQ(events,
              (std::vector<std::string>{"Layout", "CreateControls", "AddMenuHandlers", "Open"}));
    EXPECT_EQ(window->instanceSeenInOpen, window.get());
    EXPECT_EQ(fw::ImplicitInstance<RecordingWindow>(), window);
    EXPECT_FALSE(window->openedDuringLoop);
}

TEST_F(WindowTest, ValuesReadBackAndTheContentAreaHasTheWindowsSize) {
    auto window = fw::ImplicitInstance<RecordingWindow>();
    window->SetLeft(40);
    window->SetTop(30);
    EXPECT_EQ(window->Title(), "Recorder");
    EXPECT_EQ(window->Left(), 40);
    EXPECT_EQ(window->Top(), 30);
    EXPECT_EQ(window->Width(), 260);
    EXPECT_EQ(window->Height(), 474);
    QApplication::processEvents();
    const QWidget* content = window->GetPrivate().content;
    EXPECT_EQ(content->size(), QSize(260, 474));
    window->SetHeight(584);
    EXPECT_EQ(content->size(), QSize(260, 584));
}

TEST_F(WindowTest, CloseRaisesCloseThenDropsTheImplicitInstance) {
    auto window = fw::ImplicitInstance<RecordingWindow>();
    window->Close();
    EXPECT_EQ(events.back(), "Close");
    EXPECT_EQ(fw::GetImplicitWindow(RecordingWindow::Class().name), nullptr);
    window->Close();  // a second close raises nothing
    EXPECT_EQ(std::count(events.begin(), events.end(), "Close"), 1);
    fw::RuntimeInit();
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

TEST_F(WindowTest, OpenRunsBeforeTheFirstEventAndTheLoopEndsWithTheCodeGivenToQuit) {
    bool timerFired = false;
    fw::RuntimeInit();
    QTimer::singleShot(0, [&] {
        timerFired = true;
        EXPECT_EQ(events.back(), "Open");
        fw::Dispatch([] { fw::ImplicitInstance<RecordingWindow>()->Close(); });
    });
    fw::RunFrameworkInitialization([] { fw::ImplicitInstance<RecordingWindow>(); });
    EXPECT_FALSE(timerFired);
    fw::RuntimeRun();
    EXPECT_TRUE(timerFired);
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

TEST_F(WindowTest, AnExceptionEscapingOpenEndsTheRunBeforeTheLoopWithStatusOne) {
    RecordingWindow::throwInOpen = true;
    bool timerFired = false;
    fw::RuntimeInit();
    // The timer never fires here; its context ends it with the test, so that a later test's loop
    // does not run it against this test's stack.
    QObject timerContext;
    QTimer::singleShot(0, &timerContext, [&] { timerFired = true; });
    testing::internal::CaptureStderr();
    try {
        fw::RunFrameworkInitialization([] { fw::ImplicitInstance<RecordingWindow>(); });
        fw::RuntimeRun();
    } catch (...) {
        fw::UnhandledException(std::current_exception());
    }
    fw::RuntimeRun();  // a run that failed does not enter the loop
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(timerFired);
    EXPECT_NE(err.find("NilObjectException: no such control"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_EQ(fw::RuntimeExit(), 1);
}

TEST_F(WindowTest, AnExceptionInAnEventEndsTheLoopWithStatusOne) {
    fw::RuntimeInit();
    QTimer::singleShot(0, [] { fw::Dispatch([] { throw std::runtime_error("broken handler"); }); });
    QTimer::singleShot(5000, [] { fw::Quit(0); });  // a bound, should the failure not end the loop
    testing::internal::CaptureStderr();
    fw::RuntimeRun();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("broken handler"), std::string::npos) << err;
    EXPECT_EQ(fw::RuntimeExit(), 1);
}

}  // namespace

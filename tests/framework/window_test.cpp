// Windows: the order of their building events, their implicit instance, their design-time
// values, and the exceptions that escape their events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

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

// A second window, hidden until shown, the size of the port dialog, counting its Activates.
class SecondWindow : public fw::Window {
public:
    static const fw::ClassInfo& Class() {
        static const fw::ClassInfo info{"SecondWindow.SecondWindow", &fw::Window::Class(), {}};
        return info;
    }
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    void Layout() override {
        SetWidth(204);
        SetHeight(104);
        SetResizeable(false);
        SetMenuBarVisible(false);
        SetVisible(false);
    }
    void Event_Activate() override { ++activations; }

    int activations = 0;
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

TEST_F(WindowTest, AWindowShownModallyIsAModalDialogOfTheWindowInFrontOfIt) {
    auto front = fw::ImplicitInstance<RecordingWindow>();
    QApplication::processEvents();  // shown
    auto dialog = fw::ImplicitInstance<SecondWindow>();
    bool checked = false;
    QObject timerContext;
    QTimer::singleShot(0, &timerContext, [&] {
        const QWidget& shown = *dialog->GetPrivate().widget;
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(shown.windowType(), Qt::Dialog);
        EXPECT_EQ(shown.windowModality(), Qt::ApplicationModal);
        ASSERT_NE(shown.windowHandle(), nullptr);
        EXPECT_EQ(shown.windowHandle()->transientParent(),
                  front->GetPrivate().widget->windowHandle());
        checked = true;
        dialog->Hide();
    });
    dialog->ShowModal();
    EXPECT_TRUE(checked);
    EXPECT_EQ(dialog->GetPrivate().widget->windowModality(), Qt::NonModal);
}

// After a modal showing no window may block the others: the window manager's minimise does not
// end it (the command that showed the window waits for its choice), and the run's end or a close
// ends it with the window no longer modal.
TEST_F(WindowTest, OnlyTheProgramsHideEndsAModalShowingAndNoWindowStaysModalAfterIt) {
    auto front = fw::ImplicitInstance<RecordingWindow>();
    QApplication::processEvents();
    enum class End { Hide, Close, Quit };
    for (const End end : {End::Hide, End::Close, End::Quit}) {
        SCOPED_TRACE(static_cast<int>(end));
        auto dialog = fw::ImplicitInstance<SecondWindow>();  // a new one after the close
        QWidget& shown = *dialog->GetPrivate().widget;
        bool returned = false;
        bool choiceMade = false;
        bool minimisedAndBackWhileShowing = false;
        fw::RuntimeInit();
        QObject timerContext;
        // A menu command shows the window from the event loop; the user acts in a nested one.
        QTimer::singleShot(0, &timerContext, [&] {
            QTimer::singleShot(0, &timerContext, [&] {
                // Minimised, as Qt reports a window manager's minimise; restored once the loop
                // has had its turn.
                shown.setWindowState(Qt::WindowMinimized);
                QTimer::singleShot(0, &timerContext, [&] {
                    shown.setWindowState(Qt::WindowNoState);
                    minimisedAndBackWhileShowing =
                        !returned && shown.isVisible() &&
                        QGuiApplication::modalWindow() == shown.windowHandle();
                    switch (end) {
                        case End::Hide:
                            dialog->Hide();
                            break;
                        case End::Close:
                            dialog->Close();
                            break;
                        case End::Quit:
                            fw::Quit(0);
                            break;
                    }
                });
            });
            dialog->ShowModal();
            choiceMade = dialog->ModalShowingEndedByHide();
            returned = true;
            EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
            EXPECT_FALSE(shown.isVisible());
            EXPECT_EQ(shown.windowModality(), Qt::NonModal);
            fw::Quit(0);
        });
        fw::RuntimeRun();
        EXPECT_EQ(fw::RuntimeExit(), 0);
        EXPECT_TRUE(returned);
        EXPECT_TRUE(minimisedAndBackWhileShowing);
        EXPECT_EQ(choiceMade, end == End::Hide);
    }
}

TEST_F(WindowTest, ActivateIsRaisedOnceForEachShowingNotWhenTheFocusComesBack) {
    auto first = fw::ImplicitInstance<RecordingWindow>();
    QApplication::processEvents();
    auto second = fw::ImplicitInstance<SecondWindow>();
    QWidget* firstWidget = first->GetPrivate().widget.get();
    QWidget* secondWidget = second->GetPrivate().widget.get();
    EXPECT_EQ(second->activations, 0) << "built hidden, not yet shown";
    second->Show();
    QApplication::processEvents();
    EXPECT_EQ(second->activations, 1);
    // A look at the other window, and back.
    for (QWidget* active : {firstWidget, secondWidget, firstWidget, secondWidget}) {
        active->activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), active);
    }
    second->Show();  // already showing
    EXPECT_EQ(second->activations, 1);
    second->Hide();
    second->Show();
    EXPECT_EQ(second->activations, 2);
}

TEST_F(WindowTest, AWindowShowsWhollyOnTheScreenMovedTheLeastDistance) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    fw::ImplicitInstance<RecordingWindow>();
    QApplication::processEvents();  // the window it shows over, framed as it will be
    auto window = fw::ImplicitInstance<SecondWindow>();
    // Where the frame must stand; these two mean "touching the right" and "the bottom edge".
    constexpr int kRight = -1000001;
    constexpr int kBottom = -1000002;
    struct {
        QPoint stored;
        int x;
        int y;
    } const cases[] = {
        {{screen.right() - 10, screen.bottom() - 4}, kRight, kBottom},  // the first showing
        {{100, 50}, 100, 50},                                           // wholly on: kept
        {{-30, 200}, 0, 200},
        {{300, -500}, 300, 0},
        {{-30000, -30000}, 0, 0},  // off every screen
        {{30000, 40000}, kRight, kBottom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored at " << c.stored.x() << "," << c.stored.y());
        window->SetLeft(c.stored.x());
        window->SetTop(c.stored.y());
        window->Show();
        const QRect frame = window->GetPrivate().widget->frameGeometry();
        const QPoint shown(c.x == kRight ? screen.right() + 1 - frame.width() : c.x,
                           c.y == kBottom ? screen.bottom() + 1 - frame.height() : c.y);
        EXPECT_EQ(frame.topLeft(), shown);
        EXPECT_TRUE(screen.contains(frame));
        EXPECT_EQ(QPoint(window->Left(), window->Top()), shown);
        window->Hide();
    }
}

}  // namespace

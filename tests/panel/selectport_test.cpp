// The port dialog: its list, its answer, its position kept across runs, and the port chosen
// through it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <map>
#include <ostream>

#include "framework/bevel_button.h"
#include "framework/exceptions.h"
#include "framework/popup_menu.h"
#include "framework/runtime.h"
#include "framework/serial.h"
#include "framework/serial_port_private.h"
#include "framework/window_private.h"
#include "link/selectport.h"
#include "panel/startup.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/panel_fixture.h"
#include "tests/support/temp_config.h"

namespace zq8test {
namespace {

std::vector<std::string> Rows(const fw::PopupMenu& popup) {
    std::vector<std::string> rows;
    for (int i = 0; i < popup.ListCount(); ++i) {
        rows.push_back(popup.List(i));
    }
    return rows;
}

class SelectPortTest : public PanelTest {
protected:
    // Chooses "Select Port", then, once the dialog shows, picks `row` and presses OK.
    void SelectPort(int row, const std::function<void(selectport&)>& whileShown = {}) {
        bool answered = false;
        QTimer::singleShot(0, [&, row] {
            selectport& dialog = *selectport::selectport_();
            EXPECT_EQ(dialog.SerialPopup().ListIndex(), 0) << "each showing starts at none";
            if (whileShown) {
                whileShown(dialog);
            }
            dialog.SerialPopup().SetListIndex(row);
            QTest::mouseClick(dialog.BevelButton1().Widget(), Qt::LeftButton);
            answered = true;
        });
        ASSERT_NO_FATAL_FAILURE(Choose(window->ViewSelectPort()));
        EXPECT_TRUE(answered);
    }
    PseudoTerminal second;
};

TEST_F(SelectPortTest, ListsNoneAndThePortsAndOpensTheChosenOne) {
    ListPorts({second.SlavePath()});
    StartPanel();
    const int row = RowOf(second.SlavePath());
    ASSERT_NO_FATAL_FAILURE(SelectPort(row, [&](selectport& dialog) {
        const auto rows = Rows(dialog.SerialPopup());
        ASSERT_EQ(int(rows.size()), row + 1);
        EXPECT_EQ(rows.front(), "none");
        EXPECT_EQ(rows[row - 1], pty.SlavePath());
        EXPECT_EQ(rows[row], second.SlavePath());
    }));
    selectport& dialog = *selectport::selectport_();
    EXPECT_EQ(dialog.SelectedIndex, row);
    EXPECT_EQ(dialog.portname, second.SlavePath());
    EXPECT_FALSE(dialog.GetPrivate().widget->isVisible());
    EXPECT_EQ(window->Title(), "ZQ8-" + second.SlavePath());
    EXPECT_EQ(SettingsLines()[2], "controlport");
    EXPECT_EQ(SettingsLines()[3], second.SlavePath());
    window->remenable_Action();
    EXPECT_EQ(HexBytes(second.ReadExactly(6, std::chrono::milliseconds(2000))),
              "03 B1 01 05 00 BA");
}

// The stored name stays, so the next start reopens the port; the title stops naming it.
TEST_F(SelectPortTest, OkWithoutAChoiceClosesThePortAndKeepsTheStoredName) {
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath()});
    StartPanel();
    Received(6);
    ASSERT_NO_FATAL_FAILURE(SelectPort(RowOf(pty.SlavePath())));
    EXPECT_EQ(window->Title(), "ZQ8-" + pty.SlavePath());
    ASSERT_NO_FATAL_FAILURE(SelectPort(0));
    EXPECT_EQ(selectport::selectport_()->SelectedIndex, 0);
    EXPECT_EQ(window->Title(), "ZQ8");
    EXPECT_EQ(SettingsLines()[1], pty.SlavePath());
    window->remenable_Action();
    EXPECT_TRUE(NothingMoreArrives()) << "the port should be closed";
}

TEST_F(SelectPortTest, OkWithoutAChoiceAndNoPortOpenLeavesTheTitle) {
    ListPorts();
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(SelectPort(0));
    EXPECT_EQ(window->Title(), "Sony SIRC");
}

TEST_F(SelectPortTest, WithNoPortsAtAllNoneIsTheOnlyRow) {
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(SelectPort(0, [](selectport& dialog) {
        EXPECT_EQ(Rows(dialog.SerialPopup()), std::vector<std::string>{"none"});
    }));
    EXPECT_EQ(window->Title(), "Sony SIRC");
}

// The system's ports by name, whatever order the system keeps them in, then the listed ones in
// the order given; the row chosen opens the port it shows.
TEST_F(SelectPortTest, TheSystemsPortsComeFirstInOrderOfTheirNames) {
    FakeSystemPorts system;
    PseudoTerminal adapter;
    for (const char* name : {"ttyUSB1", "ttyACM0", "ttyUSB0", "ttyACM10", "ttyACM2"}) {
        system.AddPort(name, adapter.SlavePath());
    }
    system.AddVirtualTty("tty0");
    ListPorts({second.SlavePath()});
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(SelectPort(3, [&](selectport& dialog) {
        EXPECT_EQ(Rows(dialog.SerialPopup()),
                  (std::vector<std::string>{"none", "ttyACM0", "ttyACM10", "ttyACM2", "ttyUSB0",
                                            "ttyUSB1", pty.SlavePath(), second.SlavePath()}));
    }));
    EXPECT_EQ(window->Title(), "ZQ8-ttyACM2");
    EXPECT_EQ(SettingsLines()[3], "ttyACM2");
    window->remenable_Action();
    EXPECT_EQ(HexBytes(adapter.ReadExactly(6, std::chrono::milliseconds(2000))),
              "03 B1 01 05 00 BA");
}

// Adapters plugged in and out while the dialog shows appear and go at Refresh, the system's and
// the listed ones alike.
TEST_F(SelectPortTest, RefreshPicksUpTheseNewPortsAndSelectsNone) {
    FakeSystemPorts system;
    PseudoTerminal adapter;
    ListPorts();
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(SelectPort(1, [&](selectport& dialog) {
        const auto refresh = [&] {
            dialog.SerialPopup().SetListIndex(1);
            QTest::mouseClick(dialog.refresh().Widget(), Qt::LeftButton);
            EXPECT_EQ(dialog.SerialPopup().ListIndex(), 0);
            return Rows(dialog.SerialPopup());
        };
        using Names = std::vector<std::string>;
        EXPECT_EQ(Rows(dialog.SerialPopup()), (Names{"none", pty.SlavePath()}));
        system.AddPort("ttyUSB0", adapter.SlavePath());
        ListPorts({second.SlavePath()});
        EXPECT_EQ(refresh(), (Names{"none", "ttyUSB0", pty.SlavePath(), second.SlavePath()}));
        system.Remove("ttyUSB0");
        EXPECT_EQ(refresh(), (Names{"none", pty.SlavePath(), second.SlavePath()}));
        system.AddPort("ttyUSB0", adapter.SlavePath());
        EXPECT_EQ(refresh(), (Names{"none", "ttyUSB0", pty.SlavePath(), second.SlavePath()}));
    }));
    EXPECT_EQ(window->Title(), "ZQ8-ttyUSB0");
}

// A row of the dialog means the port it showed, whatever was plugged in or out before OK: an
// adapter plugged in while the dialog shows must not shift the rows onto other ports.
struct RowCase {
    std::string label;
    std::vector<std::string> shown;      // the system's ports when the dialog fills its list
    std::vector<std::string> plugged;    // plugged in while it shows
    std::vector<std::string> unplugged;  // unplugged while it shows
    bool refresh;                        // "Refresh" pressed after the change
    int row;
    std::string opened;  // the port that opens and gets the frames; "" for none
};

void PrintTo(const RowCase& c, std::ostream* out) {
    *out << c.label;
}

// The box (the fixture's pseudo-terminal) is listed after the system's ports.
const RowCase kRows[] = {
    {"APortPluggedInBeforeTheChosenOne", {"ttyUSB1"}, {"ttyUSB0"}, {}, false, 1, "ttyUSB1"},
    {"APortPluggedInBeforeTheListedBox", {"ttyUSB1"}, {"ttyUSB0"}, {}, false, 2, "box"},
    {"APortBeforeTheChosenOneUnplugged",
     {"ttyUSB0", "ttyUSB1"},
     {},
     {"ttyUSB0"},
     false,
     2,
     "ttyUSB1"},
    {"TheChosenPortUnplugged", {"ttyUSB0", "ttyUSB1"}, {}, {"ttyUSB1"}, false, 2, ""},
    {"TheChosenPortUnpluggedAndAnotherPluggedIn",
     {"ttyUSB1"},
     {"ttyUSB0"},
     {"ttyUSB1"},
     false,
     1,
     ""},
    {"NoneWhilePortsComeAndGo", {"ttyUSB1"}, {"ttyUSB0"}, {"ttyUSB1"}, false, 0, ""},
    // Refreshed, the rows are the ports now.
    {"RefreshedAfterAPortWasPluggedIn", {"ttyUSB1"}, {"ttyUSB0"}, {}, true, 1, "ttyUSB0"},
};

class SelectPortRowTest : public SelectPortTest, public testing::WithParamInterface<RowCase> {};

TEST_P(SelectPortRowTest, OkOpensThePortOnTheChosenRowOrNone) {
    const RowCase& c = GetParam();
    FakeSystemPorts system;
    std::map<std::string, PseudoTerminal> adapters;
    adapters["ttyUSB0"];
    adapters["ttyUSB1"];
    for (const std::string& name : c.shown) {
        system.AddPort(name, adapters.at(name).SlavePath());
    }
    ListPorts();
    StartPanel();
    testing::internal::CaptureStderr();
    SelectPort(c.row, [&](selectport& dialog) {
        for (const std::string& name : c.unplugged) {
            system.Remove(name);
        }
        for (const std::string& name : c.plugged) {
            system.AddPort(name, adapters.at(name).SlavePath());
        }
        if (c.refresh) {
            QTest::mouseClick(dialog.refresh().Widget(), Qt::LeftButton);
        }
    });
    const std::string err = PanelsOwnLines(testing::internal::GetCapturedStderr());
    EXPECT_EQ(selectport::selectport_()->SelectedIndex, c.row);

    const std::string opened = c.opened == "box" ? pty.SlavePath() : c.opened;
    if (opened.empty()) {
        EXPECT_EQ(window->Title(), c.row == 0 ? "Sony SIRC" : "ZQ8");
        if (c.row != 0) {
            const std::string chosen = c.shown[std::size_t(c.row - 1)];
            EXPECT_EQ(err, "zq8: the port " + chosen + " is not there\n");
        }
    } else {
        EXPECT_EQ(window->Title(), "ZQ8-" + opened);
        EXPECT_EQ(SettingsLines()[3], opened);
        EXPECT_EQ(err, "");
    }
    window->remenable_Action();
    if (c.opened == "box") {
        EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 00 BA");
    } else {
        EXPECT_TRUE(NothingMoreArrives()) << "the box got frames";
    }
    for (auto& [name, adapter] : adapters) {
        SCOPED_TRACE(name);
        EXPECT_EQ(HexBytes(adapter.ReadExactly(
                      6, std::chrono::milliseconds(name == opened ? 2000 : 100))),
                  name == opened ? "03 B1 01 05 00 BA" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SelectPortRowTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<RowCase>& instance) {
                             return instance.param.label;
                         });

// A long ZQ8_SERIAL_PORTS is read once per showing and once per Refresh, not once per port.
TEST_F(SelectPortTest, ShowingAndRefreshListThePortsOnceEach) {
    std::vector<std::string> paths;
    for (int i = 0; i < 5000; ++i) {
        paths.push_back("/tmp/zq8-port-" + std::to_string(i));
    }
    ListPorts(paths);
    StartPanel();
    const fw::ListingCounts atStart = fw::SerialPortListingCounts();
    fw::ListingCounts shown;
    fw::ListingCounts refreshed;
    ASSERT_NO_FATAL_FAILURE(SelectPort(0, [&](selectport& dialog) {
        shown = fw::SerialPortListingCounts();
        EXPECT_EQ(dialog.SerialPopup().ListCount(), 5002);
        EXPECT_EQ(dialog.SerialPopup().List(5001), paths.back());
        ProcessEvents();
        QTest::mouseClick(dialog.refresh().Widget(), Qt::LeftButton);
        refreshed = fw::SerialPortListingCounts();
        EXPECT_EQ(dialog.SerialPopup().ListCount(), 5002);
    }));
    EXPECT_EQ(shown.systemListings, atStart.systemListings + 1);
    EXPECT_EQ(shown.listedReads, atStart.listedReads + 1);
    EXPECT_EQ(refreshed.systemListings, shown.systemListings + 1);
    EXPECT_EQ(refreshed.listedReads, shown.listedReads + 1);
}

TEST_F(SelectPortTest, QuittingWithoutTheDialogStoresItsPositionAndAMovedDialogComesBack) {
    QTimer::singleShot(0, [] { fw::Dispatch([] { zq8::zq8_()->GetPrivate().widget->close(); }); });
    EXPECT_EQ(entry::main(), 0);
    auto lines = SettingsLines();
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines[2], "Select Port_left");
    EXPECT_EQ(lines[4], "Select Port_top");

    QTimer::singleShot(0, [] {
        fw::Dispatch([] {
            auto dialog = selectport::selectport_();
            dialog->SetLeft(123);
            dialog->SetTop(77);
            zq8::zq8_()->GetPrivate().widget->close();
        });
    });
    EXPECT_EQ(entry::main(), 0);
    lines = SettingsLines();
    EXPECT_EQ(lines[3], "123");
    EXPECT_EQ(lines[5], "77");

    int left = 0;
    int top = 0;
    QTimer::singleShot(0, [&] {
        fw::Dispatch([&] {
            left = selectport::selectport_()->Left();
            top = selectport::selectport_()->Top();
            zq8::zq8_()->GetPrivate().widget->close();
        });
    });
    EXPECT_EQ(entry::main(), 0);
    EXPECT_EQ(left, 123);
    EXPECT_EQ(top, 77);
}

TEST_F(SelectPortTest, ShowsWhereItsPositionWasStored) {
    WriteSettings({"Select Port_left", "123", "Select Port_top", "77"});
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(SelectPort(0, [](selectport& dialog) {
        const QWidget& shown = *dialog.GetPrivate().widget;
        ASSERT_TRUE(shown.isVisible());
        EXPECT_EQ(shown.frameGeometry().topLeft(), QPoint(123, 77));
        EXPECT_EQ(dialog.Left(), 123);
        EXPECT_EQ(dialog.Top(), 77);
    }));
}

// A showing of the dialog that ends without its OK stops "Select Port" there: the choice of an
// earlier showing, still in SelectedIndex, must not open the port.
TEST_F(SelectPortTest, AnExceptionWhileTheDialogIsShownIsReportedAndOpensNoPort) {
    ListPorts();
    StartPanel();
    selectport::selectport_()->SelectedIndex = RowOf(pty.SlavePath());
    fw::RuntimeInit();  // the failed run's status is taken back below
    QTimer::singleShot(0,
                       [] { fw::Dispatch([] { throw fw::NilObjectException("SerialPopup"); }); });
    testing::internal::CaptureStderr();
    ASSERT_NO_FATAL_FAILURE(Choose(window->ViewSelectPort()));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("zq8: unhandled NilObjectException: SerialPopup\n"), std::string::npos)
        << err;
    EXPECT_EQ(err.find("unhandled"), err.rfind("unhandled")) << "reported once: " << err;
    EXPECT_EQ(window->Title(), "Sony SIRC");
    EXPECT_EQ(fw::RuntimeExit(), 1);
}

// The main window's Close runs from inside the dialog's modal loop, and stores where the dialog
// was moved to.
TEST_F(SelectPortTest, ASignalWhileTheDialogIsShownQuitsAsTheQuitItemDoes) {
    std::signal(SIGTERM, SIG_DFL);
    std::shared_ptr<zq8> ran;
    QTimer::singleShot(0, [&] {
        fw::Dispatch([&] {
            ran = zq8::zq8_();
            auto dialog = selectport::selectport_();
            QTimer::singleShot(0, [dialog] {
                dialog->SetLeft(123);
                dialog->SetTop(77);
                std::raise(SIGTERM);
            });
            ran->ViewSelectPort_Action();
        });
    });
    EXPECT_EQ(entry::main(), 0);
    ASSERT_NE(ran, nullptr);
    EXPECT_TRUE(ran->IsClosed());
    const auto lines = SettingsLines();
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines[2], "Select Port_left");
    EXPECT_EQ(lines[3], "123");
    EXPECT_EQ(lines[5], "77");
}

TEST_F(SelectPortTest, APositionOffTheScreenShowsItOnTheScreenAndStaysStoredUntilTheClose) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::string left = std::to_string(screen.right() - 10);
    WriteSettings({"Select Port_left", left, "Select Port_top", "-30000"});
    StartPanel();
    QRect shown;
    ASSERT_NO_FATAL_FAILURE(SelectPort(0, [&](selectport& dialog) {
        shown = dialog.GetPrivate().widget->frameGeometry();
        EXPECT_EQ(shown.right(), screen.right());
        EXPECT_EQ(shown.top(), screen.top());
        EXPECT_EQ(SettingsLines()[1], left);
        EXPECT_EQ(SettingsLines()[3], "-30000");
    }));
    window->Close();  // the run's end stores where the dialog really stood
    const auto lines = SettingsLines();
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines[1], std::to_string(shown.left()));
    EXPECT_EQ(lines[3], std::to_string(shown.top()));
}

TEST_F(SelectPortTest, ThePickSurvivesALookAtAnotherWindowAndBack) {
    ListPorts({second.SlavePath()});
    StartPanel();
    const int row = RowOf(second.SlavePath());
    bool answered = false;
    QTimer::singleShot(0, [&] {
        selectport& dialog = *selectport::selectport_();
        dialog.SerialPopup().SetListIndex(row);
        // The focus goes to another window in front and comes back once it is gone. (EXPECT,
        // not ASSERT: the modal showing must still end at OK.)
        QWidget* shown = dialog.GetPrivate().widget.get();
        QWidget other;
        other.setWindowModality(Qt::ApplicationModal);
        other.show();
        other.activateWindow();
        ProcessEvents();
        EXPECT_EQ(QApplication::activeWindow(), &other);
        other.hide();
        shown->activateWindow();
        ProcessEvents();
        EXPECT_EQ(QApplication::activeWindow(), shown);
        QTest::mouseClick(dialog.BevelButton1().Widget(), Qt::LeftButton);
        answered = true;
    });
    ASSERT_NO_FATAL_FAILURE(Choose(window->ViewSelectPort()));
    ASSERT_TRUE(answered);
    EXPECT_EQ(selectport::selectport_()->SelectedIndex, row);
    EXPECT_EQ(window->Title(), "ZQ8-" + second.SlavePath());
}

}  // namespace
}  // namespace zq8test

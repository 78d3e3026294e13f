// The whole panel under faults and load: the box's pseudo-terminal hung up and made anew while
// frames are going out, and a hundred thousand frames into a shown command log.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <string>

#include "controls/cbbevil.h"
#include "framework/bevel_button.h"
#include "framework/listbox.h"
#include "framework/popup_menu.h"
#include "link/selectport.h"
#include "panel/zq8.h"
#include "tests/support/panel_fixture.h"

namespace zq8test {
namespace {

// "Power On/Off" sends 0x15 under Sony SIRC, the protocol of a first start.
constexpr int kPowerKey = 17;
const std::string kPowerFrame = Bytes("02 BA 15 00 D1");
// Five times what a pseudo-terminal holds (4 KiB): most of it waits in the serial control.
constexpr int kFramesBeyondTheBuffer = 4000;

class FaultRunTest : public PanelTest {
protected:
    // The panel started on the stored port, with the protocol's frame taken off the line.
    void StartOnThePort() {
        ListPorts();
        WriteSettings({"controlport", pty.SlavePath()});
        StartPanel();
        ASSERT_EQ(window->Title(), "Sony SIRC");
        ASSERT_EQ(HexBytes(Received(6)), "03 B1 01 06 00 BB");
    }

    void ClickPower() {
        QWidget* key = window->ZQ8k(kPowerKey).Widget();
        QTest::mouseClick(key, Qt::LeftButton, {}, key->rect().center());
    }

    // Chooses the box's port again through the dialog, as the user would.
    void ChooseTheBoxAgain() {
        ListPorts();
        const int row = RowOf(pty.SlavePath());
        ASSERT_GT(row, 0);
        bool answered = false;
        QTimer::singleShot(0, [&] {
            selectport& dialog = *selectport::selectport_();
            dialog.SerialPopup().SetListIndex(row);
            QTest::mouseClick(dialog.BevelButton1().Widget(), Qt::LeftButton);
            answered = true;
        });
        ASSERT_NO_FATAL_FAILURE(Choose(window->ViewSelectPort()));
        ASSERT_TRUE(answered);
        ASSERT_EQ(window->Title(), "ZQ8-" + pty.SlavePath());
    }

    // The frames flow again: one click, its frame alone.
    void ExpectFramesFlowAgain() {
        ClickPower();
        EXPECT_EQ(HexBytes(Received(kPowerFrame.size())), HexBytes(kPowerFrame));
        EXPECT_TRUE(NothingMoreArrives());
    }
};

TEST_F(FaultRunTest, AHangUpBetweenClicksShowsThePortLostUntilItIsChosenAgain) {
    ASSERT_NO_FATAL_FAILURE(StartOnThePort());
    ClickPower();
    ASSERT_EQ(HexBytes(Received(5)), HexBytes(kPowerFrame));
    const std::string lost = "zq8: lost " + pty.SlavePath() + ": hung up\n";
    testing::internal::CaptureStderr();
    // Seen while nothing is written: the user learns before the next click.
    pty.CloseMaster();
    ProcessEvents();
    EXPECT_EQ(window->Title(), "ZQ8");
    for (int i = 0; i < 20; ++i) {
        ClickPower();
        ProcessEvents();
    }
    EXPECT_EQ(window->Title(), "ZQ8");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), lost);
    pty.Reopen();
    ASSERT_NO_FATAL_FAILURE(ChooseTheBoxAgain());
    ExpectFramesFlowAgain();
}

TEST_F(FaultRunTest, AHangUpWithFramesStillWaitingShowsThePortLostAndTheNextPortStartsClean) {
    ASSERT_NO_FATAL_FAILURE(StartOnThePort());
    // More than the pseudo-terminal takes, so the serial control holds the rest and waits for
    // room when the line goes away.
    for (int i = 0; i < kFramesBeyondTheBuffer; ++i) {
        window->cmdout(0x0C);
    }
    const std::string head = Received(5);
    ASSERT_EQ(HexBytes(head), HexBytes(CommandFrame(0x0C)));
    const std::string lost = "zq8: lost " + pty.SlavePath() + ": hung up\n";
    testing::internal::CaptureStderr();
    pty.CloseMaster();
    ProcessEvents();
    EXPECT_EQ(window->Title(), "ZQ8");
    ClickPower();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), lost);
    pty.Reopen();
    ASSERT_NO_FATAL_FAILURE(ChooseTheBoxAgain());
    // Nothing of what waited for the old line reaches the new one.
    ExpectFramesFlowAgain();
}

TEST_F(FaultRunTest, AHundredThousandFramesWithTheLogShownLeaveEveryRowInOrder) {
    constexpr int kFrames = 100000;
    ASSERT_NO_FATAL_FAILURE(StartOnThePort());
    ASSERT_NO_FATAL_FAILURE(Choose(window->Optionsviewcmds()));
    fw::Listbox& log = window->Listbox1();
    ASSERT_EQ(log.ListCount(), 0);

    std::string expectedBytes;
    std::string received;
    for (int i = 0; i < kFrames; ++i) {
        window->cmdout(static_cast<std::int8_t>(i));
        expectedBytes += CommandFrame(i);
        // The box keeps reading, and the window keeps laying out and painting its list.
        if (i % 1000 == 999) {
            received += pty.ReadExactly(expectedBytes.size() - received.size(),
                                        std::chrono::milliseconds(5000));
            QApplication::processEvents();
        }
    }
    received += Received(expectedBytes.size() - received.size());
    EXPECT_EQ(received.size(), expectedBytes.size());
    EXPECT_TRUE(received == expectedBytes) << "the bytes on the line differ from the frames sent";

    ASSERT_EQ(log.ListCount(), kFrames);
    int wrong = 0;
    for (int row = 0; row < kFrames; ++row) {
        const std::string want = HexRow(CommandFrame(kFrames - 1 - row));
        if (log.Cell(row) != want && ++wrong <= 5) {
            ADD_FAILURE() << "row " << row << ": '" << log.Cell(row) << "', expected '" << want
                          << "'";
        }
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace zq8test

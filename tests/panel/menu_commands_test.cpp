// The Options menu's commands: the remote's check marks and frames, showing and hiding the log,
// each command's result, and the Edit items that do nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QWidget>

#include "controls/cbbevil.h"
#include "framework/listbox.h"
#include "framework/menu.h"
#include "framework/window_private.h"
#include "tests/support/panel_fixture.h"

namespace zq8test {
namespace {

class MenuCommandsTest : public PanelTest {
protected:
    void SetUp() override {
        ListPorts();
        WriteSettings({"controlport", pty.SlavePath()});
        StartPanel();
        Received(6);
    }
    std::pair<bool, bool> Marks() {
        return {window->remenable()->Checked(), window->remdisable()->Checked()};
    }
};

TEST_F(MenuCommandsTest, TheRemoteItemsPassThroughTheirThreeStatesWithTheirFrames) {
    EXPECT_EQ(Marks(), std::make_pair(false, false));
    ASSERT_NO_FATAL_FAILURE(Choose(window->remdisable()));
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 01 BB");
    EXPECT_EQ(Marks(), std::make_pair(false, true));
    ASSERT_NO_FATAL_FAILURE(Choose(window->remenable()));
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 00 BA");
    EXPECT_EQ(Marks(), std::make_pair(true, false));
    ASSERT_NO_FATAL_FAILURE(Choose(window->remenable()));
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 00 BA");
    EXPECT_EQ(Marks(), std::make_pair(true, false));
    EXPECT_TRUE(window->GetPrivate().actions.at(window->remenable())->isChecked());
    EXPECT_FALSE(window->GetPrivate().actions.at(window->remdisable())->isChecked());
}

TEST_F(MenuCommandsTest, ViewcmdsShowsTheLogAndEmptiesItWhenHiding) {
    EXPECT_EQ(window->Height(), 474);
    ASSERT_NO_FATAL_FAILURE(Choose(window->Optionsviewcmds()));
    EXPECT_EQ(window->Height(), 584);
    ASSERT_NO_FATAL_FAILURE(Choose(window->remenable()));
    EXPECT_EQ(window->Listbox1().ListCount(), 1);
    EXPECT_EQ(window->Listbox1().Cell(0), "03 B1 01 05 00 BA ");
    ASSERT_NO_FATAL_FAILURE(Choose(window->Optionsviewcmds()));
    EXPECT_EQ(window->Height(), 474);
    EXPECT_EQ(window->Listbox1().ListCount(), 0);
    ASSERT_NO_FATAL_FAILURE(Choose(window->Optionsviewcmds()));
    EXPECT_EQ(window->Listbox1().ListCount(), 0);
}

TEST_F(MenuCommandsTest, ViewcmdsSwitchesOnEitherSideOfFiveHundred) {
    const std::pair<int, int> cases[] = {{499, 584}, {500, 474}, {584, 474}, {-3, 584}};
    for (const auto& [before, after] : cases) {
        window->SetHeight(before);
        window->Listbox1().InsertRow(0, "row");
        EXPECT_TRUE(window->Optionsviewcmds_Action());
        EXPECT_EQ(window->Height(), after) << "from " << before;
        EXPECT_EQ(window->Listbox1().ListCount() == 0, after == 474) << "from " << before;
    }
}

// Each command as the framework runs it for its item, in this order: what reaches the box, the
// title and the height after it, and the result that tells the framework the command was handled.
TEST_F(MenuCommandsTest, EachCommandDoesItsWorkAndReportsItHandled) {
    struct Command {
        const char* item;
        const char* frame;  // "": none
        const char* title;
        int height;
    };
    const Command commands[] = {
        {"remenable", "03 B1 01 05 00 BA", "Sony SIRC", 474},
        {"remdisable", "03 B1 01 05 01 BB", "Sony SIRC", 474},
        {"ProtocolPhillipsRC6", "03 B1 01 06 01 BC", "Phillips RC6", 474},
        {"ProtocolSonySirc", "03 B1 01 06 00 BB", "Sony SIRC", 474},
        {"Optionsviewcmds", "", "Sony SIRC", 584},
        {"Optionsviewcmds", "", "Sony SIRC", 474},
    };
    for (const Command& c : commands) {
        SCOPED_TRACE(c.item);
        EXPECT_TRUE(window->RunMenuHandler(c.item));
        if (*c.frame != '\0') {
            EXPECT_EQ(HexBytes(Received(6)), c.frame);
        }
        EXPECT_TRUE(NothingMoreArrives());
        EXPECT_EQ(window->Title(), c.title);
        EXPECT_EQ(window->Height(), c.height);
    }
}

TEST_F(MenuCommandsTest, TheEditItemsAreGreyedAndTheirShortcutsDoNothing) {
    ASSERT_NO_FATAL_FAILURE(
        Choose(window->Optionsviewcmds()));  // any frame or "Key " row would show in the log
    for (fw::MenuItem* item : {window->EditUndo(), window->EditCut(), window->EditCopy(),
                               window->EditPaste(), window->EditClear(), window->EditSelectAll()}) {
        EXPECT_FALSE(window->GetPrivate().actions.at(item)->isEnabled()) << item->Name();
        EXPECT_FALSE(window->RunMenuHandler(item->Name())) << item->Name();
    }
    QWidget* typedInto = window->GetPrivate().widget.get();
    for (Qt::Key key : {Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_A}) {
        QTest::keyClick(typedInto, key, Qt::ControlModifier);
    }
    EXPECT_TRUE(NothingMoreArrives());
    EXPECT_EQ(window->Listbox1().ListCount(), 0);
    EXPECT_EQ(window->Title(), "Sony SIRC");
    EXPECT_EQ(Marks(), std::make_pair(false, false));
    // The same keys reach the menu bar's shortcuts: the one enabled among them ends the run.
    QTest::keyClick(typedInto, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window->IsClosed());
}

}  // namespace
}  // namespace zq8test

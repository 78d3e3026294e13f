// The Options menu's commands: the remote's check marks and frames, showing and hiding the log,
// and the Edit items that do nothing.
#include <gtest/gtest.h>

#include <QAction>

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
    Choose(window->remdisable());
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 01 BB");
    EXPECT_EQ(Marks(), std::make_pair(false, true));
    Choose(window->remenable());
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 00 BA");
    EXPECT_EQ(Marks(), std::make_pair(true, false));
    Choose(window->remenable());
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 05 00 BA");
    EXPECT_EQ(Marks(), std::make_pair(true, false));
    EXPECT_TRUE(window->GetPrivate().actions.at(window->remenable())->isChecked());
    EXPECT_FALSE(window->GetPrivate().actions.at(window->remdisable())->isChecked());
}

TEST_F(MenuCommandsTest, ViewcmdsShowsTheLogAndEmptiesItWhenHiding) {
    EXPECT_EQ(window->Height(), 474);
    Choose(window->Optionsviewcmds());
    EXPECT_EQ(window->Height(), 584);
    Choose(window->remenable());
    EXPECT_EQ(window->Listbox1().ListCount(), 1);
    EXPECT_EQ(window->Listbox1().Cell(0), "03 B1 01 05 00 BA ");
    Choose(window->Optionsviewcmds());
    EXPECT_EQ(window->Height(), 474);
    EXPECT_EQ(window->Listbox1().ListCount(), 0);
    Choose(window->Optionsviewcmds());
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

TEST_F(MenuCommandsTest, EveryCommandReturnsTrue) {
    EXPECT_TRUE(window->remenable_Action());
    EXPECT_TRUE(window->remdisable_Action());
    EXPECT_TRUE(window->Optionsviewcmds_Action());
    EXPECT_TRUE(window->ProtocolPhillipsRC6_Action());
    EXPECT_TRUE(window->ProtocolSonySirc_Action());
    for (const char* name : {"ViewSelectPort", "remenable", "remdisable", "Optionsviewcmds",
                             "ProtocolSonySirc", "ProtocolPhillipsRC6"}) {
        EXPECT_TRUE(window->HasMenuHandler(name)) << name;
    }
}

TEST_F(MenuCommandsTest, TheEditItemsAreGreyedAndDoNothing) {
    for (fw::MenuItem* item : {window->EditUndo(), window->EditCut(), window->EditCopy(),
                               window->EditPaste(), window->EditClear(), window->EditSelectAll()}) {
        QAction* action = window->GetPrivate().actions.at(item);
        EXPECT_FALSE(action->isEnabled()) << item->Name();
        action->trigger();
        EXPECT_FALSE(window->RunMenuHandler(item->Name())) << item->Name();
    }
    EXPECT_TRUE(NothingMoreArrives());
    EXPECT_EQ(window->Title(), "Sony SIRC");
}

}  // namespace
}  // namespace zq8test

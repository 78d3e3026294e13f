// The menu bar: its tree of items, how the main window shows it, and its single instance.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>

#include <string>
#include <vector>

#include "framework/menu.h"
#include "framework/window_private.h"
#include "panel/menubar1.h"
#include "panel/zq8.h"

namespace {

struct Row {
    std::string parent;
    std::string name;
    std::string text;
    std::string shortcut;
};

// Walks the tree depth first, recording each item under its parent's name.
void Walk(const fw::MenuItem& item, std::vector<Row>& rows) {
    for (std::size_t i = 0; i < item.Count(); ++i) {
        const fw::MenuItem& child = *item.Item(i);
        rows.push_back({item.Name(), child.Name(), child.Text(), child.KeyboardShortcut()});
        Walk(child, rows);
    }
}

class MenuBarTest : public testing::Test {
protected:
    void TearDown() override {
        fw::ReleaseAllWindows();
        MenuBar1::ReleaseImplicitInstance();
    }
};

TEST_F(MenuBarTest, TheTreeHoldsItsNineteenItemsInOrder) {
    std::vector<Row> rows;
    Walk(*MenuBar1::MenuBar1_(), rows);
    const std::vector<Row> expected = {
        {"", "FileMenu", "&File", ""},
        {"FileMenu", "FileQuit", "&Quit", "Cmd+Q"},
        {"", "EditMenu", "&Edit", ""},
        {"EditMenu", "EditUndo", "&Undo", "Cmd+Z"},
        {"EditMenu", "UntitledMenu1", "-", ""},
        {"EditMenu", "EditCut", "Cu&t", "Cmd+X"},
        {"EditMenu", "EditCopy", "&Copy", "Cmd+C"},
        {"EditMenu", "EditPaste", "&Paste", "Cmd+V"},
        {"EditMenu", "EditClear", "&Delete", ""},
        {"EditMenu", "UntitledMenu0", "-", ""},
        {"EditMenu", "EditSelectAll", "Select &All", "Cmd+A"},
        {"", "ViewMenu", "Options", ""},
        {"ViewMenu", "ViewSelectPort", "Select Port", ""},
        {"ViewMenu", "remenable", "Enable remote", ""},
        {"ViewMenu", "remdisable", "Disable remote", ""},
        {"ViewMenu", "OptionsProtocol", "Protocol", ""},
        {"OptionsProtocol", "ProtocolSonySirc", "Sony Sirc", ""},
        {"OptionsProtocol", "ProtocolPhillipsRC6", "Phillips RC6", ""},
        {"ViewMenu", "Optionsviewcmds", "viewcmds", ""},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(rows[i].parent, expected[i].parent);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].text, expected[i].text);
        EXPECT_EQ(rows[i].shortcut, expected[i].shortcut);
    }
}

TEST_F(MenuBarTest, OneInstanceWhoseItemsAreFoundAnywhereAndCarryNoCheckMark) {
    auto bar = MenuBar1::MenuBar1_();
    EXPECT_EQ(MenuBar1::MenuBar1_(), bar);
    fw::MenuItem* rc6 = bar->Lookup("ProtocolPhillipsRC6");
    ASSERT_NE(rc6, nullptr);
    EXPECT_EQ(rc6, bar->Child("ViewMenu")->Child("OptionsProtocol")->Child("ProtocolPhillipsRC6"));
    EXPECT_EQ(bar->Lookup("NoSuchItem"), nullptr);
    EXPECT_TRUE(bar->Lookup("FileQuit")->IsQuitItem());
    EXPECT_TRUE(fw::QuitMenuItem::Class().IsA(fw::MenuItem::Class()));
    EXPECT_TRUE(dynamic_cast<fw::QuitMenuItem*>(bar->Lookup("FileQuit")) != nullptr);
    std::vector<Row> rows;
    Walk(*bar, rows);
    for (const Row& row : rows) {
        EXPECT_FALSE(bar->Lookup(row.name)->Checked()) << row.name;
        EXPECT_TRUE(bar->Lookup(row.name)->AutoEnable()) << row.name;
    }
    MenuBar1::ReleaseImplicitInstance();
    EXPECT_FALSE(MenuBar1::HasImplicitInstance());
}

TEST_F(MenuBarTest, TheMainWindowShowsTheMenusWithTheQuitItemEnabledAndTheEditItemsGreyed) {
    auto window = zq8::zq8_();
    EXPECT_EQ(window->MenuBar(), MenuBar1::MenuBar1_());
    QMenuBar* shown = window->GetPrivate().widget->menuBar();
    ASSERT_NE(shown, nullptr);
    QStringList titles;
    for (QAction* action : shown->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "Options"}));
    auto& actions = window->GetPrivate().actions;
    QAction* quit = actions.at(window->FileQuit());
    EXPECT_TRUE(quit->isEnabled());
    EXPECT_EQ(quit->shortcut(), QKeySequence("Ctrl+Q"));
    for (fw::MenuItem* item : {window->EditUndo(), window->EditCut(), window->EditCopy(),
                               window->EditPaste(), window->EditClear(), window->EditSelectAll()}) {
        EXPECT_FALSE(actions.at(item)->isEnabled()) << item->Name();
        EXPECT_FALSE(actions.at(item)->isChecked()) << item->Name();
    }
    EXPECT_FALSE(actions.at(window->EditMenu())->isEnabled());
    EXPECT_TRUE(actions.at(window->FileMenu())->isEnabled());
}

TEST_F(MenuBarTest, ACheckMarkShowsOnTheItemsAction) {
    auto window = zq8::zq8_();
    QAction* action = window->GetPrivate().actions.at(window->remenable());
    window->remenable()->SetChecked(true);
    EXPECT_TRUE(action->isChecked());
    window->remenable()->SetChecked(false);
    EXPECT_FALSE(action->isChecked());
}

}  // namespace

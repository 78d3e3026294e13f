// A window's menu bar: built once from the values its Layout sets, built again when they change
// later, and its extension button's icon read only when it is first drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyle>
#include <QToolButton>

#include <fstream>
#include <memory>
#include <string>

#include "framework/menu.h"
#include "framework/window.h"
#include "framework/window_private.h"

namespace {

std::shared_ptr<fw::MenuBar> TwoMenus() {
    auto bar = std::make_shared<fw::MenuBar>();
    for (const char* title : {"&File", "Options"}) {
        auto menu = std::make_shared<fw::MenuItem>();
        menu->SetName(title);
        menu->SetText(title);
        auto item = std::make_shared<fw::MenuItem>();
        item->SetName(std::string(title) + "Item");
        item->SetText("Item");
        menu->Append(item);
        bar->Append(menu);
    }
    return bar;
}

// Sets its menu bar and then every value that once rebuilt it or laid the window out again, as
// the panel's main window does.
class MenuWindow : public fw::Window {
public:
    static const fw::ClassInfo& Class() {
        static const fw::ClassInfo info{"MenuWindow.MenuWindow", &fw::Window::Class(), {}};
        return info;
    }
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    void Layout() override {
        SetMenuBar(TwoMenus());
        SetWidth(260);
        SetHeight(474);
        SetTitle("Menus");
        SetMenuBarVisible(true);
        SetCloseButton(true);
        SetResizeable(false);
        SetMaximizeButton(false);
        SetMinimizeButton(true);
    }
};

// Menu bars that exist, including one replaced but not yet deleted (that waits for the loop).
int MenuBarsAlive() {
    int count = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
        count += qobject_cast<QMenuBar*>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

bool ImagePluginMapped() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("/imageformats/") != std::string::npos) {
            return true;
        }
    }
    return false;
}

class WindowMenuBarTest : public testing::Test {
protected:
    void TearDown() override { fw::ReleaseAllWindows(); }
};

TEST_F(WindowMenuBarTest, LayoutBuildsTheMenuBarOnceAndTheWindowTakesItsFinalSize) {
    const int before = MenuBarsAlive();
    auto window = fw::ImplicitInstance<MenuWindow>();
    EXPECT_EQ(MenuBarsAlive() - before, 1);
    fw::Window::Private& d = window->GetPrivate();
    QMenuBar* bar = d.widget->menuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(d.content->size(), QSize(260, 474));
    EXPECT_EQ(d.widget->size(), QSize(260, 474 + bar->sizeHint().height()));
    EXPECT_EQ(d.widget->minimumSize(), d.widget->maximumSize());
    EXPECT_FALSE(d.widget->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(d.widget->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(d.widget->windowTitle(), "Menus");
}

TEST_F(WindowMenuBarTest, AfterTheLayoutEachChangeTakesEffectAtOnce) {
    auto window = fw::ImplicitInstance<MenuWindow>();
    fw::Window::Private& d = window->GetPrivate();
    window->SetMenuBarVisible(false);
    EXPECT_EQ(d.widget->menuWidget(), nullptr);
    EXPECT_EQ(d.widget->size(), QSize(260, 474));
    window->SetMenuBarVisible(true);
    ASSERT_NE(d.widget->menuWidget(), nullptr);
    EXPECT_EQ(d.widget->menuBar()->actions().size(), 2);
    window->SetHeight(584);
    EXPECT_EQ(d.content->size(), QSize(260, 584));
    window->SetMaximizeButton(true);
    EXPECT_TRUE(d.widget->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(WindowMenuBarTest, TheExtensionButtonsIconIsReadOnlyWhenItIsFirstNeeded) {
    // No other test reads an image, so this process has read none yet, alone or in a whole run.
    ASSERT_FALSE(ImagePluginMapped()) << "an image was read before the window was made";
    auto window = fw::ImplicitInstance<MenuWindow>();
    window->GetPrivate().widget->show();
    QApplication::processEvents();
    EXPECT_FALSE(ImagePluginMapped());

    auto* extension =
        window->GetPrivate().widget->menuBar()->findChild<QToolButton*>("qt_menubar_ext_button");
    ASSERT_NE(extension, nullptr);
    EXPECT_FALSE(extension->icon().isNull());
    // The same as the platform's style gives.
    auto* style = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    const QIcon own = style->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton,
                                                       nullptr, extension->parentWidget());
    const QSize size(16, 16);
    const QImage shown = extension->icon().pixmap(size).toImage();
    EXPECT_FALSE(shown.isNull());
    EXPECT_EQ(shown, own.pixmap(size).toImage());
    EXPECT_EQ(extension->icon().actualSize(size), own.actualSize(size));
    EXPECT_TRUE(ImagePluginMapped());
}

}  // namespace

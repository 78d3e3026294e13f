// Framework-internal: the Qt actions that show one menu item, kept in step with it.
#pragma once

#include <QAction>
#include <QPointer>
#include <vector>

#include "framework/menu.h"

namespace fw {

struct MenuItem::View {
    std::vector<QPointer<QAction>> actions;
};

// "Cmd+Q" as Qt's key sequence text: the command key is Ctrl here.
QString ShortcutText(const String& shortcut);
// Brings a Qt action in step with the item's text, shortcut and check mark.
void ApplyToAction(const MenuItem& item, QAction& action);

}  // namespace fw

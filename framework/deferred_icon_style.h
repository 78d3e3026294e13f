// Framework-internal: the application's style, with the one icon that start-up would otherwise
// read from an image file left until it is painted.
#pragma once

namespace fw {

// Wraps the application's style once QApplication exists, before any widget. Every menu bar makes
// an extension button whose icon the style reads from an image file, and reading one loads every
// image plugin (with libjpeg); the button only shows when the menus do not fit the bar, so its
// icon is read the first time it is drawn or measured instead. Everything else is the style's own.
void UseDeferredExtensionIcon();

}  // namespace fw

// Renders the main window as it opens, its colour keys coloured, to a PNG file:
//   render_main_window OUT.png
// Run offscreen (QT_QPA_PLATFORM=offscreen) by scripts/render-main-window.sh.
#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

#include "controls/cbkey2.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "framework/window_private.h"
#include "panel/menubar1.h"
#include "panel/startup.h"
#include "panel/zq8.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: render_main_window OUT.png\n", stderr);
        return 2;
    }
    fw::RuntimeInit();
    entry::initialize();
    bool saved = false;
    fw::Dispatch([&] {
        auto window = zq8::zq8_();
        // What the window's Open gives them.
        window->colork(103).setcolor("red");
        window->colork(104).setcolor("lime");
        window->colork(105).setcolor("yellow");
        window->colork(102).setcolor("blue");
        QWidget& widget = *window->GetPrivate().widget;
        widget.show();
        QApplication::processEvents();
        saved = widget.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    });
    fw::ReleaseAllWindows();
    MenuBar1::ReleaseImplicitInstance();
    const int status = fw::RuntimeExit();
    if (!saved) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return status;
}

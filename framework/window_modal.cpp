// A window's modal showing: the nested event loop the command that shows it waits in.
#include <QEventLoop>

#include "framework/window_private.h"

namespace fw {

void Window::Private::EndModalShowing() {
    if (modalLoop) {
        modalLoop->quit();
    }
}

void Window::ShowModal() {
    d_->modalShowingEndedByHide = false;
    if (d_->closed) {
        return;
    }
    d_->visible = true;
    d_->widget->setWindowModality(Qt::ApplicationModal);
    // Tied to the window it blocks, so that no window manager puts it behind that window.
    d_->ShowNow(WindowInFront(*d_));
    QEventLoop loop;
    d_->modalLoop = &loop;
    if (d_->widget->isVisible()) {
        // Only the program's own Hide or Close ends the loop, or the run's end: a window
        // manager's minimise, or any other hide the program did not ask for, leaves the showing
        // waiting for the window to come back and the user to choose.
        loop.exec();
    }
    d_->modalLoop = nullptr;
    if (d_->widget->isVisible()) {
        // The run ended while the window showed: a window left showing would stay modal, and
        // Qt changes no modality of a window while it shows.
        d_->widget->hide();
    }
    d_->widget->setWindowModality(Qt::NonModal);
    // Only Hide ends a showing as asked; the loop also ends when the run does (a quit, an
    // unhandled exception) or when the window closes.
    d_->modalShowingEndedByHide = !d_->visible && !d_->closed;
}

bool Window::ModalShowingEndedByHide() const {
    return d_->modalShowingEndedByHide;
}

}  // namespace fw

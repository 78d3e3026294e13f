// A window of the panel's kind done the plainest Qt way: the same 260 by 474 content below a menu
// bar of three menus, and one text button where the panel's "Power On/Off" key is. The floor the
// panel's start-up, memory and click to wire are measured against. Built for that purpose only.
//
//   menu_window [DEVICE]
//     With DEVICE (a pseudo-terminal), opens it as the panel opens its port before the window
//     shows, and each click of the button writes the panel's five bytes for that key to it.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>

#include <initializer_list>

namespace {

// The frame "Power On/Off" sends under Sony SIRC.
constexpr char kFrame[] = {0x02, char(0xBA), 0x15, 0x00, char(0xD1)};

// Writes before it repaints itself as released, as the panel's keys do: the least a click costs.
class WritingButton : public QPushButton {
public:
    WritingButton(const QString& text, QWidget* parent, int fd)
        : QPushButton(text, parent), fd_(fd) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (fd_ >= 0 && event->button() == Qt::LeftButton && isDown() &&
            hitButton(event->position().toPoint())) {
            (void)::write(fd_, kFrame, sizeof kFrame);
        }
        QPushButton::mouseReleaseEvent(event);
    }

private:
    int fd_;
};

int OpenDevice(const char* path) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios raw{};
    if (fd >= 0 && ::tcgetattr(fd, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(fd, TCSANOW, &raw);
    }
    return fd;
}

struct Entry {
    const char* text;  // "-" for a separator
    const char* shortcut = "";
};

QMenu* AddMenu(QWidget& bar, const char* title, std::initializer_list<Entry> entries) {
    auto* menu = new QMenu(title, &bar);  // owned by the bar
    for (const Entry& entry : entries) {
        if (QString(entry.text) == "-") {
            menu->addSeparator();
        } else {
            menu->addAction(entry.text)->setShortcut(QKeySequence(entry.shortcut));
        }
    }
    return menu;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int fd = argc > 1 ? OpenDevice(argv[1]) : -1;
    QMainWindow window;
    // The panel's three menus with as many entries and shortcuts.
    QMenuBar& bar = *window.menuBar();
    bar.addMenu(AddMenu(bar, "&File", {{"&Quit", "Ctrl+Q"}}));
    bar.addMenu(AddMenu(bar, "&Edit",
                        {{"&Undo", "Ctrl+Z"},
                         {"-"},
                         {"Cu&t", "Ctrl+X"},
                         {"&Copy", "Ctrl+C"},
                         {"&Paste", "Ctrl+V"},
                         {"&Delete"},
                         {"-"},
                         {"Select &All", "Ctrl+A"}}));
    QMenu* options =
        AddMenu(bar, "Options", {{"Select Port"}, {"Enable remote"}, {"Disable remote"}});
    options->addMenu(AddMenu(bar, "Protocol", {{"Sony Sirc"}, {"Phillips RC6"}}));
    options->addAction("viewcmds");
    bar.addMenu(options);
    auto* content = new QWidget(&window);  // owned by the window
    content->setFixedSize(260, 474);
    auto* button = new WritingButton("Power On/Off", content, fd);  // owned by the content
    button->setGeometry(140, 8, 100, 22);
    window.setCentralWidget(content);
    window.setWindowTitle("menu window");
    window.show();
    return QApplication::exec();
}

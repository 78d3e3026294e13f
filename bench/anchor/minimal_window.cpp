// The least a Qt Widgets program does to put a window of the panel's size on the screen: the
// floor the panel's start-up time and memory are measured against. Built for that purpose only.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(260, 474);
    window.setWindowTitle("minimal");
    window.show();
    return QApplication::exec();
}

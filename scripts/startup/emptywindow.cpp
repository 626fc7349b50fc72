// The yardstick: an empty Qt window of the main window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(723, 505);
    window.show();
    return QApplication::exec();
}

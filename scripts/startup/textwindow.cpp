// The least a window with text costs: the empty window with one label and one
// line edit, which read the font configuration, load a font and start the
// accessibility bridge before the window is mapped.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(723, 505);
    auto* label = new QLabel(QStringLiteral("Name"), &window);
    label->move(16, 24);
    auto* edit = new QLineEdit(QStringLiteral("0"), &window);
    edit->move(16, 48);
    window.show();
    return QApplication::exec();
}

// Renders the window as it looks after a monster search on the data directory
// that is the current directory, and writes it to a PNG file.
//
//   dropcalc-screenshot OUT.png [MONSTER]

#include "app/dropunit.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

namespace {

class PrintingErrorBox final : public ErrorBox {
  public:
    void show(QWidget*, const ErrorReport& report) override {
        std::fprintf(stderr, "dropcalc-screenshot: error box: %s\n", qPrintable(report.message));
        ++count;
    }
    int count = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: dropcalc-screenshot OUT.png [MONSTER]\n");
        return 2;
    }
    PrintingErrorBox errors;
    TForm1 form(&errors);
    form.findChild<QTabWidget*>("ItemTab")->setCurrentWidget(form.findChild<QWidget*>("NormalTab"));
    form.findChild<QComboBox*>("MonList")->setEditText(argc == 3 ? QString::fromLocal8Bit(argv[2])
                                                                 : QStringLiteral("Cave Lurker"));
    form.show();
    form.findChild<QPushButton*>("MonSearch")->click();
    while (form.searching())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "dropcalc-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return errors.count == 0 ? 0 : 1;
}

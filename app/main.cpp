#include "app/dropunit.h"
#include "app/platform.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage = "Usage: dropcalc [DATA_DIR]\n"
                           "Opens the Quarnhold Drop Calculator on the data folder DATA_DIR (by "
                           "default the current folder,\nor the last folder chosen when the "
                           "current one has no \"Normal\" folder).\n\n"
                           "  --help     show this help and exit\n"
                           "  --version  show the version and exit\n";

// --help and --version, answered before any display is needed; -1 to go on.
int answerOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("dropcalc %s\nLicense: MIT\n", DROPCALC_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    return -1;
}

// The data folder named on the command line, once Qt has taken its own
// options; `ok` is false for an unknown option or a second folder.
QString folderArgument(const QStringList& arguments, bool& ok) {
    ok = arguments.size() <= 2 && !arguments.value(1).startsWith('-');
    return ok ? arguments.value(1) : QString();
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = answerOption(argc, argv); status >= 0)
        return status;
    prepareDisplay(argc, argv);
    QApplication app(argc, argv);
    displayOpened();
    bool ok = false;
    const QString folder = folderArgument(QApplication::arguments(), ok);
    if (!ok) {
        std::fprintf(stderr, "dropcalc: unexpected argument\n%s", kUsage);
        return 2;
    }
    TForm1 form(nullptr, localeDecimalSeparator(), folder);
    form.show();
    return QApplication::exec();
}

#include "app/dropunit.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

#if defined(__linux__)
bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// The command-line tool that lies next to this program, as a path to type in
// the current directory.
std::string toolCommand(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = fs::absolute(argv0, ec);
    const fs::path tool = self.parent_path() / "dropcalc-cli";
    fs::path shown = fs::relative(tool, fs::current_path(ec), ec);
    if (ec || shown.empty())
        shown = tool;
    else if (!shown.has_parent_path())
        shown = fs::path(".") / shown;
    return shown.string();
}
#endif

} // namespace

int main(int argc, char** argv) {
#if defined(__linux__)
    // Without a display the window cannot open; say so plainly and show the
    // tool that runs the same searches without one.
    if (!environmentSet("QT_QPA_PLATFORM") && !environmentSet("DISPLAY") &&
        !environmentSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "dropcalc: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                     "not set); the command-line tool runs the same searches, for example: "
                     "%s --data . --sort chance monster \"Cave Lurker\"\n",
                     toolCommand(argv[0]).c_str());
        return 1;
    }
#endif
    QApplication app(argc, argv);
    TForm1 form;
    form.show();
    return app.exec();
}

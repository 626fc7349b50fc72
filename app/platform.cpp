#include "app/platform.h"

#if defined(__linux__)

#include <QDebug>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// The path of this program's executable; `argv0` made absolute when the
// system cannot tell.
std::filesystem::path thisProgram(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self;
    return fs::absolute(argv0, ec);
}

// The command-line tool that lies next to this program, as the user would
// type it: its bare name when that is the one the PATH finds, otherwise a
// path from the current directory.
std::string toolCommand(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path tool = thisProgram(argv0).parent_path() / "dropcalc-cli";
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        std::string dirs = path;
        for (std::size_t start = 0; start <= dirs.size();) {
            const std::size_t end = std::min(dirs.find(':', start), dirs.size());
            const fs::path found = fs::path(dirs.substr(start, end - start)) / "dropcalc-cli";
            if (end > start && fs::exists(found, ec))
                return fs::equivalent(found, tool, ec) ? "dropcalc-cli" : tool.string();
            start = end + 1;
        }
    }
    fs::path shown = fs::relative(tool, fs::current_path(ec), ec);
    if (ec || shown.empty())
        shown = tool;
    else if (!shown.has_parent_path())
        shown = fs::path(".") / shown;
    return shown.string();
}

// `text` as one word of a POSIX shell.
std::string shellWord(const std::string& text) {
    if (!text.empty() &&
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                               "0123456789_./-+,:=@%") == std::string::npos)
        return text;
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The data folder named on the command line, "." when none is.
std::string folderWord(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            return shellWord(argv[i]);
    return ".";
}

const char* gArgv0 = "dropcalc";
std::string gFolderWord = ".";

// Without a display the window cannot open; say so plainly and show the
// tool that runs the same searches without one.
[[noreturn]] void noDisplay(const std::string& why) {
    std::fprintf(stderr,
                 "dropcalc: no display to open the window on (%s); the command-line tool runs the "
                 "same searches, for example: %s --data %s --sort chance monster \"Cave Lurker\"\n",
                 why.c_str(), shellWord(toolCommand(gArgv0)).c_str(), gFolderWord.c_str());
    std::_Exit(1);
}

// While the application connects to the display, Qt's messages are held
// back: a display that cannot be opened ends in a fatal message, which
// becomes the plain one above; other messages are let through afterwards.
QStringList gHeldMessages;
QtMessageHandler gPreviousHandler = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type != QtFatalMsg) {
        gHeldMessages.append(message);
        return;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string why = "the display could not be opened";
    if (display != nullptr && display[0] != '\0')
        why = "DISPLAY " + std::string(display) + " cannot be opened";
    else if (wayland != nullptr && wayland[0] != '\0')
        why = "WAYLAND_DISPLAY " + std::string(wayland) + " cannot be opened";
    noDisplay(why);
}

} // namespace

void prepareDisplay(int argc, char** argv) {
    if (argc > 0)
        gArgv0 = argv[0];
    gFolderWord = folderWord(argc, argv);
    if (!environmentSet("QT_QPA_PLATFORM") && !environmentSet("DISPLAY") &&
        !environmentSet("WAYLAND_DISPLAY"))
        noDisplay("DISPLAY and WAYLAND_DISPLAY are not set");
    gPreviousHandler = qInstallMessageHandler(holdMessage);
}

void displayOpened() {
    qInstallMessageHandler(gPreviousHandler);
    for (const QString& message : std::as_const(gHeldMessages))
        qWarning().noquote() << message;
    gHeldMessages.clear();
}

#else

void prepareDisplay(int /*argc*/, char** /*argv*/) {}

void displayOpened() {}

#endif

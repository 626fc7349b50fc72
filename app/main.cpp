#include "app/dropunit.h"
#include "app/platform.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

const char* const kUsage = "Usage: dropcalc [DATA_DIR]\n"
                           "Opens the Quarnhold Drop Calculator on the data folder DATA_DIR (by "
                           "default the current folder,\nor the last folder chosen when the "
                           "current one has no \"Normal\" folder).\n\n"
                           "  --help     show this help and exit\n"
                           "  --version  show the version and exit\n";

const char* gArgv0 = "dropcalc";

#if defined(__linux__)
bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// The command-line tool that lies next to this program, as the user would
// type it: its bare name when that is the one the PATH finds, otherwise a
// path from the current directory.
std::string toolCommand(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path tool = thisProgram(argv0).parent_path() / "dropcalc-cli";
#ifdef _WIN32
    const char listSeparator = ';';
#else
    const char listSeparator = ':';
#endif
    if (const char* path = std::getenv("PATH"); path != nullptr) {
        std::string dirs = path;
        for (std::size_t start = 0; start <= dirs.size();) {
            const std::size_t end = std::min(dirs.find(listSeparator, start), dirs.size());
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
#endif

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
    gArgv0 = argv[0];
#if defined(__linux__)
    gFolderWord = folderWord(argc, argv);
#endif
    if (const int status = answerOption(argc, argv); status >= 0)
        return status;
#if defined(__linux__)
    if (!environmentSet("QT_QPA_PLATFORM") && !environmentSet("DISPLAY") &&
        !environmentSet("WAYLAND_DISPLAY"))
        noDisplay("DISPLAY and WAYLAND_DISPLAY are not set");
    const QtMessageHandler previous = qInstallMessageHandler(holdMessage);
#endif
    QApplication app(argc, argv);
#if defined(__linux__)
    qInstallMessageHandler(previous);
    for (const QString& message : std::as_const(gHeldMessages))
        qWarning().noquote() << message;
#endif
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

// A window source that the include check must refuse: every line below names
// something only POSIX systems have.
#include <QWidget>
#include <X11/Xlib.h>
#include <sys/stat.h>
#include <unistd.h>
const char* const kSelf = "/proc/self/exe";

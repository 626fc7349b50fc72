// The one file allowed to hold what only POSIX systems have.
#include <unistd.h>

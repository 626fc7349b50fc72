/* Starts a program and waits until it maps its first top-level window on
 * the X display; prints the wall time from the start to the mapping and the
 * CPU time the program's main thread had used by then, both in milliseconds,
 * then ends the program.
 *
 *   mapwait PROGRAM [ARG...]
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The CPU time of the main thread of `pid` so far: the first field of its
 * scheduler figures, in nanoseconds; -1 when they cannot be read. */
static double cpu_ms(pid_t pid) {
    char path[64];
    unsigned long long ns = 0;
    snprintf(path, sizeof path, "/proc/%d/schedstat", (int)pid);
    FILE *f = fopen(path, "r");
    if (f == NULL)
        return -1;
    int read = fscanf(f, "%llu", &ns);
    fclose(f);
    return read == 1 ? ns / 1e6 : -1;
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fputs("usage: mapwait PROGRAM [ARG...]\n", stderr);
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (display == NULL) {
        fputs("mapwait: cannot open the display\n", stderr);
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double wall = -1, cpu = -1;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    while (wall < 0) {
        if (XPending(display) == 0) {
            if (waitpid(pid, NULL, WNOHANG) == pid) {
                fputs("mapwait: the program ended without a window\n", stderr);
                return 1;
            }
            poll(&connection, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            wall = now_ms() - start;
            cpu = cpu_ms(pid);
        }
    }
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    XCloseDisplay(display);
    printf("%.2f %.2f\n", wall, cpu);
    return 0;
}

// mapwait PROGRAM [ARGS...]: starts PROGRAM and prints the milliseconds from the fork to
// the first top-level window it maps, then kills it. The X server reports the map as it
// happens and wakes the wait at once; between events the wait looks every 100 ms whether
// the program still runs.
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double Milliseconds(struct timespec from, struct timespec to) {
    return (to.tv_sec - from.tv_sec) * 1e3 + (to.tv_nsec - from.tv_nsec) / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: mapwait PROGRAM [ARGS...]\n");
        return 2;
    }
    // The server may be starting, or still tearing down the last run's connection: try
    // for three seconds.
    Display* display = NULL;
    for (int tries = 0; !display && tries < 300; ++tries) {
        display = XOpenDisplay(NULL);
        if (!display) usleep(10000);
    }
    if (!display) {
        fprintf(stderr, "mapwait: cannot open the display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    struct timespec start, mapped;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    // A program that ends, or maps nothing within a minute, fails the run instead of
    // leaving it waiting.
    for (;;) {
        if (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) break;
            continue;
        }
        if (waitpid(child, NULL, WNOHANG) == child) {
            fprintf(stderr, "mapwait: %s ended before it mapped a window\n", argv[1]);
            return 1;
        }
        clock_gettime(CLOCK_MONOTONIC, &mapped);
        if (Milliseconds(start, mapped) > 60000) {
            fprintf(stderr, "mapwait: %s mapped no window within a minute\n", argv[1]);
            kill(child, SIGKILL);
            waitpid(child, NULL, 0);
            return 1;
        }
        struct pollfd connection = {.fd = ConnectionNumber(display), .events = POLLIN};
        poll(&connection, 1, 100);
    }
    clock_gettime(CLOCK_MONOTONIC, &mapped);
    printf("%.1f\n", Milliseconds(start, mapped));
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    return 0;
}

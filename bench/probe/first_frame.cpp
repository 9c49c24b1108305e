// qel-first-frame TIMEOUT_SECONDS -- COMMAND [ARGS...]
// Starts COMMAND and watches the X server's screen until the game's first
// frame is on it: the light grey (200, 200, 200) background at three places
// the pause screen leaves bare. Prints "pid N" as soon as the command runs,
// then "first_frame_ms T" (or "first_frame_ms none" after the timeout), waits
// for the command and exits with its exit code.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

static double NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1000.0 + (double)ts.tv_nsec / 1e6;
}

static bool PixelIs(Display* display, Window root, int x, int y,
                    unsigned long want) {
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel == want;
}

// The frame's pixel (x, y) on a screen larger than the game's 1024 by 768,
// where it is scaled to fit and centred.
static bool FramePixelIs(Display* display, Window root, int x, int y,
                         unsigned long want) {
    int w = DisplayWidth(display, DefaultScreen(display)),
        h = DisplayHeight(display, DefaultScreen(display));
    double scale = w * 768 <= h * 1024 ? w / 1024.0 : h / 768.0;
    int left = (int)((w - 1024 * scale) / 2),
        top = (int)((h - 768 * scale) / 2);
    return PixelIs(display, root, left + (int)(x * scale),
                   top + (int)(y * scale), want);
}

static bool FrameShown(Display* display, Window root) {
    const unsigned long grey = 0xC8C8C8;
    return FramePixelIs(display, root, 5, 5, grey) &&
           FramePixelIs(display, root, 1018, 5, grey) &&
           FramePixelIs(display, root, 5, 600, grey);
}

int main(int argc, char** argv) {
    if (argc < 4 || std::strcmp(argv[2], "--") != 0) {
        std::fprintf(stderr, "usage: %s TIMEOUT_SECONDS -- COMMAND [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    double timeoutMs = std::atof(argv[1]) * 1000.0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: no X display\n", argv[0]);
        return 2;
    }
    Window root = DefaultRootWindow(display);
    if (FrameShown(display, root))
        std::fprintf(stderr, "%s: the screen already shows the grey\n",
                     argv[0]);

    double start = NowMs();
    pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[3], argv + 3);
        std::perror(argv[3]);
        _exit(127);
    }
    std::printf("pid %d\n", (int)child);
    std::fflush(stdout);

    bool seen = false;
    int status = 0;
    bool exited = false;
    while (NowMs() - start < timeoutMs) {
        if (FrameShown(display, root)) {
            std::printf("first_frame_ms %.1f\n", NowMs() - start);
            seen = true;
            break;
        }
        if (waitpid(child, &status, WNOHANG) == child) {
            exited = true;
            break;
        }
        usleep(500);
    }
    if (!seen) std::printf("first_frame_ms none\n");
    std::fflush(stdout);
    XCloseDisplay(display);
    if (!exited && waitpid(child, &status, 0) != child) return 2;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

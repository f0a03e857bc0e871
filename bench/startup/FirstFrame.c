// Preloaded into a Qt Widgets program by stakko_launch: stamps the moment
// the program's first frame reaches the display server, the same way for
// every program measured. Qt Widgets hands every finished frame to
// QBackingStore::flush in Qt Gui, a call between two shared libraries that
// this library takes over.
//
// STAKKO_FIRSTFRAME_T0 holds the launcher's CLOCK_MONOTONIC time just
// before it started the program (nanoseconds), STAKKO_FIRSTFRAME_OUT the
// file that receives one line after every frame:
//   <nanoseconds from the start to the first frame> <frames so far>
// With STAKKO_FIRSTFRAME_EXIT=1 the program ends right after its first
// frame (for profiling the way there).
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static long long start_ns = -1;
static long long first_frame_ns = -1;
static long long frames = 0;
static int out_fd = -1;
static int exit_after_first = 0;

static long long now_ns(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

__attribute__((constructor)) static void first_frame_init(void) {
    const char* t0 = getenv("STAKKO_FIRSTFRAME_T0");
    const char* out = getenv("STAKKO_FIRSTFRAME_OUT");
    const char* exit_first = getenv("STAKKO_FIRSTFRAME_EXIT");
    exit_after_first = exit_first && strcmp(exit_first, "1") == 0;
    if (t0 && out) {
        start_ns = atoll(t0);
        out_fd = open(out, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    // Processes the program starts (a sound server, say) are not measured.
    unsetenv("LD_PRELOAD");
    unsetenv("STAKKO_FIRSTFRAME_T0");
    unsetenv("STAKKO_FIRSTFRAME_OUT");
    unsetenv("STAKKO_FIRSTFRAME_EXIT");
}

// void QBackingStore::flush(const QRegion&, QWindow*, const QPoint&)
typedef void (*flush_fn)(void*, const void*, void*, const void*);

void _ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint(void* self, const void* region,
                                                           void* window, const void* offset) {
    static flush_fn real = NULL;
    if (!real) {
        // ISO C has no cast from an object pointer to a function pointer.
        void* symbol = dlsym(RTLD_NEXT, "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint");
        memcpy(&real, &symbol, sizeof real);
    }
    if (real)
        real(self, region, window, offset);
    ++frames;
    if (first_frame_ns < 0 && start_ns >= 0)
        first_frame_ns = now_ns() - start_ns;
    if (out_fd >= 0) {
        char line[64];
        const int n = snprintf(line, sizeof line, "%lld %lld\n", first_frame_ns, frames);
        // One short line rewritten in place: a reader sees an old or a new
        // line, and the file never grows.
        if (n > 0 && pwrite(out_fd, line, (size_t)n, 0) < 0)
            out_fd = -1;
    }
    if (exit_after_first)
        _exit(0);
}

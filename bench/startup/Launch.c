// stakko_launch <stamp file> <program> [arguments...]
// Starts the program with the first-frame stamp preloaded (FirstFrame.c):
// the time is taken right before the program is executed, so the figure
// counts loading and linking its libraries too.
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#ifndef STAKKO_FIRSTFRAME_LIBRARY
#error "STAKKO_FIRSTFRAME_LIBRARY names the preload library"
#endif

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s <stamp file> <program> [arguments...]\n", argv[0]);
        return 2;
    }
    if (setenv("LD_PRELOAD", STAKKO_FIRSTFRAME_LIBRARY, 1) != 0 ||
        setenv("STAKKO_FIRSTFRAME_OUT", argv[1], 1) != 0) {
        perror("setenv");
        return 2;
    }
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    char t0[32];
    snprintf(t0, sizeof t0, "%lld", (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec);
    setenv("STAKKO_FIRSTFRAME_T0", t0, 1);
    execv(argv[2], argv + 2);
    perror(argv[2]);
    return 127;
}

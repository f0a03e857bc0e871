// stakko_launch <stamp file> <program> [arguments...]
// Starts the program with the first-frame stamp preloaded (FirstFrame.c):
// the time is taken right before the program is executed, so the figure
// counts loading and linking its libraries too.
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#ifndef STAKKO_FIRSTFRAME_LIBRARY
#error "STAKKO_FIRSTFRAME_LIBRARY names the preload library"
#endif

// A virtual machine may give memory that stays free for a while back to its
// host; touching such a page again then costs the host's work as well,
// about 2.5 ms a MiB on the machines the record names, against well under
// 0.1 ms for a page freed a moment ago. Which pages a program gets is luck,
// and it moved a start by 20 ms and more. So the launcher first touches and
// frees STAKKO_LAUNCH_WARM_MIB MiB (none if unset): the kernel hands the
// pages it just got back out first, and every program starts on memory in
// use a moment before.
static void warm_free_memory(void) {
    const char* mib = getenv("STAKKO_LAUNCH_WARM_MIB");
    const size_t size = mib ? (size_t)strtoul(mib, NULL, 10) << 20 : 0;
    if (size == 0)
        return;
    char* p = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return;
    memset(p, 1, size);
    munmap(p, size);
}

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
    warm_free_memory();
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    char t0[32];
    snprintf(t0, sizeof t0, "%lld", (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec);
    setenv("STAKKO_FIRSTFRAME_T0", t0, 1);
    execv(argv[2], argv + 2);
    perror(argv[2]);
    return 127;
}

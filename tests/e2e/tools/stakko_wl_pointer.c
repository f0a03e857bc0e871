// A pointer for the Wayland end-to-end tests: a virtual pointer on the
// compositor's seat that plays a short script of steps, holding the button
// as long as the script says (which no packaged tool for a headless sway
// does). It needs one output and the compositor's virtual-pointer protocol.
//
//   stakko_wl_pointer move 200 150 sleep 300 press move 320 230 release
//
// The steps come from the arguments, or from standard input when there
// are none, separated by white space:
//   move X Y    the pointer to pixel (X, Y) of the output
//   press       the left button goes down
//   release     the left button goes up
//   sleep MS    waits MS milliseconds
// Each event ends its frame and is through the compositor before the next
// step. Exits 0 when every step was sent, 2 on a bad script, 1 when the
// compositor lacks what is needed.

#define _POSIX_C_SOURCE 200809L

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <errno.h>
#include <limits.h>
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

struct session {
    struct wl_display* display;
    struct wl_seat* seat;
    struct wl_output* output;
    int outputs;
    int32_t width; // the output's current mode, in pixels
    int32_t height;
    struct zwlr_virtual_pointer_manager_v1* manager;
    struct zwlr_virtual_pointer_v1* pointer;
};

static void output_geometry(void* data, struct wl_output* output, int32_t x, int32_t y,
                            int32_t physical_width, int32_t physical_height, int32_t subpixel,
                            const char* make, const char* model, int32_t transform) {
    (void)data, (void)output, (void)x, (void)y, (void)physical_width, (void)physical_height;
    (void)subpixel, (void)make, (void)model, (void)transform;
}

static void output_mode(void* data, struct wl_output* output, uint32_t flags, int32_t width,
                        int32_t height, int32_t refresh) {
    (void)output, (void)refresh;
    struct session* s = data;
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        s->width = width;
        s->height = height;
    }
}

static void output_done(void* data, struct wl_output* output) {
    (void)data, (void)output;
}

static void output_scale(void* data, struct wl_output* output, int32_t factor) {
    (void)data, (void)output, (void)factor;
}

static const struct wl_output_listener output_listener = {
    .geometry = output_geometry,
    .mode = output_mode,
    .done = output_done,
    .scale = output_scale,
};

static void registry_global(void* data, struct wl_registry* registry, uint32_t name,
                            const char* interface, uint32_t version) {
    (void)version;
    struct session* s = data;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !s->seat) {
        s->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    } else if (strcmp(interface, wl_output_interface.name) == 0) {
        // Absolute motion spans the whole layout; with one output that is
        // the output itself.
        if (++s->outputs == 1) {
            s->output = wl_registry_bind(registry, name, &wl_output_interface, 1);
            wl_output_add_listener(s->output, &output_listener, s);
        }
    } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        s->manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    }
}

static void registry_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener registry_listener = {
    .global = registry_global,
    .global_remove = registry_global_remove,
};

static uint32_t now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)((uint64_t)t.tv_sec * 1000u + (uint64_t)t.tv_nsec / 1000000u);
}

static void sleep_ms(long ms) {
    struct timespec t = {.tv_sec = ms / 1000, .tv_nsec = (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) == -1 && errno == EINTR)
        ;
}

// Ends the event's frame and waits until the compositor has handled it, so
// that a client sees the events in the script's order and spacing.
static int commit(struct session* s) {
    zwlr_virtual_pointer_v1_frame(s->pointer);
    if (wl_display_roundtrip(s->display) < 0) {
        fprintf(stderr, "stakko_wl_pointer: the connection to the compositor broke\n");
        return 1;
    }
    return 0;
}

static int parse_number(const char* word, long max, long* out) {
    char* end;
    errno = 0;
    const long value = word ? strtol(word, &end, 10) : -1;
    if (!word || errno || *end || value < 0 || value > max)
        return 0;
    *out = value;
    return 1;
}

static int bad_script(int word, const char* step, const char* what) {
    fprintf(stderr, "stakko_wl_pointer: word %d, \"%s\": %s\n", word + 1, step, what);
    return 2;
}

// Checks the whole script before anything is sent: a typo must not leave
// the button down.
static int check_script(char** words, int count, const struct session* s) {
    for (int i = 0; i < count; ++i) {
        long x, y, ms;
        if (strcmp(words[i], "move") == 0) {
            const char* xw = i + 1 < count ? words[i + 1] : NULL;
            const char* yw = i + 2 < count ? words[i + 2] : NULL;
            if (!parse_number(xw, s->width - 1, &x) || !parse_number(yw, s->height - 1, &y))
                return bad_script(i, words[i], "needs X Y, a point on the output");
            i += 2;
        } else if (strcmp(words[i], "sleep") == 0) {
            if (!parse_number(i + 1 < count ? words[i + 1] : NULL, 600000, &ms))
                return bad_script(i, words[i], "needs milliseconds, at most 600000");
            i += 1;
        } else if (strcmp(words[i], "press") != 0 && strcmp(words[i], "release") != 0) {
            return bad_script(i, words[i], "not a step");
        }
    }
    return 0;
}

static int run_script(char** words, int count, struct session* s) {
    for (int i = 0; i < count; ++i) {
        long x, y, ms;
        if (strcmp(words[i], "move") == 0) {
            parse_number(words[i + 1], s->width - 1, &x);
            parse_number(words[i + 2], s->height - 1, &y);
            i += 2;
            zwlr_virtual_pointer_v1_motion_absolute(s->pointer, now_ms(), (uint32_t)x, (uint32_t)y,
                                                    (uint32_t)s->width, (uint32_t)s->height);
        } else if (strcmp(words[i], "sleep") == 0) {
            parse_number(words[i + 1], 600000, &ms);
            i += 1;
            sleep_ms(ms);
            continue;
        } else {
            const int down = strcmp(words[i], "press") == 0;
            zwlr_virtual_pointer_v1_button(s->pointer, now_ms(), BTN_LEFT,
                                           down ? WL_POINTER_BUTTON_STATE_PRESSED
                                                : WL_POINTER_BUTTON_STATE_RELEASED);
        }
        if (commit(s))
            return 1;
    }
    return 0;
}

// The words of standard input, for a script given there.
static char** read_words(int* count) {
    static char buffer[65536];
    const size_t length = fread(buffer, 1, sizeof buffer - 1, stdin);
    if (!feof(stdin)) {
        fprintf(stderr, "stakko_wl_pointer: the script on standard input is too long\n");
        return NULL;
    }
    buffer[length] = '\0';
    static char* words[sizeof buffer / 2];
    *count = 0;
    for (char* word = strtok(buffer, " \t\r\n"); word; word = strtok(NULL, " \t\r\n"))
        words[(*count)++] = word;
    return words;
}

int main(int argc, char** argv) {
    int count = argc - 1;
    char** words = argv + 1;
    if (count == 0 && !(words = read_words(&count)))
        return 2;

    struct session s = {0};
    s.display = wl_display_connect(NULL);
    if (!s.display) {
        fprintf(stderr, "stakko_wl_pointer: no Wayland compositor (WAYLAND_DISPLAY)\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(s.display);
    wl_registry_add_listener(registry, &registry_listener, &s);
    // The first round trip lists the globals, the second brings the
    // output's mode.
    int status = 1;
    if (wl_display_roundtrip(s.display) < 0 || wl_display_roundtrip(s.display) < 0)
        fprintf(stderr, "stakko_wl_pointer: the compositor did not answer\n");
    else if (!s.manager)
        fprintf(stderr, "stakko_wl_pointer: the compositor offers no "
                        "zwlr_virtual_pointer_manager_v1\n");
    else if (s.outputs != 1 || s.width <= 0 || s.height <= 0)
        fprintf(stderr, "stakko_wl_pointer: needs exactly one output with a mode, found %d\n",
                s.outputs);
    else if ((status = check_script(words, count, &s)) == 0) {
        s.pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(s.manager, s.seat);
        status = run_script(words, count, &s);
        zwlr_virtual_pointer_v1_destroy(s.pointer);
        wl_display_roundtrip(s.display);
    }

    if (s.manager)
        zwlr_virtual_pointer_manager_v1_destroy(s.manager);
    if (s.output)
        wl_output_destroy(s.output);
    if (s.seat)
        wl_seat_destroy(s.seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(s.display);
    return status;
}

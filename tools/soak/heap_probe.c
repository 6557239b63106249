/* Preloaded into the sanitizer build of the game by tools/soak.sh: it watches
 * the number of heap bytes the program holds, as the sanitizer's allocator
 * counts them, and appends one line every half second to the file named by
 * SOAK_HEAP_FILE: the lowest and the highest count of that half second, in
 * KiB, read every 5 ms.
 *
 * The software renderer allocates the geometry of each frame on the heap (up
 * to some hundred megabytes when much is on screen) and frees it when the
 * frame is drawn, so any single reading mostly measures the view. The lowest
 * reading of a stretch, taken between frames, is what the program itself
 * holds: the number a leak moves.
 *
 * With SOAK_HEAP_PROFILE set to a number of seconds, the sanitizer also
 * prints the stacks that hold most of the heap to standard error that often:
 * the way to find what a growing curve is made of.
 *
 * With SOAK_TEST_LEAK_MIB set to a number of MiB, the probe itself holds that
 * much more heap every time a round begins: a leak that grows with play, to
 * show that the soak's judgement catches one. The soak tells it of a round by
 * adding one byte to the file named by SOAK_ROUND_FILE. The blocks come from
 * the program's own malloc, so the sanitizer's allocator counts them as it
 * counts the game's, and their pages are written, so resident memory grows
 * too; they stay chained from a variable of this library, so the leak check
 * at exit finds them reachable and only the soak's growth verdict can fail
 * the run.
 */
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

typedef size_t (*allocated_bytes_fn)(void);
typedef void (*memory_profile_fn)(size_t top_percent, size_t max_contexts);

enum { kSampleMs = 5, kSamplesPerLine = 100 };

static allocated_bytes_fn allocated_bytes;
static memory_profile_fn memory_profile;
static long profile_every; /* lines; 0: never */
static int out = -1;
static const char *round_file; /* grows by a byte at every round start */
static size_t leak_bytes;      /* held anew at each of them; 0: none */
static long rounds_seen;
static void *held;             /* the last block held; each holds the one before */

/* Holds leak_bytes more for each round begun since the last call. */
static void leak_per_round(void)
{
    struct stat file;
    if (stat(round_file, &file) != 0)
        return;
    for (; rounds_seen < (long)file.st_size; ++rounds_seen) {
        void **block = malloc(leak_bytes);
        if (!block)
            return;
        memset(block, 0x5a, leak_bytes);
        *block = held;
        held = block;
    }
}

static void *probe(void *unused)
{
    (void)unused;
    const struct timespec pause = {0, kSampleMs * 1000 * 1000};
    for (long line = 1;; ++line) {
        size_t low = (size_t)-1, high = 0;
        for (int i = 0; i < kSamplesPerLine; ++i) {
            size_t bytes = allocated_bytes();
            if (bytes < low)
                low = bytes;
            if (bytes > high)
                high = bytes;
            nanosleep(&pause, NULL);
        }
        char text[64];
        int length = snprintf(text, sizeof text, "%zu %zu\n", low / 1024, high / 1024);
        /* One short write to a file opened for appending lands whole. */
        if (write(out, text, (size_t)length) != length)
            return NULL;
        if (leak_bytes)
            leak_per_round();
        if (memory_profile && line % profile_every == 0)
            memory_profile(90, 12);
    }
    return NULL;
}

__attribute__((constructor)) static void start_probe(void)
{
    const char *file = getenv("SOAK_HEAP_FILE");
    allocated_bytes = (allocated_bytes_fn)dlsym(RTLD_DEFAULT, "__sanitizer_get_current_allocated_bytes");
    if (!file || !allocated_bytes)
        return;
    const char *profile = getenv("SOAK_HEAP_PROFILE");
    if (profile && atol(profile) > 0) {
        profile_every = 2 * atol(profile);
        memory_profile = (memory_profile_fn)dlsym(RTLD_DEFAULT, "__sanitizer_print_memory_profile");
    }
    const char *leak = getenv("SOAK_TEST_LEAK_MIB");
    round_file = getenv("SOAK_ROUND_FILE");
    if (leak && atol(leak) > 0 && round_file)
        leak_bytes = (size_t)atol(leak) << 20;
    out = open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (out < 0)
        return;
    pthread_t thread;
    if (pthread_create(&thread, NULL, probe, NULL) == 0)
        pthread_detach(thread);
}

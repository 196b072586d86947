/* LD_PRELOAD shim for bench/picture_stall.py and bench/saver_cpu.py: times the
 * gaps between buffer swaps of a GLX or EGL program. Writes "<worst gap in us> <swaps>"
 * to the file named by SWAP_TIMER_OUT whenever the worst gap grows, and every
 * 256 swaps; with SWAP_TIMER_EVERY set, after every swap. */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static long long last_us, worst_us, swaps;

static long long now_us(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000LL + t.tv_nsec / 1000;
}

static void report(void) {
    const char* path = getenv("SWAP_TIMER_OUT");
    FILE* f = path ? fopen(path, "w") : NULL;
    if (!f) return;
    fprintf(f, "%lld %lld\n", worst_us, swaps);
    fclose(f);
}

static void swapped(void) {
    const long long t = now_us();
    ++swaps;
    if (last_us && t - last_us > worst_us) {
        worst_us = t - last_us;
        report();
    } else if (swaps % 256 == 0 || getenv("SWAP_TIMER_EVERY")) {
        report();
    }
    last_us = t;
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    if (!real) real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    swapped();
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*real)(EGLDisplay, EGLSurface);
    if (!real) real = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    const EGLBoolean done = real(display, surface);
    swapped();
    return done;
}

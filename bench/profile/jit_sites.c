// Preloaded into the program by jit-profile.sh: Mesa's software rasteriser generates its
// shader functions with LLVM at run time, so a profiler sees their samples at addresses no
// symbol names. This library logs, for every function LLVM finalises, its address and name
// and the return addresses inside the program at that moment (the draw that first needed it),
// one line each: "<ms since start> <address> <name> <offset into the program>...".
#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <execinfo.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { MAX_FRAMES = 64, MAX_SITES = 8 };

static FILE* logFile;
static pthread_mutex_t logLock = PTHREAD_MUTEX_INITIALIZER;
static double startMs;

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The executable is the first object the dynamic linker lists.
static int firstObject(struct dl_phdr_info* info, size_t size, void* base) {
    (void)size;
    *(const void**)base = (const void*)info->dlpi_addr;
    return 1;
}

typedef void* (*PointerToGlobal)(void*, void*);
typedef const char* (*ValueName)(void*);

void* LLVMGetPointerToGlobal(void* engine, void* global) {
    static PointerToGlobal real;
    static ValueName name;
    if (real == NULL) {
        real = (PointerToGlobal)dlsym(RTLD_NEXT, "LLVMGetPointerToGlobal");
        name = (ValueName)dlsym(RTLD_NEXT, "LLVMGetValueName");
    }
    void* address = real(engine, global);

    char line[512];
    int used = snprintf(line, sizeof line, "%p %s", address, name ? name(global) : "?");
    void* frames[MAX_FRAMES];
    int count = backtrace(frames, MAX_FRAMES);
    const void* programBase = NULL;
    dl_iterate_phdr(firstObject, &programBase);
    int sites = 0;
    for (int i = 0; i < count && sites < MAX_SITES && used < (int)sizeof line - 24; ++i) {
        Dl_info info;
        if (dladdr(frames[i], &info) && info.dli_fbase == programBase) {
            used += snprintf(line + used, sizeof line - used, " %lx",
                             (unsigned long)((char*)frames[i] - (char*)programBase));
            ++sites;
        }
    }

    pthread_mutex_lock(&logLock);
    if (logFile == NULL) {
        const char* path = getenv("JIT_SITES_LOG");
        logFile = fopen(path ? path : "jit-sites.log", "w");
        startMs = nowMs();
    }
    if (logFile != NULL) {
        fprintf(logFile, "%.1f %s\n", nowMs() - startMs, line);
        fflush(logFile);
    }
    pthread_mutex_unlock(&logLock);
    return address;
}

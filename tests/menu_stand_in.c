/* Loaded with LD_PRELOAD in front of the C library: stands in for the
 * console's menu program, so that the exit handler's hand-over can be
 * watched where there is none. chdir("/usr/gp2x") succeeds without moving,
 * execl fails as it does without the menu program, and both are written,
 * a line each, to the file MENU_LOG names. Other chdir calls are real. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* RTLD_NEXT */
#endif
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static FILE* openLog(void)
{
    return getenv("MENU_LOG") ? fopen(getenv("MENU_LOG"), "a") : NULL;
}

int chdir(const char* path)
{
    static int (*realChdir)(const char*);
    FILE* log;
    if (strcmp(path, "/usr/gp2x") == 0) {
        if ((log = openLog()) != NULL) {
            fprintf(log, "chdir %s\n", path);
            fclose(log);
        }
        return 0;
    }
    if (!realChdir)
        *(void**)&realChdir = dlsym(RTLD_NEXT, "chdir");
    return realChdir(path);
}

int execl(const char* path, const char* arg, ...)
{
    va_list more;
    const char* word = arg;
    FILE* log = openLog();
    if (log) {
        fprintf(log, "execl %s", path);
        va_start(more, arg);
        for (; word != NULL; word = va_arg(more, const char*))
            fprintf(log, " %s", word);
        va_end(more);
        fputc('\n', log);
        fclose(log);
    }
    errno = ENOENT;
    return -1;
}

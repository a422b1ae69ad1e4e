/* diag.cpp: fatal errors, counted allocation, progress labels, open files */
#include "driver/diag.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

uint64_t Nbytes = 0;

enum { MAXFILES = 8 };
static FILE *Open[MAXFILES]; /* files that ErrorExit must close */

void ErrorExit(int code, const char *fmt, ...)
{
    std::fflush(stdout);
    Fprint(stderr, "\nFatal Error Code: %i\n", code);
    va_list ap;
    va_start(ap, fmt);
    Vfprint(stderr, fmt, ap);
    va_end(ap);
    Fprint(stderr, "\n");
    for (int i = 0; i < MAXFILES; i++)
        if (Open[i]) {
            std::fclose(Open[i]);
            Open[i] = NULL;
        }
    std::exit(1);
}

void *AllocArray(int code, size_t count, size_t size)
{
    size_t n = count * size; /* cannot wrap for the program's counts, < 2^31 */
    void *p = n ? std::calloc(count, size) : std::calloc(1, 1);
    if (!p)
        ErrorExit(code, "can't allocate memory [%lux%u=%lu]", (unsigned long)count, (unsigned)size,
                  (unsigned long)n);
    Nbytes += n;
    return p;
}

void FreeArray(void *p)
{
    std::free(p);
}

void PrintLabel(FILE *f, const char *fmt, ...)
{
    std::string s;
    va_list ap;
    va_start(ap, fmt);
    size_t L = Vformat(s, fmt, ap);
    va_end(ap);
    s += ' ';
    if (L < 49)
        s.append(49 - L, '.');
    s += ' ';
    Fprint(f, "%s", s.c_str());
}

uint64_t KBytes(uint64_t n)
{
    return (n + 1023) / 1024;
}

void PrintMemory(void)
{
    Fprint(stdout, "%lu KB\n", (unsigned long)KBytes(Nbytes));
}

FILE *OpenFile(const char *name, const char *mode)
{
    FILE *f = std::fopen(name, mode);
    if (!f)
        return NULL;
    for (int i = 0; i < MAXFILES; i++)
        if (!Open[i]) {
            Open[i] = f;
            return f;
        }
    return f; /* the program never holds more than two files open */
}

void CloseFile(FILE *f)
{
    for (int i = 0; i < MAXFILES; i++)
        if (Open[i] == f)
            Open[i] = NULL;
    std::fclose(f);
}

FILE *CreateOutput(const char *label, const char *name, int code)
{
    PrintLabel(stdout, "%s", label);
    Fprint(stdout, "%s\n", name);
    FILE *f = OpenFile(name, "wb");
    if (!f)
        ErrorExit(code, "can't create output file");
    return f;
}

void CloseOutput(FILE *f, int code)
{
    bool bad = std::fflush(f) != 0 || std::ferror(f);
    for (int i = 0; i < MAXFILES; i++)
        if (Open[i] == f)
            Open[i] = NULL;
    if (std::fclose(f) != 0 || bad)
        ErrorExit(code, "can't write output file");
}

#if defined(__SANITIZE_ADDRESS__)
#define KAVOR_NO_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define KAVOR_NO_LIMIT 1
#endif
#endif

void LimitMemory(void)
{
#ifndef KAVOR_NO_LIMIT /* the sanitizers reserve far more address space than they use */
    long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || size <= 0)
        return;
    rlim_t phys = (rlim_t)pages * (rlim_t)size;
    struct rlimit r;
    if (getrlimit(RLIMIT_AS, &r) != 0)
        return;
    if (r.rlim_cur == RLIM_INFINITY || r.rlim_cur > phys) {
        r.rlim_cur = phys;
        setrlimit(RLIMIT_AS, &r);
    }
#endif
}

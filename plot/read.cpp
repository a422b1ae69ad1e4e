/* read.cpp: text files read line by line (LF or CR LF line ends), their
 * numbers, and the failure messages that name the file and line.
 */
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "plot/plot.h"

void Fail(const char *fmt, ...)
{
    va_list a;
    va_start(a, fmt);
    std::fputs("kavor-plot: ", stderr);
    std::vfprintf(stderr, fmt, a);
    std::fputs("\n", stderr);
    va_end(a);
    std::exit(1);
}

void Bad(const Text &t, const char *what)
{
    Fail("%s line %ld: %s", t.name, t.line, what);
}

int OpenText(Text &t, const char *name, int needed)
{
    t.name = name;
    t.line = 0;
    t.f = std::fopen(name, "rb");
    if (t.f)
        return 1;
    if (errno == ENOENT && !needed)
        return 0;
    Fail("can't open %s: %s", name, std::strerror(errno));
}

int NextLine(Text &t)
{
    char b[256];
    t.s.clear();
    int any = 0;
    while (std::fgets(b, sizeof b, t.f)) {
        any = 1;
        t.s += b;
        if (!t.s.empty() && t.s.back() == '\n')
            break;
    }
    if (!any)
        return 0;
    t.line++;
    if (!t.s.empty() && t.s.back() == '\n')
        t.s.pop_back();
    if (!t.s.empty() && t.s.back() == '\r')
        t.s.pop_back();
    return 1;
}

void NeedLine(Text &t)
{
    if (NextLine(t))
        return;
    t.line++;
    Bad(t, "unexpected end of file");
}

int Numbers(const std::string &s, double *v, int max)
{
    const char *p = s.c_str();
    int n = 0;
    for (;;) {
        while (*p == ' ' || *p == '\t')
            p++;
        if (!*p)
            return n;
        char *e;
        errno = 0;
        double x = std::strtod(p, &e);
        if (e == p || (*e && *e != ' ' && *e != '\t') || !std::isfinite(x) || n == max)
            return -1;
        v[n++] = x;
        p = e;
    }
}

void CloseText(Text &t)
{
    int err = std::ferror(t.f);
    std::fclose(t.f);
    if (err)
        Fail("can't read %s", t.name);
}

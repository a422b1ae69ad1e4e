/* scan.cpp: the fields of the data lines.
 *
 * A real is an optional sign, digits with an optional decimal point and an
 * optional exponent, read into the nearest double, and it must be zero or
 * have a magnitude from 1E-100 to 1E+100; an integer takes its base
 * from its prefix (0 octal, 0x hexadecimal).  White space before a number is
 * skipped; two fields of a boundary or internal point line are separated by
 * blanks and commas only.
 */
#include "input/input.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

/* The window of reals: zero, or a magnitude from 1E-100 to 1E+100.  Within
 * it no sum, product or square of the preparation, the element integrals or
 * the field evaluation overflows (their largest terms grow as the cube of
 * the coordinates times a logarithm), no square of a distance between two
 * distinct points underflows to zero, and the exact orientation test stays
 * exact. */
static const double RealMin = 1e-100, RealMax = 1e100;

static bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

/* an integer; *range is false when it does not fit a long */
const char *ScanLong(const char *s, long *v, bool *range)
{
    while (IsSpace(*s))
        s++;
    const char *d = s + (*s == '+' || *s == '-');
    if (!IsDigit(*d))
        return NULL;
    char *end;
    errno = 0;
    long x = std::strtol(s, &end, 0);
    *range = errno != ERANGE;
    *v = x;
    return end;
}

/* a decimal real; a number outside the window of reals is not a number */
const char *ScanReal(const char *s, double *v)
{
    while (IsSpace(*s))
        s++;
    const char *p = s;
    if (*p == '+' || *p == '-')
        p++;
    size_t digits = 0;
    bool nonzero = false; /* a digit other than 0 */
    while (IsDigit(*p))
        nonzero |= *p != '0', p++, digits++;
    if (*p == '.') {
        p++;
        while (IsDigit(*p))
            nonzero |= *p != '0', p++, digits++;
    }
    if (!digits)
        return NULL;
    if (*p == 'e' || *p == 'E') {
        const char *q = p + 1;
        if (*q == '+' || *q == '-')
            q++;
        if (IsDigit(*q)) {
            while (IsDigit(*q))
                q++;
            p = q;
        }
    }
    char tok[128]; /* a line holds at most 127 characters */
    size_t n = (size_t)(p - s);
    if (n >= sizeof tok)
        return NULL;
    std::memcpy(tok, s, n);
    tok[n] = '\0';
    double x = std::strtod(tok, NULL);
    if (nonzero ? !(std::fabs(x) >= RealMin && std::fabs(x) <= RealMax) : x != 0)
        return NULL;
    *v = x;
    return p;
}

/* one or more blanks and commas between two fields */
const char *ScanSep(const char *s)
{
    if (*s != ' ' && *s != ',')
        return NULL;
    while (*s == ' ' || *s == ',')
        s++;
    return s;
}

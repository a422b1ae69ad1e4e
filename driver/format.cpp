/* format.cpp: printf-style output with exponents of at least three digits */
#include "driver/format.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

/* widens the exponent of a formatted real to three digits: 1E-05 -> 1E-005 */
static void WidenExponent(std::string &s)
{
    size_t e = s.find_first_of("eE");
    if (e == std::string::npos || e + 1 >= s.size())
        return;
    size_t d = e + 1;
    if (s[d] == '+' || s[d] == '-')
        d++;
    size_t n = 0;
    while (d + n < s.size() && s[d + n] >= '0' && s[d + n] <= '9')
        n++;
    if (n > 0 && n < 3)
        s.insert(d, 3 - n, '0');
}

/* pads a converted field to the given width as printf would */
static void PadField(std::string &s, int width, bool left, bool zero)
{
    if (width <= 0 || s.size() >= (size_t)width)
        return;
    size_t pad = (size_t)width - s.size();
    if (left) {
        s.append(pad, ' ');
    } else if (zero && s.find_first_of("0123456789") != std::string::npos
               && s.find_first_of("nN") == std::string::npos) {
        size_t at = (!s.empty() && (s[0] == '-' || s[0] == '+' || s[0] == ' ')) ? 1 : 0;
        s.insert(at, pad, '0');
    } else {
        s.insert(0, pad, ' ');
    }
}

size_t Vformat(std::string &out, const char *fmt, va_list ap)
{
    size_t start = out.size();
    char cfmt[32], buf[512];
    const char *p = fmt;
    while (*p) {
        if (*p != '%') {
            const char *q = std::strchr(p, '%');
            size_t n = q ? (size_t)(q - p) : std::strlen(p);
            out.append(p, n);
            p += n;
            continue;
        }
        const char *conv = p++;
        if (*p == '%') {
            out += '%';
            p++;
            continue;
        }
        /* flags, width, precision and length of one conversion */
        bool left = false, zero = false;
        std::string flags;
        while (*p && std::strchr("-+ #0", *p)) {
            left |= *p == '-';
            zero |= *p == '0';
            flags += *p++;
        }
        int width = 0;
        if (*p == '*') {
            width = va_arg(ap, int);
            if (width < 0) {
                left = true;
                width = -width;
            }
            p++;
        } else {
            while (*p >= '0' && *p <= '9')
                width = width * 10 + (*p++ - '0');
        }
        int prec = -1;
        if (*p == '.') {
            p++;
            prec = 0;
            if (*p == '*') {
                prec = va_arg(ap, int);
                p++;
            } else {
                while (*p >= '0' && *p <= '9')
                    prec = prec * 10 + (*p++ - '0');
            }
        }
        int nl = 0;
        bool big = false, sz = false;
        while (*p && std::strchr("hlLzjt", *p)) {
            if (*p == 'l')
                nl++;
            else if (*p == 'L')
                big = true;
            else if (*p == 'z' || *p == 'j' || *p == 't')
                sz = true;
            p++;
        }
        char c = *p ? *p++ : '\0';
        std::string prefix = "%" + flags;
        if (prec >= 0)
            prefix += "." + std::to_string(prec);
        std::string field;
        switch (c) {
        case 'd': case 'i': {
            long long v = sz ? (long long)va_arg(ap, long) : nl ? (nl > 1 ? va_arg(ap, long long) : va_arg(ap, long))
                                                             : va_arg(ap, int);
            std::snprintf(cfmt, sizeof cfmt, "%slld", prefix.c_str());
            std::snprintf(buf, sizeof buf, cfmt, v);
            field = buf;
            break;
        }
        case 'u': case 'x': case 'X': case 'o': {
            unsigned long long v = sz ? (unsigned long long)va_arg(ap, size_t)
                                 : nl ? (nl > 1 ? va_arg(ap, unsigned long long) : va_arg(ap, unsigned long))
                                      : va_arg(ap, unsigned);
            std::snprintf(cfmt, sizeof cfmt, "%sll%c", prefix.c_str(), c);
            std::snprintf(buf, sizeof buf, cfmt, v);
            field = buf;
            break;
        }
        case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': {
            double v = big ? (double)va_arg(ap, long double) : va_arg(ap, double);
#ifdef KAVOR_FUZZ
            if (!std::isfinite(v)) /* the fuzzer's oracle: a run prints finite numbers only */
                std::abort();
#endif
            std::snprintf(cfmt, sizeof cfmt, "%s%c", prefix.c_str(), c);
            int n = std::snprintf(buf, sizeof buf, cfmt, v);
            if (n >= 0 && (size_t)n < sizeof buf) {
                field = buf;
            } else {
                field.assign((size_t)n, '\0');
                std::snprintf(&field[0], (size_t)n + 1, cfmt, v);
            }
            WidenExponent(field);
            break;
        }
        case 'c':
            field.assign(1, (char)va_arg(ap, int));
            break;
        case 's': {
            const char *s = va_arg(ap, const char *);
            if (!s)
                s = "(null)";
            size_t n = std::strlen(s);
            if (prec >= 0 && (size_t)prec < n)
                n = (size_t)prec;
            field.assign(s, n);
            zero = false;
            break;
        }
        default: /* not a conversion this program uses: copy it as it stands */
            field.assign(conv, (size_t)(p - conv));
            width = 0;
            break;
        }
        PadField(field, width, left, zero);
        out += field;
    }
    return out.size() - start;
}

std::string Format(const char *fmt, ...)
{
    std::string s;
    va_list ap;
    va_start(ap, fmt);
    Vformat(s, fmt, ap);
    va_end(ap);
    return s;
}

void Vfprint(FILE *f, const char *fmt, va_list ap)
{
    std::string s;
    Vformat(s, fmt, ap);
    if (f == stdout || f == stderr) {
        std::fwrite(s.data(), 1, s.size(), f);
        return;
    }
    size_t a = 0;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\n') {
            std::fwrite(s.data() + a, 1, i - a, f);
            std::fwrite("\r\n", 1, 2, f);
            a = i + 1;
        }
    }
    std::fwrite(s.data() + a, 1, s.size() - a, f);
}

void Fprint(FILE *f, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    Vfprint(f, fmt, ap);
    va_end(ap);
}

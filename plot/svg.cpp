/* svg.cpp: picture files, the pixel frame of a window, compact path data,
 * the colour map, and the region and outlines that both pictures show.
 */
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "plot/plot.h"

Frame MakeFrame(const Win &w, double side)
{
    double dx = w.x1 - w.x0, dy = w.y1 - w.y0;
    Frame fr;
    fr.w = w;
    fr.k = side / (dx > dy ? dx : dy);
    fr.pw = dx * fr.k;
    fr.ph = dy * fr.k;
    fr.m = 8;
    return fr;
}

double Px(const Frame &fr, double x)
{
    return fr.m + (x - fr.w.x0) * fr.k;
}

double Py(const Frame &fr, double y)
{
    return fr.m + (fr.w.y1 - y) * fr.k;
}

/* appends a number of tenths as a decimal: 1234 as "123.4", 1230 as "123" */
static void Tenths(std::string &d, long t)
{
    char b[32];
    long a = t < 0 ? -t : t;
    if (a % 10)
        std::snprintf(b, sizeof b, "%s%ld.%ld", t < 0 ? "-" : "", a / 10, a % 10);
    else
        std::snprintf(b, sizeof b, "%ld", t / 10);
    d += b;
}

/* a pixel coordinate in tenths; far points (and not-a-number) are held at
   a safe distance */
static long Round(double v)
{
    if (!(v < 1e7))
        v = 1e7;
    if (v < -1e7)
        v = -1e7;
    return std::lround(v * 10);
}

/* appends the pair of tenths a, b */
static void Pair(std::string &d, long a, long b)
{
    Tenths(d, a);
    d += ' ';
    Tenths(d, b);
}

/* writes the step held back, if any */
static void Flush(Path &p)
{
    if (!p.sx && !p.sy)
        return;
    p.d += p.n == 0 ? "l" : " ";
    Pair(p.d, p.sx, p.sy);
    p.sx = p.sy = 0;
    p.n++;
}

void MoveTo(Path &p, double x, double y)
{
    Flush(p);
    p.x = Round(x);
    p.y = Round(y);
    p.d += 'M';
    Pair(p.d, p.x, p.y);
    p.n = 0;
}

void LineTo(Path &p, double x, double y)
{
    long a = Round(x), b = Round(y);
    long dx = a - p.x, dy = b - p.y;
    if (!dx && !dy)
        return;
    /* a step on in the same direction lengthens the one held back */
    if (p.sx * dy - p.sy * dx != 0 || p.sx * dx + p.sy * dy <= 0)
        Flush(p);
    p.sx += dx;
    p.sy += dy;
    p.x = a;
    p.y = b;
}

void ClosePath(Path &p)
{
    Flush(p);
    p.d += 'z';
}

const char *PathData(Path &p)
{
    Flush(p);
    return p.d.c_str();
}

/* whether boundary b is among those chosen: 0 exterior, 1 holes, 2 all */
static int Chosen(int b, int which)
{
    return which == 2 || (which == 1) == (b > 0);
}

void RingPath(Path &p, const Frame &fr, const std::vector<Ring> &r, int which)
{
    for (const Ring &g : r) {
        if (!Chosen(g.b, which))
            continue;
        MoveTo(p, Px(fr, g.p[0].x), Py(fr, g.p[0].y));
        for (size_t i = 1; i < g.p.size(); i++)
            LineTo(p, Px(fr, g.p[i].x), Py(fr, g.p[i].y));
        ClosePath(p);
    }
}

void OpenSvg(Svg &s, const char *name, double w, double h)
{
    s.name = name;
    s.f = std::fopen(name, "w");
    if (!s.f)
        Fail("can't create %s: %s", name, std::strerror(errno));
    Put(s, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    Put(s, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\"",
        std::ceil(w), std::ceil(h), std::ceil(w), std::ceil(h));
    Put(s, " font-family=\"sans-serif\" font-size=\"12\">\n");
}

void Put(Svg &s, const char *fmt, ...)
{
    va_list a;
    va_start(a, fmt);
    std::vfprintf(s.f, fmt, a);
    va_end(a);
}

void PutPath(Svg &s, Path &p, const char *attr)
{
    const char *d = PathData(p);
    if (!*d)
        return;
    Put(s, "<path %s d=\"", attr);
    std::fputs(d, s.f);
    Put(s, "\"/>\n");
}

void CloseSvg(Svg &s)
{
    Put(s, "</svg>\n");
    int err = std::ferror(s.f);
    if (std::fclose(s.f) != 0 || err)
        Fail("error writing %s", s.name);
}

std::string Colour(double t)
{
    /* a dark blue, teal, green, yellow ramp of even lightness steps */
    static const unsigned char m[9][3] = {{68, 1, 84},    {71, 44, 122}, {59, 81, 139},  {44, 113, 142}, {33, 144, 141},
                                          {39, 173, 129}, {92, 200, 99}, {170, 220, 50}, {253, 231, 37}};
    if (!(t > 0))
        t = 0;
    if (t > 1)
        t = 1;
    double f = t * 8;
    int i = (int)f;
    if (i > 7)
        i = 7;
    f -= i;
    char b[8];
    int c[3];
    for (int k = 0; k < 3; k++)
        c[k] = (int)std::lround(m[i][k] + (m[i + 1][k] - m[i][k]) * f);
    std::snprintf(b, sizeof b, "#%02x%02x%02x", c[0], c[1], c[2]);
    return b;
}

void PutRegion(Svg &s, const Frame &fr, const std::vector<Ring> &r)
{
    Put(s, "<rect width=\"%.1f\" height=\"%.1f\" fill=\"#d4d4d4\"/>\n", fr.pw + 2 * fr.m, fr.ph + 2 * fr.m);
    Path p{};
    RingPath(p, fr, r, 2);
    PutPath(s, p, "fill=\"#ffffff\" fill-rule=\"evenodd\"");
}

void PutOutlines(Svg &s, const Frame &fr, const std::vector<Ring> &r)
{
    Path h{}, e{};
    RingPath(h, fr, r, 1);
    RingPath(e, fr, r, 0);
    PutPath(s, h, "fill=\"none\" stroke=\"#c0392b\" stroke-width=\"1.5\" stroke-linejoin=\"round\"");
    PutPath(s, e, "fill=\"none\" stroke=\"#000000\" stroke-width=\"1.5\" stroke-linejoin=\"round\"");
}

double PutOutlineLegend(Svg &s, const std::vector<Ring> &r, double y)
{
    Put(s, "<path d=\"M10 %.1fh24\" stroke=\"#000000\" stroke-width=\"1.5\"/>\n", y - 4);
    Put(s, "<text x=\"40\" y=\"%.1f\">exterior boundary</text>\n", y);
    if (r.size() < 2)
        return 160;
    Put(s, "<path d=\"M160 %.1fh24\" stroke=\"#c0392b\" stroke-width=\"1.5\"/>\n", y - 4);
    Put(s, "<text x=\"190\" y=\"%.1f\">%s (%zu)</text>\n", y, r.size() > 2 ? "holes" : "hole", r.size() - 1);
    return 290;
}

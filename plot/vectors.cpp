/* vectors.cpp: the vector picture, the outlines and one arrow per velocity
 * row in the window of the vector command file.
 *
 * Each arrow starts at its point; the fastest is 0.9 of the typical point
 * spacing long and the others are in proportion to their speed.
 */
#include <algorithm>
#include <cmath>

#include "plot/plot.h"

static const double Side = 800; /* pixels of the window's longer side */
static const double Strip = 28; /* pixels of the legend below it */
static const char *Ink = "#1f4e9c";

/* the distance from the point at o[j] to its nearest distinct point (o
   sorts the points by x), infinite when there is none */
static double Nearest(const std::vector<Vel> &v, const std::vector<int> &o, size_t j)
{
    const Vel &a = v[o[j]];
    double best = HUGE_VAL;
    for (size_t k = j + 1; k < o.size() && v[o[k]].x - a.x <= best; k++) {
        double d = std::hypot(v[o[k]].x - a.x, v[o[k]].y - a.y);
        if (d > 0 && d < best)
            best = d;
    }
    for (size_t k = j; k-- > 0 && a.x - v[o[k]].x <= best;) {
        double d = std::hypot(v[o[k]].x - a.x, v[o[k]].y - a.y);
        if (d > 0 && d < best)
            best = d;
    }
    return best;
}

/* the typical point spacing: the median distance to the nearest point;
   a twentieth of the window without two distinct points */
static double Spacing(const std::vector<Vel> &v, const Win &w)
{
    std::vector<int> o(v.size());
    for (size_t i = 0; i < o.size(); i++)
        o[i] = (int)i;
    std::sort(o.begin(), o.end(), [&](int a, int b) { return v[a].x < v[b].x; });
    std::vector<double> d;
    for (size_t j = 0; j < o.size(); j++) {
        double n = Nearest(v, o, j);
        if (n < HUGE_VAL)
            d.push_back(n);
    }
    if (d.empty())
        return std::min(w.x1 - w.x0, w.y1 - w.y0) / 20;
    std::nth_element(d.begin(), d.begin() + d.size() / 2, d.end());
    return d[d.size() / 2];
}

/* the largest speed of the rows */
static double TopSpeed(const std::vector<Vel> &v)
{
    double m = 0;
    for (const Vel &a : v)
        m = std::max(m, std::hypot(a.u, a.v));
    return m;
}

/* one arrow from pixel (x, y) along pixel vector (dx, dy): its shaft and
   its head, a triangle of 0.3 of its length */
static void Arrow(Path &shaft, Path &head, double x, double y, double dx, double dy)
{
    double bx = x + dx * 0.7, by = y + dy * 0.7;
    double nx = -dy * 0.12, ny = dx * 0.12;
    MoveTo(shaft, x, y);
    LineTo(shaft, bx, by);
    MoveTo(head, x + dx, y + dy);
    LineTo(head, bx + nx, by + ny);
    LineTo(head, bx - nx, by - ny);
    ClosePath(head);
}

/* the arrows of all rows; returns how many were drawn */
static int PutArrows(Svg &s, const Frame &fr, const std::vector<Vel> &v, double top)
{
    double k = 0.9 * Spacing(v, fr.w) * fr.k / top;
    Path shaft{}, head{};
    int n = 0;
    for (const Vel &a : v) {
        double dx = a.u * k, dy = -a.v * k;
        if (std::hypot(dx, dy) < 0.1)
            continue;
        Arrow(shaft, head, Px(fr, a.x), Py(fr, a.y), dx, dy);
        n++;
    }
    std::string sa = std::string("fill=\"none\" stroke=\"") + Ink + "\" stroke-width=\"1\"";
    std::string ha = std::string("fill=\"") + Ink + "\"";
    PutPath(s, shaft, sa.c_str());
    PutPath(s, head, ha.c_str());
    return n;
}

/* the legend of the arrows, from pixel x on the line at height y */
static void PutArrowLegend(Svg &s, double x, double y, int hasv, size_t rows, double top)
{
    if (!hasv) {
        Put(s, "<text x=\"%.0f\" y=\"%.1f\">no velocity file KAVOR.V2D</text>\n", x, y);
        return;
    }
    if (top == 0) {
        Put(s, "<text x=\"%.0f\" y=\"%.1f\">%s</text>\n", x, y, rows ? "all velocities zero" : "no velocity rows");
        return;
    }
    Path sh{}, hd{};
    Arrow(sh, hd, x, y - 4, 24, 0);
    std::string sa = std::string("fill=\"none\" stroke=\"") + Ink + "\" stroke-width=\"1\"";
    std::string ha = std::string("fill=\"") + Ink + "\"";
    PutPath(s, sh, sa.c_str());
    PutPath(s, hd, ha.c_str());
    Put(s, "<text x=\"%.0f\" y=\"%.1f\">velocity, longest arrow %.4g</text>\n", x + 30, y, top);
}

int DrawVectors(const char *name, const Win &w, const std::vector<Ring> &r, const std::vector<Vel> &v, int hasv)
{
    Frame fr = MakeFrame(w, Side);
    Svg s;
    double w2 = fr.pw + 2 * fr.m, h2 = fr.ph + 2 * fr.m;
    OpenSvg(s, name, std::max(w2, 480.0), h2 + Strip);
    Put(s, "<rect width=\"100%%\" height=\"100%%\" fill=\"#ffffff\"/>\n");
    Put(s, "<defs><clipPath id=\"frame\"><rect width=\"%.1f\" height=\"%.1f\"/></clipPath></defs>\n", w2, h2);
    PutRegion(s, fr, r);
    double top = TopSpeed(v);
    Put(s, "<g clip-path=\"url(#frame)\">\n");
    int n = top > 0 ? PutArrows(s, fr, v, top) : 0;
    Put(s, "</g>\n");
    PutOutlines(s, fr, r);
    double x = PutOutlineLegend(s, r, h2 + 17);
    PutArrowLegend(s, x, h2 + 17, hasv, v.size(), top);
    CloseSvg(s);
    return n;
}

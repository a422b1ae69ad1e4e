/* contours.cpp: the contour picture, the lines of equal potential of the
 * triangles at the levels of the contour command file, optionally over a
 * colour fill between the levels, with the outlines and a colour key.
 *
 * U varies linearly on each triangle, so a level cuts it in a straight
 * piece and the band between two levels is a polygon of its corners and
 * crossing points.  The pieces of one level are joined into lines at
 * their shared ends, and the parts of one band into the band's outline.
 */
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "plot/plot.h"

static const double Side = 800; /* pixels of the window's longer side */
static const double Key = 140;  /* pixels of the key right of it */

/* a piece of a contour line */
struct Seg {
    Pt a, b;
};

/* the levels from umin in steps of step up to umax, allowing for the six
   digits of the command file; one level when the range is empty */
static std::vector<double> MakeLevels(const Levels &l)
{
    std::vector<double> v{l.umin};
    if (!(l.umax > l.umin))
        return v;
    int n = (int)std::floor((l.umax - l.umin) / l.step + 1e-3);
    for (int i = 1; i <= n; i++)
        v.push_back(l.umin + i * l.step);
    return v;
}

/* where level c crosses the edge from corner a (below c) to corner b (at
   or above c); computed from the lower end, so both triangles of an edge
   find the same point */
static Pt Cross(const Tri &t, int a, int b, double c)
{
    if (t.u[b] == c)
        return t.p[b];
    double f = (c - t.u[a]) / (t.u[b] - t.u[a]);
    return Pt{t.p[a].x + f * (t.p[b].x - t.p[a].x), t.p[a].y + f * (t.p[b].y - t.p[a].y)};
}

/* the piece of level c in triangle t (corners at or above c count as
   above); 0 when the level misses it or touches it in a point */
static int Piece(const Tri &t, double c, Seg &s)
{
    int hi[3], n = 0;
    for (int k = 0; k < 3; k++) {
        hi[k] = t.u[k] >= c;
        n += hi[k];
    }
    if (n == 0 || n == 3)
        return 0;
    int m = 0; /* the corner on its own side */
    while (hi[m] != (n == 1))
        m++;
    int a = (m + 1) % 3, b = (m + 2) % 3;
    if (n == 1) {
        s.a = Cross(t, a, m, c);
        s.b = Cross(t, b, m, c);
    } else {
        s.a = Cross(t, m, a, c);
        s.b = Cross(t, m, b, c);
    }
    return s.a.x != s.b.x || s.a.y != s.b.y;
}

typedef std::multimap<std::pair<double, double>, int> Ends;

/* takes an unused piece with an end at p and sets q to its other end;
   0 when there is none */
static int Next(const Ends &e, const std::vector<Seg> &s, std::vector<char> &used, Pt p, Pt &q)
{
    auto r = e.equal_range(std::make_pair(p.x, p.y));
    for (auto i = r.first; i != r.second; ++i) {
        int j = i->second >> 1;
        if (used[j])
            continue;
        used[j] = 1;
        q = i->second & 1 ? s[j].a : s[j].b;
        return 1;
    }
    return 0;
}

/* the pieces of one level joined at their shared ends into lines */
static std::vector<std::vector<Pt>> Join(const std::vector<Seg> &s)
{
    Ends e;
    for (size_t j = 0; j < s.size(); j++) {
        e.insert({std::make_pair(s[j].a.x, s[j].a.y), (int)(2 * j)});
        e.insert({std::make_pair(s[j].b.x, s[j].b.y), (int)(2 * j + 1)});
    }
    std::vector<char> used(s.size());
    std::vector<std::vector<Pt>> lines;
    for (size_t j = 0; j < s.size(); j++) {
        if (used[j])
            continue;
        used[j] = 1;
        std::vector<Pt> back, fwd{s[j].a, s[j].b};
        Pt q;
        while (Next(e, s, used, fwd.back(), q))
            fwd.push_back(q);
        for (Pt p = fwd.front(); Next(e, s, used, p, q); p = q)
            back.push_back(q);
        std::reverse(back.begin(), back.end());
        back.insert(back.end(), fwd.begin(), fwd.end());
        lines.push_back(back);
    }
    return lines;
}

/* the contour lines of level c as path data */
static Path LevelPath(const Frame &fr, const std::vector<Tri> &t, double c)
{
    std::vector<Seg> s;
    Seg g;
    for (const Tri &a : t)
        if (Piece(a, c, g))
            s.push_back(g);
    Path p{};
    for (const std::vector<Pt> &l : Join(s)) {
        MoveTo(p, Px(fr, l[0].x), Py(fr, l[0].y));
        for (size_t i = 1; i < l.size(); i++)
            LineTo(p, Px(fr, l[i].x), Py(fr, l[i].y));
    }
    return p;
}

/* the band of potential u: j for u from level j to level j+1, the outer
   bands open to the outside */
static int Band(const std::vector<double> &v, double u)
{
    int j = (int)(std::upper_bound(v.begin(), v.end(), u) - v.begin()) - 1;
    int nb = v.size() > 1 ? (int)v.size() - 1 : 1;
    return j < 0 ? 0 : j >= nb ? nb - 1 : j;
}

/* the part of triangle t where lo <= U <= hi, counter-clockwise; its
   corners on the triangle's edges come from Cross, so that the parts of
   two triangles meet in the same points */
static std::vector<Pt> BandPart(const Tri &t, double lo, double hi)
{
    std::vector<Pt> q;
    for (int a = 0; a < 3; a++) {
        int b = (a + 1) % 3;
        double ua = t.u[a], ub = t.u[b];
        if (ua >= lo && ua <= hi)
            q.push_back(t.p[a]);
        double c[2] = {lo, hi};
        if (ua > ub)
            std::swap(c[0], c[1]);
        for (double l : c) {
            if (ua < l && l < ub)
                q.push_back(Cross(t, a, b, l));
            else if (ub < l && l < ua)
                q.push_back(Cross(t, b, a, l));
        }
    }
    return q;
}

/* the net count of directed edges: an edge and its reverse cancel */
typedef std::map<std::array<double, 4>, int> Net;

/* adds the edges of polygon q to the net */
static void AddEdges(Net &e, const std::vector<Pt> &q)
{
    if (q.size() < 3)
        return;
    for (size_t i = 0; i < q.size(); i++) {
        Pt a = q[i], b = q[(i + 1) % q.size()];
        if (std::make_pair(a.x, a.y) < std::make_pair(b.x, b.y))
            e[{a.x, a.y, b.x, b.y}]++;
        else
            e[{b.x, b.y, a.x, a.y}]--;
    }
}

/* the edges left in the net, joined into closed loops: the outline of the
   union of the polygons added */
static std::vector<std::vector<Pt>> Loops(const Net &e)
{
    std::vector<Seg> s;
    for (const auto &x : e) {
        Pt a{x.first[0], x.first[1]}, b{x.first[2], x.first[3]};
        for (int i = 0; i < std::abs(x.second); i++)
            s.push_back(x.second > 0 ? Seg{a, b} : Seg{b, a});
    }
    std::multimap<std::pair<double, double>, int> from;
    for (size_t j = 0; j < s.size(); j++)
        from.insert({std::make_pair(s[j].a.x, s[j].a.y), (int)j});
    std::vector<std::vector<Pt>> loops;
    while (!from.empty()) {
        std::vector<Pt> l;
        auto i = from.begin();
        for (;;) {
            int j = i->second;
            from.erase(i);
            l.push_back(s[j].a);
            i = from.find(std::make_pair(s[j].b.x, s[j].b.y));
            if (i == from.end())
                break;
        }
        loops.push_back(l);
    }
    return loops;
}

/* appends polygon q to path p */
static void Polygon(Path &p, const Frame &fr, const std::vector<Pt> &q)
{
    if (q.size() < 3)
        return;
    MoveTo(p, Px(fr, q[0].x), Py(fr, q[0].y));
    for (size_t i = 1; i < q.size(); i++)
        LineTo(p, Px(fr, q[i].x), Py(fr, q[i].y));
    ClosePath(p);
}

/* adds the parts of triangle t to the nets of the bands it spans */
static void AddTri(std::vector<Net> &bn, const std::vector<double> &v, const Tri &t)
{
    int nb = (int)bn.size();
    int lo = Band(v, std::min({t.u[0], t.u[1], t.u[2]}));
    int hi = Band(v, std::max({t.u[0], t.u[1], t.u[2]}));
    for (int j = lo; j <= hi; j++) {
        double a = j > 0 ? v[j] : -HUGE_VAL, b = j < nb - 1 ? v[j + 1] : HUGE_VAL;
        AddEdges(bn[j], BandPart(t, a, b));
    }
}

/* the colour of band j of nb */
static std::string BandColour(int j, int nb)
{
    return Colour((j + 0.5) / nb);
}

/* the colour of level i of n in a picture without fill */
static std::string LineColour(int i, int n)
{
    return Colour(n > 1 ? 0.85 * i / (n - 1) : 0.4);
}

/* the colour fill between the levels: each band as the outline of its
   parts of all triangles */
static void PutFill(Svg &s, const Frame &fr, const std::vector<double> &v, const std::vector<Tri> &t)
{
    int nb = v.size() > 1 ? (int)v.size() - 1 : 1;
    std::vector<Net> bn(nb);
    for (const Tri &a : t)
        AddTri(bn, v, a);
    for (int j = 0; j < nb; j++) {
        Path p{};
        for (const std::vector<Pt> &l : Loops(bn[j]))
            Polygon(p, fr, l);
        std::string at = "fill=\"" + BandColour(j, nb) + "\"";
        PutPath(s, p, at.c_str());
    }
}

/* the contour lines of every level */
static void PutLines(Svg &s, const Frame &fr, const std::vector<double> &v, const std::vector<Tri> &t, int fill)
{
    for (size_t i = 0; i < v.size(); i++) {
        Path p = LevelPath(fr, t, v[i]);
        std::string c = fill ? "#000000" : LineColour((int)i, (int)v.size());
        std::string at = "fill=\"none\" stroke=\"" + c + "\" stroke-width=\"" + (fill ? "0.8" : "1.2") +
                         "\" stroke-linejoin=\"round\"";
        PutPath(s, p, at.c_str());
    }
}

/* the height in the key of level value u: the key runs from y0 (top) to
   y1 (bottom) */
static double KeyY(const std::vector<double> &v, double u, double y0, double y1)
{
    if (v.size() < 2)
        return (y0 + y1) / 2;
    return y1 - (u - v[0]) / (v.back() - v[0]) * (y1 - y0);
}

/* the key at pixel x from y0 to y1: the bands (with fill), a mark and the
   value of every level, as many values as fit */
static void PutKey(Svg &s, double x, double y0, double y1, const std::vector<double> &v, int fill, size_t ntri)
{
    if (!ntri) {
        Put(s, "<text x=\"%.0f\" y=\"%.0f\">no triangles</text>\n", x, y0 + 12);
        return;
    }
    int n = (int)v.size(), nb = n > 1 ? n - 1 : 1;
    for (int j = 0; fill && j < nb; j++) {
        double a = n > 1 ? KeyY(v, v[j], y0, y1) : y1, b = n > 1 ? KeyY(v, v[j + 1], y0, y1) : y0;
        Put(s, "<rect x=\"%.0f\" y=\"%.1f\" width=\"20\" height=\"%.1f\" fill=\"%s\"/>\n", x, b, a - b,
            BandColour(j, nb).c_str());
    }
    double gap = n > 1 ? (y1 - y0) / (n - 1) : y1 - y0;
    int every = gap >= 14 ? 1 : (int)std::ceil(14 / gap);
    for (int i = 0; i < n; i++) {
        double y = KeyY(v, v[i], y0, y1);
        std::string c = fill ? "#000000" : LineColour(i, n);
        Put(s, "<path d=\"M%.0f %.1fh24\" stroke=\"%s\" stroke-width=\"%s\"/>\n", x, y, c.c_str(), fill ? "0.8" : "2");
        if (i % every == 0)
            Put(s, "<text x=\"%.0f\" y=\"%.1f\">%.4g</text>\n", x + 30, y + 4, v[i]);
    }
}

/* the window of the picture: the vector window, widened to hold every
   triangle */
static Win Widen(Win w, const Levels &l, size_t ntri)
{
    if (!ntri)
        return w;
    w.x0 = std::min(w.x0, l.ext.x0);
    w.x1 = std::max(w.x1, l.ext.x1);
    w.y0 = std::min(w.y0, l.ext.y0);
    w.y1 = std::max(w.y1, l.ext.y1);
    return w;
}

int DrawContours(const char *name, const Win &w, const std::vector<Ring> &r, const Levels &l, const std::vector<Tri> &t,
                 int fill)
{
    Frame fr = MakeFrame(Widen(w, l, t.size()), Side);
    std::vector<double> v = MakeLevels(l);
    double w2 = fr.pw + 2 * fr.m, kh = std::max(fr.ph + 2 * fr.m, 200.0);
    Svg s;
    OpenSvg(s, name, w2 + Key, kh + 28);
    Put(s, "<rect width=\"100%%\" height=\"100%%\" fill=\"#ffffff\"/>\n");
    PutRegion(s, fr, r);
    Path clip{};
    RingPath(clip, fr, r, 2);
    Put(s, "<defs><clipPath id=\"region\"><path clip-rule=\"evenodd\" d=\"%s\"/></clipPath></defs>\n", PathData(clip));
    Put(s, "<g clip-path=\"url(#region)\">\n");
    if (fill)
        PutFill(s, fr, v, t);
    PutLines(s, fr, v, t, fill);
    Put(s, "</g>\n");
    PutOutlines(s, fr, r);
    PutKey(s, w2 + 16, 20, kh - 20, v, fill, t.size());
    double x = PutOutlineLegend(s, r, kh + 17);
    Put(s, "<text x=\"%.0f\" y=\"%.1f\">contours of U", x, kh + 17);
    if (v.size() > 1)
        Put(s, " every %.4g", l.step);
    Put(s, "</text>\n");
    CloseSvg(s);
    return (int)v.size();
}

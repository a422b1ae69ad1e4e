/* runfiles.cpp: the result files of a run as the plotting routines need
 * them: the outline, the velocity rows, the potential triangles, the
 * window of the vector command file and the levels of the contour one.
 */
#include <cmath>

#include "plot/plot.h"

/* the next line must read exactly w */
static void Expect(Text &t, const char *w)
{
    NeedLine(t);
    if (t.s != w) {
        std::string m = std::string("expected ") + w;
        Bad(t, m.c_str());
    }
}

/* skips lines up to and including line n */
static void SkipTo(Text &t, long n)
{
    while (t.line < n)
        NeedLine(t);
}

/* the next line must hold two numbers a < b */
static void Range(Text &t, double &a, double &b, const char *what)
{
    double v[2];
    NeedLine(t);
    if (Numbers(t.s, v, 2) != 2 || !(v[0] < v[1]))
        Bad(t, what);
    a = v[0];
    b = v[1];
}

/* one outline line: x, y and a whole boundary index */
static Pt OutlinePoint(const Text &t, int &b)
{
    double v[3];
    if (Numbers(t.s, v, 3) != 3 || v[2] < 0 || v[2] > 1e9 || v[2] != std::floor(v[2]))
        Bad(t, "expected x y boundary");
    b = (int)v[2];
    return Pt{v[0], v[1]};
}

/* a ring ends at line n: it must have three points at least */
static void CheckRing(const Text &t, const Ring &r, long n)
{
    if (r.p.size() >= 3)
        return;
    char m[80];
    std::snprintf(m, sizeof m, "boundary %d has fewer than three points", r.b);
    Fail("%s line %ld: %s", t.name, n, m);
}

std::vector<Ring> ReadOutline(const char *name)
{
    Text t;
    OpenText(t, name, 1);
    std::vector<Ring> r;
    while (NextLine(t)) {
        int b;
        Pt p = OutlinePoint(t, b);
        if (r.empty() || b != r.back().b) {
            int want = r.empty() ? 0 : r.back().b + 1;
            if (b != want) {
                char m[80];
                std::snprintf(m, sizeof m, "boundary %d where boundary %d was due", b, want);
                Bad(t, m);
            }
            if (!r.empty())
                CheckRing(t, r.back(), t.line - 1);
            r.push_back(Ring{b, {}});
        }
        r.back().p.push_back(p);
    }
    if (r.empty())
        Fail("%s: no boundary points", name);
    CheckRing(t, r.back(), t.line);
    CloseText(t);
    return r;
}

/* line 19: "3 n n" with the number of boundaries */
static void BoundaryCount(Text &t, int nbnd)
{
    double v[3];
    SkipTo(t, 18);
    NeedLine(t);
    if (Numbers(t.s, v, 3) != 3 || v[0] != 3 || v[1] != v[2] || v[1] < 1 || v[1] != std::floor(v[1]))
        Bad(t, "expected 3 and the number of boundaries twice");
    if (v[1] != nbnd) {
        char m[120];
        std::snprintf(m, sizeof m, "%.0f boundaries, but KAVOR.P2D has %d (files of different runs?)", v[1], nbnd);
        Bad(t, m);
    }
}

Win ReadVectorCommand(const char *name, int nbnd)
{
    Text t;
    OpenText(t, name, 1);
    Win w;
    Expect(t, "QM4");
    SkipTo(t, 10);
    Expect(t, "X");
    Range(t, w.x0, w.x1, "expected two numbers X0 < X1");
    Expect(t, "Y");
    Range(t, w.y0, w.y1, "expected two numbers Y0 < Y1");
    BoundaryCount(t, nbnd);
    CloseText(t);
    return w;
}

int ReadVelocity(const char *name, std::vector<Vel> &v)
{
    Text t;
    if (!OpenText(t, name, 0))
        return 0;
    while (NextLine(t)) {
        double a[5];
        if (Numbers(t.s, a, 5) != 5)
            Bad(t, "expected five numbers x y dU/dy -dU/dx U");
        v.push_back(Vel{a[0], a[1], a[2], a[3]});
    }
    CloseText(t);
    return 1;
}

/* the next line must hold two numbers a <= b */
static void Extent(Text &t, double &a, double &b, const char *what)
{
    double v[2];
    NeedLine(t);
    if (Numbers(t.s, v, 2) != 2 || !(v[0] <= v[1]))
        Bad(t, what);
    a = v[0];
    b = v[1];
}

/* line 7: Umin Umax step, at most 1000 steps */
static void LevelLine(Text &t, Levels &l)
{
    double v[3];
    SkipTo(t, 6);
    NeedLine(t);
    if (Numbers(t.s, v, 3) != 3 || !(v[0] <= v[1]) || (v[1] > v[0] && !(v[2] > 0)))
        Bad(t, "expected Umin Umax step with Umin <= Umax and step > 0");
    if (v[1] > v[0] && (v[1] - v[0]) / v[2] > 1000)
        Bad(t, "more than 1000 levels");
    l.umin = v[0];
    l.umax = v[1];
    l.step = v[2];
}

int ReadContourCommand(const char *name, Levels &l)
{
    Text t;
    if (!OpenText(t, name, 0))
        return 0;
    Expect(t, "QM4");
    LevelLine(t, l);
    SkipTo(t, 8);
    Expect(t, "X");
    Extent(t, l.ext.x0, l.ext.x1, "expected two numbers Xmin <= Xmax");
    Expect(t, "Y");
    Extent(t, l.ext.y0, l.ext.y1, "expected two numbers Ymin <= Ymax");
    CloseText(t);
    return 1;
}

std::vector<Tri> ReadTriangles(const char *name)
{
    Text t;
    OpenText(t, name, 1);
    NeedLine(t);
    if (t.s.compare(0, 10, "*TRIANGLES") != 0)
        Bad(t, "expected the header *TRIANGLES");
    std::vector<Tri> r;
    while (NextLine(t)) {
        double a[9];
        if (Numbers(t.s, a, 9) != 9)
            Bad(t, "expected nine numbers x1 y1 U1 x2 y2 U2 x3 y3 U3");
        Tri g;
        for (int k = 0; k < 3; k++) {
            g.p[k] = Pt{a[3 * k], a[3 * k + 1]};
            g.u[k] = a[3 * k + 2];
        }
        r.push_back(g);
    }
    CloseText(t);
    return r;
}

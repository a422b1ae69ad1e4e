/* geometry.cpp: exact orientation of three points, exact location of a point
 * against a boundary, and the checks that no two nodes coincide, no two
 * elements cross and no boundary lies inside a hole.
 *
 * An orientation is the sign of a 2x2 determinant.  Its rounded value is
 * trusted when it exceeds its error bound; otherwise the determinant is
 * summed without any rounding error, as an expansion of its exact products.
 * This is exact as long as no product overflows or underflows, which the
 * reader's window for numbers (zero, or a magnitude from 1E-100 to 1E+100)
 * guarantees.
 *
 * Touching is accepted: a node on an element of another boundary (or on a
 * non-adjacent element of its own), and two elements overlapping along a
 * common line.  Rejected: two nodes closer than the model's resolution (the
 * element integrals have no value at a node of an element), a proper
 * crossing of two elements (a single common point inside both), and a node
 * strictly inside a hole it does not belong to.
 */
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "driver/diag.h"
#include "input/input.h"
#include "model/model.h"

static const double Eps = 2.220446049250313e-16; /* closest distinct nodes */
static const double Grain = 9.094947017729282e-13; /* 2^-40, relative resolution */

/* The resolution of the model: the smallest distance that two distinct
 * nodes may have, 2^-52 or 2^-40 times the model's extent, whichever is
 * larger.  A node closer than that to a node of an element is, in rounded
 * arithmetic, at that node: the element integrals lose every digit there
 * (a and c, or b and c, round to zero together and give NaN).  Their
 * projections and cross products err by a few roundings of quantities of
 * the size of the extent; the factor 2^12 above one rounding covers them. */
double NodeResolution(void)
{
    return std::max(Eps, Grain * std::max(Xmax - Xmin, Ymax - Ymin));
}

/* s + t = a + b exactly, s the rounded sum */
static void TwoSum(double a, double b, double *s, double *t)
{
    double x = a + b, bv = x - a, av = x - bv;
    *s = x;
    *t = (a - av) + (b - bv);
}

/* adds q to the nonoverlapping expansion e of n components, exactly */
static int Grow(double *e, int n, double q)
{
    for (int i = 0; i < n; i++)
        TwoSum(q, e[i], &q, &e[i]);
    e[n] = q;
    return n + 1;
}

/* sign of bx*cy - bx*ay - ax*cy - by*cx + by*ax + ay*cx, summed exactly */
static int ExactOrient(double ax, double ay, double bx, double by, double cx, double cy)
{
    const double f[6][2] = {{bx, cy}, {-bx, ay}, {-ax, cy}, {-by, cx}, {by, ax}, {ay, cx}};
    double e[12];
    int n = 0;
    for (auto &p : f) {
        double x = p[0] * p[1];
        n = Grow(e, n, x);
        n = Grow(e, n, std::fma(p[0], p[1], -x)); /* the product's rounding error */
    }
    for (int i = n - 1; i >= 0; i--) /* the largest component gives the sign */
        if (e[i] != 0)
            return e[i] > 0 ? 1 : -1;
    return 0;
}

int Orient(double ax, double ay, double bx, double by, double cx, double cy)
{
    double l = (bx - ax) * (cy - ay), r = (by - ay) * (cx - ax), d = l - r;
    /* (3 + 16 eps) eps (|l| + |r|), eps = 2^-53, bounds the rounding error */
    double bound = 3.3306690738754716e-16 * (std::fabs(l) + std::fabs(r));
    if (d > bound)
        return 1;
    if (-d > bound)
        return -1;
    return ExactOrient(ax, ay, bx, by, cx, cy);
}

int LocatePoint(int b, double x, double y)
{
    int s = Ibnd[b], e = Ibnd[b + 1] - 1, in = 0;
    for (int i = s, j = e; i <= e; j = i++) {
        double xi = Xb[i], yi = Yb[i], xj = Xb[j], yj = Yb[j];
        /* the edge j-i meets the ray towards +x when one end is above */
        bool straddle = (yi > y) != (yj > y);
        if (x < std::min(xi, xj) || x > std::max(xi, xj) || y < std::min(yi, yj) || y > std::max(yi, yj)) {
            if (straddle && x < std::min(xi, xj))
                in ^= 1;
            continue;
        }
        int o = Orient(xj, yj, xi, yi, x, y);
        if (o == 0)
            return 0; /* in the edge's box and on its line */
        if (straddle && (yi > yj) == (o > 0))
            in ^= 1;
    }
    return in ? 1 : -1;
}

/* the node after p in its boundary's stored order: the element p-Next(p) */
static int Next(int p)
{
    int b = Bou[p];
    return p + 1 < Ibnd[b + 1] ? p + 1 : Ibnd[b];
}

/* 1-based place of node p within its boundary, in input order */
static long Place(int p)
{
    return std::abs(Pnt[p]) - Ibnd[Bou[p]];
}

/* the node of element p-Next(p) that comes first in input order */
static int First(int p)
{
    return Pnt[p] > 0 ? p : Next(p);
}

/* scratch of n entries of the given size, released by the caller; not
   counted, so that the memory reports show the model alone */
static void *Temporary(size_t n, size_t size)
{
    void *t = std::calloc(n ? n : 1, size);
    if (!t)
        ErrorExit(1230, "can't allocate memory [%lux%u=%lu]", (unsigned long)n, (unsigned)size,
                  (unsigned long)(n * size));
    return t;
}

/* the faulty pair of positions first in input order so far: the pair whose
   later member comes first; its members p (earlier in the input) and q */
struct FirstPair {
    long hi = LONG_MAX, lo = 0;
    int p = -1, q = -1;
};

/* keeps the candidate pair p, q with input numbers a, c if it comes first */
static void Keep(FirstPair *f, int p, int q, long a, long c)
{
    long hi = std::max(a, c), lo = std::min(a, c);
    if (hi < f->hi || (hi == f->hi && lo < f->lo)) {
        f->hi = hi, f->lo = lo;
        f->p = a < c ? p : q;
        f->q = a < c ? q : p;
    }
}

/* two nodes closer than the resolution, unless they are the two ends of one
   element closer than 2^-52, which error 1248 reports */
static void CheckCoincident(int *ord)
{
    double tau = NodeResolution();
    for (int p = 0; p < Nb; p++)
        ord[p] = p;
    std::sort(ord, ord + Nb, [](int p, int q) { return Xb[p] < Xb[q] || (Xb[p] == Xb[q] && p < q); });
    FirstPair f;
    for (int i = 0; i < Nb; i++) {
        int p = ord[i];
        /* the window is wider than the test, so that no rounding hides a pair */
        for (int j = i + 1; j < Nb && Xb[ord[j]] - Xb[p] <= 2 * tau; j++) {
            int q = ord[j];
            double d = std::hypot(Xb[p] - Xb[q], Yb[p] - Yb[q]);
            if (!(d < tau) || (d < Eps && Bou[p] == Bou[q] && (Next(p) == q || Next(q) == p)))
                continue;
            Keep(&f, p, q, std::abs(Pnt[p]), std::abs(Pnt[q]));
        }
    }
    if (f.p >= 0)
        ErrorExit(1232, "boundary %li point %li and boundary %li point %li are coincident", (long)(Bou[f.p] + 1),
                  Place(f.p), (long)(Bou[f.q] + 1), Place(f.q));
}

/* 1 when the elements p-Next(p) and q-Next(q) have a single common point
   that lies inside both */
static int ProperCross(int p, int q)
{
    int a = p, b = Next(p), c = q, d = Next(q);
    int o1 = Orient(Xb[a], Yb[a], Xb[b], Yb[b], Xb[c], Yb[c]);
    int o2 = Orient(Xb[a], Yb[a], Xb[b], Yb[b], Xb[d], Yb[d]);
    if (o1 == 0 || o2 == 0 || o1 == o2)
        return 0;
    int o3 = Orient(Xb[c], Yb[c], Xb[d], Yb[d], Xb[a], Yb[a]);
    int o4 = Orient(Xb[c], Yb[c], Xb[d], Yb[d], Xb[b], Yb[b]);
    return o3 != 0 && o4 != 0 && o3 != o4;
}

/* two elements that cross: a sweep over the elements sorted by their left
   end, each met only by those that begin before it ends */
static void CheckCrossings(int *ord)
{
    auto lo = [](int p) { return std::min(Xb[p], Xb[Next(p)]); };
    for (int p = 0; p < Nb; p++)
        ord[p] = p;
    std::sort(ord, ord + Nb, [&](int p, int q) { return lo(p) < lo(q) || (lo(p) == lo(q) && p < q); });
    FirstPair f;
    for (int i = 0; i < Nb; i++) {
        int p = ord[i], p2 = Next(p);
        double xhi = std::max(Xb[p], Xb[p2]);
        double ylo = std::min(Yb[p], Yb[p2]), yhi = std::max(Yb[p], Yb[p2]);
        for (int j = i + 1; j < Nb && lo(ord[j]) <= xhi; j++) {
            int q = ord[j], q2 = Next(q);
            if (std::max(Yb[q], Yb[q2]) < ylo || std::min(Yb[q], Yb[q2]) > yhi || !ProperCross(p, q))
                continue;
            Keep(&f, p, q, std::abs(Pnt[First(p)]), std::abs(Pnt[First(q)]));
        }
    }
    int bp = f.p, bq = f.q;
    if (bp >= 0)
        ErrorExit(1236, "boundary %li element %li-%li crosses boundary %li element %li-%li", (long)(Bou[bp] + 1),
                  Place(First(bp)), Place(First(bp) == bp ? Next(bp) : bp), (long)(Bou[bq] + 1), Place(First(bq)),
                  Place(First(bq) == bq ? Next(bq) : bq));
}

/* a node strictly inside a hole it does not belong to: a hole inside a
   hole, or boundaries that overlap without crossing at an element */
static void CheckNesting(void)
{
    for (int h = 1; h < Nbnd; h++) {
        int s = Ibnd[h], e = Ibnd[h + 1] - 1;
        double x0 = Xb[s], x1 = Xb[s], y0 = Yb[s], y1 = Yb[s];
        for (int p = s; p <= e; p++) {
            x0 = std::min(x0, Xb[p]), x1 = std::max(x1, Xb[p]);
            y0 = std::min(y0, Yb[p]), y1 = std::max(y1, Yb[p]);
        }
        for (int b = 0; b < Nbnd; b++) {
            if (b == h)
                continue;
            int bs = Ibnd[b], be = Ibnd[b + 1] - 1;
            for (int k = 0; k <= be - bs; k++) { /* in input order */
                int p = Pnt[bs] > 0 ? bs + k : be - k;
                double x = Xb[p], y = Yb[p];
                if (x < x0 || x > x1 || y < y0 || y > y1 || LocatePoint(h, x, y) != 1)
                    continue;
                ErrorExit(1238, "boundary %li point %li at X=%lG,Y=%lG\nis inside internal boundary %li",
                          (long)(b + 1), (long)(k + 1), x, y, (long)(h + 1));
            }
        }
    }
}

static int *Order; /* the sorting scratch; held here, so a fatal error leaves nothing unreachable */

void CheckGeometry(void)
{
    Order = (int *)Temporary((size_t)Nb, sizeof(int));
    CheckCoincident(Order);
    CheckCrossings(Order);
    std::free(Order);
    Order = NULL;
    CheckNesting();
}

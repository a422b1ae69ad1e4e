/* evaluate.cpp: potential and velocity at the listed internal points or on
 * a grid over the region.
 *
 * U at a point is the sum over all elements of q1 G1 + q2 G2 - u1 H1 - u2 H2,
 * divided by 2 pi; its gradient is the same sum of the derivative weights.
 * Each row of the velocity file holds x, y, dU/dy, -dU/dx and U.  The sum
 * at a point takes each node's view (offset, logarithm, inverse squared
 * distance) once for the two elements that meet there, and the element
 * constants from a table made once per evaluation; without memory for the
 * table the single-element routine serves, with the very same results.
 */
#include "field/field.h"

#include <climits>
#include <cmath>

#include "driver/diag.h"
#include "field/fieldint.h"
#include "input/input.h"
#include "model/model.h"
#include "solver/elements.h"

static const double TwoPi = 6.283185307179586;

static long Shown; /* last percentage printed */

/* prints the percentage of points handled when it grows */
static void Progress(long n, double N)
{
    long P = (long)(n * 100.0 / N);
    if (P > Shown) {
        Fprint(stderr, "\r%li%% complete", P);
        Shown = P;
    }
}

int InsideRegion(double x, double y)
{
    if (!PointInPolygon(Xb, Yb, Ibnd[1], x, y))
        return 0;
    for (int b = 1; b < Nbnd; b++)
        if (PointInPolygon(Xb + Ibnd[b], Yb + Ibnd[b], Ibnd[b + 1] - Ibnd[b], x, y))
            return 0;
    return 1;
}

int AtNode(double x, double y)
{
    /* closer than the model's resolution the integrals of the node's two
       elements have no value either, only rounding noise and NaN */
    double r = NodeResolution(), r2 = r * r;
    for (int m = 0; m < Nb; m++) {
        double dx = Xb[m] - x, dy = Yb[m] - y;
        if (dx * dx + dy * dy < r2)
            return 1;
    }
    return 0;
}

static const ElementLoop *Loop; /* working storage while EvaluateField runs */

/* the three sums at (x, y), element by element with FieldIntegrals: the way
   without working storage */
static void FieldSumsPlain(double x, double y, double *su, double *sx, double *sy)
{
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1;
        for (int m = s, p = e; m <= e; p = m++) {
            double g1, g1x, g1y, g2, g2x, g2y, h1, h1x, h1y, h2, h2x, h2y;
            FieldIntegrals(x, y, Xb[p], Yb[p], Xb[m], Yb[m], &g1, &g1x, &g1y, &g2, &g2x, &g2y, &h1, &h1x, &h1y, &h2,
                           &h2x, &h2y);
            double qp = dUdN[p], qm = dUdN[m], up = Ub[p], um = Ub[m];
            *su += g1 * qp + g2 * qm - h1 * up - h2 * um;
            *sx += g1x * qp + g2x * qm - h1x * up - h2x * um;
            *sy += g1y * qp + g2y * qm - h1y * up - h2y * um;
        }
    }
}

/* the same from the views of the nodes, each taken once for the two
   elements that meet there, and the angle of each element */
static void FieldSums(const ElementLoop *L, double x, double y, double *su, double *sx, double *sy)
{
    const ElementConst *E = L->E;
    NodeView *V = L->V;
    ElementView *W = L->W;
    for (int m = 0; m < Nb; m++)
        ViewNodeGrad(x, y, Xb[m], Yb[m], &V[m]);
    for (int p = 0; p < Nb; p++)
        ViewElement(&E[p], &V[p], &W[p]);
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1;
        for (int m = s, p = e; m <= e; p = m++) { /* elements (e,s), (s,s+1) .. */
            double g1, g2, h1, h2;
            Gradients d;
            WeightsFrom(&E[p], &V[p], &V[m], &W[p], &g1, &g2, &h1, &h2);
            GradientsFrom(&E[p], &V[p], &V[m], &W[p], &d);
            double qp = dUdN[p], qm = dUdN[m], up = Ub[p], um = Ub[m];
            *su += g1 * qp + g2 * qm - h1 * up - h2 * um;
            *sx += d.G1x * qp + d.G2x * qm - d.H1x * up - d.H2x * um;
            *sy += d.G1y * qp + d.G2y * qm - d.H1y * up - d.H2y * um;
        }
    }
}

void FieldAt(double x, double y, double *U, double *Ux, double *Uy)
{
    double su = 0, sx = 0, sy = 0;
    /* outside EvaluateField the storage is made for this one point */
    const ElementLoop *L = Loop ? Loop : PrepareElements();
    if (L)
        FieldSums(L, x, y, &su, &sx, &sy);
    else
        FieldSumsPlain(x, y, &su, &sx, &sy);
    *U = su / TwoPi;
    *Ux = sx / TwoPi;
    *Uy = sy / TwoPi;
}

/* evaluates one point if it is in the region; 1 when a row was written */
static int EvaluatePoint(FILE *f, double x, double y, double *U)
{
    if (!InsideRegion(x, y) || AtNode(x, y))
        return 0;
    double ux, uy;
    FieldAt(x, y, U, &ux, &uy);
    Fprint(f, "%.9lG %.9lG %.9lG %.9lG %.9lG\n", x, y, uy, -ux, *U);
    return 1;
}

/* the internal points of the input, in input order */
static void EvaluatePoints(FILE *f)
{
    for (int i = 0; i < Ni; i++) {
        Progress(i, Ni);
        double U;
        EvaluatePoint(f, Xi[i], Yi[i], &U);
    }
}

int GridCount(double lo, double hi, double h)
{
    if (!(hi >= lo))
        return 0;
    if ((hi - lo) / h >= 2.0 * INT_MAX) /* far too many: don't count them */
        ErrorExit(820, "grid too fine (spacing does not advance or too many grid points)");
    long n = 0;
    for (double x = lo; x <= hi; n++) {
        double next = x + h;
        if (next == x || n == INT_MAX)
            ErrorExit(820, "grid too fine (spacing does not advance or too many grid points)");
        x = next;
    }
    return (int)n;
}

/* a grid of spacing h over the boundaries' extents, row by row */
static void EvaluateGrid(FILE *f)
{
    double h = std::sqrt(Anet / -(double)Ni);
    Nx = GridCount(Xmin, Xmax, h);
    Ny = GridCount(Ymin, Ymax, h);
    if ((long long)Nx * Ny > INT_MAX)
        ErrorExit(820, "grid too fine (spacing does not advance or too many grid points)");
    size_t n = (size_t)Nx * (size_t)Ny;
    Ing = (int *)AllocArray(824, n, sizeof(int));
    Ug = (double *)AllocArray(825, n, sizeof(double));
    Xg = (double *)AllocArray(826, (size_t)Nx, sizeof(double));
    Yg = (double *)AllocArray(827, (size_t)Ny, sizeof(double));
    /* coordinates by repeated addition, exactly as they were counted */
    long k = 0;
    double y = Ymin;
    for (int r = 0; r < Ny; r++, y += h) {
        double x = Xmin;
        for (int c = 0; c < Nx; c++, k++, x += h) {
            Progress(k, (double)n);
            double U;
            if (EvaluatePoint(f, x, y, &U)) {
                Ing[k] = 1;
                Ug[k] = U;
                Xg[c] = x;
                Yg[r] = y;
            }
        }
    }
}

void EvaluateField(const char *name)
{
    if (Ni == 0)
        return;
    FILE *f = CreateOutput("velocity output file", name, 779);
    Shown = 0;
    Loop = PrepareElements();
    if (Ni > 0)
        EvaluatePoints(f);
    else
        EvaluateGrid(f);
    Loop = NULL;
    Fprint(stderr, "\r             \r");
    CloseOutput(f, 779);
}

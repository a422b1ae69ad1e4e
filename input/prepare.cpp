/* prepare.cpp: splitting, orientation and validation of the boundaries.
 *
 * Afterwards the exterior boundary runs counter-clockwise and every hole
 * clockwise, so that the region lies to the left of every element.
 */
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "driver/diag.h"
#include "input/input.h"
#include "model/model.h"

static const double Eps = 2.220446049250313e-16; /* smallest area and length */

/* splits the nodes into boundaries, counts the classes, finds the extents */
static void SplitBoundaries(void)
{
    PrintLabel(stdout, "total number of boundaries");
    Nbnd = 1;
    Ibnd[0] = 0;
    Ness = Nnor = Ntan = 0;
    Xmin = Ymin = DBL_MAX;
    Xmax = Ymax = -DBL_MAX;
    for (int p = 0; p < Nb; p++) {
        switch (Bc[p] % 3) {
        case 0: Ness++; break;
        case 1: Nnor++; break;
        default: Ntan++; break;
        }
        if (Bc[p] >= 3 || p == Nb - 1) {
            Ibnd[Nbnd] = p + 1;
            if (Ibnd[Nbnd] - Ibnd[Nbnd - 1] < 3)
                ErrorExit(1129, "less than 3 boundary points");
            if (p != Nb - 1)
                Nbnd++;
        }
        if (!(Xb[p] > Xmin)) Xmin = Xb[p];
        if (!(Xb[p] < Xmax)) Xmax = Xb[p];
        if (!(Yb[p] > Ymin)) Ymin = Yb[p];
        if (!(Yb[p] < Ymax)) Ymax = Yb[p];
    }
    Fprint(stdout, "%li\n", (long)Nbnd);
    PrintLabel(stdout, "number of internal regions");
    Fprint(stdout, "%li\n", (long)(Nbnd - 1));
    PrintLabel(stdout, "number of essential BCs");
    Fprint(stdout, "%li\n", (long)Ness);
    PrintLabel(stdout, "number of normal BCs");
    Fprint(stdout, "%li\n", (long)Nnor);
    PrintLabel(stdout, "number of tangent BCs");
    Fprint(stdout, "%li\n", (long)Ntan);
}

void ReverseBoundary(int s, int e)
{
    for (int i = s, j = e; i < j; i++, j--) {
        double x = Xb[i], y = Yb[i], u = Ub[i];
        int c = Bc[i], k = Pnt[i];
        Xb[i] = Xb[j], Yb[i] = Yb[j], Ub[i] = Ub[j], Bc[i] = Bc[j], Pnt[i] = Pnt[j];
        Xb[j] = x, Yb[j] = y, Ub[j] = u, Bc[j] = c, Pnt[j] = k;
    }
    for (int p = s; p <= e; p++)
        Pnt[p] = -std::abs(Pnt[p]);
}

/* orients each boundary and checks containment, area and net area */
static void OrientBoundaries(void)
{
    PrintLabel(stdout, "sorting boundaries");
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1;
        double T = 0;
        for (int p = s, q = e; p <= e; q = p++) {
            Bou[p] = b;
            T += (Yb[q] + Yb[p]) * (Xb[p] - Xb[q]) * 0.5;
            if (b != 0 && !PointInPolygon(Xb, Yb, Ibnd[1], Xb[p], Yb[p]))
                ErrorExit(1175, "internal boundary %li point %li at X=%lG,Y=%lG\nis not inside external boundary",
                          (long)(b + 1), (long)(p - s + 1), Xb[p], Yb[p]);
        }
        Abnd[b] = std::fabs(T);
        if (Abnd[b] < Eps)
            ErrorExit(1179, "boundary is degenerate (area\xF7"
                            "0)");
        if (b == 0) {
            Anet = Abnd[0];
            if (!(T < 0))
                ReverseBoundary(s, e);
        } else {
            Anet -= Abnd[b];
            if (!(T > 0))
                ReverseBoundary(s, e);
        }
    }
    if (Nbnd > 1 && Abnd[0] / 100 > Anet)
        ErrorExit(1219, "net area is less than 1%% of the outer boundary");
    Fprint(stdout, "OK\n");
}

/* counts the essential conditions of the exterior boundary */
static void CheckEssential(void)
{
    Ness = 0;
    for (int p = 0; p < Ibnd[1]; p++)
        if (Bc[p] % 3 == 0)
            Ness++;
    if (Ness == 0)
        ErrorExit(1228, "no essential boundary conditions (viz. U=const.) on exterior boundary");
    PrintLabel(stdout, "essential boundary conditions");
    Fprint(stdout, "%li\n", (long)Ness);
}

/* length of the element from each node's input predecessor to the node */
static void ElementLengths(void)
{
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1;
        for (int p = s; p <= e; p++) {
            int q = Pnt[p] > 0 ? p - 1 : p + 1;
            if (q < s)
                q = e;
            if (q > e)
                q = s;
            Lb[p] = std::hypot(Xb[p] - Xb[q], Yb[p] - Yb[q]);
            if (Lb[p] < Eps)
                ErrorExit(1248, "boundary nodes %li and %li are coincident", (long)(p + 1), (long)(q + 1));
        }
    }
}

void PrepareBoundaries(void)
{
    SplitBoundaries();
    Abnd = (double *)AllocArray(1149, (size_t)Nbnd, sizeof(double));
    OrientBoundaries();
    CheckEssential();
    CheckGeometry();
    ElementLengths();
}

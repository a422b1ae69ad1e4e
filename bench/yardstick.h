/* yardstick.h: the plain routines the fast ones are measured and checked
 * against: the full-pivoting solver that searches and then updates the
 * remaining submatrix at every step, the element integrals written out
 * literally as one closed form per (node, element) pair, the assembly that
 * calls them for every pair, and the field sum that does the same at a
 * point.  Header only, so that the tests can use them as they are.
 */
#ifndef KAVOR_BENCH_YARDSTICK_H
#define KAVOR_BENCH_YARDSTICK_H

#include <cfloat>
#include <cmath>

#include "driver/diag.h"
#include "model/model.h"
#include "solver/integrals.h"

/* the entry of largest magnitude in the submatrix k..n-1 x k..n-1; row-major
   scan, strictly greater wins, so A[k][k] wins every tie and a NaN never
   wins; the pivot's row and column go to *p and *q */
static inline double PlainPivot(double **A, int n, int k, int *p, int *q)
{
    double best = std::fabs(A[k][k]);
    *p = k;
    *q = k;
    for (int r = k; r < n; r++) {
        const double *a = A[r];
        for (int c = k; c < n; c++) {
            double v = std::fabs(a[c]);
            if (v > best) {
                best = v;
                *p = r;
                *q = c;
            }
        }
    }
    return best;
}

/* solves A x = b as SolveLinear does, step by step as written; when piv is
   not NULL it receives the pivot row and column of every step, 2(n-1) ints */
static inline void SolveLinearPlain(double **A, double *b, double *x, int n, int *piv = 0)
{
    static const char *const Singular = "simultaneous equations are singular (no solution)";
    if (n < 1)
        ErrorExit(137, "no simultaneous equations");
    if (n == 1) {
        if (std::fabs(A[0][0]) < DBL_MIN)
            ErrorExit(143, "%s", Singular);
        x[0] = b[0] / A[0][0];
        return;
    }
    int *Pc = (int *)AllocArray(148, (size_t)n, sizeof(int));
    for (int c = 0; c < n; c++)
        Pc[c] = c;
    for (int k = 0; k < n - 1; k++) {
        Fprint(stderr, "\rsolving simultaneous equation %li", (long)(k + 1));
        int p, q;
        double best = PlainPivot(A, n, k, &p, &q);
        if (piv) {
            piv[2 * k] = p;
            piv[2 * k + 1] = q;
        }
        if (best < DBL_MIN)
            ErrorExit(175, "%s", Singular);
        if (p != k) {
            double t = b[k];
            b[k] = b[p];
            b[p] = t;
            double *a = A[k];
            A[k] = A[p];
            A[p] = a;
        }
        if (q != k) {
            int t = Pc[k];
            Pc[k] = Pc[q];
            Pc[q] = t;
            for (int r = 0; r < n; r++) {
                double v = A[r][k];
                A[r][k] = A[r][q];
                A[r][q] = v;
            }
        }
        const double *ak = A[k];
        for (int r = k + 1; r < n; r++) {
            double *ar = A[r];
            double f = ar[k] / ak[k];
            if (std::fabs(f) < DBL_MIN)
                continue;
            b[r] -= f * b[k];
            for (int c = k + 1; c < n; c++)
                ar[c] -= f * ak[c];
        }
    }
    if (std::fabs(A[n - 1][n - 1]) < DBL_MIN)
        ErrorExit(218, "%s", Singular);
    x[n - 1] = b[n - 1] / A[n - 1][n - 1];
    for (int r = n - 2; r >= 0; r--) {
        const double *a = A[r];
        double s = 0.0;
        for (int c = r + 1; c < n; c++)
            s += a[c] * x[c];
        x[r] = (b[r] - s) / a[r];
    }
    for (int c = 0; c < n; c++)
        b[c] = x[c];
    for (int c = 0; c < n; c++)
        x[Pc[c]] = b[c];
    FreeArray(Pc);
    Fprint(stderr, "\r");
    PrintLabel(stdout, "simultaneous equations");
    Fprint(stdout, "%li\n", (long)n);
}

/* the element integrals as one literal closed form, every quantity of the
   element and of both its nodes computed afresh: G1, G2, H1, H2 of the
   element (x1,y1)-(x2,y2) at (x,y) in W and, when D is not NULL, their x- and
   y-derivatives in the same order */
static inline void LiteralIntegrals(double x, double y, double x1, double y1, double x2, double y2,
                                    double W[4], double *D = 0)
{
    double ex = x2 - x1, ey = y2 - y1, dx = x - x1, dy = y - y1;
    double L2 = ex * ex + ey * ey, L = std::sqrt(L2);
    double a = ex * dx + ey * dy, b = L2 - a, c = ex * dy - ey * dx;
    double r1s = dx * dx + dy * dy, r2s = (dx - ex) * (dx - ex) + (dy - ey) * (dy - ey);
    double lam1 = std::log(r1s), lam2 = std::log(r2s);
    double Th = std::atan(a / c) + std::atan(b / c);
    double I0 = L - (a * lam1 + b * lam2) / (2.0 * L) - (c / L) * Th;
    double I1 = -(r2s * lam2 - r1s * lam1 - (b - a)) / 4.0;
    double q = (c / (2.0 * L2)) * (lam2 - lam1);
    W[0] = (b * I0 - L * I1) / L2;
    W[1] = (a * I0 + L * I1) / L2;
    W[2] = -(b / L2) * Th + q;
    W[3] = -(a / L2) * Th - q;
    if (!D)
        return;
    double L3 = L2 * L, hDl = (lam2 - lam1) / 2.0;
    double px1 = dx / r1s, py1 = dy / r1s, px2 = (dx - ex) / r2s, py2 = (dy - ey) / r2s;
    double Thx = py1 - py2, Thy = px2 - px1;
    double k1 = b * ex - c * ey, m1 = b * ey + c * ex, k2 = a * ex + c * ey, m2 = a * ey - c * ex;
    D[0] = (k1 * hDl + m1 * Th - ex * L2) / L3;
    D[1] = (m1 * hDl - k1 * Th - ey * L2) / L3;
    D[2] = (k2 * hDl + m2 * Th + ex * L2) / L3;
    D[3] = (m2 * hDl - k2 * Th + ey * L2) / L3;
    double Kx = (c / L2) * (px2 - px1), Ky = (c / L2) * (py2 - py1);
    D[4] = (ex * Th - b * Thx - ey * hDl) / L2 + Kx;
    D[5] = (ey * Th - b * Thy + ex * hDl) / L2 + Ky;
    D[6] = (-ex * Th - a * Thx + ey * hDl) / L2 - Kx;
    D[7] = (-ey * Th - a * Thy - ex * hDl) / L2 - Ky;
}

/* LiteralIntegrals with the arguments of ElementIntegrals */
static inline void LiteralElementIntegrals(double x, double y, double x1, double y1, double x2, double y2,
                                           double *G1, double *G2, double *H1, double *H2)
{
    double w[4];
    LiteralIntegrals(x, y, x1, y1, x2, y2, w);
    *G1 = w[0], *G2 = w[1], *H1 = w[2], *H2 = w[3];
}

/* LiteralIntegrals with the arguments of FieldIntegrals */
static inline void LiteralFieldIntegrals(double x, double y, double x1, double y1, double x2, double y2,
                                         double *G1, double *G1x, double *G1y, double *G2, double *G2x,
                                         double *G2y, double *H1, double *H1x, double *H1y, double *H2,
                                         double *H2x, double *H2y)
{
    double w[4], d[8];
    LiteralIntegrals(x, y, x1, y1, x2, y2, w, d);
    *G1 = w[0], *G2 = w[1], *H1 = w[2], *H2 = w[3];
    *G1x = d[0], *G1y = d[1], *G2x = d[2], *G2y = d[3];
    *H1x = d[4], *H1y = d[5], *H2x = d[6], *H2y = d[7];
}

typedef void ElementFn(double, double, double, double, double, double, double *, double *, double *, double *);
typedef void FieldFn(double, double, double, double, double, double, double *, double *, double *, double *,
                     double *, double *, double *, double *, double *, double *, double *, double *);

/* G and H from f (the literal closed form unless told otherwise) and
   SelfIntegrals, one call per pair */
static inline void AssembleInfluencePlain(ElementFn *f = LiteralElementIntegrals)
{
    for (int i = 0; i < Nb; i++) {
        Fprint(stderr, "\rdetermining equation for node %li", (long)(i + 1));
        double x = Xb[i], y = Yb[i], *Gi = G[i], *Hi = H[i];
        for (int j = 0; j < Nb; j++) {
            int k = j + 1 < Ibnd[Bou[j] + 1] ? j + 1 : Ibnd[Bou[j]];
            if (j == i || k == i) {
                double gn, gf;
                SelfIntegrals(Xb[j], Yb[j], Xb[k], Yb[k], &gn, &gf);
                Gi[j] += j == i ? gn : gf;
                Gi[k] += j == i ? gf : gn;
                continue;
            }
            double g1, g2, h1, h2;
            f(x, y, Xb[j], Yb[j], Xb[k], Yb[k], &g1, &g2, &h1, &h2);
            Hi[i] -= h1 + h2;
            Hi[j] += h1;
            Gi[j] += g1;
            Hi[k] += h2;
            Gi[k] += g2;
        }
    }
    Fprint(stderr, "\r");
    PrintLabel(stdout, "nodal point equations");
    Fprint(stdout, "%li\n", (long)Nb);
}

/* U and its gradient at (x, y), one call of f per element */
static inline void FieldAtPlain(double x, double y, double *U, double *Ux, double *Uy,
                                FieldFn *f = LiteralFieldIntegrals)
{
    double su = 0, sx = 0, sy = 0;
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1;
        for (int m = s, p = e; m <= e; p = m++) {
            double g1, g1x, g1y, g2, g2x, g2y, h1, h1x, h1y, h2, h2x, h2y;
            f(x, y, Xb[p], Yb[p], Xb[m], Yb[m], &g1, &g1x, &g1y, &g2, &g2x, &g2y, &h1, &h1x, &h1y, &h2, &h2x,
              &h2y);
            double qp = dUdN[p], qm = dUdN[m], up = Ub[p], um = Ub[m];
            su += g1 * qp + g2 * qm - h1 * up - h2 * um;
            sx += g1x * qp + g2x * qm - h1x * up - h2x * um;
            sy += g1y * qp + g2y * qm - h1y * up - h2y * um;
        }
    }
    *U = su / 6.283185307179586;
    *Ux = sx / 6.283185307179586;
    *Uy = sy / 6.283185307179586;
}

#endif

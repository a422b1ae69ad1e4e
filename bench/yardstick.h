/* yardstick.h: the plain routines the fast ones are measured and checked
 * against: the full-pivoting solver that searches and then updates the
 * remaining submatrix at every step, the assembly that integrates every
 * (node, element) pair on its own, and the field sum that does the same at a
 * point.  Header only, so that the tests can use them as they are.
 */
#ifndef KAVOR_BENCH_YARDSTICK_H
#define KAVOR_BENCH_YARDSTICK_H

#include <cfloat>
#include <cmath>

#include "driver/diag.h"
#include "field/fieldint.h"
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

/* G and H from ElementIntegrals and SelfIntegrals, one call per pair */
static inline void AssembleInfluencePlain(void)
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
            ElementIntegrals(x, y, Xb[j], Yb[j], Xb[k], Yb[k], &g1, &g2, &h1, &h2);
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

/* U and its gradient at (x, y), one FieldIntegrals call per element */
static inline void FieldAtPlain(double x, double y, double *U, double *Ux, double *Uy)
{
    double su = 0, sx = 0, sy = 0;
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1;
        for (int m = s, p = e; m <= e; p = m++) {
            double g1, g1x, g1y, g2, g2x, g2y, h1, h1x, h1y, h2, h2x, h2y;
            FieldIntegrals(x, y, Xb[p], Yb[p], Xb[m], Yb[m], &g1, &g1x, &g1y, &g2, &g2x, &g2y, &h1, &h1x, &h1y,
                           &h2, &h2x, &h2y);
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

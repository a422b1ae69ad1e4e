/* solve.cpp: Gaussian elimination with full pivoting on a table of rows */
#include "solver/solve.h"

#include <cfloat>
#include <cmath>

#include "driver/diag.h"

static const char *const Singular = "simultaneous equations are singular (no solution)";

/* finds the entry of largest magnitude in the submatrix k..n-1 x k..n-1;
   row-major scan, strictly greater wins, so A[k][k] wins every tie and a NaN
   never wins */
static double FindPivot(double **A, int n, int k, int *p, int *q)
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

/* solves A x = b; A and b are destroyed */
void SolveLinear(double **A, double *b, double *x, int n)
{
    if (n < 1)
        ErrorExit(137, "no simultaneous equations");
    if (n == 1) { /* no pivoting to do: nothing allocated, nothing printed */
        if (std::fabs(A[0][0]) < DBL_MIN)
            ErrorExit(143, "%s", Singular);
        x[0] = b[0] / A[0][0];
        return;
    }

    /* Pc[c]: the caller's index of the unknown that column c now holds */
    int *Pc = (int *)AllocArray(148, (size_t)n, sizeof(int));
    for (int c = 0; c < n; c++)
        Pc[c] = c;

    for (int k = 0; k < n - 1; k++) {
        Fprint(stderr, "\rsolving simultaneous equation %li", (long)(k + 1));

        int p, q;
        double best = FindPivot(A, n, k, &p, &q);
        if (best < DBL_MIN)
            ErrorExit(175, "%s", Singular);

        if (p != k) { /* rows move by pointer; b follows its row */
            double t = b[k];
            b[k] = b[p];
            b[p] = t;
            double *a = A[k];
            A[k] = A[p];
            A[p] = a;
        }
        if (q != k) { /* columns move physically, in the reduced rows too */
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
            if (std::fabs(f) < DBL_MIN) /* negligible: the row, b[r] too, stays */
                continue;
            b[r] -= f * b[k];
            for (int c = k + 1; c < n; c++)
                ar[c] -= f * ak[c];
        }
    }

    /* the step loop never tests the last diagonal entry */
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

    /* back to the caller's order, through b as scratch */
    for (int c = 0; c < n; c++)
        b[c] = x[c];
    for (int c = 0; c < n; c++)
        x[Pc[c]] = b[c];

    FreeArray(Pc);
    Fprint(stderr, "\r");
    PrintLabel(stdout, "simultaneous equations");
    Fprint(stdout, "%li\n", (long)n);
}

/* solve.cpp: Gaussian elimination with full pivoting on a table of rows
 *
 * The pivot of every step is the entry of largest magnitude in the remaining
 * submatrix, found as a row-major scan finds it (strictly greater wins, so
 * the diagonal wins every tie and a NaN never wins).  The elimination passes
 * over that submatrix once per step: while it updates a row it also takes
 * the row's largest magnitude over the columns that stay, so that the next
 * pivot is known when the pass ends and the submatrix is not read a second
 * time for the search; rows go through it two at a time, with the pivot
 * row shared.  Column exchanges reach the finished rows above the
 * pivot only before the back substitution, in step order, which leaves them
 * exactly as an exchange at every step would; nothing reads them earlier.
 * Every product and difference is the one of the plain algorithm, so the
 * solution, the pivots and the reduced rows are the same bits.
 */
#include "solver/solve.h"

#include <cfloat>
#include <cmath>

#include "driver/diag.h"
#include "solver/rowkernels.h"

static const char *const Singular = "simultaneous equations are singular (no solution)";

/* the first column c in k..n-1 of row a with |a[c]| equal to the row's
   largest magnitude v */
static int FirstAt(const double *a, int k, int n, double v)
{
    int c = k;
    while (c < n - 1 && !(std::fabs(a[c]) == v))
        c++;
    return c;
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

    /* x is scratch until the back substitution: for a row r below the pivot
       x[r] is its largest magnitude over the columns that stay (NaN left
       out, -1 when there is none); for a step k done, x[k] is the column
       exchanged with column k at that step */
    const RowKernels *K = Kernels();
    for (int r = 0; r < n; r++)
        x[r] = K->max(A[r], n);

    for (int k = 0; k < n - 1; k++) {
        Fprint(stderr, "\rsolving simultaneous equation %li", (long)(k + 1));

        /* the row-major scan's winner: the first row whose maximum beats all
           before it and the diagonal, at its first entry of that magnitude */
        double best = std::fabs(A[k][k]);
        int p = k, q = k;
        bool moved = false;
        for (int r = k; r < n; r++)
            if (x[r] > best) {
                best = x[r];
                p = r;
                moved = true;
            }
        if (moved)
            q = FirstAt(A[p], k, n, best);
        if (best < DBL_MIN)
            ErrorExit(175, "%s", Singular);

        if (p != k) { /* rows move by pointer; b and the row maximum follow */
            double t = b[k];
            b[k] = b[p];
            b[p] = t;
            double *a = A[k];
            A[k] = A[p];
            A[p] = a;
            x[p] = x[k];
        }
        x[k] = q;
        double *ak = A[k];
        if (q != k) { /* the rows from k down now; the rows above later */
            int t = Pc[k];
            Pc[k] = Pc[q];
            Pc[q] = t;
            double v = ak[k];
            ak[k] = ak[q];
            ak[q] = v;
        }

        const double piv = ak[k];
        const int m = n - k - 1; /* the columns that stay: k+1..n-1 */
        double *wait = NULL;     /* a row to update with the next one */
        double fw = 0;
        int rw = 0;
        for (int r = k + 1; r < n; r++) {
            double *ar = A[r];
            if (r + 2 < n) { /* the entries of a row ahead that are read alone */
                __builtin_prefetch(A[r + 2] + k, 1);
                __builtin_prefetch(A[r + 2] + q, 1);
            }
            if (q != k) {
                double v = ar[k];
                ar[k] = ar[q];
                ar[q] = v;
            }
            double f = ar[k] / piv;
            if (std::fabs(f) < DBL_MIN) {
                /* negligible: the row, b[r] too, stays.  Its maximum over
                   k..n-1 still holds for k+1..n-1 unless the entry that left
                   the range, now in column k, may have held it. */
                if (!(std::fabs(ar[k]) < x[r]))
                    x[r] = K->max(ar + k + 1, m);
                continue;
            }
            b[r] -= f * b[k];
            if (!wait) {
                wait = ar, fw = f, rw = r;
                continue;
            }
            K->update2(wait + k + 1, ar + k + 1, ak + k + 1, fw, f, m, &x[rw], &x[r]);
            wait = NULL;
        }
        if (wait)
            x[rw] = K->update(wait + k + 1, ak + k + 1, fw, m);
    }

    /* the step loop never tests the last diagonal entry */
    if (std::fabs(A[n - 1][n - 1]) < DBL_MIN)
        ErrorExit(218, "%s", Singular);

    /* row r was finished at step r; the exchanges of steps r+1..n-2 */
    for (int r = 0; r < n - 2; r++) {
        double *a = A[r];
        for (int k = r + 1; k < n - 1; k++) {
            int q = (int)x[k];
            if (q != k) {
                double v = a[k];
                a[k] = a[q];
                a[q] = v;
            }
        }
    }

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

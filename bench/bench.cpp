/* bench.cpp: kavor_bench, the hot loops of a run against their plain forms.
 *
 *   solve     SolveLinear against the plain full-pivoting algorithm of
 *             yardstick.h and against LAPACK's complete-pivoting dgetc2 and
 *             dgesc2, on random matrices and on arranged boundary systems;
 *             first it checks that the solution, the right-hand side, every
 *             pivot row and column and every reduced entry are the plain
 *             algorithm's bits, and stops at the first difference.
 *   assemble  AssembleInfluence against the literal element integrals per (node, element).
 *   field     FieldAt against the literal element integrals per (point, element).
 *   run       whole runs on a circle with a grid of about 10^4 points, each
 *             in a fresh process: time per phase and peak memory, the plain
 *             routines against the program's, and their result files side by
 *             side.
 *
 * Runs of the compared routines alternate, and every figure is the median of
 * its runs with its ratio to the plain routine's median.  The plain solver
 * and LAPACK take about 50 s at n = 4000, so the whole benchmark takes some
 * 30 minutes; --sizes 1000,2000 shortens it.
 *
 * kavor_bench [--sizes 1000,2000,4000] [--reps 5] [--parts solve,assemble,field,run]
 *             [--kinds random,channel,circle]
 */
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "bench/yardstick.h"
#include "driver/diag.h"
#include "driver/format.h"
#include "field/field.h"
#include "input/input.h"
#include "model/model.h"
#include "output/output.h"
#include "output/plots.h"
#include "solver/assemble.h"
#include "solver/rowkernels.h"
#include "solver/solve.h"

extern "C" {
void dgetc2_(const int *n, double *a, const int *lda, int *ipiv, int *jpiv, int *info);
void dgesc2_(const int *n, const double *a, const int *lda, double *rhs, const int *ipiv, const int *jpiv,
             double *scale);
}

static FILE *Out; /* the report; the program's own console goes to /dev/null */
static std::string Dir; /* scratch directory of this run */

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + 1e-9 * t.tv_nsec;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n == 0 ? NAN : n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

[[noreturn]] static void Fail(const char *fmt, ...) KAVOR_PRINTF(1, 2);
static void Fail(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    fprintf(Out, "\n*** FAILED: ");
    vfprintf(Out, fmt, ap);
    fprintf(Out, "\n");
    va_end(ap);
    fflush(Out);
    exit(2);
}

/* the program's console to /dev/null while one of its routines runs */
struct Quiet {
    int out, err;
    Quiet()
    {
        fflush(stdout);
        out = dup(1);
        err = dup(2);
        int z = open("/dev/null", O_WRONLY);
        dup2(z, 1);
        dup2(z, 2);
        close(z);
    }
    ~Quiet()
    {
        fflush(stdout);
        dup2(out, 1);
        dup2(err, 2);
        close(out);
        close(err);
    }
};

/* ---- inputs ---- */

/* the circles' radius: clear of 1, the size at which the single layer of
   ln(1/r) on a circle is singular and the systems nearly so */
static const double Radius = 0.5;

/* a circle of radius Radius with n nodes, U = x^2 - y^2 + xy + 0.3x given
   on one half and its normal derivative on the other, and a grid of ni
   points */
static std::string Circle(int n, int ni)
{
    std::string s = Format("circle of %d nodes\n%d %d\n", n, n, ni);
    for (int i = 0; i < n; i++) {
        double t = 2 * M_PI * i / n, x = Radius * std::cos(t), y = Radius * std::sin(t);
        double u = x * x - y * y + x * y + 0.3 * x;
        double q = ((2 * x + y + 0.3) * x + (x - 2 * y) * y) / Radius;
        int type = i < n / 2 ? 0 : 1;
        s += Format("%.17g %.17g %d %.17g\n", x, y, type + (i == n - 1 ? 3 : 0), type ? q : u);
    }
    return s;
}

/* the channel 0..4 x 0..1 with a circular obstacle, U given on the ends,
   dU/dN = 0 on the bottom, dU/dT = 0 on most of the top and all around the
   obstacle (whose last node carries the zero-net-flux row): a system of
   exactly neq equations with tangential rows of two entries */
static std::string Channel(int neq)
{
    /* nodes: 4m bottom, m right, 4m top, m left, h on the obstacle;
       equations: 10m + h + t + h with t tangential nodes on the top */
    int m = std::max(2, neq / 20), h = (neq - 14 * m + 2) / 2, t = neq - 10 * m - 2 * h;
    if (h < 3 || t < 0 || t > 4 * m - 1)
        Fail("no channel of %d equations", neq);
    std::string s = Format("channel of %d equations\n%d 0\n", neq, 10 * m + h);
    for (int k = 0; k < 4 * m; k++)
        s += Format("%.17g 0 1 0\n", 4.0 * k / (4 * m));
    for (int k = 0; k < m; k++)
        s += Format("4 %.17g 0 1\n", (double)k / m);
    for (int k = 0; k < 4 * m; k++)
        s += Format("%.17g 1 %d 0\n", 4 - 4.0 * k / (4 * m), k >= 1 && k <= t ? 2 : 1);
    for (int k = 0; k < m; k++)
        s += Format("0 %.17g %d 0\n", 1 - (double)k / m, k == m - 1 ? 3 : 0);
    for (int k = 0; k < h; k++) {
        double a = -2 * M_PI * k / h;
        s += Format("%.17g %.17g %d 0\n", 2 + 0.2 * std::cos(a), 0.5 + 0.2 * std::sin(a), k == h - 1 ? 5 : 2);
    }
    return s;
}

/* writes the input and reads it into the model */
static void Load(const std::string &text, const char *name)
{
    std::string path = Dir + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f || fwrite(text.data(), 1, text.size(), f) != text.size() || fclose(f) != 0)
        Fail("cannot write %s", path.c_str());
    Quiet q;
    Nline = 0;
    ReadInput(path.c_str());
}

/* ---- the solver ---- */

typedef std::vector<std::vector<double>> Mat;

struct System {
    Mat A;
    std::vector<double> b;
};

static System RandomSystem(int n, unsigned seed)
{
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    System s;
    s.A.assign(n, std::vector<double>(n));
    for (auto &r : s.A)
        for (double &v : r)
            v = u(g);
    s.b.resize(n);
    for (double &v : s.b)
        v = u(g);
    return s;
}

/* the arranged matrix of a boundary model; its right-hand side is the
   matrix times distinct values, so that every unknown, and with it every
   pivot column, can be told by its bits (the arranged right-hand side of a
   symmetric problem gives equal unknowns) */
static System BoundarySystem(const std::string &input)
{
    Load(input, "system.dat");
    {
        Quiet q;
        AllocSystem();
        AssembleInfluence();
        ArrangeSystem();
    }
    System s;
    for (int r = 0; r < Neq; r++)
        s.A.emplace_back(Amat[r], Amat[r] + Neq);
    s.b.assign(Neq, 0.0);
    for (int r = 0; r < Neq; r++)
        for (int c = 0; c < Neq; c++)
            s.b[r] += s.A[r][c] * (1.0 + (double)c / Neq);
    return s;
}

/* a system as the solver takes it: a table of separately allocated rows */
struct Rows {
    std::vector<double *> p;
    std::vector<double *> own;
    explicit Rows(const Mat &A)
    {
        for (const auto &r : A) {
            double *q = (double *)malloc(r.size() * sizeof(double));
            memcpy(q, r.data(), r.size() * sizeof(double));
            p.push_back(q);
            own.push_back(q);
        }
    }
    ~Rows()
    {
        for (double *q : own)
            free(q);
    }
    /* the original row behind each row pointer */
    std::vector<int> Order() const
    {
        std::vector<int> o;
        for (double *q : p)
            o.push_back((int)(std::find(own.begin(), own.end(), q) - own.begin()));
        return o;
    }
};

/* what one solve left behind */
struct Solved {
    std::vector<double> x, b;
    std::vector<int> rows, cols; /* final row order; caller's unknown of each column */
    std::vector<int> piv;        /* pivot row and column of every step */
    Mat R;                       /* the reduced rows, in row-pointer order */
    double t;
};

/* the exchanges (k, p_k), p_k >= k, k = 0..n-2, that turn the identity into
   the final order o: unique, so equal orders mean equal pivots */
static std::vector<int> Exchanges(const std::vector<int> &o)
{
    int n = (int)o.size();
    std::vector<int> cur(n), at(n), ex;
    for (int i = 0; i < n; i++)
        cur[i] = at[i] = i;
    for (int k = 0; k + 1 < n; k++) {
        int p = at[o[k]];
        ex.push_back(p);
        std::swap(cur[k], cur[p]);
        at[cur[k]] = k;
        at[cur[p]] = p;
    }
    return ex;
}

static Solved RunSolver(const System &s, bool plain, bool keep)
{
    int n = (int)s.b.size();
    Rows m(s.A);
    Solved r;
    r.b = s.b;
    r.x.assign(n, 0.0);
    if (plain)
        r.piv.resize(2 * (n - 1));
    double t0;
    {
        Quiet q;
        t0 = Now();
        if (plain)
            SolveLinearPlain(m.p.data(), r.b.data(), r.x.data(), n, r.piv.data());
        else
            SolveLinear(m.p.data(), r.b.data(), r.x.data(), n);
        r.t = Now() - t0;
    }
    if (keep) {
        r.rows = m.Order();
        for (double *q : m.p)
            r.R.emplace_back(q, q + n);
        /* b holds the solution in column order: with distinct unknowns the
           column of each unknown follows from the bits */
        std::vector<std::pair<uint64_t, int>> key;
        for (int i = 0; i < n; i++) {
            uint64_t k;
            memcpy(&k, &r.x[i], 8);
            key.push_back({k, i});
        }
        std::sort(key.begin(), key.end());
        for (int i = 1; i < n; i++)
            if (key[i].first == key[i - 1].first)
                Fail("two unknowns with the same bits: columns cannot be told apart");
        for (int c = 0; c < n; c++) {
            uint64_t k;
            memcpy(&k, &r.b[c], 8);
            auto it = std::lower_bound(key.begin(), key.end(), std::make_pair(k, -1));
            if (it == key.end() || it->first != k)
                Fail("entry %d of b is no unknown", c);
            r.cols.push_back(it->second);
        }
    }
    return r;
}

/* LAPACK's complete pivoting: LU by dgetc2, then dgesc2; x = rhs / scale */
static double RunLapack(const System &s, std::vector<double> &x)
{
    int n = (int)s.b.size(), info = 0;
    std::vector<double> a((size_t)n * n);
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
            a[(size_t)c * n + r] = s.A[r][c];
    std::vector<int> ip(n), jp(n);
    x = s.b;
    double scale = 1, t0 = Now();
    dgetc2_(&n, a.data(), &n, ip.data(), jp.data(), &info);
    dgesc2_(&n, a.data(), &n, x.data(), ip.data(), jp.data(), &scale);
    double t = Now() - t0;
    if (info != 0)
        Fail("dgetc2 perturbed a pivot (info %d)", info);
    for (double &v : x)
        v /= scale;
    return t;
}

static bool SameBits(double p, double q)
{
    return memcmp(&p, &q, sizeof p) == 0;
}

/* the new solver against the plain one, everything compared */
static void Verify(const Solved &got, const Solved &want, const char *what, int n)
{
    for (int i = 0; i < n; i++) {
        if (!SameBits(got.x[i], want.x[i]))
            Fail("%s n=%d: x[%d] = %.17g, plain %.17g", what, n, i, got.x[i], want.x[i]);
        if (!SameBits(got.b[i], want.b[i]))
            Fail("%s n=%d: b[%d] = %.17g, plain %.17g", what, n, i, got.b[i], want.b[i]);
    }
    std::vector<int> er = Exchanges(got.rows), ec = Exchanges(got.cols);
    std::vector<int> wr = Exchanges(want.rows), wc = Exchanges(want.cols);
    for (int k = 0; k + 1 < n; k++) {
        if (wr[k] != want.piv[2 * k] || wc[k] != want.piv[2 * k + 1])
            Fail("%s n=%d: the plain solver's own record disagrees at step %d", what, n, k + 1);
        if (er[k] != want.piv[2 * k] || ec[k] != want.piv[2 * k + 1])
            Fail("%s n=%d: pivot of step %d at (%d,%d), plain (%d,%d)", what, n, k + 1, er[k], ec[k],
                 want.piv[2 * k], want.piv[2 * k + 1]);
    }
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
            if (!SameBits(got.R[r][c], want.R[r][c]))
                Fail("%s n=%d: reduced entry (%d,%d) = %.17g, plain %.17g", what, n, r, c, got.R[r][c],
                     want.R[r][c]);
}

static double MaxRel(const std::vector<double> &x, const std::vector<double> &y)
{
    double d = 0, s = 0;
    for (size_t i = 0; i < x.size(); i++) {
        d = std::max(d, std::fabs(x[i] - y[i]));
        s = std::max(s, std::fabs(y[i]));
    }
    return d / s;
}

static void BenchSolve(const std::vector<int> &sizes, const std::vector<std::string> &kinds, int reps)
{
    fprintf(Out, "\n== solve: SolveLinear (%s kernels) against the plain algorithm and LAPACK dgetc2+dgesc2 ==\n",
            Kernels()->name);
    fprintf(Out, "%-8s %5s %5s %10s %12s %7s %10s %7s %10s  %s\n", "matrix", "n", "runs", "plain [s]", "SolveLinear",
            "ratio", "LAPACK", "ratio", "SL/LAPACK", "check");
    for (int n : sizes)
        for (const std::string &kind : kinds) {
            System s = kind == "random" ? RandomSystem(n, 1000u + n)
                       : kind == "channel" ? BoundarySystem(Channel(n))
                                           : BoundarySystem(Circle(n, 0));
            if ((int)s.b.size() != n)
                Fail("%s system of %zu equations, not %d", kind.c_str(), s.b.size(), n);
            /* the first runs are the check, and count as samples too */
            Solved want = RunSolver(s, true, true);
            Solved got = RunSolver(s, false, true);
            Verify(got, want, kind.c_str(), n);
            std::vector<double> xl;
            std::vector<double> tp{want.t}, tn{got.t}, tl{RunLapack(s, xl)};
            double dl = MaxRel(xl, want.x);
            for (int i = 1; i < reps; i++) {
                tn.push_back(RunSolver(s, false, false).t);
                tp.push_back(RunSolver(s, true, false).t);
                tl.push_back(RunLapack(s, xl));
            }
            double mp = Median(tp), mn = Median(tn), ml = Median(tl);
            fprintf(Out, "%-8s %5d %2zu/%-2zu %10.3f %12.3f %7.3f %10.3f %7.3f %10.3f  same bits: x, b, %d row and "
                         "column pivots, %d entries; LAPACK x within %.1e\n",
                    kind.c_str(), n, tn.size(), tp.size(), mp, mn, mn / mp, ml, ml / mp, mn / ml, n - 1, n * n, dl);
            fflush(Out);
        }
}

/* ---- assembly and field ---- */

static void ZeroInfluence(void)
{
    for (int i = 0; i < Nb; i++) {
        memset(G[i], 0, Nb * sizeof(double));
        memset(H[i], 0, Nb * sizeof(double));
    }
}

/* largest difference of two row tables, each row relative to its own scale */
static double RowDiff(const Mat &a, double **b)
{
    double w = 0;
    for (size_t i = 0; i < a.size(); i++) {
        double s = 0, d = 0;
        for (size_t j = 0; j < a[i].size(); j++) {
            s = std::max(s, std::fabs(a[i][j]));
            d = std::max(d, std::fabs(a[i][j] - b[i][j]));
        }
        w = std::max(w, d / s);
    }
    return w;
}

static double TimeAssembly(bool plain)
{
    ZeroInfluence();
    Quiet q;
    double t0 = Now();
    if (plain)
        AssembleInfluencePlain();
    else
        AssembleInfluence();
    return Now() - t0;
}

static void BenchAssemble(const std::vector<int> &sizes, int reps)
{
    fprintf(Out, "\n== assemble: AssembleInfluence against the literal element integrals per (node, element), circle ==\n");
    fprintf(Out, "%5s %5s %10s %12s %7s %10s  %s\n", "Nb", "runs", "plain [s]", "fast [s]", "ratio", "ns/pair",
            "largest difference, relative to the row");
    for (int n : sizes) {
        Load(Circle(n, 0), "assemble.dat");
        std::vector<double> tp, tf;
        tp.push_back(TimeAssembly(true));
        Mat g, h;
        for (int i = 0; i < Nb; i++) {
            g.emplace_back(G[i], G[i] + Nb);
            h.emplace_back(H[i], H[i] + Nb);
        }
        tf.push_back(TimeAssembly(false));
        double dg = RowDiff(g, G), dh = RowDiff(h, H);
        for (int i = 1; i < reps; i++) {
            tp.push_back(TimeAssembly(true));
            tf.push_back(TimeAssembly(false));
        }
        double mp = Median(tp), mf = Median(tf);
        fprintf(Out, "%5d %5zu %10.3f %12.3f %7.3f %10.1f  G %.1e, H %.1e\n", n, tf.size(), mp, mf, mf / mp,
                1e9 * mf / ((double)n * n), dg, dh);
        fflush(Out);
    }
}

/* harmonic boundary values, so that the field has a known answer */
static void SetHarmonic(void)
{
    for (int m = 0; m < Nb; m++) {
        double x = Xb[m], y = Yb[m];
        Ub[m] = x * x - y * y + x * y + 0.3 * x;
        dUdN[m] = ((2 * x + y + 0.3) * x + (x - 2 * y) * y) / Radius;
    }
}

/* EvaluateField's list mode with the plain field sum */
static void EvaluatePointsPlain(const char *name)
{
    FILE *f = CreateOutput("velocity output file", name, 779);
    for (int i = 0; i < Ni; i++) {
        double x = Xi[i], y = Yi[i];
        if (!InsideRegion(x, y) || AtNode(x, y))
            continue;
        double U, ux, uy;
        FieldAtPlain(x, y, &U, &ux, &uy);
        Fprint(f, "%.9lG %.9lG %.9lG %.9lG %.9lG\n", x, y, uy, -ux, U);
    }
    CloseOutput(f, 779);
}

static std::string CompareFiles(const std::string &a, const std::string &b, const char *name);

static double TimeField(bool plain, const char *name)
{
    Quiet q;
    double t0 = Now();
    if (plain)
        EvaluatePointsPlain(name);
    else
        EvaluateField(name);
    return Now() - t0;
}

static void BenchField(const std::vector<int> &sizes, int reps)
{
    const int P = 2000;
    fprintf(Out, "\n== field: EvaluateField against the literal element integrals per (point, element), %d points in a circle ==\n",
            P);
    fprintf(Out, "%5s %5s %10s %12s %7s %10s  %s\n", "Nb", "runs", "plain [s]", "fast [s]", "ratio", "ns/pair",
            "velocity files; largest error of U");
    for (int n : sizes) {
        Load(Circle(n, 0), "field.dat");
        SetHarmonic();
        std::mt19937 g(n);
        std::uniform_real_distribution<double> u(-0.95, 0.95);
        Ni = P;
        Xi = (double *)AllocArray(1092, P, sizeof(double));
        Yi = (double *)AllocArray(1093, P, sizeof(double));
        for (int k = 0; k < P;) {
            double x = Radius * u(g), y = Radius * u(g);
            if (x * x + y * y < 0.9 * Radius * Radius)
                Xi[k] = x, Yi[k] = y, k++;
        }
        std::string dp = Dir + "/plain", df = Dir + "/fast";
        mkdir(dp.c_str(), 0777);
        mkdir(df.c_str(), 0777);
        std::vector<double> tp, tf;
        for (int i = 0; i < reps; i++) {
            tp.push_back(TimeField(true, (dp + "/KAVOR.V2D").c_str()));
            tf.push_back(TimeField(false, (df + "/KAVOR.V2D").c_str()));
        }
        double eu = 0;
        for (int k = 0; k < P; k++) {
            double U, ux, uy, x = Xi[k], y = Yi[k];
            FieldAt(x, y, &U, &ux, &uy);
            eu = std::max(eu, std::fabs(U - (x * x - y * y + x * y + 0.3 * x)));
        }
        double mp = Median(tp), mf = Median(tf);
        fprintf(Out, "%5d %5zu %10.3f %12.3f %7.3f %10.1f  %s; %.1e\n", n, tf.size(), mp, mf, mf / mp,
                1e9 * mf / ((double)n * P), CompareFiles(dp, df, "KAVOR.V2D").c_str(), eu);
        fflush(Out);
    }
}

/* ---- whole runs ---- */

/* EvaluateField's grid mode with the plain field sum */
static void EvaluateGridPlain(const char *name)
{
    FILE *f = CreateOutput("velocity output file", name, 779);
    double h = std::sqrt(Anet / -(double)Ni);
    Nx = GridCount(Xmin, Xmax, h);
    Ny = GridCount(Ymin, Ymax, h);
    size_t n = (size_t)Nx * (size_t)Ny;
    Ing = (int *)AllocArray(824, n, sizeof(int));
    Ug = (double *)AllocArray(825, n, sizeof(double));
    Xg = (double *)AllocArray(826, (size_t)Nx, sizeof(double));
    Yg = (double *)AllocArray(827, (size_t)Ny, sizeof(double));
    long k = 0, shown = 0;
    double y = Ymin;
    for (int r = 0; r < Ny; r++, y += h) {
        double x = Xmin;
        for (int c = 0; c < Nx; c++, k++, x += h) {
            long P = (long)(k * 100.0 / (double)n);
            if (P > shown) {
                Fprint(stderr, "\r%li%% complete", P);
                shown = P;
            }
            if (!InsideRegion(x, y) || AtNode(x, y))
                continue;
            double U, ux, uy;
            FieldAtPlain(x, y, &U, &ux, &uy);
            Fprint(f, "%.9lG %.9lG %.9lG %.9lG %.9lG\n", x, y, uy, -ux, U);
            Ing[k] = 1;
            Ug[k] = U;
            Xg[c] = x;
            Yg[r] = y;
        }
    }
    Fprint(stderr, "\r             \r");
    CloseOutput(f, 779);
}

enum { Read, Assemble, Solve, Results, Field, Plots, Phases };
static const char *const PhaseName[Phases] = {"read", "assemble", "solve", "results", "field", "plots"};

struct RunTimes {
    double t[Phases];
    long kb; /* peak resident memory */
};

/* one whole run in the directory dir, its phase times written to fd */
static int RunChild(const char *dir, bool plain, int fd)
{
    if (chdir(dir) != 0)
        return 3;
    int z = open("/dev/null", O_WRONLY);
    dup2(z, 1);
    dup2(z, 2);
    double t[Phases], t0 = Now();
    ReadInput("run.dat");
    t[Read] = Now() - t0, t0 = Now();
    AllocSystem();
    if (plain)
        AssembleInfluencePlain();
    else
        AssembleInfluence();
    ArrangeSystem();
    t[Assemble] = Now() - t0, t0 = Now();
    if (plain)
        SolveLinearPlain(Amat, Bvec, Svec, Neq);
    else
        SolveLinear(Amat, Bvec, Svec, Neq);
    t[Solve] = Now() - t0, t0 = Now();
    DistributeSolution();
    WriteResults("KAVOR.OUT");
    WriteBoundaries("KAVOR.P2D");
    t[Results] = Now() - t0, t0 = Now();
    if (plain)
        EvaluateGridPlain("KAVOR.V2D");
    else
        EvaluateField("KAVOR.V2D");
    t[Field] = Now() - t0, t0 = Now();
    WriteContours("KAVOR.TRI", "KAV0R.QM4");
    WriteVectorPlot("KAVOR.QM4");
    t[Plots] = Now() - t0;
    fflush(stdout);
    /* the peak of this process's own memory: the high-water mark of its
       resident set since the exec (the rusage of a child counts the pages
       it shared with its parent before it) */
    double kb = -1;
    if (FILE *f = fopen("/proc/self/status", "r")) {
        char line[256];
        while (fgets(line, sizeof line, f))
            if (!strncmp(line, "VmHWM:", 6))
                kb = atof(line + 6);
        fclose(f);
    }
    double msg[Phases + 1];
    memcpy(msg, t, sizeof t);
    msg[Phases] = kb;
    return write(fd, msg, sizeof msg) == (ssize_t)sizeof msg ? 0 : 4;
}

/* one whole run in a fresh process (this program started anew, so that its
   peak memory is the run's own), in the directory dir */
static RunTimes WholeRun(const std::string &dir, bool plain)
{
    int fd[2];
    if (pipe(fd) != 0)
        Fail("pipe: %s", strerror(errno));
    fflush(Out);
    pid_t pid = fork();
    if (pid == 0) {
        close(fd[0]);
        std::string f = std::to_string(fd[1]);
        execl("/proc/self/exe", "kavor_bench", "--child", dir.c_str(), plain ? "plain" : "fast", f.c_str(),
              (char *)NULL);
        _exit(5);
    }
    close(fd[1]);
    double msg[Phases + 1];
    ssize_t got = read(fd[0], msg, sizeof msg);
    close(fd[0]);
    int st;
    if (waitpid(pid, &st, 0) != pid || !WIFEXITED(st) || WEXITSTATUS(st) != 0 || got != (ssize_t)sizeof msg)
        Fail("the run in %s ended badly", dir.c_str());
    RunTimes r;
    memcpy(r.t, msg, sizeof r.t);
    r.kb = (long)msg[Phases];
    return r;
}

static std::string Slurp(const std::string &path)
{
    std::string s;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        Fail("no %s", path.c_str());
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

/* compares two result files number by number: the count of printed numbers
   that differ and the largest difference relative to its column's scale */
static std::string CompareFiles(const std::string &a, const std::string &b, const char *name)
{
    std::string sa = Slurp(a + "/" + name), sb = Slurp(b + "/" + name);
    if (sa == sb)
        return Format("%s same", name);
    std::vector<std::vector<double>> ra, rb;
    std::vector<std::vector<std::string>> ta, tb;
    for (int w = 0; w < 2; w++) {
        const std::string &s = w ? sb : sa;
        auto &rows = w ? rb : ra;
        auto &toks = w ? tb : ta;
        size_t p = 0;
        while (p < s.size()) {
            size_t e = s.find('\n', p);
            if (e == std::string::npos)
                e = s.size();
            std::vector<double> v;
            std::vector<std::string> t;
            const char *c = s.c_str() + p, *end = s.c_str() + e;
            while (c < end) {
                char *q;
                double x = strtod(c, &q);
                if (q == c) {
                    c++;
                    continue;
                }
                v.push_back(x);
                t.emplace_back(c, (size_t)(q - c));
                c = q;
            }
            rows.push_back(v);
            toks.push_back(t);
            p = e + 1;
        }
    }
    if (ra.size() != rb.size())
        return Format("%s: %zu lines against %zu", name, ra.size(), rb.size());
    std::vector<double> scale;
    for (auto &r : ra)
        for (size_t i = 0; i < r.size(); i++) {
            if (scale.size() <= i)
                scale.resize(i + 1, 0.0);
            scale[i] = std::max(scale[i], std::fabs(r[i]));
        }
    long nd = 0;
    double worst = 0;
    for (size_t l = 0; l < ra.size(); l++) {
        if (ra[l].size() != rb[l].size())
            return Format("%s: line %zu differs in shape", name, l + 1);
        for (size_t i = 0; i < ra[l].size(); i++)
            if (ta[l][i] != tb[l][i]) {
                nd++;
                worst = std::max(worst, std::fabs(ra[l][i] - rb[l][i]) / scale[i]);
            }
    }
    return Format("%s %ld numbers differ, by %.1e of their column", name, nd, worst);
}

static void BenchRun(const std::vector<int> &sizes, int reps)
{
    fprintf(Out, "\n== run: whole runs, circle with a grid of about 10^4 points; the plain routines against the program's ==\n");
    fprintf(Out, "%5s %-5s %5s", "Nb", "", "runs");
    for (int p = 0; p < Phases; p++)
        fprintf(Out, " %9s", PhaseName[p]);
    fprintf(Out, " %9s %10s\n", "total [s]", "peak [MB]");
    for (int n : sizes) {
        std::string dp = Dir + Format("/run%d-plain", n), df = Dir + Format("/run%d-fast", n);
        for (const std::string &d : {dp, df}) {
            mkdir(d.c_str(), 0777);
            FILE *f = fopen((d + "/run.dat").c_str(), "wb");
            std::string s = Circle(n, -10000);
            if (!f || fwrite(s.data(), 1, s.size(), f) != s.size() || fclose(f) != 0)
                Fail("cannot write %s/run.dat", d.c_str());
        }
        std::vector<RunTimes> rp, rf;
        for (int i = 0; i < reps; i++) {
            rp.push_back(WholeRun(dp, true));
            rf.push_back(WholeRun(df, false));
        }
        double tot[2] = {0, 0};
        std::vector<double> med[2];
        for (int w = 0; w < 2; w++) {
            auto &rs = w ? rf : rp;
            std::vector<double> all, kb;
            for (auto &r : rs) {
                double s = 0;
                for (double t : r.t)
                    s += t;
                all.push_back(s);
                kb.push_back(r.kb / 1024.0);
            }
            for (int p = 0; p < Phases; p++) {
                std::vector<double> v;
                for (auto &r : rs)
                    v.push_back(r.t[p]);
                med[w].push_back(Median(v));
            }
            tot[w] = Median(all);
            fprintf(Out, "%5d %-5s %5zu", n, w ? "fast" : "plain", rs.size());
            for (int p = 0; p < Phases; p++)
                fprintf(Out, " %9.3f", med[w][p]);
            fprintf(Out, " %9.3f %10.1f\n", tot[w], Median(kb));
        }
        fprintf(Out, "%5d %-5s %5s", n, "ratio", "");
        for (int p = 0; p < Phases; p++)
            fprintf(Out, " %9.3f", med[1][p] / med[0][p]);
        fprintf(Out, " %9.3f\n", tot[1] / tot[0]);
        fprintf(Out, "      the program's whole run against the plain solve alone: %.3f\n", tot[1] / med[0][Solve]);
        fprintf(Out, "      files: %s; %s; %s\n", CompareFiles(dp, df, "KAVOR.OUT").c_str(),
                CompareFiles(dp, df, "KAVOR.V2D").c_str(), CompareFiles(dp, df, "KAVOR.TRI").c_str());
        fflush(Out);
    }
}

/* ---- command line ---- */

static std::vector<std::string> Split(const char *s)
{
    std::vector<std::string> v;
    std::string cur;
    for (const char *p = s;; p++) {
        if (*p == ',' || *p == 0) {
            if (!cur.empty())
                v.push_back(cur);
            cur.clear();
            if (!*p)
                break;
        } else
            cur += *p;
    }
    return v;
}

static bool Has(const std::vector<std::string> &v, const char *s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

int main(int argc, char **argv)
{
    if (argc == 5 && !strcmp(argv[1], "--child"))
        return RunChild(argv[2], !strcmp(argv[3], "plain"), atoi(argv[4]));
    Out = fdopen(dup(1), "w");
    std::vector<int> sizes{1000, 2000, 4000};
    std::vector<std::string> parts{"solve", "assemble", "field", "run"}, kinds{"random", "channel"};
    int reps = 5;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (i + 1 < argc && a == "--sizes") {
            sizes.clear();
            for (auto &s : Split(argv[++i]))
                sizes.push_back(atoi(s.c_str()));
        } else if (i + 1 < argc && a == "--reps")
            reps = std::max(1, atoi(argv[++i]));
        else if (i + 1 < argc && a == "--parts")
            parts = Split(argv[++i]);
        else if (i + 1 < argc && a == "--kinds")
            kinds = Split(argv[++i]);
        else {
            fprintf(stderr, "usage: kavor_bench [--sizes 1000,2000,4000] [--reps 3] "
                            "[--parts solve,assemble,field,run] [--kinds random,channel,circle]\n");
            return 1;
        }
    }
    char tmpl[] = "/tmp/kavor-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        Fail("no scratch directory");
    Dir = tmpl;
    fprintf(Out, "kavor_bench: sizes");
    for (int n : sizes)
        fprintf(Out, " %d", n);
    fprintf(Out, ", %d runs each, medians in seconds; "
                 "ratio = the figure over the plain routine's; scratch in %s\n",
            reps, tmpl);
    double t0 = Now();
    if (Has(parts, "solve"))
        BenchSolve(sizes, kinds, reps);
    if (Has(parts, "assemble"))
        BenchAssemble(sizes, reps);
    if (Has(parts, "field"))
        BenchField(sizes, reps);
    if (Has(parts, "run"))
        BenchRun(sizes, reps);
    fprintf(Out, "\nkavor_bench: %.0f s in all\n", Now() - t0);
    std::string rm = "rm -rf " + Dir;
    if (system(rm.c_str()) != 0)
        return 1;
    return 0;
}

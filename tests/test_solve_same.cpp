/* test_solve_same.cpp: the one-pass solver against the plain algorithm, bit
 * for bit: solution, right-hand side, row order, every reduced entry and the
 * console, for every instruction set the processor has; and the row kernels
 * of every instruction set against the plain loop.
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/yardstick.h"
#include "driver/diag.h"
#include "solver/rowkernels.h"
#include "solver/solve.h"

namespace {

typedef std::vector<std::vector<double>> Mat;

/* the same bits, or NaN in both */
bool Same(double p, double q)
{
    return (std::isnan(p) && std::isnan(q)) || std::memcmp(&p, &q, sizeof p) == 0;
}

/* what a solve leaves behind */
struct Outcome {
    Mat rows;              /* the rows in the final row-pointer order */
    std::vector<int> perm; /* original row behind each row pointer */
    std::vector<double> b, x;
    std::string out, err;
    uint64_t bytes;
};

Outcome Solved(const Mat &A0, const std::vector<double> &b0,
            const std::function<void(double **, double *, double *, int)> &solve)
{
    Mat a = A0;
    std::vector<double *> p;
    for (auto &r : a)
        p.push_back(r.data());
    Outcome o;
    o.b = b0;
    o.x.assign(b0.size(), 0.0);
    uint64_t before = Nbytes;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    solve(p.data(), o.b.data(), o.x.data(), (int)a.size());
    o.out = testing::internal::GetCapturedStdout();
    o.err = testing::internal::GetCapturedStderr();
    o.bytes = Nbytes - before;
    for (double *r : p) {
        int i = 0;
        while (a[i].data() != r)
            i++;
        o.perm.push_back(i);
        o.rows.push_back(a[i]);
    }
    return o;
}

void ExpectSame(const Outcome &got, const Outcome &want)
{
    EXPECT_EQ(got.perm, want.perm);
    EXPECT_EQ(got.out, want.out);
    EXPECT_EQ(got.err, want.err);
    EXPECT_EQ(got.bytes, want.bytes);
    int bad = 0;
    for (size_t i = 0; i < want.x.size() && bad < 5; i++) {
        if (!Same(got.x[i], want.x[i]))
            ADD_FAILURE() << "x[" << i << "] " << got.x[i] << " vs " << want.x[i], bad++;
        if (!Same(got.b[i], want.b[i]))
            ADD_FAILURE() << "b[" << i << "] " << got.b[i] << " vs " << want.b[i], bad++;
    }
    for (size_t r = 0; r < want.rows.size() && bad < 5; r++)
        for (size_t c = 0; c < want.rows[r].size() && bad < 5; c++)
            if (!Same(got.rows[r][c], want.rows[r][c]))
                ADD_FAILURE() << "A[" << r << "][" << c << "] " << got.rows[r][c] << " vs "
                              << want.rows[r][c],
                    bad++;
}

/* ---- the matrices ---- */

struct Maker {
    const char *what;
    int n;
    std::function<double(std::mt19937 &, int, int)> entry;
};

double Uniform(std::mt19937 &g) { return std::uniform_real_distribution<double>(-1.0, 1.0)(g); }
int Pick(std::mt19937 &g, int n) { return std::uniform_int_distribution<int>(0, n - 1)(g); }

/* n x n from the entry rule, plus a random permutation of weight spine when
   spine is not zero, to keep sparse matrices regular */
Mat Make(const Maker &m, unsigned seed, double spine = 0)
{
    std::mt19937 g(seed);
    Mat A(m.n, std::vector<double>(m.n));
    for (int r = 0; r < m.n; r++)
        for (int c = 0; c < m.n; c++)
            A[r][c] = m.entry(g, r, c);
    if (spine != 0) {
        std::vector<int> s(m.n);
        for (int i = 0; i < m.n; i++)
            s[i] = i;
        std::shuffle(s.begin(), s.end(), g);
        for (int r = 0; r < m.n; r++)
            A[r][s[r]] += spine;
    }
    return A;
}

const double Tiny = DBL_MIN / 4; /* a multiplier made of it is skipped */

const Maker Makers[] = {
    /* dense, of sizes around the vector widths and their tails */
    {"dense2", 2, [](std::mt19937 &g, int, int) { return Uniform(g); }},
    {"dense3", 3, [](std::mt19937 &g, int, int) { return Uniform(g); }},
    {"dense9", 9, [](std::mt19937 &g, int, int) { return Uniform(g); }},
    {"dense17", 17, [](std::mt19937 &g, int, int) { return Uniform(g); }},
    {"dense40", 40, [](std::mt19937 &g, int, int) { return Uniform(g); }},
    {"dense131", 131, [](std::mt19937 &g, int, int) { return Uniform(g); }},
    /* small integers: ties of magnitude everywhere, within rows and across */
    {"ties", 33, [](std::mt19937 &g, int, int) { return (double)(Pick(g, 7) - 3); }},
    {"signs", 24, [](std::mt19937 &g, int, int) { return Pick(g, 2) ? 1.0 : -1.0; }},
    /* powers of two: exact products, many exact zeros after a step */
    {"powers", 30, [](std::mt19937 &g, int, int) { return std::ldexp(Pick(g, 2) ? 1.0 : -1.0, Pick(g, 4)); }},
    /* mostly zeros: most multipliers are exactly zero and skipped */
    {"sparse", 60, [](std::mt19937 &g, int, int) { return Pick(g, 20) == 0 ? Uniform(g) : 0.0; }},
    /* rows of tiny entries, whose multipliers fall below the threshold */
    {"tinyrows", 25,
     [](std::mt19937 &g, int r, int) { return r % 3 == 1 ? Tiny * Uniform(g) : Uniform(g); }},
    /* exact small values of every scale, down to the smallest normal */
    {"scales", 28, [](std::mt19937 &g, int, int) { return std::ldexp(Uniform(g), -Pick(g, 1000)); }},
    /* the largest entry far down and to the right: exchanges at every step */
    {"graded", 37, [](std::mt19937 &g, int r, int c) { return (1 + r + c) * (1 + 0.25 * Uniform(g)); }},
    /* a boundary system's shape: dense rows, and rows with two entries */
    {"tangential", 48,
     [](std::mt19937 &g, int r, int c) {
         if (r < 32)
             return Uniform(g);
         return c == r || c == (r * 7) % 48 ? 1.0 + Uniform(g) : 0.0;
     }},
};

const double Spines[] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 2.0, 1.0, 0.0, 0.0, 0.0};

std::vector<double> Rhs(int n, unsigned seed)
{
    std::mt19937 g(seed);
    std::vector<double> b(n);
    for (double &v : b)
        v = 10 * Uniform(g);
    return b;
}

/* the kernel sets this processor has */
std::vector<int> Isas()
{
    std::vector<int> v;
    for (int i = 0; i < KernelCount; i++)
        if (KernelsFor(i))
            v.push_back(i);
    return v;
}

/* puts a kernel set in use for one scope */
struct Using {
    const RowKernels *old;
    explicit Using(int isa) : old(Kernels()) { UseKernels(isa); }
    ~Using()
    {
        for (int i = 0; i < KernelCount; i++)
            if (KernelsFor(i) == old)
                UseKernels(i);
    }
};

void Plain(double **A, double *b, double *x, int n) { SolveLinearPlain(A, b, x, n); }

} // namespace

class SolveSame : public testing::TestWithParam<int> {};

TEST_P(SolveSame, AsThePlainAlgorithmBitForBit)
{
    const Maker &m = Makers[GetParam()];
    for (unsigned seed = 1; seed <= 4; seed++) {
        Mat A = Make(m, seed, Spines[GetParam()]);
        std::vector<double> b = Rhs(m.n, seed + 100);
        Outcome want = Solved(A, b, Plain);
        for (int isa : Isas()) {
            SCOPED_TRACE(testing::Message() << m.what << " seed " << seed << " " << KernelsFor(isa)->name);
            Using u(isa);
            ExpectSame(Solved(A, b, SolveLinear), want);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Matrices, SolveSame, testing::Range(0, (int)(sizeof Makers / sizeof Makers[0])),
                         [](const testing::TestParamInfo<int> &i) { return std::string(Makers[i.param].what); });

/* hand-made cases where the rules of the search decide */
TEST(SolveSame, HandMadeTiesAndSkips)
{
    const double N = std::nan("");
    const Mat cases[] = {
        /* a tie between a later row and a later column of the same row */
        {{1, 2, 0}, {2, 0, 1}, {0, 1, 2}},
        /* the maximum twice in the pivot's row, and once more below */
        {{1, 3, 3}, {3, 1, 0}, {0, 3, 1}},
        /* equal entries after the update: 1 - 0.5*2 and ties with the diagonal */
        {{2, 1, 1, 0}, {1, 2, 1, 1}, {1, 1, 2, 1}, {0, 1, 1, 2}},
        /* multipliers exactly at and just below the threshold */
        {{1, 0, 0}, {DBL_MIN, 1, 0.5}, {Tiny, 0.5, 1}},
        /* the largest entry of a skipped row leaves the search with the
           pivot's column: the row's maximum must be taken anew */
        {{std::ldexp(1, 600), 0, 0},
         {std::ldexp(1, -500), std::ldexp(1, -510), std::ldexp(1, -520)},
         {0, std::ldexp(1, -505), std::ldexp(1, -502)}},
        /* the same through a column exchange of the step */
        {{0, std::ldexp(1, 600), 0},
         {std::ldexp(1, -510), std::ldexp(1, -500), std::ldexp(1, -520)},
         {std::ldexp(1, -505), 0, std::ldexp(1, -502)}},
        /* a skipped row whose maximum stays, and one whose maximum ties */
        {{4, 0, 5, 0}, {0, 1, 1, 0}, {0, 0, 1, 9}, {0, 1, 0, 1}},
        {{8, 0, 0, 0}, {0, 1, 3, 3}, {0, 3, 1, 0}, {0, 0, 2, 1}},
        /* NaN in the matrix: never the pivot, spreads by the update */
        {{1, 2, N}, {3, N, 1}, {2, 1, 4}},
        {{N, 1, 0}, {1, 2, 0}, {0, 0, 3}},
        /* infinities: the largest magnitude */
        {{1, INFINITY, 0}, {0, 1, 2}, {3, 0, 1}},
    };
    for (const Mat &A : cases) {
        std::vector<double> b = Rhs((int)A.size(), 7);
        Outcome want = Solved(A, b, Plain);
        for (int isa : Isas()) {
            SCOPED_TRACE(testing::Message() << "case of " << A.size() << " rows, " << KernelsFor(isa)->name);
            Using u(isa);
            ExpectSame(Solved(A, b, SolveLinear), want);
        }
    }
}

/* singular systems end the same way, at the same step */
struct Stop {
    const char *what;
    Mat A;
    std::string err;
};

class SolveSameDeathTest : public testing::TestWithParam<Stop> {};

TEST_P(SolveSameDeathTest, SameErrorAtTheSameStep)
{
    Stop s = GetParam();
    std::vector<double *> p;
    Mat a = s.A;
    for (auto &r : a)
        p.push_back(r.data());
    std::vector<double> b(a.size(), 1.0), x(a.size());
    int n = (int)a.size();
    EXPECT_EXIT(SolveLinearPlain(p.data(), b.data(), x.data(), n), testing::ExitedWithCode(1), s.err);
    for (int isa : Isas()) {
        SCOPED_TRACE(KernelsFor(isa)->name);
        Using u(isa);
        EXPECT_EXIT(SolveLinear(p.data(), b.data(), x.data(), n), testing::ExitedWithCode(1), s.err);
    }
}

static std::string Steps(int k)
{
    std::string s;
    for (int i = 1; i <= k; i++)
        s += "\rsolving simultaneous equation " + std::to_string(i);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveSameDeathTest,
    testing::Values(
        /* rank two after two exchanges: the third step finds only zeros */
        Stop{"rank2", {{0, 1, 2, 3}, {1, 0, 1, 0}, {1, 1, 3, 3}, {2, 1, 4, 3}},
             "^" + Steps(3) + "\nFatal Error Code: 175\n"},
        /* what is left after the first step is below the threshold */
        Stop{"zero rest", {{4, 1, 1}, {1, 0.25, 0.25}, {1, 0.25, 0.25}}, "^" + Steps(2) + "\nFatal Error Code: 175\n"},
        /* skipped rows of subnormal entries leave nothing to pivot on */
        Stop{"subnormal rest", {{1, 0, 0}, {0, Tiny, 0}, {0, 0, -Tiny}}, "^" + Steps(2) + "\nFatal Error Code: 175\n"},
        /* the last diagonal cancels exactly */
        Stop{"last zero", {{4, 2, 1}, {2, 4, 2}, {6, 6, 3}}, "^" + Steps(2) + "\nFatal Error Code: 218\n"}),
    [](const testing::TestParamInfo<Stop> &i) {
        std::string s = i.param.what;
        for (char &ch : s)
            if (!isalnum((unsigned char)ch))
                ch = '_';
        return s;
    });

/* ---- the kernels themselves: every length, every alignment ---- */

TEST(RowKernels, EverySetAsThePlainLoop)
{
    const RowKernels *plain = KernelsFor(KernelScalar);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(Kernels(), nullptr);
    std::mt19937 g(5);
    const double specials[] = {0.0, -0.0, INFINITY, -INFINITY, std::nan(""), DBL_MIN, -Tiny, 1e308, -1e-300};
    for (int isa : Isas()) {
        const RowKernels *k = KernelsFor(isa);
        SCOPED_TRACE(k->name);
        for (int m = 0; m <= 70; m++)
            for (int off = 0; off < 8; off++)
                for (int kind = 0; kind < 4; kind++) {
                    /* kind 0: plain numbers; 1: some specials; 2: NaN only; 3: ties */
                    std::vector<double> a(m + 16), p(m + 16);
                    for (int c = 0; c < m + 16; c++) {
                        a[c] = Uniform(g);
                        p[c] = Uniform(g);
                        if (kind == 1 && Pick(g, 4) == 0)
                            a[c] = specials[Pick(g, 9)];
                        if (kind == 1 && Pick(g, 6) == 0)
                            p[c] = specials[Pick(g, 9)];
                        if (kind == 2)
                            a[c] = std::nan("");
                        if (kind == 3)
                            a[c] = Pick(g, 2) ? 1.5 : -1.5, p[c] = 0;
                    }
                    double f = kind == 1 && m % 5 == 0 ? -1e300 : Uniform(g);
                    std::vector<double> a1 = a, a2 = a;
                    double m1 = plain->update(a1.data() + off, p.data() + off, f, m);
                    double m2 = k->update(a2.data() + off, p.data() + off, f, m);
                    EXPECT_PRED2(Same, m2, m1) << "update, length " << m << " offset " << off << " kind " << kind;
                    for (int c = 0; c < m + 16; c++)
                        ASSERT_PRED2(Same, a2[c], a1[c]) << "entry " << c << " length " << m << " offset " << off;
                    /* two rows at once: as two single updates, the second
                       row misaligned against the first */
                    std::vector<double> b1 = p, b2 = p, c1 = a, c2 = a;
                    double g = -0.75 * f, ma, mb;
                    double w1 = plain->update(c1.data() + off, p.data() + off, f, m);
                    double w2 = plain->update(b1.data() + 1, p.data() + off, g, m);
                    k->update2(c2.data() + off, b2.data() + 1, p.data() + off, f, g, m, &ma, &mb);
                    EXPECT_PRED2(Same, ma, w1) << "update2, length " << m << " offset " << off;
                    EXPECT_PRED2(Same, mb, w2) << "update2, length " << m << " offset " << off;
                    for (int c = 0; c < m + 16; c++) {
                        ASSERT_PRED2(Same, c2[c], c1[c]) << "update2 entry " << c << " length " << m;
                        ASSERT_PRED2(Same, b2[c], b1[c]) << "update2 entry " << c << " length " << m;
                    }
                    EXPECT_PRED2(Same, k->max(a.data() + off, m), plain->max(a.data() + off, m))
                        << "max, length " << m << " offset " << off << " kind " << kind;
                }
    }
    /* the plain loop's own answers: NaN left out, -1 with nothing else */
    double row[4] = {std::nan(""), -3, 3, std::nan("")}, none[2] = {std::nan(""), std::nan("")};
    EXPECT_EQ(plain->max(row, 4), 3.0);
    EXPECT_EQ(plain->max(none, 2), -1.0);
    EXPECT_EQ(plain->max(row, 0), -1.0);
}

/* test_solve.cpp: the dense solver SolveLinear: pivoting, skipped multipliers,
 * singular systems, console output and the permutation's accounting.
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "driver/diag.h"
#include "solver/solve.h"

namespace {

typedef std::vector<std::vector<double>> Mat;

/* a square matrix as a table of separately allocated rows */
struct Rows {
    Mat a;
    std::vector<double *> p;
    explicit Rows(const Mat &m) : a(m)
    {
        for (auto &r : a)
            p.push_back(r.data());
    }
    double **A() { return p.data(); }
    int n() const { return (int)a.size(); }
};

/* b = A x, summed in order */
std::vector<double> Times(const Mat &A, const std::vector<double> &x)
{
    std::vector<double> b(A.size(), 0.0);
    for (size_t r = 0; r < A.size(); r++)
        for (size_t c = 0; c < x.size(); c++)
            b[r] += A[r][c] * x[c];
    return b;
}

struct Console {
    std::string out, err;
};

/* runs one solve with stdout and stderr captured */
Console Solve(double **A, double *b, double *x, int n)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SolveLinear(A, b, x, n);
    Console c;
    c.out = testing::internal::GetCapturedStdout();
    c.err = testing::internal::GetCapturedStderr();
    return c;
}

const char *const Sing = "simultaneous equations are singular \\(no solution\\)";

} // namespace

/* ---- one equation: answered at once, silently, without allocation ---- */

struct Single {
    double a, b, x;
};

class SolveSingle : public testing::TestWithParam<Single> {};

TEST_P(SolveSingle, DividesSilentlyWithoutAllocating)
{
    Single s = GetParam();
    Rows m(Mat{{s.a}});
    double b = s.b, x = -7.0;
    uint64_t before = Nbytes;
    Console c = Solve(m.A(), &b, &x, 1);
    EXPECT_EQ(x, s.x);
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, "");
    EXPECT_EQ(Nbytes, before);
}

INSTANTIATE_TEST_SUITE_P(Values, SolveSingle,
                         testing::Values(Single{4.0, 2.0, 0.5}, Single{-0.5, 3.0, -6.0},
                                         Single{DBL_MIN, DBL_MIN, 1.0},   /* threshold is strict */
                                         Single{-DBL_MIN, 3 * DBL_MIN, -3.0}));

/* ---- fatal errors ---- */

struct Fatal {
    const char *what;
    Mat A;
    int n;           /* as passed; may disagree with the rows for n < 1 */
    std::string err; /* expected stderr, as an extended regular expression */
};

class SolveLinearDeathTest : public testing::TestWithParam<Fatal> {};

TEST_P(SolveLinearDeathTest, EndsTheRun)
{
    Fatal f = GetParam();
    Rows m(f.A);
    std::vector<double> b(f.A.size() + 1, 1.0), x(f.A.size() + 1, 0.0);
    EXPECT_EXIT(SolveLinear(m.A(), b.data(), x.data(), f.n), testing::ExitedWithCode(1), f.err);
}

const double T = DBL_MIN / 2; /* a subnormal, below the threshold */
const double NaN = std::nan("");
const std::string Step1 = "\rsolving simultaneous equation 1";
const std::string Step2 = Step1 + "\rsolving simultaneous equation 2";

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveLinearDeathTest,
    testing::Values(
        Fatal{"empty", {}, 0, "^\nFatal Error Code: 137\nno simultaneous equations\n$"},
        Fatal{"negative", {}, -3, "^\nFatal Error Code: 137\nno simultaneous equations\n$"},
        Fatal{"single zero", {{0.0}}, 1, std::string("^\nFatal Error Code: 143\n") + Sing + "\n$"},
        Fatal{"single subnormal", {{-T}}, 1, "^\nFatal Error Code: 143\n"},
        Fatal{"all zero", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, 3,
              "^" + Step1 + "\nFatal Error Code: 175\n" + Sing + "\n$"},
        /* subnormal pivots are refused */
        Fatal{"subnormal", {{T, 0}, {0, -T}}, 2, "^" + Step1 + "\nFatal Error Code: 175\n"},
        /* a NaN never becomes the pivot, so the zeros around it are singular */
        Fatal{"NaN", {{0, 0}, {0, NaN}}, 2, "^" + Step1 + "\nFatal Error Code: 175\n"},
        /* rank one: step 1 leaves exact zeros, refused at step 2 */
        Fatal{"rank one", {{1, 2, 4}, {2, 4, 8}, {4, 8, 16}}, 3,
              "^" + Step2 + "\nFatal Error Code: 175\n"},
        /* the tie goes to A[0][0]; the reduced last entry is exactly zero */
        Fatal{"ones", {{1, 1}, {1, 1}}, 2, "^" + Step1 + "\nFatal Error Code: 218\n" + Sing + "\n$"},
        Fatal{"last subnormal", {{1, 0}, {0, T}}, 2, "^" + Step1 + "\nFatal Error Code: 218\n"},
        Fatal{"last after exchanges", {{1, 2}, {2, 4}}, 2, "^" + Step1 + "\nFatal Error Code: 218\n"}),
    [](const testing::TestParamInfo<Fatal> &i) {
        std::string s = i.param.what;
        for (char &ch : s)
            if (!isalnum((unsigned char)ch))
                ch = '_';
        return s;
    });

/* ---- small systems with a known answer, and what the exchanges leave behind ---- */

struct Known {
    const char *what;
    Mat A;
    std::vector<double> x;
    std::vector<int> rows;  /* original row now designated by each row pointer */
    std::vector<int> order; /* caller's unknown left in each entry of b */
};

class SolveKnown : public testing::TestWithParam<Known> {};

TEST_P(SolveKnown, ReturnsCallerOrder)
{
    Known k = GetParam();
    Rows m(k.A);
    std::vector<double> b = Times(k.A, k.x), x(k.x.size(), 0.0);
    Solve(m.A(), b.data(), x.data(), m.n());
    for (size_t i = 0; i < x.size(); i++)
        EXPECT_NEAR(x[i], k.x[i], 1e-14) << "unknown " << i;
    for (size_t r = 0; r < k.rows.size(); r++)
        EXPECT_EQ(m.p[r], m.a[k.rows[r]].data()) << "row pointer " << r;
    for (size_t c = 0; c < k.order.size(); c++)
        EXPECT_NEAR(b[c], k.x[k.order[c]], 1e-14) << "b entry " << c;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveKnown,
    testing::Values(
        /* step 1 takes the 8 of row 0 (column exchange 0-2), step 2 the 4 of row 1
           (column exchange 1-2): columns end as the cycle 2,0,1, not its own inverse */
        Known{"ColumnCycle", {{1, 2, 8}, {4, 1, 0}, {1, 1, 2}}, {1, 2, 3}, {0, 1, 2}, {2, 0, 1}},
        Known{"RowOnly", {{1, 2}, {3, 1}}, {1, -2}, {1, 0}, {0, 1}},
        Known{"RowAndColumn", {{1, 2}, {3, 4}}, {5, -7}, {1, 0}, {1, 0}},
        /* every remaining entry ties in magnitude at both steps: nothing moves */
        Known{"Ties", {{1, 1, 1}, {1, -1, 1}, {1, 1, -1}}, {2, -3, 5}, {0, 1, 2}, {0, 1, 2}},
        /* pivots of magnitude exactly DBL_MIN are accepted, the last one too */
        Known{"ThresholdPivots", {{DBL_MIN, 0}, {0, -DBL_MIN}}, {1, 2}, {0, 1}, {0, 1}}),
    [](const testing::TestParamInfo<Known> &i) { return std::string(i.param.what); });

/* ---- multipliers at the threshold ---- */

/* A = (1 1; m 1), b = (2^1023, 3): the first pivot is A[0][0] (a tie with A[1][1]),
   f = m, and f*b[0] = m*2^1023 changes b[1] by a whole number when applied */
struct Mult {
    double m, x1;
};

class SolveMultiplier : public testing::TestWithParam<Mult> {};

TEST_P(SolveMultiplier, AppliedOrSkippedWithItsRightHandSide)
{
    Mult t = GetParam();
    double big = std::ldexp(1.0, 1023);
    Rows m(Mat{{1, 1}, {t.m, 1}});
    double b[2] = {big, 3}, x[2];
    Solve(m.A(), b, x, 2);
    EXPECT_EQ(x[1], t.x1);
    EXPECT_EQ(x[0], big);
}

INSTANTIATE_TEST_SUITE_P(Cases, SolveMultiplier,
                         testing::Values(Mult{DBL_MIN, 1.0},  /* applied: 3 - 2 */
                                         Mult{-DBL_MIN, 5.0}, /* applied: 3 + 2 */
                                         Mult{T, 3.0},        /* skipped, b[1] too */
                                         Mult{-T, 3.0}, Mult{0.0, 3.0}));

/* ---- console and accounting ---- */

TEST(SolveConsole, ProgressLabelAndPermutationBytes)
{
    Rows m(Mat{{2, 1, 0}, {1, 3, 1}, {0, 1, 4}});
    double b[3] = {3, 5, 5}, x[3];
    uint64_t before = Nbytes;
    Console c = Solve(m.A(), b, x, 3);
    EXPECT_EQ(c.err, "\rsolving simultaneous equation 1\rsolving simultaneous equation 2\r");
    EXPECT_EQ(c.out, "simultaneous equations ..........................." " 3\n");
    EXPECT_EQ(c.out.find('3'), 51u); /* the value starts in column 52 */
    EXPECT_EQ(Nbytes - before, 3 * sizeof(int));
    for (double v : x)
        EXPECT_NEAR(v, 1.0, 1e-15);
}

/* ---- random systems: dense, and sparse so that many multipliers are zero ---- */

struct Random {
    int n;
    double density; /* share of non-zero noise entries */
    double spine;   /* weight of a random permutation added to keep it regular */
    unsigned seed;
};

class SolveRandom : public testing::TestWithParam<Random> {};

TEST_P(SolveRandom, MatchesKnownSolution)
{
    Random g = GetParam();
    std::mt19937 gen(g.seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0), p(0.0, 1.0);
    Mat A(g.n, std::vector<double>(g.n, 0.0));
    std::vector<int> perm(g.n);
    for (int i = 0; i < g.n; i++)
        perm[i] = i;
    std::shuffle(perm.begin(), perm.end(), gen);
    for (int r = 0; r < g.n; r++) {
        for (int c = 0; c < g.n; c++)
            if (p(gen) < g.density)
                A[r][c] = u(gen);
        A[r][perm[r]] += g.spine;
    }
    std::vector<double> xt(g.n);
    for (double &v : xt)
        v = u(gen) * 10.0;
    std::vector<double> b = Times(A, xt), b0 = b, x(g.n, 0.0);

    Rows m(A);
    uint64_t before = Nbytes;
    Console c = Solve(m.A(), b.data(), x.data(), g.n);
    EXPECT_EQ(Nbytes - before, 4u * g.n);
    EXPECT_EQ(c.out.substr(51), std::to_string(g.n) + "\n");
    EXPECT_EQ(c.err.size() - c.err.find_last_of('\r'), 1u);

    double err = 0, res = 0;
    std::vector<double> Ax = Times(A, x);
    for (int i = 0; i < g.n; i++) {
        err = std::max(err, std::fabs(x[i] - xt[i]));
        res = std::max(res, std::fabs(Ax[i] - b0[i]));
    }
    EXPECT_LT(err, 1e-10);
    EXPECT_LT(res, 1e-11);
}

INSTANTIATE_TEST_SUITE_P(Systems, SolveRandom,
                         testing::Values(Random{50, 1.0, 0.0, 11u}, Random{200, 1.0, 0.0, 12u},
                                         Random{120, 0.05, 2.0, 13u}, Random{2, 1.0, 0.0, 14u}));

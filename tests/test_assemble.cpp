/* test_assemble.cpp: the boundary system, its arrangement by class, and the
 * accuracy of the boundary solution against exact solutions
 */
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "driver/format.h"
#include "harness.h"
#include "input/input.h"
#include "model/model.h"
#include "solver/assemble.h"

/* reads an input and arranges its system without solving it */
static void Arrange(const std::string &input)
{
    LoadModel(input);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    AllocSystem();
    AssembleInfluence();
    ArrangeSystem();
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
}

/* reads an input and solves it, quietly */
static void Solve(const std::string &input)
{
    LoadModel(input);
    SolveModel();
}

TEST(Arrange, FiveNodesOfMixedClasses)
{
    /* a counter-clockwise pentagon of classes 0, 2, 1, 2, 0 */
    Arrange("t\n5 0\n0 0 0 7\n2 0 2 0.5\n3 1 1 0.25\n1 2 2 -0.5\n-1 1 3 3\n");
    EXPECT_EQ(Neq, 7);
    EXPECT_EQ(std::vector<int>(Col, Col + 5), (std::vector<int>{0, 5, 4, 6, 0}));
    /* the tangential rows */
    std::vector<double> r5(Amat[5], Amat[5] + 7), r6(Amat[6], Amat[6] + 7);
    std::vector<double> w5(7, 0.0), w6(7, 0.0);
    w5[5] = 1 / Lb[1];
    w6[4] = -1 / Lb[3];
    w6[6] = 1 / Lb[3];
    EXPECT_EQ(r5, w5);
    EXPECT_EQ(r6, w6);
    EXPECT_EQ(Bvec[5], 0.5 + 7 / Lb[1]);
    EXPECT_EQ(Bvec[6], -0.5);
    EXPECT_EQ(Lb[1], 2);
    /* collocation rows: row 4 is node 2's; its columns follow the classes */
    int rows[5] = {0, 1, 4, 2, 3}; /* row of each node */
    for (int j = 0; j < 5; j++) {
        double *A = Amat[rows[j]];
        EXPECT_EQ(A[0], -G[j][0]);
        EXPECT_EQ(A[1], -G[j][1]);
        EXPECT_EQ(A[2], -G[j][3]);
        EXPECT_EQ(A[3], -G[j][4]);
        EXPECT_EQ(A[4], H[j][2]);
        EXPECT_EQ(A[5], H[j][1]);
        EXPECT_EQ(A[6], H[j][3]);
        EXPECT_EQ(Bvec[rows[j]], (0 - H[j][0] * 7 - H[j][4] * 3) + G[j][2] * 0.25);
    }
}

TEST(Arrange, InfluenceRowsOfHSumToZero)
{
    Arrange("t\n5 0\n0 0 0 7\n2 0 2 0.5\n3 1 1 0.25\n1 2 2 -0.5\n-1 1 3 3\n");
    for (int i = 0; i < Nb; i++) {
        double s = 0, m = 0;
        for (int j = 0; j < Nb; j++)
            s += H[i][j], m = std::fmax(m, std::fabs(H[i][j]));
        EXPECT_LE(std::fabs(s), 1e-14 * m) << i;
        /* the two elements at node i give G but no H off the diagonal:
           an interior angle of a convex polygon makes H[i][i] positive */
        EXPECT_GT(H[i][i], 0);
    }
}

TEST(Arrange, AllTangentialHoleCarriesZeroNetFlux)
{
    /* a square exterior with U given and a clockwise square hole whose four
       nodes all have dU/dT given: three tangential rows and, for the last
       stored node, the zero-net-flux row over the hole's dU/dN columns */
    Arrange("t\n8 0\n0 0 0 0\n4 0 0 1\n4 4 0 1\n0 4 3 0\n"
            "1 1 2 0.1\n1 2 2 0.2\n2 2 2 0.3\n2 1 5 0.4\n");
    EXPECT_EQ(Neq, 12);
    EXPECT_EQ(std::vector<int>(Col + 4, Col + 8), (std::vector<int>{8, 9, 10, 11}));
    for (int r = 8; r < 11; r++) {
        int m = r - 4, n = m == 4 ? 7 : m - 1; /* kept order: predecessor m-1 */
        for (int c = 0; c < 12; c++) {
            double w = c == r ? 1 / Lb[m] : c == Col[n] ? -1 / Lb[m] : 0;
            EXPECT_EQ(Amat[r][c], w) << r << "," << c;
        }
        EXPECT_EQ(Bvec[r], Ub[m]);
    }
    std::vector<double> flux(Amat[11], Amat[11] + 12), want(12, 0.0);
    for (int p = 4; p < 8; p++)
        want[p] = Lb[p]; /* dU/dN columns 4..7 follow the exterior's 4 */
    EXPECT_EQ(flux, want);
    EXPECT_EQ(Bvec[11], 0);

    /* with one node of another class the hole has tangential rows only */
    Arrange("t\n8 0\n0 0 0 0\n4 0 0 1\n4 4 0 1\n0 4 3 0\n"
            "1 1 2 0.1\n1 2 2 0.2\n2 2 1 0\n2 1 5 0.4\n");
    EXPECT_EQ(Neq, 11);
    EXPECT_EQ(Amat[10][Col[7]], 1 / Lb[7]);
    EXPECT_EQ(Amat[10][Col[6]], -1 / Lb[7]);
}

TEST(Arrange, ReversedBoundaryTakesTheNextStoredNode)
{
    /* clockwise input of the unit square: stored reversed, so the input
       predecessor of a stored node is the next stored node */
    Arrange("t\n4 0\n0 0 0 0\n0 1 2 0\n1 1 2 1\n1 0 3 1\n");
    /* stored: (1,0) (1,1) (0,1) (0,0); class 2 at stored 1 and 2 */
    EXPECT_EQ(Pnt[1], -3);
    EXPECT_EQ(Col[1], 4);
    EXPECT_EQ(Col[2], 5);
    EXPECT_EQ(Amat[4][4], 1 / Lb[1]); /* (1,1) after (0,1): stored 2 */
    EXPECT_EQ(Amat[4][5], -1 / Lb[1]);
    EXPECT_EQ(Bvec[4], 1);
    EXPECT_EQ(Amat[5][5], 1 / Lb[2]); /* (0,1) after (0,0): stored 3, U given */
    EXPECT_EQ(Bvec[5], 0 + 0 / Lb[2]);
}

/* the circle of radius R with n nodes, a boundary line per node */
static std::string Ring(double R, int n, bool cw, int type, double value, int close)
{
    std::string s;
    for (int i = 0; i < n; i++) {
        double t = 2 * M_PI * i / n * (cw ? -1 : 1);
        s += Format("%.17g %.17g %d %.17g\n", R * std::cos(t), R * std::sin(t), i == n - 1 ? type + close : type,
                    value);
    }
    return s;
}

/* largest error of dU/dN on the outer (b = 0) and inner (b = 1) circle */
static void RingErrors(double want0, double want1, double &e0, double &e1)
{
    e0 = e1 = 0;
    for (int p = 0; p < Nb; p++) {
        double e = std::fabs(dUdN[p] - (Bou[p] == 0 ? want0 : want1));
        (Bou[p] == 0 ? e0 : e1) = std::fmax(Bou[p] == 0 ? e0 : e1, e);
    }
}

TEST(Accuracy, AnnulusConvergesAtSecondOrder)
{
    /* U = ln r between r = 1 and r = 2: dU/dN = 1/2 outside, -1 on the hole.
       The hole's error changes sign between 8 and 16 nodes, so its own rate
       is measured further out, where it has settled. */
    std::vector<double> e0, e1;
    for (int n = 16; n <= 512; n *= 2) {
        Solve("annulus\n" + std::to_string(n + n / 2) + " 0\n" + Ring(2, n, false, 0, std::log(2.0), 3) +
              Ring(1, n / 2, true, 0, 0, 3));
        double a, b;
        RingErrors(0.5, -1, a, b);
        e0.push_back(a);
        e1.push_back(b);
    }
    for (int k = 1; k <= 3; k++) { /* 16/8 to 128/64 nodes */
        EXPECT_GT(e0[k - 1] / e0[k], 3.5) << k;
        EXPECT_GT(std::fmax(e0[k - 1], e1[k - 1]) / std::fmax(e0[k], e1[k]), 3.5) << k;
    }
    EXPECT_GT(std::log2(e1[3] / e1[5]) / 2, 1.8); /* 128/64 to 512/256 */
    EXPECT_LT(e0[3], 1e-4);
    EXPECT_LT(e1[3], 5e-5);
}

TEST(Accuracy, AnnulusWithFluxGivenOnTheHole)
{
    /* U = ln 2 given on r = 2, dU/dN = -1 given on the hole r = 1: U on the
       hole is 0 and dU/dN outside is 1/2 */
    std::vector<double> eu, eq;
    for (int n = 16; n <= 512; n *= 2) {
        Solve("mixed\n" + std::to_string(n + n / 2) + " 0\n" + Ring(2, n, false, 0, std::log(2.0), 3) +
              Ring(1, n / 2, false, 1, -1, 3));
        double e = 0, en = 0;
        for (int p = 0; p < Nb; p++) {
            if (Bou[p] == 1)
                e = std::fmax(e, std::fabs(Ub[p]));
            else
                en = std::fmax(en, std::fabs(dUdN[p] - 0.5));
        }
        eu.push_back(e);
        eq.push_back(en);
    }
    for (int k = 1; k <= 3; k++)
        EXPECT_GT(eq[k - 1] / eq[k], 3.5) << k;
    EXPECT_GT(std::log2(eu[3] / eu[5]) / 2, 1.8);
    EXPECT_LT(eu[3], 5e-5);
}

TEST(Accuracy, TangentialConditionOnASquare)
{
    /* U = x on the unit square, counter-clockwise; dU/dT = 1 given on the
       inner nodes of the bottom side, U given elsewhere */
    for (int m : {4, 8}) {
        std::string s;
        int nb = 4 * m;
        for (int k = 0; k < m; k++) /* bottom, left to right */
            s += Format("%.17g 0 %d %.17g\n", (double)k / m, k == 0 ? 0 : 2, k == 0 ? 0.0 : 1.0);
        for (int k = 0; k < m; k++) /* right side */
            s += Format("1 %.17g 0 1\n", (double)k / m);
        for (int k = 0; k < m; k++) /* top, right to left */
            s += Format("%.17g 1 0 %.17g\n", 1 - (double)k / m, 1 - (double)k / m);
        for (int k = 0; k < m; k++) /* left side, downward */
            s += Format("0 %.17g %d 0\n", 1 - (double)k / m, k == m - 1 ? 3 : 0);
        Solve("tangential\n" + std::to_string(nb) + " 0\n" + s);
        for (int p = 1; p < m; p++) {
            EXPECT_NEAR(Ub[p], Xb[p], 2e-3) << m << " " << p;
            EXPECT_EQ(dUdT[p], 1);
            /* away from the corners the flux through the bottom is zero */
            if (p > 1 && p < m - 1) {
                EXPECT_NEAR(dUdN[p], 0, 0.05) << m << " " << p;
            }
        }
        /* on the right side U = 1 is given: dU/dT along it is zero */
        for (int p = m + 1; p < 2 * m; p++)
            EXPECT_EQ(dUdT[p], 0);
        /* on the top, listed leftwards, U falls: dU/dT = -1 */
        for (int p = 2 * m + 1; p < 3 * m; p++)
            EXPECT_NEAR(dUdT[p], -1, 1e-12);
    }
}

TEST(Assemble, SystemThatDoesNotFit)
{
    SKIP_IF_SANITIZED();
    /* G and H of 5000 nodes take 400 MB; under a 520 MB limit the rows of
       the system's matrix run out */
    std::string in = "big\n5000 0\n" + Ring(1, 5000, false, 0, 0, 3);
    Scratch d;
    d.Write("in.dat", in);
    Outcome r = d.Kavor({"in.dat"}, "ulimit -v 520000;");
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "\nFatal Error Code: 361\ncan't allocate memory [5000x8=40000]\n");
    std::string tail = Lbl("number of simultaneous equations") + "5000\n" + Lbl("allocating memory");
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

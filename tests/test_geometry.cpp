/* test_geometry.cpp: point-in-polygon test and boundary reversal */
#include <gtest/gtest.h>

#include <vector>

#include "driver/diag.h"
#include "input/input.h"
#include "model/model.h"

TEST(PointInPolygon, UnitSquareInEveryOrder)
{
    struct {
        double x, y;
        int in;
    } pts[] = {
        {0.5, 0.5, 1}, {2, 0.5, 0}, {-1, 0.5, 0},  /* inside, right, left */
        {0.5, 0, 1},   {0.5, 1, 0},                /* bottom and top edges */
        {0, 0.5, 1},   {1, 0.5, 0},                /* left and right edges */
        {0, 0, 1},     {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, /* the corners */
        {0.5, 2, 0},   {0.5, -1, 0},
    };
    double sx[] = {0, 1, 1, 0}, sy[] = {0, 0, 1, 1};
    for (int rev = 0; rev < 2; rev++)
        for (int start = 0; start < 4; start++) {
            double X[4], Y[4];
            for (int i = 0; i < 4; i++) {
                int k = rev ? (start - i + 8) % 4 : (start + i) % 4;
                X[i] = sx[k];
                Y[i] = sy[k];
            }
            for (auto &p : pts)
                EXPECT_EQ(PointInPolygon(X, Y, 4, p.x, p.y), p.in)
                    << "(" << p.x << "," << p.y << ") rev " << rev << " start " << start;
        }
}

TEST(PointInPolygon, ConcaveAndSlantedEdges)
{
    /* an L shape: the notch at the upper right is outside */
    double X[] = {0, 2, 2, 1, 1, 0}, Y[] = {0, 0, 1, 1, 2, 2};
    EXPECT_EQ(PointInPolygon(X, Y, 6, 0.5, 1.5), 1);
    EXPECT_EQ(PointInPolygon(X, Y, 6, 1.5, 0.5), 1);
    EXPECT_EQ(PointInPolygon(X, Y, 6, 1.5, 1.5), 0);
    /* a triangle: points just either side of the slanted edge */
    double TX[] = {0, 4, 0}, TY[] = {0, 0, 4};
    EXPECT_EQ(PointInPolygon(TX, TY, 3, 1.99, 2), 1);
    EXPECT_EQ(PointInPolygon(TX, TY, 3, 2.01, 2), 0);
}

/* a model of n nodes numbered 1..n in input order */
static void MakeNodes(int n)
{
    Nb = n;
    Xb = (double *)AllocArray(1, n, sizeof(double));
    Yb = (double *)AllocArray(1, n, sizeof(double));
    Ub = (double *)AllocArray(1, n, sizeof(double));
    Bc = (int *)AllocArray(1, n, sizeof(int));
    Pnt = (int *)AllocArray(1, n, sizeof(int));
    for (int p = 0; p < n; p++) {
        Xb[p] = p;
        Yb[p] = 10 * p;
        Ub[p] = 100 * p;
        Bc[p] = p % 6;
        Pnt[p] = p + 1;
    }
}

TEST(ReverseBoundary, MirrorsPositionsAndNegatesPnt)
{
    for (int n : {3, 4, 7}) {
        MakeNodes(n + 4);
        int s = 2, e = s + n - 1;
        ReverseBoundary(s, e);
        for (int p = 0; p < Nb; p++) {
            bool in = p >= s && p <= e;
            int from = in ? s + e - p : p; /* where the node came from */
            EXPECT_EQ(Xb[p], from);
            EXPECT_EQ(Yb[p], 10 * from);
            EXPECT_EQ(Ub[p], 100 * from);
            EXPECT_EQ(Bc[p], from % 6);
            EXPECT_EQ(Pnt[p], in ? -(from + 1) : from + 1) << "n " << n << " p " << p;
            /* the node read as number k stands at |Pnt[k-1]| - 1 */
            EXPECT_EQ(std::abs(Pnt[std::abs(Pnt[p]) - 1]) - 1, p);
        }
    }
}

/* test_rounding.cpp: the results of a circle against a long double
 * evaluation of the same method (the same collocation, the same closed
 * forms, with eleven more bits): the boundary solution agrees with it to
 * rounding, and every number of the velocity file to its last printed digit.
 */
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/format.h"
#include "harness.h"
#include "model/model.h"

namespace {

typedef long double LD;

/* a circle of radius 0.5 with n nodes and a grid of about -ni points;
   U = x^2 - y^2 + xy + 0.3x given on one half, dU/dN on the other */
std::string Circle(int n, int ni)
{
    const double R = 0.5;
    std::string s = Format("circle\n%d %d\n", n, ni);
    for (int i = 0; i < n; i++) {
        double t = 2 * M_PI * i / n, x = R * std::cos(t), y = R * std::sin(t);
        double u = x * x - y * y + x * y + 0.3 * x, q = ((2 * x + y + 0.3) * x + (x - 2 * y) * y) / R;
        int type = i < n / 2 ? 0 : 1;
        s += Format("%.17g %.17g %d %.17g\n", x, y, type + (i == n - 1 ? 3 : 0), type ? q : u);
    }
    return s;
}

/* the weights G1, G2, H1, H2 of the element (x1,y1)-(x2,y2) at (x,y) and,
   when D is not NULL, their x- and y-derivatives, in long double */
void Weights(LD x, LD y, LD x1, LD y1, LD x2, LD y2, LD W[4], LD *D = nullptr)
{
    LD ex = x2 - x1, ey = y2 - y1, dx = x - x1, dy = y - y1, fx = x - x2, fy = y - y2;
    LD L2 = ex * ex + ey * ey, L = std::sqrt(L2);
    LD a = ex * dx + ey * dy, b = L2 - a, c = ex * dy - ey * dx;
    LD r1 = dx * dx + dy * dy, r2 = fx * fx + fy * fy, l1 = std::log(r1), l2 = std::log(r2);
    LD Th = std::atan(a / c) + std::atan(b / c);
    LD I0 = L - (a * l1 + b * l2) / (2 * L) - (c / L) * Th;
    LD I1 = -(r2 * l2 - r1 * l1 - (b - a)) / 4;
    LD q = c / (2 * L2) * (l2 - l1);
    W[0] = (b * I0 - L * I1) / L2;
    W[1] = (a * I0 + L * I1) / L2;
    W[2] = -b / L2 * Th + q;
    W[3] = -a / L2 * Th - q;
    if (!D)
        return;
    LD L3 = L2 * L, h = (l2 - l1) / 2;
    LD px1 = dx / r1, py1 = dy / r1, px2 = fx / r2, py2 = fy / r2, Tx = py1 - py2, Ty = px2 - px1;
    LD k1 = b * ex - c * ey, m1 = b * ey + c * ex, k2 = a * ex + c * ey, m2 = a * ey - c * ex;
    LD Kx = c / L2 * (px2 - px1), Ky = c / L2 * (py2 - py1);
    D[0] = (k1 * h + m1 * Th - ex * L2) / L3;
    D[1] = (m1 * h - k1 * Th - ey * L2) / L3;
    D[2] = (k2 * h + m2 * Th + ex * L2) / L3;
    D[3] = (m2 * h - k2 * Th + ey * L2) / L3;
    D[4] = (ex * Th - b * Tx - ey * h) / L2 + Kx;
    D[5] = (ey * Th - b * Ty + ex * h) / L2 + Ky;
    D[6] = (-ex * Th - a * Tx + ey * h) / L2 - Kx;
    D[7] = (-ey * Th - a * Ty - ex * h) / L2 - Ky;
}

/* U and dU/dN at every node of the one boundary of the model, from the
   given values g: collocation, then Gaussian elimination with row pivots */
void BoundarySolution(const std::vector<double> &g, std::vector<LD> &u, std::vector<LD> &q)
{
    int n = Nb;
    std::vector<LD> A((size_t)n * n, 0), r(n, 0);
    for (int i = 0; i < n; i++) {
        std::vector<LD> Gi(n, 0), Hi(n, 0);
        for (int j = 0; j < n; j++) {
            int k = (j + 1) % n;
            if (j == i || k == i) {
                LD L = std::hypot((LD)Xb[k] - Xb[j], (LD)Yb[k] - Yb[j]), lnL = std::log(L);
                Gi[i] += (1.5L - lnL) * L / 2;
                Gi[j == i ? k : j] += (0.5L - lnL) * L / 2;
                continue;
            }
            LD W[4];
            Weights(Xb[i], Yb[i], Xb[j], Yb[j], Xb[k], Yb[k], W);
            Gi[j] += W[0], Gi[k] += W[1], Hi[j] += W[2], Hi[k] += W[3], Hi[i] -= W[2] + W[3];
        }
        /* sum H u - sum G q = 0; the unknown of a node is q where U is given */
        for (int l = 0; l < n; l++) {
            bool uGiven = Bc[l] % 3 == 0;
            A[(size_t)i * n + l] = uGiven ? -Gi[l] : Hi[l];
            r[i] += uGiven ? -Hi[l] * g[l] : Gi[l] * g[l];
        }
    }
    for (int k = 0; k < n; k++) {
        int p = k;
        for (int i = k + 1; i < n; i++)
            if (std::fabs(A[(size_t)i * n + k]) > std::fabs(A[(size_t)p * n + k]))
                p = i;
        for (int c = 0; c < n; c++)
            std::swap(A[(size_t)k * n + c], A[(size_t)p * n + c]);
        std::swap(r[k], r[p]);
        for (int i = k + 1; i < n; i++) {
            LD f = A[(size_t)i * n + k] / A[(size_t)k * n + k];
            for (int c = k + 1; c < n; c++)
                A[(size_t)i * n + c] -= f * A[(size_t)k * n + c];
            r[i] -= f * r[k];
        }
    }
    std::vector<LD> s(n);
    for (int i = n - 1; i >= 0; i--) {
        LD t = r[i];
        for (int c = i + 1; c < n; c++)
            t -= A[(size_t)i * n + c] * s[c];
        s[i] = t / A[(size_t)i * n + i];
    }
    u.resize(n), q.resize(n);
    for (int l = 0; l < n; l++) {
        bool uGiven = Bc[l] % 3 == 0;
        u[l] = uGiven ? g[l] : s[l];
        q[l] = uGiven ? s[l] : g[l];
    }
}

/* dU/dy, -dU/dx and U at (x, y) from the boundary values u and q */
void Field(double x, double y, const std::vector<LD> &u, const std::vector<LD> &q, LD v[3])
{
    LD su = 0, sx = 0, sy = 0;
    for (int m = 0, p = Nb - 1; m < Nb; p = m++) {
        LD W[4], D[8];
        Weights(x, y, Xb[p], Yb[p], Xb[m], Yb[m], W, D);
        su += W[0] * q[p] + W[1] * q[m] - W[2] * u[p] - W[3] * u[m];
        sx += D[0] * q[p] + D[2] * q[m] - D[4] * u[p] - D[6] * u[m];
        sy += D[1] * q[p] + D[3] * q[m] - D[5] * u[p] - D[7] * u[m];
    }
    const LD TwoPi = 6.283185307179586476925286766559L;
    v[0] = sy / TwoPi, v[1] = -sx / TwoPi, v[2] = su / TwoPi;
}

} // namespace

TEST(Rounding, CircleToTheLastPrintedDigit)
{
    Scratch d;
    LoadModel(Circle(1000, -2000));
    ASSERT_EQ(Nbnd, 1);
    std::vector<double> given(Ub, Ub + Nb);
    SolveModel(d.Path("v.v2d"));

    std::vector<LD> u, q;
    BoundarySolution(given, u, q);
    for (int l = 0; l < Nb; l++) {
        EXPECT_NEAR(Ub[l], (double)u[l], 1e-13) << "U at node " << l;
        EXPECT_NEAR(dUdN[l], (double)q[l], 2e-11) << "dU/dN at node " << l;
    }

    /* the rows of the velocity file in the order of the grid */
    std::string text = d.Read("v.v2d");
    const char *p = text.c_str();
    int rows = 0;
    for (int k = 0; k < Nx * Ny; k++) {
        if (!Ing[k])
            continue;
        double x = Xg[k % Nx], y = Yg[k / Nx], f[5];
        for (double &v : f) {
            char *e;
            v = std::strtod(p, &e);
            ASSERT_NE(e, p) << "row " << rows + 1;
            p = e;
        }
        ASSERT_EQ(f[0], std::strtod(Format("%.9G", x).c_str(), nullptr));
        ASSERT_EQ(f[1], std::strtod(Format("%.9G", y).c_str(), nullptr));
        LD v[3];
        Field(x, y, u, q, v);
        /* one unit of the ninth significant digit; values that round to
           nothing against the field's size of about one are left out */
        for (int c = 0; c < 3; c++) {
            LD w = std::fabs(v[c]);
            if (w < 1e-3)
                continue;
            LD unit = std::pow(10.0L, std::floor(std::log10(w)) - 8);
            EXPECT_LE(std::fabs(f[2 + c] - v[c]), unit) << "row " << rows + 1 << " column " << c + 3;
        }
        rows++;
    }
    EXPECT_GT(rows, 1500);
    EXPECT_EQ(*p, '\r');
}

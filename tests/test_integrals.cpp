/* test_integrals.cpp: the closed-form element weights against known values,
 * their degenerate positions, their symmetries and an independent numerical
 * quadrature of the defining integrals.
 */
#include <gtest/gtest.h>

#include <cmath>

#include "solver/integrals.h"

namespace {

const double PI = 3.14159265358979323846;
const double E = 2.71828182845904523536;

struct Weights {
    double G1, G2, H1, H2;
};

Weights Element(double x, double y, double x1, double y1, double x2, double y2)
{
    Weights w;
    ElementIntegrals(x, y, x1, y1, x2, y2, &w.G1, &w.G2, &w.H1, &w.H2);
    return w;
}

/* The four integrands at arc length s, straight from their definitions. */
struct Integrand {
    double x, y, x1, y1, ex, ey, L;
    Weights operator()(double s) const
    {
        double qx = x1 + ex * s / L - x, qy = y1 + ey * s / L - y;
        double r2 = qx * qx + qy * qy;
        double g = -0.5 * std::log(r2);                  /* ln(1/r) */
        double h = -(qx * ey - qy * ex) / L / r2;         /* -(Q-P).n / r^2 */
        double N1 = 1.0 - s / L, N2 = s / L;
        return {g * N1, g * N2, h * N1, h * N2};
    }
};

Weights Combine(const Weights &p, double u, const Weights &q, double v)
{
    return {u * p.G1 + v * q.G1, u * p.G2 + v * q.G2, u * p.H1 + v * q.H1,
            u * p.H2 + v * q.H2};
}

double Largest(const Weights &w)
{
    return std::fmax(std::fmax(std::fabs(w.G1), std::fabs(w.G2)),
                     std::fmax(std::fabs(w.H1), std::fabs(w.H2)));
}

/* 5-point Gauss-Legendre rule on [a, b] */
Weights Gauss(const Integrand &f, double a, double b)
{
    static const double t[] = {0.0, 0.5384693101056831, 0.9061798459386640};
    static const double c[] = {0.5688888888888889, 0.4786286704993665,
                               0.2369268850561891};
    double m = 0.5 * (a + b), h = 0.5 * (b - a);
    Weights sum = Combine(f(m), c[0] * h, f(m), 0.0);
    for (int i = 1; i < 3; i++)
        sum = Combine(sum, 1.0,
                      Combine(f(m - h * t[i]), c[i] * h, f(m + h * t[i]),
                              c[i] * h),
                      1.0);
    return sum;
}

/* bisects until the halves agree with the whole interval's rule; the
   tolerance stays absolute, so that rounding cannot drive it to the depth limit */
Weights Adaptive(const Integrand &f, double a, double b, const Weights &whole,
                 double eps, int depth)
{
    double m = 0.5 * (a + b);
    Weights left = Gauss(f, a, m), right = Gauss(f, m, b);
    Weights both = Combine(left, 1.0, right, 1.0);
    if (depth <= 0 || Largest(Combine(both, 1.0, whole, -1.0)) <= eps)
        return both;
    return Combine(Adaptive(f, a, m, left, eps, depth - 1), 1.0,
                   Adaptive(f, m, b, right, eps, depth - 1), 1.0);
}

Weights Quadrature(double x, double y, double x1, double y1, double x2,
                   double y2)
{
    double ex = x2 - x1, ey = y2 - y1;
    Integrand f{x, y, x1, y1, ex, ey, std::hypot(ex, ey)};
    return Adaptive(f, 0, f.L, Gauss(f, 0, f.L), 1e-15, 30);
}

/* signed angle that the element subtends at (x,y), from the node vectors */
double Subtended(double x, double y, double x1, double y1, double x2, double y2)
{
    double ux = x1 - x, uy = y1 - y, vx = x2 - x, vy = y2 - y;
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

void ExpectWeights(const Weights &got, const Weights &want, double tol)
{
    EXPECT_NEAR(got.G1, want.G1, tol);
    EXPECT_NEAR(got.G2, want.G2, tol);
    EXPECT_NEAR(got.H1, want.H1, tol);
    EXPECT_NEAR(got.H2, want.H2, tol);
}

struct Geometry {
    double x, y, x1, y1, x2, y2;
};

/* generic positions: left and right of the element, close to it, beyond its
   ends off its line, far away, and elements in several directions */
const Geometry GENERIC[] = {
    {0.3, 0.7, 1, 2, 3, 2.5},    {2.5, 1.0, 1, 2, 3, 2.5},
    {2.0, 2.26, 1, 2, 3, 2.5},   {2.0, 2.24, 1, 2, 3, 2.5},
    {4.0, 2.9, 1, 2, 3, 2.5},    {-0.5, 1.6, 1, 2, 3, 2.5},
    {40.0, -25.0, 1, 2, 3, 2.5}, {0.1, -0.2, -1, 3, -2.5, -0.5},
    {-3.0, 1.0, -1, 3, -2.5, -0.5}, {0.0, 0.0, 0.2, 0.1, 0.25, 0.13},
    {7.0, 3.0, 5, -4, 5, 10},
};

} // namespace

TEST(SelfIntegrals, KnownLengths)
{
    struct {
        double x1, y1, x2, y2, Gnear, Gfar;
    } cases[] = {
        {0, 0, 1, 0, 0.75, 0.25},
        {3, 1, 3, 0, 0.75, 0.25},
        {1, 1, 2.2, 2.6, 0.8068528194, -0.1931471806}, /* length 2, oblique */
        {0, 0, 0, E, E / 4, -E / 4},
        {2, -1, 2 - 0.6 * E, -1 - 0.8 * E, E / 4, -E / 4},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(testing::Message() << "element (" << k.x1 << "," << k.y1
                                        << ")-(" << k.x2 << "," << k.y2 << ")");
        double Gnear = NAN, Gfar = NAN;
        SelfIntegrals(k.x1, k.y1, k.x2, k.y2, &Gnear, &Gfar);
        EXPECT_NEAR(Gnear, k.Gnear, 1e-10);
        EXPECT_NEAR(Gfar, k.Gfar, 1e-10);
    }
}

TEST(SelfIntegrals, ShortestAndLongestElements)
{
    /* exactly 2^-52 passes the length check */
    double eps = std::ldexp(1.0, -52), Gnear = NAN, Gfar = NAN;
    SelfIntegrals(1.0, 0.0, 1.0 + eps, 0.0, &Gnear, &Gfar);
    EXPECT_DOUBLE_EQ(Gnear, (1.5 + 52 * std::log(2.0)) * eps / 2);
    EXPECT_DOUBLE_EQ(Gfar, (0.5 + 52 * std::log(2.0)) * eps / 2);

    /* a length whose square overflows still gives finite weights */
    SelfIntegrals(0.0, 0.0, 0.6e200, 0.8e200, &Gnear, &Gfar);
    EXPECT_DOUBLE_EQ(Gnear, (1.5 - 200 * std::log(10.0)) * 0.5e200);
    EXPECT_DOUBLE_EQ(Gfar, (0.5 - 200 * std::log(10.0)) * 0.5e200);
}

TEST(SelfIntegralsDeathTest, CoincidentNodesEndTheRun)
{
    double Gnear, Gfar, h = std::ldexp(1.0, -53);
    EXPECT_EXIT(SelfIntegrals(0.0, 0.0, h, 0.0, &Gnear, &Gfar),
                testing::ExitedWithCode(1),
                "Fatal Error Code: 285\nadjacent boundary encountered "
                "coincident points");
    /* oblique element of length 0.625 * 2^-52 */
    EXPECT_EXIT(SelfIntegrals(0.0, 0.0, 3 * std::ldexp(1.0, -55),
                              4 * std::ldexp(1.0, -55), &Gnear, &Gfar),
                testing::ExitedWithCode(1), "Fatal Error Code: 285");
    EXPECT_EXIT(SelfIntegrals(5.0, -2.0, 5.0, -2.0, &Gnear, &Gfar),
                testing::ExitedWithCode(1), "Fatal Error Code: 285");
}

TEST(ElementIntegrals, KnownValues)
{
    struct {
        Geometry g;
        Weights w;
    } cases[] = {
        /* node left of an element running upwards: Theta = pi/2 */
        {{0, 0, 1, -1, 1, 1},
         {(2 - std::log(2.0) - PI / 2) / 2, (2 - std::log(2.0) - PI / 2) / 2,
          -PI / 4, -PI / 4}},
        {{0, 0, 1, -1, 1, 1},
         {-0.1319717537, -0.1319717537, -PI / 4, -PI / 4}},
        {{0.3, 0.7, 1, 2, 3, 2.5},
         {-0.7052637306, -0.9764438659, 0.3077655181, 0.1810868363}},
        /* collinear, outside the element */
        {{0, 2, 1, 2, 3, 2}, {-0.4718776495, -0.8239592165, 0, 0}},
        /* on the element, midway */
        {{2, 2, 1, 2, 3, 2}, {1, 1, -PI / 2, -PI / 2}},
    };
    for (const auto &k : cases) {
        const Geometry &g = k.g;
        SCOPED_TRACE(testing::Message() << "node (" << g.x << "," << g.y
                                        << ") element (" << g.x1 << "," << g.y1
                                        << ")-(" << g.x2 << "," << g.y2 << ")");
        ExpectWeights(Element(g.x, g.y, g.x1, g.y1, g.x2, g.y2), k.w, 1e-10);
    }
}

TEST(ElementIntegrals, CollinearNodeHasNoDoubleLayer)
{
    /* before the first node, beyond the second, axis-parallel and oblique */
    const Geometry cases[] = {
        {0, 2, 1, 2, 3, 2},   {5, 2, 1, 2, 3, 2},  {-7, 2, 3, 2, 1, 2},
        {1, -4, 1, 2, 1, 3},  {3, 5, 1, 1, 2, 3},  {0, -1, 1, 1, 2, 3},
        {1e3, 2, 1, 2, 3, 2},
    };
    for (const auto &g : cases) {
        SCOPED_TRACE(testing::Message() << "node (" << g.x << "," << g.y
                                        << ") element (" << g.x1 << "," << g.y1
                                        << ")-(" << g.x2 << "," << g.y2 << ")");
        Weights w = Element(g.x, g.y, g.x1, g.y1, g.x2, g.y2);
        EXPECT_EQ(w.H1, 0.0);
        EXPECT_EQ(w.H2, 0.0);
        ASSERT_TRUE(std::isfinite(w.G1) && std::isfinite(w.G2));
        /* the single layer is the limit from beside the line */
        Weights q = Quadrature(g.x + 1e-9 * (g.y2 - g.y1),
                               g.y - 1e-9 * (g.x2 - g.x1), g.x1, g.y1, g.x2,
                               g.y2);
        EXPECT_NEAR(w.G1, q.G1, 1e-8 * (1 + std::fabs(q.G1)));
        EXPECT_NEAR(w.G2, q.G2, 1e-8 * (1 + std::fabs(q.G2)));
    }
}

TEST(ElementIntegrals, NodeOnElementSeesItFromTheLeft)
{
    /* H1 + H2 = -pi, and every weight is the limit from the left side */
    const Geometry cases[] = {
        {2, 2, 1, 2, 3, 2},      {1.25, 2, 1, 2, 3, 2}, {2.9, 2, 3, 2, 1, 2},
        {1.5, 2, 1, 1, 2, 3},    {0, 0.5, 0, -1, 0, 4},
    };
    for (const auto &g : cases) {
        SCOPED_TRACE(testing::Message() << "node (" << g.x << "," << g.y
                                        << ") element (" << g.x1 << "," << g.y1
                                        << ")-(" << g.x2 << "," << g.y2 << ")");
        Weights w = Element(g.x, g.y, g.x1, g.y1, g.x2, g.y2);
        EXPECT_NEAR(w.H1 + w.H2, -PI, 1e-14);
        double h = 1e-9; /* step to the left of the element */
        Weights l = Element(g.x - h * (g.y2 - g.y1), g.y + h * (g.x2 - g.x1),
                            g.x1, g.y1, g.x2, g.y2);
        ExpectWeights(w, l, 1e-7);
    }
}

TEST(ElementIntegrals, NodeAtAnEndNodeGivesNaN)
{
    const Geometry g = {0, 0, 1, 2, 3, 2.5};
    for (int end = 0; end < 2; end++) {
        double x = end ? g.x2 : g.x1, y = end ? g.y2 : g.y1;
        Weights w = Element(x, y, g.x1, g.y1, g.x2, g.y2);
        EXPECT_TRUE(std::isnan(w.G1)) << "end " << end;
        EXPECT_TRUE(std::isnan(w.G2)) << "end " << end;
        EXPECT_TRUE(std::isnan(w.H1)) << "end " << end;
        EXPECT_TRUE(std::isnan(w.H2)) << "end " << end;
    }
}

TEST(ElementIntegrals, AgreeWithQuadrature)
{
    for (const auto &g : GENERIC) {
        SCOPED_TRACE(testing::Message() << "node (" << g.x << "," << g.y
                                        << ") element (" << g.x1 << "," << g.y1
                                        << ")-(" << g.x2 << "," << g.y2 << ")");
        Weights w = Element(g.x, g.y, g.x1, g.y1, g.x2, g.y2);
        Weights q = Quadrature(g.x, g.y, g.x1, g.y1, g.x2, g.y2);
        ExpectWeights(w, q, 1e-11);
        /* the double layer sums to minus the subtended angle */
        EXPECT_NEAR(w.H1 + w.H2, -Subtended(g.x, g.y, g.x1, g.y1, g.x2, g.y2),
                    1e-13);
    }
}

TEST(ElementIntegrals, ReversedElement)
{
    /* exchanging the nodes exchanges G1, G2 and turns H1, H2 into -H2, -H1 */
    for (const auto &g : GENERIC) {
        SCOPED_TRACE(testing::Message() << "node (" << g.x << "," << g.y
                                        << ") element (" << g.x1 << "," << g.y1
                                        << ")-(" << g.x2 << "," << g.y2 << ")");
        Weights w = Element(g.x, g.y, g.x1, g.y1, g.x2, g.y2);
        Weights r = Element(g.x, g.y, g.x2, g.y2, g.x1, g.y1);
        ExpectWeights(r, {w.G2, w.G1, -w.H2, -w.H1}, 1e-12);
    }
}

TEST(ElementIntegrals, TendToSelfIntegralsAtAnEndNode)
{
    const Geometry elements[] = {
        {0, 0, 1, 2, 3, 2.5}, {0, 0, -1, 3, -2.5, -0.5}, {0, 0, 0, 0, 2, 0}};
    const double dirs[][2] = {{0.6, 0.8}, {-0.8, 0.6}, {-1, 0}, {0, -1}};
    for (const auto &g : elements)
        for (const auto &d : dirs)
            for (int end = 0; end < 2; end++) {
                SCOPED_TRACE(testing::Message()
                             << "element (" << g.x1 << "," << g.y1 << ")-("
                             << g.x2 << "," << g.y2 << ") end " << end
                             << " direction (" << d[0] << "," << d[1] << ")");
                double Gnear, Gfar, h = 1e-8;
                SelfIntegrals(g.x1, g.y1, g.x2, g.y2, &Gnear, &Gfar);
                double x = end ? g.x2 : g.x1, y = end ? g.y2 : g.y1;
                Weights w = Element(x + h * d[0], y + h * d[1], g.x1, g.y1,
                                    g.x2, g.y2);
                /* the weights differ by O(h ln h) */
                EXPECT_NEAR(end ? w.G2 : w.G1, Gnear, 1e-6);
                EXPECT_NEAR(end ? w.G1 : w.G2, Gfar, 1e-6);
            }
}

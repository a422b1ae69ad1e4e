/* test_fieldint.cpp: the interior weights and their gradients against known
 * values, against ElementIntegrals bit for bit, against difference quotients,
 * and as a whole through Green's formula for a harmonic function on a circle.
 */
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "field/fieldint.h"
#include "solver/integrals.h"

namespace {

const double PI = 3.14159265358979323846;

/* the twelve results in their order: G1 G1x G1y G2 G2x G2y H1 ... H2y */
struct Results {
    double v[12];
};

const char *const NAMES[12] = {"G1", "G1x", "G1y", "G2", "G2x", "G2y",
                               "H1", "H1x", "H1y", "H2", "H2x", "H2y"};

struct Geometry {
    double x, y, x1, y1, x2, y2;
};

Results At(double x, double y, const Geometry &g)
{
    Results f;
    FieldIntegrals(x, y, g.x1, g.y1, g.x2, g.y2, &f.v[0], &f.v[1], &f.v[2],
                   &f.v[3], &f.v[4], &f.v[5], &f.v[6], &f.v[7], &f.v[8],
                   &f.v[9], &f.v[10], &f.v[11]);
    return f;
}

Results At(const Geometry &g) { return At(g.x, g.y, g); }

testing::Message Describe(const Geometry &g)
{
    return testing::Message() << "point (" << g.x << "," << g.y
                              << ") element (" << g.x1 << "," << g.y1 << ")-("
                              << g.x2 << "," << g.y2 << ")";
}

/* the same bits, or NaN in both */
bool Same(double p, double q)
{
    return (std::isnan(p) && std::isnan(q)) ||
           std::memcmp(&p, &q, sizeof p) == 0;
}

/* positions off the element's line: both sides, near, beyond the ends, at some distance,
   and elements in several directions and sizes */
const Geometry GENERIC[] = {
    {0.3, 0.7, 1, 2, 3, 2.5},      {2.5, 1.0, 1, 2, 3, 2.5},
    {2.0, 2.4, 1, 2, 3, 2.5},      {2.0, 2.1, 1, 2, 3, 2.5},
    {4.0, 2.9, 1, 2, 3, 2.5},      {-0.5, 1.6, 1, 2, 3, 2.5},
    {12.0, -7.0, 1, 2, 3, 2.5},    {0.1, -0.2, -1, 3, -2.5, -0.5},
    {-3.0, 1.0, -1, 3, -2.5, -0.5}, {0.0, 0.0, 0.2, 0.1, 0.25, 0.13},
    {7.0, 3.0, 5, -4, 5, 10},      {0.0, 0.0, 1, -1, 1, 1},
};

/* in line with the element, outside it */
const Geometry COLLINEAR[] = {
    {0, 2, 1, 2, 3, 2},  {5, 2, 1, 2, 3, 2}, {-7, 2, 3, 2, 1, 2},
    {1, -4, 1, 2, 1, 3}, {3, 5, 1, 1, 2, 3}, {0, -1, 1, 1, 2, 3},
};

/* far away, in line and off the line: the weights lose digits to
   cancellation, too many for a difference quotient */
const Geometry FAR[] = {
    {1e3, 2, 1, 2, 3, 2}, {40.0, -25.0, 1, 2, 3, 2.5}, {1e8, -3e7, 1, 2, 3, 2}};

/* on the element, strictly between its nodes */
const Geometry ON_ELEMENT[] = {
    {2, 2, 1, 2, 3, 2},   {1.25, 2, 1, 2, 3, 2}, {2.9, 2, 3, 2, 1, 2},
    {1.5, 2, 1, 1, 2, 3}, {0, 0.5, 0, -1, 0, 4},
};

} // namespace

TEST(FieldIntegrals, KnownValues)
{
    struct {
        Geometry g;
        double v[12];
    } cases[] = {
        /* left of an element running upwards */
        {{0, 0, 1, -1, 1, 1},
         {(2 - std::log(2.0) - PI / 2) / 2, PI / 4, PI / 4 - 1,
          (2 - std::log(2.0) - PI / 2) / 2, PI / 4, 1 - PI / 4, -PI / 4, -0.5,
          PI / 4 - 0.5, -PI / 4, -0.5, 0.5 - PI / 4}},
        /* in line with the element: the double layer still varies across */
        {{0, 2, 1, 2, 3, 2},
         {-0.4718776495, 0.6479184330, 0, -0.8239592165, 0.4506938557, 0, 0, 0,
          -0.4506938557, 0, 0, -0.2159728110}},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(Describe(k.g));
        Results f = At(k.g);
        for (int i = 0; i < 12; i++) {
            EXPECT_TRUE(std::isfinite(f.v[i])) << NAMES[i];
            EXPECT_NEAR(f.v[i], k.v[i], 1e-10) << NAMES[i];
        }
    }
}

TEST(FieldIntegrals, WeightsAreThoseOfElementIntegrals)
{
    /* every kind of position, the element's nodes included */
    std::vector<Geometry> cases(std::begin(GENERIC), std::end(GENERIC));
    cases.insert(cases.end(), std::begin(COLLINEAR), std::end(COLLINEAR));
    cases.insert(cases.end(), std::begin(ON_ELEMENT), std::end(ON_ELEMENT));
    cases.push_back({1, 2, 1, 2, 3, 2.5});
    cases.push_back({3, 2.5, 1, 2, 3, 2.5});
    cases.push_back({2, 2.25 + 1e-13, 1, 2, 3, 2.5});
    cases.push_back({1e8, -3e7, 1, 2, 3, 2.5});
    for (const auto &g : cases) {
        SCOPED_TRACE(Describe(g));
        double G1, G2, H1, H2;
        ElementIntegrals(g.x, g.y, g.x1, g.y1, g.x2, g.y2, &G1, &G2, &H1, &H2);
        Results f = At(g);
        EXPECT_PRED2(Same, f.v[0], G1);
        EXPECT_PRED2(Same, f.v[3], G2);
        EXPECT_PRED2(Same, f.v[6], H1);
        EXPECT_PRED2(Same, f.v[9], H2);
    }
}

TEST(FieldIntegrals, DerivativesMatchDifferenceQuotients)
{
    /* off the element, in line with it too: there the quotient straddles the
       line and checks that the results are the limits */
    std::vector<Geometry> cases(std::begin(GENERIC), std::end(GENERIC));
    cases.insert(cases.end(), std::begin(COLLINEAR), std::end(COLLINEAR));
    const double h = 1e-5;
    for (const auto &g : cases) {
        SCOPED_TRACE(Describe(g));
        Results f = At(g);
        Results xp = At(g.x + h, g.y, g), xm = At(g.x - h, g.y, g);
        Results yp = At(g.x, g.y + h, g), ym = At(g.x, g.y - h, g);
        for (int w = 0; w < 12; w += 3) {
            double dx = (xp.v[w] - xm.v[w]) / (2 * h);
            double dy = (yp.v[w] - ym.v[w]) / (2 * h);
            /* relative to the size of the weight's gradient */
            double tol = 1e-6 * (std::fabs(dx) + std::fabs(dy)) + 1e-10;
            EXPECT_NEAR(f.v[w + 1], dx, tol) << NAMES[w + 1];
            EXPECT_NEAR(f.v[w + 2], dy, tol) << NAMES[w + 2];
        }
    }
}

TEST(FieldIntegrals, FiniteOnTheElementsLine)
{
    std::vector<Geometry> cases(std::begin(COLLINEAR), std::end(COLLINEAR));
    cases.insert(cases.end(), std::begin(ON_ELEMENT), std::end(ON_ELEMENT));
    cases.push_back(FAR[0]);
    for (const auto &g : cases) {
        SCOPED_TRACE(Describe(g));
        Results f = At(g);
        for (int i = 0; i < 12; i++)
            EXPECT_TRUE(std::isfinite(f.v[i])) << NAMES[i] << " " << f.v[i];
    }
}

TEST(FieldIntegrals, NaNAtAnEndNode)
{
    const Geometry elements[] = {{0, 0, 1, 2, 3, 2.5}, {0, 0, 1, -1, 1, 1}};
    for (const auto &g : elements)
        for (int end = 0; end < 2; end++) {
            SCOPED_TRACE(Describe(g) << " end " << end);
            Results f = At(end ? g.x2 : g.x1, end ? g.y2 : g.y1, g);
            for (int i = 0; i < 12; i++)
                EXPECT_TRUE(std::isnan(f.v[i])) << NAMES[i] << " " << f.v[i];
        }
}

TEST(FieldIntegrals, ReproduceAHarmonicFunctionInsideACircle)
{
    /* U = x^2 - y^2 + xy + 0.3x + 0.5y on the unit circle, 400 nodes
       counter-clockwise; q is the derivative along the radius */
    const int N = 400;
    double X[N], Y[N], u[N], q[N];
    for (int k = 0; k < N; k++) {
        double phi = 2 * PI * k / N;
        X[k] = std::cos(phi);
        Y[k] = std::sin(phi);
        double x = X[k], y = Y[k];
        u[k] = x * x - y * y + x * y + 0.3 * x + 0.5 * y;
        q[k] = (2 * x + y + 0.3) * x + (x - 2 * y + 0.5) * y;
    }
    const double points[][2] = {{0.2, 0.1},   {0, 0},     {-0.45, 0.35},
                                {0.1, -0.55}, {0.55, 0.2}, {-0.3, -0.4}};
    for (const auto &p : points) {
        double x = p[0], y = p[1];
        SCOPED_TRACE(testing::Message() << "point (" << x << "," << y << ")");
        double U = 0, Ux = 0, Uy = 0;
        for (int m = 0; m < N; m++) {
            int i = m ? m - 1 : N - 1;
            Results f = At(x, y, {x, y, X[i], Y[i], X[m], Y[m]});
            for (int d = 0; d < 3; d++) {
                double s = q[i] * f.v[d] + q[m] * f.v[3 + d] -
                           u[i] * f.v[6 + d] - u[m] * f.v[9 + d];
                (d == 0 ? U : d == 1 ? Ux : Uy) += s;
            }
        }
        U /= 6.283185307179586;
        Ux /= 6.283185307179586;
        Uy /= 6.283185307179586;
        EXPECT_NEAR(U, x * x - y * y + x * y + 0.3 * x + 0.5 * y, 1e-4);
        EXPECT_NEAR(Ux, 2 * x + y + 0.3, 1e-4);
        EXPECT_NEAR(Uy, x - 2 * y + 0.5, 1e-4);
    }
}

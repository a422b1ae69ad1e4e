/* test_fast_loops.cpp: the loops over all elements that share node and
 * element quantities, against the single-element routines (the same bits)
 * and against the literal closed form (the same values): the weights of one
 * element, the influence matrices of whole models and the field sums.
 */
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/yardstick.h"
#include "field/field.h"
#include "field/fieldint.h"
#include "harness.h"
#include "model/model.h"
#include "solver/assemble.h"
#include "solver/elements.h"
#include "solver/integrals.h"
#include "solver/terms.h"

namespace {

const double PI = 3.14159265358979323846;

struct Geometry {
    double x, y, x1, y1, x2, y2;
};

/* the twelve results of FieldIntegrals, or of the literal closed form */
struct Twelve {
    double v[12];
};

Twelve Results(FieldFn *f, const Geometry &g)
{
    Twelve t;
    double *v = t.v;
    f(g.x, g.y, g.x1, g.y1, g.x2, g.y2, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9],
      &v[10], &v[11]);
    return t;
}

Twelve Reference(const Geometry &g) { return Results(LiteralFieldIntegrals, g); }
Twelve Shared(const Geometry &g) { return Results(FieldIntegrals, g); }

testing::Message Describe(const Geometry &g)
{
    return testing::Message() << "point (" << g.x << "," << g.y << ") element (" << g.x1 << "," << g.y1 << ")-("
                              << g.x2 << "," << g.y2 << ")";
}

/* off the element's line, near and at some distance */
const Geometry GENERIC[] = {
    {0.3, 0.7, 1, 2, 3, 2.5},       {2.5, 1.0, 1, 2, 3, 2.5},    {2.0, 2.4, 1, 2, 3, 2.5},
    {2.0, 2.26, 1, 2, 3, 2.5},      {4.0, 2.9, 1, 2, 3, 2.5},    {-0.5, 1.6, 1, 2, 3, 2.5},
    {12.0, -7.0, 1, 2, 3, 2.5},     {0.1, -0.2, -1, 3, -2.5, -0.5}, {-3.0, 1.0, -1, 3, -2.5, -0.5},
    {0.0, 0.0, 0.2, 0.1, 0.25, 0.13}, {7.0, 3.0, 5, -4, 5, 10},  {0.0, 0.0, 1, -1, 1, 1},
};

/* in line with the element, outside it */
const Geometry COLLINEAR[] = {
    {0, 2, 1, 2, 3, 2}, {5, 2, 1, 2, 3, 2}, {-7, 2, 3, 2, 1, 2}, {1, -4, 1, 2, 1, 3}, {3, 5, 1, 1, 2, 3},
};

/* on the element, strictly between its nodes */
const Geometry ON_ELEMENT[] = {
    {2, 2, 1, 2, 3, 2}, {1.25, 2, 1, 2, 3, 2}, {2.9, 2, 3, 2, 1, 2}, {1.5, 2, 1, 1, 2, 3}, {0, 0.5, 0, -1, 0, 4},
};

} // namespace

TEST(SharedTerms, WeightsAndGradientsAsTheLiteralClosedForm)
{
    std::vector<Geometry> cases(std::begin(GENERIC), std::end(GENERIC));
    cases.insert(cases.end(), std::begin(COLLINEAR), std::end(COLLINEAR));
    cases.insert(cases.end(), std::begin(ON_ELEMENT), std::end(ON_ELEMENT));
    for (const auto &g : cases) {
        SCOPED_TRACE(Describe(g));
        Twelve r = Reference(g), s = Shared(g);
        /* each result to 1e-13 of the largest of its kind: weights, and
           gradients, which carry one more power of the inverse distance */
        double sw = 0, sg = 0;
        for (int i = 0; i < 12; i++)
            (i % 3 == 0 ? sw : sg) = std::fmax(i % 3 == 0 ? sw : sg, std::fabs(r.v[i]));
        for (int i = 0; i < 12; i++) {
            ASSERT_TRUE(std::isfinite(s.v[i])) << i;
            EXPECT_NEAR(s.v[i], r.v[i], 1e-13 * (i % 3 == 0 ? sw : sg)) << "result " << i;
        }
    }
}

TEST(SharedTerms, DegeneratePositions)
{
    for (const auto &g : COLLINEAR) {
        SCOPED_TRACE(Describe(g));
        Twelve s = Shared(g);
        EXPECT_EQ(s.v[6], 0.0); /* no double layer in line with the element */
        EXPECT_EQ(s.v[9], 0.0);
    }
    for (const auto &g : ON_ELEMENT) {
        SCOPED_TRACE(Describe(g));
        Twelve s = Shared(g);
        EXPECT_NEAR(s.v[6] + s.v[9], -PI, 1e-14);
    }
    /* at a node of the element nothing is a number, as before */
    Twelve s = Shared({1, 2, 1, 2, 3, 2.5});
    for (int i = 0; i < 12; i++)
        EXPECT_TRUE(std::isnan(s.v[i])) << i;
}

namespace {

/* the square 0..4 with a square hole, dU/dT given on part of the hole */
const char *const HOLED = "holed\n16 0\n"
                          "0 0 0 0\n1 0 1 0\n2 0 1 0\n3 0 1 0\n4 0 0 1\n4 2 0 1\n4 4 0 1\n2 4 1 0\n0 4 1 0\n"
                          "0 2 3 0\n"
                          "1.5 1.5 2 0.1\n1.5 2.5 2 0.2\n2 2.6 1 0\n2.5 2.5 1 0\n2.5 1.5 2 0.3\n2 1.4 5 0.4\n";

std::string Example(const char *name)
{
    std::ifstream f(std::string(KAVOR_EXAMPLES) + "/" + name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

/* a copy of G and H */
struct Influence {
    std::vector<std::vector<double>> G, H;
};

Influence Copy()
{
    Influence m;
    for (int i = 0; i < Nb; i++) {
        m.G.emplace_back(G[i], G[i] + Nb);
        m.H.emplace_back(H[i], H[i] + Nb);
        std::fill(G[i], G[i] + Nb, 0.0);
        std::fill(H[i], H[i] + Nb, 0.0);
    }
    return m;
}

/* runs f with the console swallowed */
template <class F> void Quiet(F f)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    f();
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
}

} // namespace

TEST(FastLoops, InfluenceMatricesAsElementByElement)
{
    const std::string inputs[] = {HOLED, Example("channel.dat"), Example("cylinders.dat"), Example("annulus.dat")};
    for (const std::string &in : inputs) {
        SCOPED_TRACE(in.substr(0, in.find('\n')));
        LoadModel(in);
        Quiet([] { AssembleInfluencePlain(); });
        Influence want = Copy();
        Quiet([] { AssembleInfluencePlain(ElementIntegrals); });
        Influence each = Copy();
        Quiet(AssembleInfluence);
        Influence got = Copy();
        /* ElementIntegrals pair by pair, the way without working storage,
           gives the very same matrices */
        for (int i = 0; i < Nb; i++) {
            ASSERT_EQ(std::memcmp(got.G[i].data(), each.G[i].data(), Nb * sizeof(double)), 0) << "G row " << i;
            ASSERT_EQ(std::memcmp(got.H[i].data(), each.H[i].data(), Nb * sizeof(double)), 0) << "H row " << i;
        }
        /* against the literal closed form: far from an element (in element
           lengths) it loses digits to cancellation in either grouping, some
           1e-13 of a row's scale at forty lengths */
        for (int i = 0; i < Nb; i++) {
            double sg = 0, sh = 0; /* the row's scale */
            for (int j = 0; j < Nb; j++) {
                sg = std::fmax(sg, std::fabs(want.G[i][j]));
                sh = std::fmax(sh, std::fabs(want.H[i][j]));
            }
            for (int j = 0; j < Nb; j++) {
                ASSERT_NEAR(got.G[i][j], want.G[i][j], 1e-12 * sg) << "G " << i << "," << j;
                ASSERT_NEAR(got.H[i][j], want.H[i][j], 1e-12 * sh) << "H " << i << "," << j;
                if (want.H[i][j] == 0) { /* the elements at node i give no H */
                    EXPECT_EQ(got.H[i][j], 0.0) << i << "," << j;
                }
            }
        }
    }
}

TEST(FastLoops, FieldSumsAsElementByElement)
{
    const std::string inputs[] = {HOLED, Example("channel.dat"), Example("cylinders.dat")};
    for (const std::string &in : inputs) {
        SCOPED_TRACE(in.substr(0, in.find('\n')));
        LoadModel(in);
        Quiet(AssembleAndSolve);
        /* points all over the extents, near the boundary too */
        int n = 0;
        for (double fy = 0.013; fy < 1; fy += 0.0731)
            for (double fx = 0.007; fx < 1; fx += 0.0617) {
                double x = Xmin + fx * (Xmax - Xmin), y = Ymin + fy * (Ymax - Ymin);
                if (!InsideRegion(x, y))
                    continue;
                double u0, ux0, uy0, u, ux, uy, u1, ux1, uy1;
                FieldAtPlain(x, y, &u0, &ux0, &uy0);
                FieldAtPlain(x, y, &u1, &ux1, &uy1, FieldIntegrals);
                FieldAt(x, y, &u, &ux, &uy);
                /* FieldIntegrals element by element: the same bits */
                EXPECT_TRUE(std::memcmp(&u, &u1, sizeof u) == 0 && std::memcmp(&ux, &ux1, sizeof u) == 0 &&
                            std::memcmp(&uy, &uy1, sizeof u) == 0)
                    << x << "," << y;
                /* the literal closed form: the same values */
                double s = std::fmax(std::fabs(u0), 1.0), sd = std::fmax(std::hypot(ux0, uy0), 1.0);
                EXPECT_NEAR(u, u0, 1e-12 * s) << x << "," << y;
                EXPECT_NEAR(ux, ux0, 1e-11 * sd) << x << "," << y;
                EXPECT_NEAR(uy, uy0, 1e-11 * sd) << x << "," << y;
                n++;
            }
        EXPECT_GT(n, 50);
        /* a point on a node */
        double u, ux, uy;
        FieldAt(Xb[0], Yb[0], &u, &ux, &uy);
        EXPECT_TRUE(std::isnan(u) && std::isnan(ux) && std::isnan(uy));
    }
}

TEST(FastLoops, ElementConstantsFollowTheModel)
{
    LoadModel(HOLED);
    const ElementLoop *L = PrepareElements();
    ASSERT_NE(L, nullptr);
    const ElementConst *E = L->E;
    for (int j = 0; j < Nb; j++) {
        int k = NextNode(j);
        EXPECT_EQ(Bou[k], Bou[j]);
        EXPECT_EQ(E[j].ex, Xb[k] - Xb[j]) << j;
        EXPECT_EQ(E[j].ey, Yb[k] - Yb[j]) << j;
        EXPECT_NEAR(E[j].L, Lb[Pnt[j] >= 0 ? k : j], 1e-15) << j;
    }
    /* the last node of each boundary closes to its first */
    EXPECT_EQ(NextNode(Ibnd[1] - 1), 0);
    EXPECT_EQ(NextNode(Nb - 1), Ibnd[1]);
}

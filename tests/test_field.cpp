/* test_field.cpp: potential and velocity at internal points and on a grid */
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "driver/format.h"
#include "field/field.h"
#include "harness.h"
#include "input/input.h"
#include "model/model.h"
#include "solver/assemble.h"

/* the rows of a velocity file */
static std::vector<std::vector<double>> Rows(const std::string &text)
{
    std::vector<std::vector<double>> v;
    std::istringstream s(text);
    std::string line;
    while (std::getline(s, line)) {
        EXPECT_EQ(line.back(), '\r');
        std::istringstream l(line);
        std::vector<double> row(5);
        for (double &x : row)
            l >> x;
        v.push_back(row);
    }
    return v;
}

/* the square 0..4 with a square hole 1.5..2.5, U = x + 2y given everywhere */
static std::string Holed(int ni, const std::string &points = "")
{
    std::string s = "holed\n" + std::to_string(32 + 8) + " " + std::to_string(ni) + "\n";
    auto side = [&](double x0, double y0, double dx, double dy, int n, int last) {
        for (int k = 0; k < n; k++) {
            double x = x0 + k * dx, y = y0 + k * dy;
            s += Format("%.17g %.17g %d %.17g\n", x, y, k == n - 1 ? last : 0, x + 2 * y);
        }
    };
    side(0, 0, 0.5, 0, 8, 0); /* exterior, counter-clockwise */
    side(4, 0, 0, 0.5, 8, 0);
    side(4, 4, -0.5, 0, 8, 0);
    side(0, 4, 0, -0.5, 8, 3);
    side(1.5, 1.5, 0, 0.5, 2, 0); /* hole, clockwise */
    side(1.5, 2.5, 0.5, 0, 2, 0);
    side(2.5, 2.5, 0, -0.5, 2, 0);
    side(2.5, 1.5, -0.5, 0, 2, 3);
    return s + points;
}

TEST(Field, ListedPointsInInputOrder)
{
    Scratch d;
    Outcome r = d.KavorOn(Holed(5, "0.7 0.3\n2 2\n3.2, 3.6\n-1 1\n0 0\n"));
    ASSERT_EQ(r.rc, 0) << r.err;
    /* the point in the hole, the one outside and the one at a node give no row */
    auto rows = Rows(d.Read("KAVOR.V2D"));
    ASSERT_EQ(rows.size(), 2u);
    double want[2][2] = {{0.7, 0.3}, {3.2, 3.6}};
    for (int i = 0; i < 2; i++) {
        double x = want[i][0], y = want[i][1];
        EXPECT_EQ(rows[i][0], x);
        EXPECT_EQ(rows[i][1], y);
        EXPECT_NEAR(rows[i][2], 2, 2e-2);  /* dU/dy */
        EXPECT_NEAR(rows[i][3], -1, 2e-2); /* -dU/dx */
        EXPECT_NEAR(rows[i][4], x + 2 * y, 2e-3);
    }
    std::string tail = "\r20% complete\r40% complete\r60% complete\r80% complete\r             \r"
                       "for velocity vectors run QM4 KAVOR.QM4\n";
    EXPECT_EQ(r.err.substr(r.err.size() - tail.size()), tail);
    EXPECT_NE(r.out.find(Lbl("boundary output file") + "KAVOR.P2D\n" + Lbl("velocity output file") + "KAVOR.V2D\n" +
                         Lbl("plot command file") + "KAVOR.QM4\n"),
              std::string::npos);
    EXPECT_EQ(d.Files(), (std::vector<std::string>{"KAVOR.OUT", "KAVOR.P2D", "KAVOR.QM4", "KAVOR.V2D", "in.dat"}));
}

TEST(Field, NoPointsNoVelocityFile)
{
    Scratch d;
    d.Write("KAVOR.V2D", "old\r\n");
    Outcome r = d.KavorOn(Holed(0));
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(d.Read("KAVOR.V2D"), "old\r\n");
    EXPECT_EQ(r.out.find("velocity output file"), std::string::npos);
    EXPECT_EQ(r.err.substr(r.err.rfind('\r') + 1), "for velocity vectors run QM4 KAVOR.QM4\n");
    EXPECT_FALSE(d.Exists("KAVOR.TRI"));
    EXPECT_FALSE(d.Exists("KAV0R.QM4"));
}

TEST(Field, GridRowByRowSkippingHoleAndNodes)
{
    /* Anet = 15, Ni = -16: h = sqrt(15/16), 5 x 5 points 0, h, .. 4h */
    Scratch d;
    Outcome r = d.KavorOn(Holed(-16));
    ASSERT_EQ(r.rc, 0) << r.err;
    double h = std::sqrt(15.0 / 16);
    auto rows = Rows(d.Read("KAVOR.V2D"));
    /* (0,0) is a node; x = 0 and y = 0 are on the left and bottom edges,
       which count as inside; (2h,2h) lies in the hole */
    std::vector<std::pair<double, double>> want;
    double y = 0;
    for (int rr = 0; rr < 5; rr++, y += h) {
        double x = 0;
        for (int c = 0; c < 5; c++, x += h)
            if (!(rr == 0 && c == 0) && !(rr == 2 && c == 2))
                want.push_back({x, y});
    }
    ASSERT_EQ(rows.size(), want.size());
    for (size_t i = 0; i < rows.size(); i++) {
        double x = want[i].first, y = want[i].second;
        EXPECT_NEAR(rows[i][0], x, 1e-8) << i;
        EXPECT_NEAR(rows[i][1], y, 1e-8) << i;
        /* on the boundary edges the corners' flux error shows */
        EXPECT_NEAR(rows[i][4], x + 2 * y, x == 0 || y == 0 ? 0.1 : 0.01) << i;
    }
    EXPECT_EQ(d.Files(), (std::vector<std::string>{"KAV0R.QM4", "KAVOR.OUT", "KAVOR.P2D", "KAVOR.QM4", "KAVOR.TRI",
                                                   "KAVOR.V2D", "in.dat"}));
    std::string hints = "for velocity vectors run QM4 KAVOR.QM4\nfor potential contours run QM4 KAV0R.QM4\n";
    EXPECT_EQ(r.err.substr(r.err.size() - hints.size()), hints);
    EXPECT_NE(r.out.find(Lbl("velocity output file") + "KAVOR.V2D\n" + Lbl("potential file") + "KAVOR.TRI\n" +
                         Lbl("plot file") + "KAV0R.QM4\n" + Lbl("plot command file") + "KAVOR.QM4\n"),
              std::string::npos);
    /* 16 cells, of which 4 lose the hole's corner and one the node's: 
       11 full cells and 5 with three corners */
    std::string tri = d.Read("KAVOR.TRI");
    EXPECT_EQ(std::count(tri.begin(), tri.end(), '\n'), 1 + 2 * 11 + 5);
}

TEST(Field, GridStateInTheModel)
{
    Scratch d;
    LoadModel(Holed(-16));
    SolveModel(d.Path("v.v2d"));
    ASSERT_EQ(Nx, 5);
    ASSERT_EQ(Ny, 5);
    for (int k = 0; k < 25; k++) {
        bool skipped = k == 0 || k == 12;
        EXPECT_EQ(Ing[k], skipped ? 0 : 1) << k;
        if (skipped) {
            EXPECT_EQ(Ug[k], 0) << k;
        }
    }
    double h = std::sqrt(15.0 / 16);
    EXPECT_EQ(Xg[2], h + h);
    EXPECT_EQ(Yg[4], h + h + h + h);
}

TEST(Field, GridThatCannotBeCounted)
{
    struct {
        const char *name;
        std::string input;
    } cases[] = {
        /* coordinates near 1e17 step by 16: a spacing of 0.2 never advances */
        {"spacing lost", "far\n4 -100000\n1e17 1e17 0 0\n100000000000000064 1e17 0 0\n"
                         "100000000000000064 100000000000000064 0 0\n1e17 100000000000000064 3 0\n"},
        /* a net area of 4% with 2147483647 points: 10^10 grid points */
        {"too many points", "dense\n8 -2147483647\n0 0 0 0\n10 0 0 0\n10 10 0 0\n0 10 3 0\n"
                            "0.1 0.1 1 0\n0.1 9.9 1 0\n9.9 9.9 1 0\n9.9 0.1 1 0\n"},
    };
    for (auto &c : cases) {
        Scratch d;
        Outcome r = d.KavorOn(c.input);
        EXPECT_EQ(r.rc, 1) << c.name;
        EXPECT_EQ(r.err.substr(r.err.find("\nFatal")),
                  "\nFatal Error Code: 820\ngrid too fine (spacing does not advance or too many grid points)\n")
            << c.name;
        EXPECT_TRUE(d.Exists("KAVOR.V2D")) << c.name;
        EXPECT_EQ(d.Read("KAVOR.V2D"), "") << c.name;
        EXPECT_FALSE(d.Exists("KAVOR.TRI")) << c.name;
    }
}

/* a circle of radius R with n nodes and U = ln R given */
static std::string LogRing(double R, int n, bool cw)
{
    std::string s;
    for (int i = 0; i < n; i++) {
        double t = 2 * M_PI * i / n * (cw ? -1 : 1);
        s += Format("%.17g %.17g %d %.17g\n", R * std::cos(t), R * std::sin(t), i == n - 1 ? 3 : 0, std::log(R));
    }
    return s;
}

TEST(Field, AnnulusPointsConvergeToLogR)
{
    /* U = ln r between r = 1 and r = 2; the velocity is (y, -x)/r^2 */
    const double P[][2] = {{1.2, 0}, {0, 1.5}, {-1.1, 1.1}, {1.3, -1.3}, {-1.8, -0.2}};
    double last = 0;
    for (int n = 32; n <= 128; n *= 2) {
        std::string pts;
        for (auto &p : P)
            pts += Format("%.17g %.17g\n", p[0], p[1]);
        Scratch d;
        Outcome r = d.KavorOn("annulus\n" + std::to_string(n + n / 2) + " 5\n" + LogRing(2, n, false) +
                              LogRing(1, n / 2, true) + pts);
        ASSERT_EQ(r.rc, 0) << r.err;
        auto rows = Rows(d.Read("KAVOR.V2D"));
        ASSERT_EQ(rows.size(), 5u);
        double e = 0;
        for (int i = 0; i < 5; i++) {
            double x = P[i][0], y = P[i][1], r2 = x * x + y * y;
            e = std::fmax(e, std::fabs(rows[i][4] - 0.5 * std::log(r2)));
            e = std::fmax(e, std::fabs(rows[i][2] - y / r2));
            e = std::fmax(e, std::fabs(rows[i][3] + x / r2));
        }
        if (n > 32) {
            EXPECT_GT(last / e, 3) << n;
        }
        last = e;
    }
    EXPECT_LT(last, 5e-4);
}

TEST(Field, GridArraysThatDoNotFit)
{
    SKIP_IF_SANITIZED();
    /* about 2 x 10^8 grid points: Ing fits under a 1.2 GB limit, Ug not */
    Scratch d;
    d.Write("in.dat", "big grid\n4 -200000000\n0 0 0 0\n1 0 0 1\n1 1 0 1\n0 1 3 0\n");
    Outcome r = d.Kavor({"in.dat"}, "ulimit -v 1200000;");
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("\nFatal Error Code: 825\ncan't allocate memory ["), std::string::npos) << r.err;
    EXPECT_TRUE(d.Exists("KAVOR.V2D"));
}

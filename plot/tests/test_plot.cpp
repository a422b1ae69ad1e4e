/* test_plot.cpp: kavor-plot on run files made here and by kavor itself.
 *
 * The pictures are rendered by rsvg-convert and looked at pixel by pixel:
 * contour lines and colour bands where the levels of a known field lie,
 * arrows along known velocities, outlines round the region and its holes.
 * Then the failure messages, and the runs without velocity rows, grid or
 * triangles.
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>

#include "harness.h"
#include "png.h"

/* --- running the programs */

static std::string Quote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

/* runs a shell command in the directory, with its output caught */
static Outcome Shell(const Scratch &d, const std::string &cmd)
{
    std::string c = "cd " + Quote(d.dir) + " && " + cmd + " >.stdout 2>.stderr";
    int st = std::system(c.c_str());
    Outcome r;
    r.rc = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    r.out = d.Read(".stdout");
    r.err = d.Read(".stderr");
    unlink(d.Path(".stdout").c_str());
    unlink(d.Path(".stderr").c_str());
    return r;
}

static Outcome Plot(const Scratch &d, const std::string &args = "")
{
    return Shell(d, Quote(KAVOR_PLOT_EXE) + (args.empty() ? "" : " " + args));
}

static bool HaveRenderer()
{
    return std::system("command -v rsvg-convert >/dev/null 2>&1") == 0;
}

#define NEED_RENDERER()                                                                                                \
    do {                                                                                                               \
        if (!HaveRenderer())                                                                                           \
            GTEST_SKIP() << "rsvg-convert is not installed (Debian package librsvg2-bin): picture not checked";        \
        if (!PngReadable())                                                                                            \
            GTEST_SKIP() << "tests built without zlib: the rendered picture cannot be read";                           \
    } while (0)

/* the picture rendered to pixels */
static Image Render(const Scratch &d, const std::string &name)
{
    Image im;
    Outcome o = Shell(d, "rsvg-convert -o pic.png " + name);
    EXPECT_EQ(o.rc, 0) << o.err;
    EXPECT_EQ(ReadPng(d.Path("pic.png"), im), "") << name;
    return im;
}

/* --- run files made here, in the forms that kavor writes */

typedef std::vector<std::pair<double, double>> Poly;

static std::string Num(double v)
{
    char b[40];
    std::snprintf(b, sizeof b, "%.9G", v);
    return b;
}

static std::string Join(const std::vector<std::string> &l, const std::string &end)
{
    std::string s;
    for (const std::string &x : l)
        s += x + end;
    return s;
}

/* the outline file: each polygon closed, boundary 0 first */
static std::string OutlineFile(const std::vector<Poly> &b, const std::string &end = "\r\n")
{
    std::vector<std::string> l;
    for (size_t i = 0; i < b.size(); i++)
        for (size_t k = 0; k <= b[i].size(); k++) {
            auto p = b[i][k % b[i].size()];
            l.push_back(Num(p.first) + " " + Num(p.second) + " " + std::to_string(i));
        }
    return Join(l, end);
}

/* the vector command file with this window */
static std::string VectorFile(double x0, double x1, double y0, double y1, int nb, const std::string &end = "\r\n")
{
    std::vector<std::string> l = {"QM4",
                                  "!PLOT",
                                  "EQUAL",
                                  "LETTERS",
                                  "6*0 1 0",
                                  "ARROW",
                                  "0 0",
                                  "NOAXES",
                                  "NOLEGEND",
                                  "NOTITLE",
                                  "X",
                                  Num(x0) + " " + Num(x1),
                                  "Y",
                                  Num(y0) + " " + Num(y1),
                                  "KAVOR.V2D",
                                  "NOCOLOR",
                                  "NEWFILE",
                                  "KAVOR.P2D",
                                  "3 " + std::to_string(nb) + " " + std::to_string(nb)};
    for (int i = 0; i < nb; i++) {
        l.push_back("!user");
        l.push_back("!user:X+=abs(C[2]-" + std::to_string(i) + ")*20");
        l.push_back(i ? "1 2 1 1 3" : "1 2 1 1 2");
        l.push_back(i ? "INTERNAL BOUNDARY " + std::to_string(i) : "EXTERNAL BOUNDARY");
    }
    l.push_back("!END");
    return Join(l, end);
}

/* the contour command file with line 7 as "%G %G %G" */
static std::string ContourFile(double umin, double umax, double x1, double y1, const std::string &end = "\r\n")
{
    char u[120];
    std::snprintf(u, sizeof u, "%G %G %G", umin, umax, (umax - umin) * 0.0625);
    return Join({"QM4", "!PLOT", "EQUAL", "NOAXES", "NOLEGEND", "COLOR", u, "NOTITLE", "X", "0 " + Num(x1), "Y",
                 "0 " + Num(y1), "KAVOR.TRI", "!END"},
                end);
}

typedef std::function<double(double, double)> Field;

/* the triangles of the nx by ny grid of unit spacing from the origin, each
   cell cut along its diagonal from lower left to upper right */
static std::string TriFile(int nx, int ny, const Field &f, const std::string &end = "\r\n")
{
    std::vector<std::string> l = {"*TRIANGLES:  X1,Y1,S1  X2,Y2,S2  X3,Y3,S3"};
    auto P = [&](int c, int r) { return Num(c) + " " + Num(r) + " " + Num(f(c, r)); };
    for (int r = 1; r < ny; r++)
        for (int c = 1; c < nx; c++) {
            l.push_back(P(c - 1, r - 1) + " " + P(c, r - 1) + " " + P(c, r));
            l.push_back(P(c - 1, r - 1) + " " + P(c, r) + " " + P(c - 1, r));
        }
    return Join(l, end);
}

static Poly Rect(double x0, double y0, double x1, double y1, int cw = 0)
{
    if (cw)
        return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

/* --- where the pictures put a point, and what the pixels show */

/* the window's longer side spans 800 pixels after a margin of 8 */
struct Map {
    double x0, y1, k;
    double X(double x) const { return 8 + (x - x0) * k; }
    double Y(double y) const { return 8 + (y1 - y) * k; }
};

static Map MapOf(double x0, double x1, double y0, double y1)
{
    return Map{x0, y1, 800 / std::max(x1 - x0, y1 - y0)};
}

/* the window of a run's vector command file */
static Map MapOfRun(const Scratch &d)
{
    std::string q = d.Read("KAVOR.QM4");
    double a, b, c, e;
    size_t p = 0;
    for (int i = 0; i < 11; i++)
        p = q.find('\n', p) + 1;
    std::sscanf(q.c_str() + p, "%lf %lf", &a, &b);
    p = q.find('\n', q.find('\n', p) + 1) + 1;
    std::sscanf(q.c_str() + p, "%lf %lf", &c, &e);
    return MapOf(a, b, c, e);
}

typedef int (*Test)(const unsigned char *);

static int White(const unsigned char *p)
{
    return p[0] > 245 && p[1] > 245 && p[2] > 245;
}

static int Grey(const unsigned char *p)
{
    return std::abs(p[0] - 212) < 8 && std::abs(p[1] - 212) < 8 && std::abs(p[2] - 212) < 8;
}

static int Black(const unsigned char *p)
{
    return p[0] < 90 && p[1] < 90 && p[2] < 90;
}

static int Red(const unsigned char *p)
{
    return p[0] - p[1] > 80;
}

static int Ink(const unsigned char *p)
{
    return p[2] - p[0] > 40;
}

/* whether a pixel within one of (x, y) passes the test */
static int Near(const Image &im, double x, double y, Test t)
{
    int cx = (int)std::floor(x), cy = (int)std::floor(y);
    for (int j = cy - 1; j <= cy + 1; j++)
        for (int i = cx - 1; i <= cx + 1; i++)
            if (i >= 0 && j >= 0 && i < im.w && j < im.h && t(im.At(i, j)))
                return 1;
    return 0;
}

static int At(const Image &im, const Map &m, double x, double y, Test t)
{
    return t(im.At((int)m.X(x), (int)m.Y(y)));
}

static int Dist(const unsigned char *a, const unsigned char *b)
{
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

/* --- contour lines and bands of linear fields */

/* a field U = a x + b y + c on the rectangle 0..10 by 0..4 */
struct Linear {
    const char *name;
    double a, b, c;
    const char *end; /* line end of every file */
};

/* writes the run files of the field: grid of unit spacing, window -1..11
   by -2..6 */
static void LinearRun(const Scratch &d, const Linear &f, double &umin, double &umax)
{
    Field u = [&](double x, double y) { return f.a * x + f.b * y + f.c; };
    umin = std::min({u(0, 0), u(10, 0), u(0, 4), u(10, 4)});
    umax = std::max({u(0, 0), u(10, 0), u(0, 4), u(10, 4)});
    d.Write("KAVOR.P2D", OutlineFile({Rect(0, 0, 10, 4)}, f.end));
    d.Write("KAVOR.QM4", VectorFile(-1, 11, -2, 6, 1, f.end));
    d.Write("KAV0R.QM4", ContourFile(umin, umax, 10, 4, f.end));
    d.Write("KAVOR.TRI", TriFile(11, 5, u, f.end));
}

/* the pixel columns where the levels cross row y, between columns c0, c1 */
static std::vector<double> Expected(const Linear &f, const Map &m, double umin, double umax, double y, int c0, int c1)
{
    std::vector<double> e;
    for (int i = 0; i <= 16; i++) {
        double px = m.X((umin + i * (umax - umin) / 16 - f.b * y - f.c) / f.a);
        if (px > c0 + 2 && px < c1 - 2)
            e.push_back(px);
    }
    std::sort(e.begin(), e.end());
    return e;
}

/* the centres of the runs of coloured pixels in row py between c0 and c1 */
static std::vector<double> Runs(const Image &im, int py, int c0, int c1)
{
    std::vector<double> r;
    double sw = 0, sx = 0;
    for (int x = c0; x <= c1 + 1; x++) {
        const unsigned char *p = im.At(x, py);
        double w = x <= c1 ? 765 - (p[0] + p[1] + p[2]) : 0;
        if (w > 30) {
            sw += w;
            sx += w * x;
        } else if (sw > 0) {
            double c = sx / sw + 0.5;
            if (c > c0 + 2 && c < c1 - 2)
                r.push_back(c);
            sw = sx = 0;
        }
    }
    return r;
}

static const Linear Fields[] = {
    {"U = x", 1, 0, 0, "\r\n"},
    {"U = 10 - x", -1, 0, 10, "\r\n"},
    {"U = x + y/2, across the diagonals", 1, 0.5, 0, "\r\n"},
    {"U = 2x - 3, files with LF line ends", 2, 0, -3, "\n"},
};

static const double Rows[] = {0.3, 1.5, 2.5, 3.7};

TEST(PlotContours, LinesLieWhereTheLevelsCrossEachRow)
{
    NEED_RENDERER();
    for (const Linear &f : Fields) {
        SCOPED_TRACE(f.name);
        Scratch d;
        double umin, umax;
        LinearRun(d, f, umin, umax);
        Outcome o = Plot(d, "--lines");
        ASSERT_EQ(o.rc, 0) << o.err;
        EXPECT_EQ(o.out, "KAVOR.SVG: 1 boundary, no velocity file KAVOR.V2D\nKAV0R.SVG: 80 triangles, 17 levels\n");
        Image im = Render(d, "KAV0R.SVG");
        Map m = MapOf(-1, 11, -2, 6);
        int c0 = (int)m.X(0) + 4, c1 = (int)m.X(10) - 4;
        for (double y : Rows) {
            SCOPED_TRACE(y);
            std::vector<double> e = Expected(f, m, umin, umax, y, c0, c1);
            std::vector<double> r = Runs(im, (int)m.Y(y), c0, c1);
            ASSERT_EQ(r.size(), e.size());
            for (size_t i = 0; i < e.size(); i++)
                EXPECT_NEAR(r[i], e[i], 1.0) << "level line " << i;
        }
    }
}

TEST(PlotContours, BandsChangeColourAtTheLevelsAndLinesMarkThem)
{
    NEED_RENDERER();
    for (const Linear &f : Fields) {
        SCOPED_TRACE(f.name);
        Scratch d;
        double umin, umax;
        LinearRun(d, f, umin, umax);
        Outcome o = Plot(d);
        ASSERT_EQ(o.rc, 0) << o.err;
        Image im = Render(d, "KAV0R.SVG");
        Map m = MapOf(-1, 11, -2, 6);
        int c0 = (int)m.X(0) + 4, c1 = (int)m.X(10) - 4;
        for (double y : Rows) {
            SCOPED_TRACE(y);
            int py = (int)m.Y(y);
            std::vector<double> e = Expected(f, m, umin, umax, y, c0, c1);
            ASSERT_GE(e.size(), 10u);
            const unsigned char *last = nullptr;
            for (size_t i = 0; i + 1 < e.size(); i++) {
                /* one colour from level i to level i+1, another than the last band */
                const unsigned char *b = im.At((int)e[i] + 3, py);
                EXPECT_FALSE(White(b) || Grey(b));
                for (int x = (int)e[i] + 3; x < e[i + 1] - 3; x++)
                    ASSERT_LE(Dist(im.At(x, py), b), 6) << "band " << i << " at column " << x;
                if (last) {
                    EXPECT_GT(Dist(b, last), 12) << "band " << i;
                }
                /* the line of level i+1: darker than the bands on either side */
                const unsigned char *n = im.At((int)e[i + 1] + 3, py);
                int dark = 0;
                for (int x = (int)e[i + 1] - 2; x <= e[i + 1] + 2; x++) {
                    const unsigned char *p = im.At(x, py);
                    int s = p[0] + p[1] + p[2];
                    dark |= s + 25 < b[0] + b[1] + b[2] && s + 25 < n[0] + n[1] + n[2];
                }
                EXPECT_TRUE(dark) << "no line at level " << i + 1;
                last = b;
            }
        }
    }
}

/* --- arrows */

/* a direction of the velocity, as a unit vector */
struct Dir {
    double u, v;
};

static const Dir Dirs[] = {{1, 0}, {0, 1}, {-0.894427191, 0.447213595}, {0.447213595, -0.894427191}};

/* checks the arrow of point (x, y): it starts there and runs along the
   velocity (u, v) for L pixels, its head at the far end */
static void CheckArrow(const Image &im, const Map &m, double x, double y, Dir d, double L)
{
    double px = m.X(x), py = m.Y(y), ex = d.u, ey = -d.v, nx = -ey, ny = ex;
    auto P = [&](double f, double g, Test t) {
        return Near(im, px + f * L * ex + g * L * nx, py + f * L * ey + g * L * ny, t);
    };
    EXPECT_TRUE(P(0.02, 0, Ink)) << "tail";
    EXPECT_TRUE(P(0.5, 0, Ink)) << "shaft";
    EXPECT_TRUE(P(0.97, 0, Ink)) << "tip";
    EXPECT_TRUE(P(0.85, 0.04, Ink) && P(0.85, -0.04, Ink)) << "head";
    EXPECT_FALSE(P(0.4, 0.04, Ink) || P(0.4, -0.04, Ink)) << "head at the tail";
    EXPECT_FALSE(P(-0.1, 0, Ink)) << "behind the tail";
    EXPECT_FALSE(P(1.08, 0, Ink)) << "beyond the tip";
}

TEST(PlotVectors, ArrowsRunAlongTheVelocityScaledToThePointSpacing)
{
    NEED_RENDERER();
    for (Dir dv : Dirs) {
        SCOPED_TRACE(testing::Message() << dv.u << " " << dv.v);
        Scratch d;
        d.Write("KAVOR.P2D", OutlineFile({Rect(0, 0, 10, 10)}));
        d.Write("KAVOR.QM4", VectorFile(-1, 11, -1, 11, 1));
        /* the centre point twice as fast as the four around it; every
           point's nearest neighbour is sqrt(18) away */
        std::string v;
        const double pts[5][3] = {{5, 5, 2}, {2, 2, 1}, {8, 2, 1}, {2, 8, 1}, {8, 8, 1}};
        for (auto &p : pts)
            v += Num(p[0]) + " " + Num(p[1]) + " " + Num(p[2] * dv.u) + " " + Num(p[2] * dv.v) + " 0.5\r\n";
        d.Write("KAVOR.V2D", v);
        Outcome o = Plot(d);
        ASSERT_EQ(o.rc, 0) << o.err;
        EXPECT_EQ(o.out, "KAVOR.SVG: 1 boundary, 5 arrows\nKAV0R.SVG: not written, no contour command file KAV0R.QM4 "
                         "(no grid in this run)\n");
        Image im = Render(d, "KAVOR.SVG");
        Map m = MapOf(-1, 11, -1, 11);
        double L = 0.9 * std::sqrt(18.0) * m.k;
        CheckArrow(im, m, 5, 5, dv, L);
        for (int i = 1; i < 5; i++) {
            SCOPED_TRACE(i);
            CheckArrow(im, m, pts[i][0], pts[i][1], dv, L / 2);
        }
    }
}

/* --- outlines */

/* a square region with two holes, and a grid of U = x over all of it */
static void HolesRun(const Scratch &d)
{
    d.Write("KAVOR.P2D", OutlineFile({Rect(0, 0, 10, 10), Rect(4, 4, 6, 6, 1), Rect(7, 1, 8, 2, 1)}));
    d.Write("KAVOR.QM4", VectorFile(-1, 11, -1, 11, 3));
    d.Write("KAV0R.QM4", ContourFile(0, 10, 10, 10));
    d.Write("KAVOR.TRI", TriFile(11, 11, [](double x, double) { return x; }));
}

/* the outlines: black round the region, red round the holes; the region
   white or filled, the holes and the outside grey */
static void CheckOutlines(const Image &im, const Map &m, Test inside)
{
    EXPECT_TRUE(At(im, m, 2, 2, inside) && At(im, m, 9.3, 9.3, inside) && At(im, m, 5, 2.5, inside));
    EXPECT_TRUE(At(im, m, 5, 5, Grey) && At(im, m, 7.5, 1.5, Grey)) << "hole";
    EXPECT_TRUE(At(im, m, -0.5, 5, Grey) && At(im, m, 10.5, 5, Grey) && At(im, m, 5, 10.5, Grey)) << "outside";
    const double ext[4][2] = {{0, 5}, {10, 5}, {5, 0}, {5, 10}};
    for (auto &p : ext) {
        EXPECT_TRUE(Near(im, m.X(p[0]), m.Y(p[1]), Black)) << p[0] << " " << p[1];
        EXPECT_FALSE(Near(im, m.X(p[0]), m.Y(p[1]), Red)) << p[0] << " " << p[1];
    }
    const double hol[4][2] = {{4, 5}, {6, 5.5}, {4.5, 4}, {7.3, 1}};
    for (auto &p : hol) {
        EXPECT_TRUE(Near(im, m.X(p[0]), m.Y(p[1]), Red)) << p[0] << " " << p[1];
        EXPECT_FALSE(Near(im, m.X(p[0]), m.Y(p[1]), Black)) << p[0] << " " << p[1];
    }
}

static int Filled(const unsigned char *p)
{
    return !White(p) && !Grey(p);
}

TEST(PlotOutlines, EncloseTheRegionWithTheHolesToldApart)
{
    NEED_RENDERER();
    Scratch d;
    HolesRun(d);
    Outcome o = Plot(d);
    ASSERT_EQ(o.rc, 0) << o.err;
    EXPECT_EQ(o.out, "KAVOR.SVG: 3 boundaries, no velocity file KAVOR.V2D\nKAV0R.SVG: 200 triangles, 17 levels\n");
    Map m = MapOf(-1, 11, -1, 11);
    {
        SCOPED_TRACE("vectors");
        CheckOutlines(Render(d, "KAVOR.SVG"), m, White);
    }
    {
        SCOPED_TRACE("contours: the fill stays out of the holes");
        CheckOutlines(Render(d, "KAV0R.SVG"), m, Filled);
    }
}

/* --- runs of kavor */

TEST(PlotRuns, ChannelExample)
{
    Scratch d;
    ASSERT_EQ(Shell(d, Quote(KAVOR_EXE) + " " + Quote(KAVOR_EXAMPLES "/channel.dat")).rc, 0);
    Outcome o = Plot(d);
    ASSERT_EQ(o.rc, 0) << o.err;
    std::string v = d.Read("KAVOR.V2D"), t = d.Read("KAVOR.TRI");
    long nv = std::count(v.begin(), v.end(), '\n'), nt = std::count(t.begin(), t.end(), '\n') - 1;
    EXPECT_EQ(o.out, "KAVOR.SVG: 2 boundaries, " + std::to_string(nv) + " arrows\nKAV0R.SVG: " + std::to_string(nt) +
                         " triangles, 17 levels\n");
    EXPECT_EQ(o.err, "");
    NEED_RENDERER();
    Map m = MapOfRun(d);
    Image vi = Render(d, "KAVOR.SVG"), ci = Render(d, "KAV0R.SVG");
    EXPECT_TRUE(At(vi, m, 5, 5, Grey) && At(ci, m, 5, 5, Grey)) << "the obstacle";
    EXPECT_TRUE(At(vi, m, 8.1, 8.1, White)) << "the region";
    EXPECT_TRUE(At(ci, m, 2, 5, Filled) && At(ci, m, 8, 5, Filled)) << "the fill";
    EXPECT_GT(Dist(ci.At((int)m.X(2), (int)m.Y(5)), ci.At((int)m.X(8), (int)m.Y(5))), 100) << "low and high U";
}

/* kavor's input: the rectangle 0..20 by 0..10, U = 0 on the left and 1 on
   the right, four square holes, a grid of about 400 points */
static std::string ManyHoles()
{
    std::string s = "four holes\n76 -400\n";
    for (int x = 0; x < 20; x++)
        s += std::to_string(x) + " 0 " + (x ? "1 0\n" : "0 0\n");
    for (int y = 0; y < 10; y++)
        s += "20 " + std::to_string(y) + " 0 1\n";
    for (int x = 20; x > 0; x--)
        s += std::to_string(x) + " 10 " + (x == 20 ? "0 1\n" : "1 0\n");
    for (int y = 10; y > 0; y--)
        s += "0 " + std::to_string(y) + (y > 1 ? " 0 0\n" : " 3 0\n");
    for (int c = 4; c <= 16; c += 4) {
        std::string a = std::to_string(c - 0.5), b = std::to_string(c + 0.5);
        s += a + " 4.5 1 0\n" + a + " 5.5 1 0\n" + b + " 5.5 1 0\n" + b + " 4.5 4 0\n";
    }
    return s;
}

TEST(PlotRuns, ManyHoles)
{
    Scratch d;
    Outcome k = d.KavorOn(ManyHoles());
    ASSERT_EQ(k.rc, 0) << k.err;
    Outcome o = Plot(d);
    ASSERT_EQ(o.rc, 0) << o.err;
    EXPECT_EQ(o.out.substr(0, 25), "KAVOR.SVG: 5 boundaries, ");
    NEED_RENDERER();
    Map m = MapOfRun(d);
    Image vi = Render(d, "KAVOR.SVG"), ci = Render(d, "KAV0R.SVG");
    for (int c = 4; c <= 16; c += 4) {
        /* arrows may reach into a hole, the fill may not */
        EXPECT_TRUE(At(ci, m, c, 5, Grey)) << "hole at " << c;
        EXPECT_TRUE(Near(vi, m.X(c - 0.5), m.Y(5), Red)) << "hole at " << c;
    }
}

/* a run of kavor whose files lack something */
struct Degenerate {
    const char *what;
    const char *input;
    const char *out;
    int contours; /* whether KAV0R.SVG is written */
};

static const char *NoGrid = "KAV0R.SVG: not written, no contour command file KAV0R.QM4 (no grid in this run)\n";

static const Degenerate Lacking[] = {
    {"no internal points: no velocity file", "square\n4 0\n0 0 0 0\n1 0 1 0\n1 1 0 1\n0 1 4 0\n",
     "KAVOR.SVG: 1 boundary, no velocity file KAVOR.V2D\n", 0},
    {"listed points, one outside", "square\n4 2\n0 0 0 0\n1 0 1 0\n1 1 0 1\n0 1 4 0\n0.5 0.4\n5 5\n",
     "KAVOR.SVG: 1 boundary, 1 arrow\n", 0},
    {"a grid with no cell inside: triangle file of the header only",
     "square\n4 -1\n0 0 0 0\n1 0 1 0\n1 1 0 1\n0 1 4 0\n",
     "KAVOR.SVG: 1 boundary, 0 arrows\nKAV0R.SVG: 0 triangles, 1 level\n", 1},
};

TEST(PlotRuns, WithoutVelocityRowsGridOrTriangles)
{
    for (const Degenerate &c : Lacking) {
        SCOPED_TRACE(c.what);
        Scratch d;
        ASSERT_EQ(d.KavorOn(c.input).rc, 0);
        Outcome o = Plot(d);
        ASSERT_EQ(o.rc, 0) << o.err;
        EXPECT_EQ(o.out, std::string(c.out) + (c.contours ? "" : NoGrid));
        EXPECT_EQ(o.err, "");
        EXPECT_TRUE(d.Exists("KAVOR.SVG"));
        EXPECT_EQ(d.Exists("KAV0R.SVG"), c.contours != 0);
        if (!HaveRenderer() || !PngReadable())
            continue;
        Map m = MapOfRun(d);
        EXPECT_TRUE(At(Render(d, "KAVOR.SVG"), m, 0.5, 0.7, White));
        if (c.contours) {
            EXPECT_TRUE(At(Render(d, "KAV0R.SVG"), m, 0.5, 0.7, White));
        }
    }
    if (!HaveRenderer())
        GTEST_SKIP() << "rsvg-convert is not installed: pictures not rendered";
}

TEST(PlotRuns, ConstantPotentialFillsOneColour)
{
    Scratch d;
    d.Write("KAVOR.P2D", OutlineFile({Rect(0, 0, 4, 4)}));
    d.Write("KAVOR.QM4", VectorFile(-1, 5, -1, 5, 1));
    d.Write("KAV0R.QM4", Join({"QM4", "!PLOT", "EQUAL", "NOAXES", "NOLEGEND", "COLOR", "5 5 0", "NOTITLE", "X", "0 4",
                               "Y", "0 4", "KAVOR.TRI", "!END"},
                              "\r\n"));
    d.Write("KAVOR.TRI", TriFile(5, 5, [](double, double) { return 5; }));
    Outcome o = Plot(d);
    ASSERT_EQ(o.rc, 0) << o.err;
    EXPECT_EQ(o.out, "KAVOR.SVG: 1 boundary, no velocity file KAVOR.V2D\nKAV0R.SVG: 32 triangles, 1 level\n");
    NEED_RENDERER();
    Image im = Render(d, "KAV0R.SVG");
    Map m = MapOf(-1, 5, -1, 5);
    const unsigned char *a = im.At((int)m.X(0.5), (int)m.Y(0.5)), *b = im.At((int)m.X(3.5), (int)m.Y(2.5));
    EXPECT_TRUE(Filled(a));
    EXPECT_LE(Dist(a, b), 3);
}

/* --- failures */

/* a change to a good set of run files, and the message it must give: line
   0 and no text removes the file, line 0 with text replaces it, a line
   with text replaces that line, a line without text cuts the file there */
struct Broken {
    const char *file;
    int line;
    const char *text;
    const char *err;
};

static const Broken Breaks[] = {
    {"KAVOR.P2D", 0, nullptr, "kavor-plot: can't open KAVOR.P2D: No such file or directory\n"},
    {"KAVOR.QM4", 0, nullptr, "kavor-plot: can't open KAVOR.QM4: No such file or directory\n"},
    {"KAVOR.TRI", 0, nullptr, "kavor-plot: can't open KAVOR.TRI: No such file or directory\n"},
    {"KAVOR.P2D", 0, "", "kavor-plot: KAVOR.P2D: no boundary points\n"},
    {"KAVOR.P2D", 2, "10 0", "kavor-plot: KAVOR.P2D line 2: expected x y boundary\n"},
    {"KAVOR.P2D", 1, "0 0 0.5", "kavor-plot: KAVOR.P2D line 1: expected x y boundary\n"},
    {"KAVOR.P2D", 3, "10 10 0 7", "kavor-plot: KAVOR.P2D line 3: expected x y boundary\n"},
    {"KAVOR.P2D", 6, "4 4 2", "kavor-plot: KAVOR.P2D line 6: boundary 2 where boundary 1 was due\n"},
    {"KAVOR.P2D", 1, "0 0 1", "kavor-plot: KAVOR.P2D line 1: boundary 1 where boundary 0 was due\n"},
    {"KAVOR.P2D", 0, "0 0 0\r\n1 0 0\r\n4 4 1\r\n4 6 1\r\n6 6 1\r\n",
     "kavor-plot: KAVOR.P2D line 2: boundary 0 has fewer than three points\n"},
    {"KAVOR.P2D", 8, nullptr, "kavor-plot: KAVOR.P2D line 7: boundary 1 has fewer than three points\n"},
    {"KAVOR.QM4", 1, "QM3", "kavor-plot: KAVOR.QM4 line 1: expected QM4\n"},
    {"KAVOR.QM4", 14, nullptr, "kavor-plot: KAVOR.QM4 line 14: unexpected end of file\n"},
    {"KAVOR.QM4", 11, "Y", "kavor-plot: KAVOR.QM4 line 11: expected X\n"},
    {"KAVOR.QM4", 12, "11 -1", "kavor-plot: KAVOR.QM4 line 12: expected two numbers X0 < X1\n"},
    {"KAVOR.QM4", 14, "-1 x", "kavor-plot: KAVOR.QM4 line 14: expected two numbers Y0 < Y1\n"},
    {"KAVOR.QM4", 19, "3 3 3",
     "kavor-plot: KAVOR.QM4 line 19: 3 boundaries, but KAVOR.P2D has 2 (files of different runs?)\n"},
    {"KAVOR.QM4", 19, "3 2", "kavor-plot: KAVOR.QM4 line 19: expected 3 and the number of boundaries twice\n"},
    {"KAVOR.V2D", 2, "1 2 3 4", "kavor-plot: KAVOR.V2D line 2: expected five numbers x y dU/dy -dU/dx U\n"},
    {"KAVOR.V2D", 1, "1 2 nan 4 5", "kavor-plot: KAVOR.V2D line 1: expected five numbers x y dU/dy -dU/dx U\n"},
    {"KAVOR.V2D", 1, "1 2 3 4 1e999", "kavor-plot: KAVOR.V2D line 1: expected five numbers x y dU/dy -dU/dx U\n"},
    {"KAVOR.TRI", 1, "0 0 0 1 0 1 1 1 1", "kavor-plot: KAVOR.TRI line 1: expected the header *TRIANGLES\n"},
    {"KAVOR.TRI", 0, "", "kavor-plot: KAVOR.TRI line 1: unexpected end of file\n"},
    {"KAVOR.TRI", 3, "0 0 0 1 0 1 1 1",
     "kavor-plot: KAVOR.TRI line 3: expected nine numbers x1 y1 U1 x2 y2 U2 x3 y3 U3\n"},
    {"KAV0R.QM4", 7, "1 0 0.1",
     "kavor-plot: KAV0R.QM4 line 7: expected Umin Umax step with Umin <= Umax and step > 0\n"},
    {"KAV0R.QM4", 7, "0 10 0",
     "kavor-plot: KAV0R.QM4 line 7: expected Umin Umax step with Umin <= Umax and step > 0\n"},
    {"KAV0R.QM4", 7, "0 10 0.001", "kavor-plot: KAV0R.QM4 line 7: more than 1000 levels\n"},
    {"KAV0R.QM4", 7, nullptr, "kavor-plot: KAV0R.QM4 line 7: unexpected end of file\n"},
    {"KAV0R.QM4", 10, "0", "kavor-plot: KAV0R.QM4 line 10: expected two numbers Xmin <= Xmax\n"},
    {"KAV0R.QM4", 11, "X", "kavor-plot: KAV0R.QM4 line 11: expected Y\n"},
};

/* the text with line n (from 1) replaced, or cut before line n */
static std::string Change(const std::string &s, int n, const char *text)
{
    size_t a = 0;
    for (int i = 1; i < n; i++)
        a = s.find('\n', a) + 1;
    if (!text)
        return s.substr(0, a);
    size_t b = s.find('\n', a);
    return s.substr(0, a) + text + "\r" + s.substr(b);
}

TEST(PlotFailures, NameTheFileAndLineAndWriteNoPicture)
{
    for (const Broken &c : Breaks) {
        SCOPED_TRACE(c.err);
        Scratch d;
        d.Write("KAVOR.P2D", OutlineFile({Rect(0, 0, 10, 10), Rect(4, 4, 6, 6, 1)}));
        d.Write("KAVOR.QM4", VectorFile(-1, 11, -1, 11, 2));
        d.Write("KAVOR.V2D", "1 1 1 0 0.5\r\n2 2 1 0 0.5\r\n");
        d.Write("KAV0R.QM4", ContourFile(0, 10, 10, 10));
        d.Write("KAVOR.TRI", TriFile(11, 11, [](double x, double) { return x; }));
        ASSERT_EQ(Plot(d).rc, 0) << "the good set";
        unlink(d.Path("KAVOR.SVG").c_str());
        unlink(d.Path("KAV0R.SVG").c_str());
        if (c.line == 0 && !c.text)
            unlink(d.Path(c.file).c_str());
        else if (c.line == 0)
            d.Write(c.file, c.text);
        else
            d.Write(c.file, Change(d.Read(c.file), c.line, c.text));
        Outcome o = Plot(d);
        EXPECT_EQ(o.rc, 1);
        EXPECT_EQ(o.err, c.err);
        EXPECT_EQ(o.out, "");
        EXPECT_FALSE(d.Exists("KAVOR.SVG") || d.Exists("KAV0R.SVG"));
    }
}

TEST(PlotFailures, UnknownArgumentGivesTheUsage)
{
    const char *args[] = {"-x", "KAVOR.P2D", "--lines --lines"};
    for (const char *a : args) {
        SCOPED_TRACE(a);
        Scratch d;
        Outcome o = Plot(d, a);
        EXPECT_EQ(o.rc, 1);
        EXPECT_EQ(o.err.substr(0, 28), "usage: kavor-plot [--lines]\n");
        EXPECT_EQ(o.out, "");
    }
}

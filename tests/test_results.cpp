/* test_results.cpp: the console of a complete run, the results table and the
 * boundary outline
 */
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/format.h"
#include "harness.h"

static std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> v;
    size_t a = 0;
    for (size_t i; (i = text.find("\r\n", a)) != std::string::npos; a = i + 2)
        v.push_back(text.substr(a, i - a));
    EXPECT_EQ(a, text.size()) << "text after the last line end";
    return v;
}

static const char *Head1 = "        BOUNDARY POINTS (* indicates boundary condition)";
static const char *Head2 = "pnt bou      X          Y           U        dU/dN       dU/dT";

/* the unit square listed clockwise with U = x at its corners */
static const char *Clockwise = "square\n4 0\n0 0 0 0\n0 1 0 0\n1 1 0 1\n1 0 3 1\n";

TEST(Results, ClockwiseSquareInInputOrder)
{
    Scratch d;
    Outcome r = d.KavorOn(Clockwise);
    ASSERT_EQ(r.rc, 0) << r.err;
    auto L = Lines(d.Read("KAVOR.OUT"));
    ASSERT_EQ(L.size(), 6u);
    EXPECT_EQ(L[0], Head1);
    EXPECT_EQ(L[1], Head2);
    /* dU/dT follows the input direction: -1, 0, 1, 0 */
    const char *want[] = {
        "  1   0  0.00E+000  0.00E+000  0.00E+000* ##########  -1.00E+000 ",
        "  2   0  0.00E+000  1.00E+000  0.00E+000* ##########   0.00E+000 ",
        "  3   0  1.00E+000  1.00E+000  1.00E+000* ##########   1.00E+000 ",
        "  4   0  1.00E+000  0.00E+000  1.00E+000* ##########   0.00E+000 ",
    };
    for (int i = 0; i < 4; i++) {
        std::string got = L[i + 2];
        ASSERT_EQ(got.size(), 65u) << got;
        got.replace(42, 10, "##########"); /* the computed dU/dN */
        EXPECT_EQ(got, want[i]);
    }
    /* the outline lists the nodes counter-clockwise, the last first */
    EXPECT_EQ(d.Read("KAVOR.P2D"), "0 0 0\r\n1 0 0\r\n1 1 0\r\n0 1 0\r\n0 0 0\r\n");
}

TEST(Results, MarksFollowTheClassOfEveryType)
{
    /* exterior of types 0, 1, 2, 3, a clockwise hole of types 2, 1, 4 and a
       counter-clockwise hole of types 0, 1, 5 */
    Scratch d;
    Outcome r = d.KavorOn("marks\n10 0\n0 0 0 0\n10 0 1 0\n10 10 2 0\n0 10 3 1\n"
                          "2 2 2 0\n2 4 1 0\n4 2 4 0\n6 6 0 0\n8 6 1 0\n6 8 5 0\n");
    ASSERT_EQ(r.rc, 0) << r.err;
    auto L = Lines(d.Read("KAVOR.OUT"));
    ASSERT_EQ(L.size(), 12u);
    const char *marks[] = {"*  ", " * ", "  *", "*  ", "  *", " * ", " * ", "*  ", " * ", "  *"};
    const int bou[] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2};
    for (int i = 0; i < 10; i++) {
        const std::string &l = L[i + 2];
        EXPECT_EQ(l.substr(0, 7), Format("%3d %3d", i + 1, bou[i]));
        EXPECT_EQ(std::string() + l[40] + l[52] + l[64], marks[i]) << l;
    }
    EXPECT_EQ(L[11].substr(8, 21), " 6.00E+000  8.00E+000");
    /* the second hole was counter-clockwise, so it is stored reversed */
    EXPECT_EQ(d.Read("KAVOR.P2D"), "0 10 0\r\n0 0 0\r\n10 0 0\r\n10 10 0\r\n0 10 0\r\n"
                                   "4 2 1\r\n2 2 1\r\n2 4 1\r\n4 2 1\r\n"
                                   "6 6 2\r\n6 8 2\r\n8 6 2\r\n6 6 2\r\n");
}

TEST(Results, ConsoleOfACompleteRun)
{
    Scratch d;
    Outcome r = d.KavorOn(Clockwise);
    ASSERT_EQ(r.rc, 0) << r.err;
    std::string tail = Lbl("essential boundary conditions") + "4\n" + Lbl("number of simultaneous equations") +
                       "4\n" + Lbl("allocating memory") + "1 KB\n" + Lbl("nodal point equations") + "4\n" +
                       Lbl("resorting boundary conditions") + "OK\n" + Lbl("simultaneous equations") + "4\n" +
                       Lbl("reordering solution set") + "OK\n" + Lbl("calculating tangentials") + "OK\n" +
                       Lbl("results output file") + "KAVOR.OUT\n" + Lbl("boundary output file") + "KAVOR.P2D\n" + Lbl("plot command file") + "KAVOR.QM4\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_EQ(r.err, "\rdetermining equation for node 1\rdetermining equation for node 2"
                     "\rdetermining equation for node 3\rdetermining equation for node 4\r"
                     "\rsolving simultaneous equation 1\rsolving simultaneous equation 2"
                     "\rsolving simultaneous equation 3\r"
                     "for velocity vectors run QM4 KAVOR.QM4\n");
    EXPECT_EQ(d.Files(), (std::vector<std::string>{"KAVOR.OUT", "KAVOR.P2D", "KAVOR.QM4", "in.dat"}));
}

TEST(Results, OutlineHasOneClosedPolygonPerBoundary)
{
    /* a triangle hole gives four lines, its third stored node first and last */
    Scratch d;
    Outcome r = d.KavorOn("t\n7 0\n0 0 0 0\n8 0 0 0\n8 8 0 1\n0 8 3 1\n1 1 1 0\n1 3 1 0\n3 1 1 0\n");
    ASSERT_EQ(r.rc, 0) << r.err;
    auto L = Lines(d.Read("KAVOR.P2D"));
    ASSERT_EQ(L.size(), 7u + 2u);
    EXPECT_EQ(L[5], "3 1 1");
    EXPECT_EQ(L[6], "1 1 1");
    EXPECT_EQ(L[8], "3 1 1");
    /* nine significant digits and three-digit exponents */
    Scratch e;
    r = e.KavorOn("t\n3 0\n0.000012345678912 0 0 0\n1e7 0 0 0\n123456.7891234 3.25e-7 3 0\n");
    ASSERT_EQ(r.rc, 0) << r.err;
    auto M = Lines(e.Read("KAVOR.P2D"));
    ASSERT_EQ(M.size(), 4u);
    EXPECT_EQ(M[0], "123456.789 3.25E-007 0");
    EXPECT_EQ(M[1], "1.23456789E-005 0 0");
    EXPECT_EQ(M[2], "10000000 0 0");
}

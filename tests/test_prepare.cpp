/* test_prepare.cpp: splitting, orientation and validation of the boundaries */
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "harness.h"
#include "input/input.h"
#include "model/model.h"

TEST(Prepare, ClockwiseTriangleIsReversed)
{
    LoadModel("t\n3 0\n0 0 0 1\n0 1 0 2\n1 0 0 3\n");
    EXPECT_EQ(Nbnd, 1);
    EXPECT_EQ(Ibnd[0], 0);
    EXPECT_EQ(Ibnd[1], 3);
    std::vector<int> pnt(Pnt, Pnt + 3);
    EXPECT_EQ(pnt, (std::vector<int>{-3, -2, -1}));
    EXPECT_EQ(Xb[0], 1);
    EXPECT_EQ(Yb[0], 0);
    EXPECT_EQ(Ub[0], 3);
    EXPECT_EQ(Ub[2], 1);
    EXPECT_EQ(Abnd[0], 0.5);
    EXPECT_EQ(Anet, 0.5);
    /* Lb is measured from each node's input predecessor */
    EXPECT_DOUBLE_EQ(Lb[0], std::sqrt(2.0)); /* input 3 from input 2 */
    EXPECT_DOUBLE_EQ(Lb[1], 1);              /* input 2 from input 1 */
    EXPECT_DOUBLE_EQ(Lb[2], 1);              /* input 1 from input 3 */
}

TEST(Prepare, SplitsOrientsAndMeasuresBoundaries)
{
    /* exterior 0..4 counter-clockwise with types 0,0,0,3; a clockwise hole
       (kept) and a counter-clockwise hole (reversed) */
    LoadModel("t\n12 0\n"
         "0 0 0 0\n4 0 1 0\n4 4 2 0\n0 4 3 0\n"
         "1 1 1 0\n1 2 1 0\n2 2 0 0\n2 1 4 0\n"
         "3 3 2 0\n3.5 3 2 0\n3.5 3.5 2 0\n3 3.5 1 0\n");
    EXPECT_EQ(Nbnd, 3);
    EXPECT_EQ(std::vector<int>(Ibnd, Ibnd + 4), (std::vector<int>{0, 4, 8, 12}));
    EXPECT_EQ(std::vector<int>(Bou, Bou + 12), (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2}));
    EXPECT_EQ(std::vector<int>(Pnt, Pnt + 12), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -12, -11, -10, -9}));
    EXPECT_EQ(Ness, 2); /* on the exterior boundary only */
    EXPECT_EQ(Nnor, 5);
    EXPECT_EQ(Ntan, 4);
    EXPECT_EQ(Abnd[0], 16);
    EXPECT_EQ(Abnd[1], 1);
    EXPECT_EQ(Abnd[2], 0.25);
    EXPECT_EQ(Anet, 14.75);
    EXPECT_EQ(Xmin, 0);
    EXPECT_EQ(Xmax, 4);
    EXPECT_EQ(Ymin, 0);
    EXPECT_EQ(Ymax, 4);
    EXPECT_EQ(Bc[8], 1); /* the reversed hole's last input node stands first */
    EXPECT_EQ(Lb[0], 4); /* from node 4 (the wrap) */
    EXPECT_EQ(Lb[8], 0.5);
}

TEST(Prepare, FatalErrors)
{
    /* a 100 x 100 exterior with a hole of area 9900 + extra: the square
       0.25..99.75 less a notch of 0.5 x (99.75 - n) at its upper right
       corner; the hole keeps clear of the exterior boundary */
    auto nethole = [](const char *notch) {
        return std::string("t\n10 0\n0 0 0 0\n100 0 0 0\n100 100 0 0\n0 100 3 0\n"
                           "0.25 0.25 1 0\n0.25 99.75 1 0\n99.25 99.75 1 0\n99.25 ") +
               notch + " 1 0\n99.75 " + notch + " 1 0\n99.75 0.25 1 0\n";
    };
    struct {
        const char *name;
        std::string input;
        int code;
        std::string msg;
    } cases[] = {
        {"two-node boundary", "t\n6 0\n0 0 0 0\n1 0 3 0\n1 1 0 0\n0 1 0 0\n2 2 0 0\n3 3 0 0\n", 1129,
         "less than 3 boundary points"},
        {"two-node last boundary", "t\n6 0\n0 0 0 0\n1 0 0 0\n1 1 0 0\n0 1 3 0\n2 2 0 0\n3 3 5 0\n", 1129,
         "less than 3 boundary points"},
        {"hole outside", "t\n6 0\n0 0 0 0\n4 0 0 0\n0 4 3 0\n-0.00001 1 1 0\n1 1 1 0\n1 2 1 0\n", 1175,
         "internal boundary 2 point 1 at X=-1E-005,Y=1\nis not inside external boundary"},
        {"second hole's third node outside",
         "t\n10 0\n0 0 0 0\n8 0 0 0\n8 8 0 0\n0 8 3 0\n1 1 1 0\n1 2 1 0\n2 2 4 0\n5 5 1 0\n6 5 1 0\n9 6 1 0\n",
         1175, "internal boundary 3 point 3 at X=9,Y=6\nis not inside external boundary"},
        {"collinear exterior", "t\n3 0\n0 0 0 0\n1 0 0 0\n2 0 0 0\n", 1179, "boundary is degenerate (area\xF7"
                                                                              "0)"},
        {"net area below 1%", nethole("99.5"), 1219, "net area is less than 1% of the outer boundary"},
        {"no essential on exterior", "t\n6 0\n0 0 1 0\n4 0 2 0\n0 4 4 0\n1 1 0 0\n1 2 0 0\n1.5 1.2 0 0\n", 1228,
         "no essential boundary conditions (viz. U=const.) on exterior boundary"},
        {"coincident neighbours", "t\n6 0\n0 0 0 0\n1 0 0 0\n2 0 0 0\n2 1 0 0\n2 1 0 0\n0 1 0 0\n", 1248,
         "boundary nodes 5 and 4 are coincident"},
        {"last repeats first", "t\n6 0\n0 0 0 0\n1 0 0 0\n2 0 0 0\n2 1 0 0\n0 1 0 0\n0 0 0 0\n", 1248,
         "boundary nodes 1 and 6 are coincident"},
    };
    for (auto &c : cases) {
        Scratch d;
        Outcome r = d.KavorOn(c.input);
        EXPECT_EQ(r.rc, 1) << c.name;
        EXPECT_EQ(r.err, Fatal(c.code, c.msg)) << c.name;
    }
    /* a net area of exactly one hundredth of the exterior passes */
    Scratch d;
    Outcome r = d.KavorOn(nethole("99.25"));
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(r.out.find(Lbl("sorting boundaries") + "OK\n"), std::string::npos);
}

TEST(Prepare, ConsoleOfAPreparation)
{
    Scratch d;
    Outcome r = d.KavorOn("t\n8 0\n0 0 0 0\n0 4 0 0\n4 4 1 0\n4 0 5 0\n1 1 2 0\n2 1 2 0\n2 2 2 0\n1 2 1 0\n");
    EXPECT_EQ(r.rc, 0) << r.err;
    std::string want = Lbl("reading boundary points") + "OK\n" + Lbl("total number of boundaries") + "2\n" +
                       Lbl("number of internal regions") + "1\n" + Lbl("number of essential BCs") + "2\n" +
                       Lbl("number of normal BCs") + "2\n" + Lbl("number of tangent BCs") + "4\n" +
                       Lbl("sorting boundaries") + "OK\n" + Lbl("essential boundary conditions") + "2\n";
    EXPECT_NE(r.out.find(want), std::string::npos) << r.out;
}

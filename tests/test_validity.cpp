/* test_validity.cpp: boundaries that cross, share a node or lie inside a
 * hole are rejected; boundaries that only touch are solved; the exact
 * orientation test
 */
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "input/input.h"
#include "model/model.h"

TEST(Orient, ExactNearTheLine)
{
    /* q and r lie on y = x, so the turn p -> q -> r is 12 (py - px): its sign
       is that of j - i for p = (0.5 + i u, 0.5 + j u), u = 2^-53, where the
       rounded determinant is often wrong */
    const double u = 1.1102230246251565e-16;
    for (int i = 0; i < 64; i++)
        for (int j = 0; j < 64; j++) {
            double px = 0.5 + i * u, py = 0.5 + j * u;
            int want = (j > i) - (j < i);
            ASSERT_EQ(Orient(px, py, 12, 12, 24, 24), want) << i << " " << j;
            ASSERT_EQ(Orient(12, 12, 24, 24, px, py), want) << i << " " << j;
            ASSERT_EQ(Orient(24, 24, 12, 12, px, py), -want) << i << " " << j;
        }
    EXPECT_EQ(Orient(0, 0, 1, 0, 0, 1), 1);
    EXPECT_EQ(Orient(0, 0, 1, 0, 0, -1), -1);
    EXPECT_EQ(Orient(1e-100, 1e-100, 1e100, 1e100, -1e100, -1e100), 0);
}

TEST(LocatePoint, InsideOnAndOutsideExactly)
{
    /* a square hole (1,1)..(3,3) inside the square 0..4 */
    LoadModel("t\n8 0\n0 0 0 0\n4 0 0 0\n4 4 0 0\n0 4 3 0\n1 1 1 0\n1 3 1 0\n3 3 1 0\n3 1 1 0\n");
    struct {
        double x, y;
        int where;
    } pts[] = {
        {2, 2, 1},   {1, 2, 0},   {3, 2, 0}, {2, 1, 0}, {2, 3, 0}, /* on each side */
        {1, 1, 0},   {3, 3, 0},   {1, 3, 0}, {3, 1, 0},            /* the corners */
        {0.5, 2, -1}, {3.5, 2, -1}, {2, 0.5, -1}, {2, 3.5, -1},
        {1.0000000000000002, 2, 1}, {0.9999999999999999, 2, -1},
    };
    for (auto &p : pts)
        EXPECT_EQ(LocatePoint(1, p.x, p.y), p.where) << p.x << "," << p.y;
}

/* the square 0..4, U given on its four corners */
static const char *Box = "0 0 0 0\n4 0 0 0\n4 4 0 1\n0 4 3 1\n";

/* the square 0..10, U given on its four corners */
static const char *Big = "0 0 0 0\n10 0 0 0\n10 10 0 1\n0 10 3 1\n";

/* the exterior (0,0) (4,0) (4,4) (2,1) (0,4), notched down to (2,1) from
   above, and a triangular hole whose first element runs at height y from
   x = 1 to x = 3, under the notch when y < 1 */
static std::string Notched(const std::string &y)
{
    return "t\n8 0\n0 0 0 0\n4 0 0 0\n4 4 0 1\n2 1 0 1\n0 4 3 1\n1 " + y + " 1 0\n3 " + y + " 1 0\n2 0.5 1 0\n";
}

TEST(Geometry, InvalidBoundariesAreRejected)
{
    struct {
        const char *name;
        std::string input;
        int code;
        std::string msg;
    } cases[] = {
        /* element 1-2 from (0,0) to (4,4) crosses element 3-4 from (4,0)
           to (0,2); the exterior is clockwise and reversed, the numbers
           stay those of the input */
        {"bow-tie exterior", "t\n4 0\n0 0 0 0\n4 4 0 0\n4 0 0 1\n0 2 0 1\n", 1236,
         "boundary 1 element 1-2 crosses boundary 1 element 3-4"},
        {"hole edge leaves between two inside nodes", Notched("2"), 1236,
         "boundary 1 element 3-4 crosses boundary 2 element 1-2"},
        {"near miss above the notch crosses", Notched("1.0000000000000002"), 1236,
         "boundary 1 element 3-4 crosses boundary 2 element 1-2"},
        /* (1,1)..(4,4) and (3,3)..(6,6): right side of the first across the
           bottom of the second at (4,3), top across left side at (3,4) */
        {"two crossing holes", "t\n12 0\n" + std::string(Big) + "1 1 1 0\n4 1 1 0\n4 4 1 0\n1 4 4 0\n"
                                                               "3 3 1 0\n6 3 1 0\n6 6 1 0\n3 6 1 0\n",
         1236, "boundary 2 element 2-3 crosses boundary 3 element 1-2"},
        /* the second hole's closing element runs from (5,2) to (2,2) across
           the first hole's right side; its first element only touches the
           first hole's corner (3,3) */
        {"closing element of a hole across another", "t\n11 0\n" + std::string(Big) +
                                                         "1 1 1 0\n3 1 1 0\n3 3 1 0\n1 3 4 0\n"
                                                         "2 2 1 0\n5 5 1 0\n5 2 1 0\n",
         1236, "boundary 2 element 2-3 crosses boundary 3 element 3-1"},
        {"hole inside hole", "t\n12 0\n" + std::string(Big) + "1 1 1 0\n8 1 1 0\n8 8 1 0\n1 8 4 0\n"
                                                             "3 3 1 0\n5 3 1 0\n5 5 1 0\n3 5 1 0\n",
         1238, "boundary 3 point 1 at X=3,Y=3\nis inside internal boundary 2"},
        /* the second hole inside the first, two of its corners on the
           first's sides */
        {"holes overlap", "t\n11 0\n" + std::string(Big) + "1 1 1 0\n1 3 1 0\n3 3 1 0\n3 1 4 0\n"
                                                          "2 2 1 0\n3 2 1 0\n2 3 1 0\n",
         1238, "boundary 3 point 1 at X=2,Y=2\nis inside internal boundary 2"},
        {"hole shares a corner of the exterior", "t\n7 0\n" + std::string(Box) + "0 0 1 0\n1 2 1 0\n2 1 1 0\n",
         1232, "boundary 1 point 1 and boundary 2 point 1 are coincident"},
        /* a figure eight through one point listed twice */
        {"exterior through one point twice", "t\n6 0\n0 0 0 0\n2 1 0 0\n4 0 0 0\n4 2 0 1\n2 1 0 1\n0 2 0 1\n",
         1232, "boundary 1 point 2 and boundary 1 point 5 are coincident"},
        /* an extent of 2^42 puts the resolution at 4: the first element,
           of length 1, is below it */
        {"nodes closer than the model's resolution", "t\n4 0\n0 0 0 0\n1 0 0 1\n1 4398046511104 0 1\n0 1 3 0\n",
         1232, "boundary 1 point 1 and boundary 1 point 2 are coincident"},
        {"two holes share a corner", "t\n10 0\n" + std::string(Big) + "1 1 1 0\n3 1 1 0\n2 2 4 0\n"
                                                                     "2 2 1 0\n3 3 1 0\n1 3 1 0\n",
         1232, "boundary 2 point 3 and boundary 3 point 1 are coincident"},
    };
    for (auto &c : cases)
        ExpectRejected(c.name, c.input, c.code, c.msg);
}

TEST(Geometry, TouchingBoundariesAreSolved)
{
    struct {
        const char *name;
        std::string input;
    } cases[] = {
        {"hole corner on the exterior's side", "t\n7 0\n" + std::string(Box) + "2 0 1 0\n3 2 1 0\n1 2 1 0\n"},
        {"notch corner on the hole's side", Notched("1")},
        {"near miss under the notch", Notched("0.9999999999999998")},
        /* the second hole's left side lies on the first's right side */
        {"holes along a common side", "t\n12 0\n" + std::string(Big) + "1 1 1 0\n1 3 1 0\n3 3 1 0\n3 1 4 0\n"
                                                                      "3 1.5 1 0\n3 2.5 1 0\n5 2.5 1 0\n"
                                                                      "5 1.5 1 0\n"},
        {"hole corner on another hole's side", "t\n11 0\n" + std::string(Big) + "1 1 1 0\n1 3 1 0\n3 3 1 0\n"
                                                                               "3 1 4 0\n3 2 1 0\n5 1 1 0\n"
                                                                               "5 3 1 0\n"},
        /* an extent of 2^39: a resolution of 0.5, below every element */
        {"elements of length 1 beside one of 2^39", "t\n4 2\n0 0 0 0\n1 0 0 1\n1 549755813888 0 1\n0 1 3 0\n"
                                                    "0.5 0.5\n0.9 100000\n"},
        {"holes side by side", "t\n10 0\n" + std::string(Big) + "1 1 1 0\n1 3 1 0\n3 3 4 0\n"
                                                               "4 1 1 0\n4 3 1 0\n6 3 1 0\n"},
    };
    for (auto &c : cases) {
        Scratch d;
        Outcome r = d.KavorOn(c.input);
        EXPECT_EQ(r.rc, 0) << c.name << "\n" << r.err;
        for (const char *f : {"KAVOR.OUT", "KAVOR.V2D"}) {
            std::string out = d.Read(f);
            EXPECT_EQ(out.find("NAN"), std::string::npos) << c.name << " " << f << "\n" << out;
            EXPECT_EQ(out.find("INF"), std::string::npos) << c.name << " " << f << "\n" << out;
        }
    }
}

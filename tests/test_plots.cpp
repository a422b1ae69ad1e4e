/* test_plots.cpp: potential triangles and the two plot command files */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diag.h"
#include "harness.h"
#include "model/model.h"
#include "output/plots.h"

/* a grid of nx by ny points at x = c, y = 10 r, U = 100 + c + nx r; the
   points marked '.' in the map (top row first) are not usable */
static void MakeGrid(int nx, int ny, const char *map)
{
    Nx = nx;
    Ny = ny;
    Xg = (double *)AllocArray(1, nx, sizeof(double));
    Yg = (double *)AllocArray(1, ny, sizeof(double));
    Ug = (double *)AllocArray(1, nx * ny, sizeof(double));
    Ing = (int *)AllocArray(1, nx * ny, sizeof(int));
    for (int c = 0; c < nx; c++)
        Xg[c] = c;
    for (int r = 0; r < ny; r++)
        Yg[r] = 10 * r;
    for (int r = 0; r < ny; r++)
        for (int c = 0; c < nx; c++) {
            int k = r * nx + c;
            Ug[k] = 100 + k;
            Ing[k] = map[(ny - 1 - r) * nx + c] != '.';
        }
}

/* writes the contour files of the grid and returns them */
static void Contours(std::string &tri, std::string &cmd)
{
    Scratch d;
    testing::internal::CaptureStdout();
    WriteContours(d.Path("t.tri").c_str(), d.Path("c.qm4").c_str());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, Lbl("potential file") + d.Path("t.tri") + "\n" + Lbl("plot file") + d.Path("c.qm4") + "\n");
    tri = d.Read("t.tri");
    cmd = d.Read("c.qm4");
}

static const std::string TriHead = "*TRIANGLES:  X1,Y1,S1  X2,Y2,S2  X3,Y3,S3\r\n";

static std::string Cmd(const std::string &u, const std::string &x, const std::string &y)
{
    return "QM4\r\n!PLOT\r\nEQUAL\r\nNOAXES\r\nNOLEGEND\r\nCOLOR\r\n" + u + "\r\nNOTITLE\r\nX\r\n" + x + "\r\nY\r\n" + y +
           "\r\nKAVOR.TRI\r\n!END\r\n";
}

TEST(Contours, FullGridGivesTwoTrianglesPerCellInCellOrder)
{
    MakeGrid(3, 3, "ooooooooo");
    std::string tri, cmd;
    Contours(tri, cmd);
    /* cells (1,1), (2,1), (1,2), (2,2); A-B-D then A-D-C */
    EXPECT_EQ(tri, TriHead + "0 0 100 1 0 101 1 10 104\r\n0 0 100 1 10 104 0 10 103\r\n"
                             "1 0 101 2 0 102 2 10 105\r\n1 0 101 2 10 105 1 10 104\r\n"
                             "0 10 103 1 10 104 1 20 107\r\n0 10 103 1 20 107 0 20 106\r\n"
                             "1 10 104 2 10 105 2 20 108\r\n1 10 104 2 20 108 1 20 107\r\n");
    EXPECT_EQ(cmd, Cmd("100 108 0.5", "0 2", "0 20"));
}

TEST(Contours, CellsWithMissingCorners)
{
    struct {
        const char *map; /* 2 x 2, top row first: C D / A B */
        const char *tri;
    } cases[] = {
        {".ooo", "0 0 100 1 0 101 1 10 103\r\n"},  /* C missing: A B D */
        {"o.oo", "0 0 100 1 0 101 0 10 102\r\n"},  /* D missing: A B C */
        {"oo.o", "0 10 102 1 0 101 1 10 103\r\n"}, /* A missing: C B D */
        {"ooo.", "0 0 100 1 10 103 0 10 102\r\n"}, /* B missing: A D C */
        {".oo.", ""},                              /* B and C only */
        {"o..o", ""},                              /* A and D only */
        {"...o", ""},
        {"....", ""},
    };
    for (auto &c : cases) {
        MakeGrid(2, 2, c.map);
        std::string tri, cmd;
        Contours(tri, cmd);
        EXPECT_EQ(tri, TriHead + c.tri) << c.map;
        if (!*c.tri) { /* no triangle: empty ranges */
            EXPECT_EQ(cmd, Cmd("0 0 0", "0 0", "0 0")) << c.map;
        }
    }
}

TEST(Contours, RangesAreThoseWritten)
{
    /* the unusable corner holds the grid's largest potential */
    MakeGrid(3, 2, "oo.ooo");
    std::string tri, cmd;
    Contours(tri, cmd);
    EXPECT_EQ(cmd, Cmd("100 104 0.25", "0 2", "0 10"));
    /* a single row or column has no cell */
    MakeGrid(1, 4, "oooo");
    Contours(tri, cmd);
    EXPECT_EQ(tri, TriHead);
}

/* the vector command file of a model with the given extents and boundaries */
static std::string VectorPlot(double x0, double x1, double y0, double y1, int nbnd)
{
    Xmin = x0, Xmax = x1, Ymin = y0, Ymax = y1, Nbnd = nbnd;
    Scratch d;
    testing::internal::CaptureStdout();
    WriteVectorPlot(d.Path("v.qm4").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), Lbl("plot command file") + d.Path("v.qm4") + "\n");
    return d.Read("v.qm4");
}

static const std::string VecHead = "QM4\r\n!PLOT\r\nEQUAL\r\nLETTERS\r\n6*0 1 0\r\nARROW\r\n0 0\r\nNOAXES\r\n"
                                   "NOLEGEND\r\nNOTITLE\r\n";

TEST(VectorPlot, WindowAndBoundaryGroups)
{
    EXPECT_EQ(VectorPlot(0, 640, 0, 480, 1),
              VecHead + "X\r\n-0.5 640.5\r\nY\r\n-0.5 480.5\r\nKAVOR.V2D\r\nNOCOLOR\r\nNEWFILE\r\nKAVOR.P2D\r\n"
                        "3 1 1\r\n!user\r\n!user:X+=abs(C[2]-0)*1280\r\n1 2 1 1 2\r\nEXTERNAL BOUNDARY\r\n!END\r\n");
    EXPECT_EQ(VectorPlot(0, 10, 0, 1, 3),
              VecHead + "X\r\n-0.0078125 10.0078125\r\nY\r\n-3.2578125 4.2578125\r\nKAVOR.V2D\r\nNOCOLOR\r\n"
                        "NEWFILE\r\nKAVOR.P2D\r\n3 3 3\r\n"
                        "!user\r\n!user:X+=abs(C[2]-0)*20\r\n1 2 1 1 2\r\nEXTERNAL BOUNDARY\r\n"
                        "!user\r\n!user:X+=abs(C[2]-1)*20\r\n1 2 1 1 3\r\nINTERNAL BOUNDARY 1\r\n"
                        "!user\r\n!user:X+=abs(C[2]-2)*20\r\n1 2 1 1 3\r\nINTERNAL BOUNDARY 2\r\n!END\r\n");
    /* a tall box: the y ratio sets the scale */
    std::string tall = VectorPlot(-1, 1, 0, 960, 1);
    EXPECT_NE(tall.find("X\r\n-641 641\r\nY\r\n-1 961\r\n"), std::string::npos) << tall;
}

/* main.cpp: kavor-plot, run in the directory of a finished KAVOR run.
 *
 * Reads the outline, the velocity rows, the potential triangles and the
 * two command files of the run, then writes the vector picture KAVOR.SVG
 * and, after a grid run, the contour picture KAV0R.SVG.  Every file is
 * read before a picture is written, so a bad file leaves no picture.
 */
#include <cstring>

#include "plot/plot.h"

static const char *Usage = "usage: kavor-plot [--lines]\n"
                           "Run it in the directory of a finished KAVOR run. It reads KAVOR.P2D,\n"
                           "KAVOR.QM4 and, when they are there, KAVOR.V2D, KAV0R.QM4 and KAVOR.TRI,\n"
                           "and writes the vector picture KAVOR.SVG and, after a grid run, the\n"
                           "contour picture KAV0R.SVG. --lines draws the contours without colour fill.\n";

/* the fill setting from the arguments; ends the run on a bad one */
static int Options(int argc, char **argv)
{
    if (argc == 1)
        return 1;
    if (argc == 2 && !std::strcmp(argv[1], "--lines"))
        return 0;
    if (argc == 2 && !std::strcmp(argv[1], "--help")) {
        std::fputs(Usage, stdout);
        std::exit(0);
    }
    std::fputs(Usage, stderr);
    std::exit(1);
}

int main(int argc, char **argv)
{
    int fill = Options(argc, argv);
    std::vector<Ring> r = ReadOutline("KAVOR.P2D");
    int nb = (int)r.size();
    Win w = ReadVectorCommand("KAVOR.QM4", nb);
    std::vector<Vel> v;
    int hasv = ReadVelocity("KAVOR.V2D", v);
    Levels l;
    int grid = ReadContourCommand("KAV0R.QM4", l);
    std::vector<Tri> t;
    if (grid)
        t = ReadTriangles("KAVOR.TRI");

    int n = DrawVectors("KAVOR.SVG", w, r, v, hasv);
    std::printf("KAVOR.SVG: %d %s, ", nb, nb == 1 ? "boundary" : "boundaries");
    if (hasv)
        std::printf("%d %s\n", n, n == 1 ? "arrow" : "arrows");
    else
        std::printf("no velocity file KAVOR.V2D\n");
    if (!grid) {
        std::printf("KAV0R.SVG: not written, no contour command file KAV0R.QM4 (no grid in this run)\n");
        return 0;
    }
    int m = DrawContours("KAV0R.SVG", w, r, l, t, fill);
    std::printf("KAV0R.SVG: %zu %s, %d %s\n", t.size(), t.size() == 1 ? "triangle" : "triangles", m,
                m == 1 ? "level" : "levels");
    return 0;
}

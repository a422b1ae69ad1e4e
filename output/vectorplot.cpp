/* vectorplot.cpp: the vector command file, naming the velocity file and the
 * boundary outline in a window fitted to the boundaries
 */
#include "driver/diag.h"
#include "model/model.h"
#include "output/plots.h"

void WriteVectorPlot(const char *name)
{
    FILE *f = CreateOutput("plot command file", name, 983);
    /* the smallest scale at which the bounding box fits 640 by 480 units,
       and a window one unit larger, centred on the box */
    double cy = (Ymax - Ymin) / 480, cx = (Xmax - Xmin) / 640;
    double c = cy > cx ? cy : cx;
    double W = 641 * c, V = 481 * c;
    double X0 = (Xmin + (Xmax - Xmin) * 0.5) - W * 0.5;
    double Y0 = (Ymin + (Ymax - Ymin) * 0.5) - V * 0.5;
    Fprint(f, "QM4\n!PLOT\nEQUAL\nLETTERS\n6*0 1 0\nARROW\n0 0\nNOAXES\nNOLEGEND\nNOTITLE\n");
    Fprint(f, "X\n%.9lG %.9lG\n", X0, X0 + W);
    Fprint(f, "Y\n%.9lG %.9lG\n", Y0, Y0 + V);
    Fprint(f, "KAVOR.V2D\nNOCOLOR\nNEWFILE\nKAVOR.P2D\n");
    Fprint(f, "3 %li %li\n", (long)Nbnd, (long)Nbnd);
    for (int i = 0; i < Nbnd; i++) {
        Fprint(f, "!user\n!user:X+=abs(C[2]-%li)*%.9lG\n", (long)i, (Xmax + Xmax) - Xmin);
        if (i == 0)
            Fprint(f, "1 2 1 1 2\nEXTERNAL BOUNDARY\n");
        else
            Fprint(f, "1 2 1 1 3\nINTERNAL BOUNDARY %li\n", (long)i);
    }
    Fprint(f, "!END\n");
    CloseOutput(f, 983);
}

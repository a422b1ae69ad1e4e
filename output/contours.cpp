/* contours.cpp: the grid cut into potential triangles, and the contour
 * command file that names them.
 *
 * A cell with four usable corners A (lower left), B, C, D (upper right) is
 * split along its diagonal A-D; a cell with three gives the one triangle of
 * those three.  Every triangle is listed counter-clockwise.
 */
#include <cfloat>

#include "driver/diag.h"
#include "model/model.h"
#include "output/plots.h"

double Umin, Umax, Xpmin, Xpmax, Ypmin, Ypmax;

static double Min3(double a, double b, double c)
{
    double m = a < b ? a : b;
    return m < c ? m : c;
}

static double Max3(double a, double b, double c)
{
    double m = a > b ? a : b;
    return m > c ? m : c;
}

void WriteTriangle(FILE *f, double x1, double y1, double s1, double x2, double y2, double s2, double x3, double y3,
                   double s3)
{
    Fprint(f, "%.9lG %.9lG %.9lG %.9lG %.9lG %.9lG %.9lG %.9lG %.9lG\n", x1, y1, s1, x2, y2, s2, x3, y3, s3);
    double m;
    if ((m = Min3(s1, s2, s3)) < Umin) Umin = m;
    if ((m = Max3(s1, s2, s3)) > Umax) Umax = m;
    if ((m = Min3(x1, x2, x3)) < Xpmin) Xpmin = m;
    if ((m = Max3(x1, x2, x3)) > Xpmax) Xpmax = m;
    if ((m = Min3(y1, y2, y3)) < Ypmin) Ypmin = m;
    if ((m = Max3(y1, y2, y3)) > Ypmax) Ypmax = m;
}

/* a corner of a cell: grid column c, row r */
struct Corner {
    int in;
    double x, y, u;
};

static Corner At(int c, int r)
{
    int k = r * Nx + c;
    return Corner{Ing[k], Xg[c], Yg[r], Ug[k]};
}

static void Tri(FILE *f, const Corner &p, const Corner &q, const Corner &s)
{
    WriteTriangle(f, p.x, p.y, p.u, q.x, q.y, q.u, s.x, s.y, s.u);
}

/* the triangles of the cell between columns c-1, c and rows r-1, r */
static void WriteCell(FILE *f, int c, int r)
{
    Corner A = At(c - 1, r - 1), B = At(c, r - 1), C = At(c - 1, r), D = At(c, r);
    int n = A.in + B.in + C.in + D.in;
    if (n == 4) {
        Tri(f, A, B, D);
        Tri(f, A, D, C);
    } else if (n == 3) {
        if (!A.in)
            Tri(f, C, B, D);
        else if (!B.in)
            Tri(f, A, D, C);
        else if (!C.in)
            Tri(f, A, B, D);
        else
            Tri(f, A, B, C);
    }
}

void WriteContours(const char *trifile, const char *cmdfile)
{
    FILE *f = CreateOutput("potential file", trifile, 907);
    Fprint(f, "*TRIANGLES:  X1,Y1,S1  X2,Y2,S2  X3,Y3,S3\n");
    Umin = Xpmin = Ypmin = DBL_MAX;
    Umax = Xpmax = Ypmax = -DBL_MAX;
    for (int r = 1; r < Ny; r++)
        for (int c = 1; c < Nx; c++)
            WriteCell(f, c, r);
    CloseOutput(f, 907);
    if (Umin > Umax) /* no triangle at all: empty ranges */
        Umin = Umax = Xpmin = Xpmax = Ypmin = Ypmax = 0;

    FILE *g = CreateOutput("plot file", cmdfile, 955);
    Fprint(g, "QM4\n!PLOT\nEQUAL\nNOAXES\nNOLEGEND\nCOLOR\n");
    Fprint(g, "%lG %lG %lG\n", Umin, Umax, (Umax - Umin) * 0.0625);
    Fprint(g, "NOTITLE\nX\n");
    Fprint(g, "%.9lG %.9lG\n", Xpmin, Xpmax);
    Fprint(g, "Y\n");
    Fprint(g, "%.9lG %.9lG\n", Ypmin, Ypmax);
    Fprint(g, "KAVOR.TRI\n!END\n");
    CloseOutput(g, 955);
}

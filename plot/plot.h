/* plot.h: kavor-plot, SVG pictures of a finished run's result files.
 *
 * The readers take the outline, velocity and triangle files and the two
 * command files of the run in the current directory; the writers draw the
 * vector picture and the contour picture from them.
 */
#ifndef KAVOR_PLOT_H
#define KAVOR_PLOT_H

#include <cstdio>
#include <string>
#include <vector>

/* a point of the plane */
struct Pt {
    double x, y;
};

/* one closed boundary polygon of the outline; b is 0 for the exterior */
struct Ring {
    int b;
    std::vector<Pt> p;
};

/* one velocity row: the point and its velocity */
struct Vel {
    double x, y, u, v;
};

/* one potential triangle: its corners and their potentials */
struct Tri {
    Pt p[3];
    double u[3];
};

/* a window of the plane: x from x0 to x1, y from y0 to y1 */
struct Win {
    double x0, x1, y0, y1;
};

/* the contour levels' range and step, and the extents of the triangles */
struct Levels {
    double umin, umax, step;
    Win ext;
};

/* --- read.cpp: text files line by line, with file and line in messages */

/* an open text file, its name, the number and text of its current line */
struct Text {
    FILE *f;
    const char *name;
    long line;
    std::string s;
};

/* prints "kavor-plot: " and the message on standard error, exits with 1 */
[[noreturn]] void Fail(const char *fmt, ...);

/* fails naming the file and its current line */
[[noreturn]] void Bad(const Text &t, const char *what);

/* opens a file; a missing one gives 0 unless it is needed, any other
   failure to open ends the run */
int OpenText(Text &t, const char *name, int needed);

/* reads the next line without its line end; 0 at the end of the file */
int NextLine(Text &t);

/* reads the next line, which must be there */
void NeedLine(Text &t);

/* the blank-separated finite numbers of a line into v (at most max);
   their count, or -1 when a field is not a finite number */
int Numbers(const std::string &s, double *v, int max);

/* closes the file, failing when reading it went wrong */
void CloseText(Text &t);

/* --- runfiles.cpp: the files of a run */

/* the outline file: one ring per boundary, in boundary order */
std::vector<Ring> ReadOutline(const char *name);

/* the vector command file: the window, and the number of boundaries */
Win ReadVectorCommand(const char *name, int nbnd);

/* the velocity file; 0 when there is none */
int ReadVelocity(const char *name, std::vector<Vel> &v);

/* the contour command file; 0 when there is none */
int ReadContourCommand(const char *name, Levels &l);

/* the triangle file, which must be there */
std::vector<Tri> ReadTriangles(const char *name);

/* --- svg.cpp: picture files and path data */

/* the window drawn on a pixel area: equal scales, y upward, a margin of
   m pixels all round */
struct Frame {
    Win w;
    double k;      /* pixels per unit */
    double pw, ph; /* the window's width and height in pixels */
    double m;
};

/* path data in tenths of a pixel, relative after the first point of each
   subpath; steps on in one direction are written as one */
struct Path {
    std::string d;
    long x, y;   /* the last point, tenths */
    long sx, sy; /* the step to it not yet written */
    int n;       /* steps written since the last move */
};

/* an open picture file */
struct Svg {
    FILE *f;
    const char *name;
};

/* the frame that shows the window with its longer side as side pixels */
Frame MakeFrame(const Win &w, double side);

/* pixel x and y of a point */
double Px(const Frame &fr, double x);
double Py(const Frame &fr, double y);

void MoveTo(Path &p, double x, double y);
void LineTo(Path &p, double x, double y);
void ClosePath(Path &p);

/* the finished path data */
const char *PathData(Path &p);

/* the rings as closed subpaths, in pixels: which is 0 for the exterior
   boundary, 1 for the holes, 2 for all */
void RingPath(Path &p, const Frame &fr, const std::vector<Ring> &r, int which);

/* creates the picture file and writes its opening of w by h pixels */
void OpenSvg(Svg &s, const char *name, double w, double h);

/* writes formatted text to the picture */
void Put(Svg &s, const char *fmt, ...);

/* writes a path element with these attributes, when it has data */
void PutPath(Svg &s, Path &p, const char *attr);

/* writes the closing tag and closes the file, failing on a write error */
void CloseSvg(Svg &s);

/* a colour of the map from dark blue (0) to yellow (1), as "#rrggbb" */
std::string Colour(double t);

/* the region (white) on grey, and the outlines with the legend line for
   them at height y */
void PutRegion(Svg &s, const Frame &fr, const std::vector<Ring> &r);
void PutOutlines(Svg &s, const Frame &fr, const std::vector<Ring> &r);
double PutOutlineLegend(Svg &s, const std::vector<Ring> &r, double y);

/* --- vectors.cpp, contours.cpp: the two pictures */

/* the vector picture; returns the number of arrows drawn */
int DrawVectors(const char *name, const Win &w, const std::vector<Ring> &r, const std::vector<Vel> &v, int hasv);

/* the contour picture, filled between the levels when fill is set;
   returns the number of levels */
int DrawContours(const char *name, const Win &w, const std::vector<Ring> &r, const Levels &l, const std::vector<Tri> &t,
                 int fill);

#endif

/* plots.h: the potential triangles and the two command files of the
 * plotting program
 */
#ifndef KAVOR_PLOTS_H
#define KAVOR_PLOTS_H

#include <cstdio>

/* smallest and largest potential, x and y written to the triangle file */
extern double Umin, Umax, Xpmin, Xpmax, Ypmin, Ypmax;

/* cuts the grid into triangles, writes them and the contour command file */
void WriteContours(const char *trifile, const char *cmdfile);

/* writes one triangle line and widens the plot extents */
void WriteTriangle(FILE *f, double x1, double y1, double s1, double x2, double y2, double s2, double x3, double y3,
                   double s3);

/* writes the vector command file with a window fitted to the boundaries */
void WriteVectorPlot(const char *name);

#endif

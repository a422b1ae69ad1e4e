/* input.h: the input reader, the boundary preparation and the
 * point-in-polygon test.
 */
#ifndef KAVOR_INPUT_H
#define KAVOR_INPUT_H

#include <cstdio>

/* reads, validates and prepares the whole input file */
void ReadInput(const char *path);

/* next line that is neither empty nor a comment, without its line end */
void ReadLine(char *buf, int size, FILE *f);

/* field scanners of the data lines; each returns the text after the field,
   or NULL when the field is not there */
const char *ScanLong(const char *s, long *v, bool *range);
const char *ScanReal(const char *s, double *v);
const char *ScanSep(const char *s);

/* splits, counts, orients and validates the boundaries read */
void PrepareBoundaries(void);

/* reverses the nodes at positions s..e and makes their Pnt negative */
void ReverseBoundary(int s, int e);

/* rejects boundaries that share a node, cross, or lie inside a hole
   (codes 1230 to 1238) */
void CheckGeometry(void);

/* the smallest distance two distinct nodes may have: 2^-52 or 2^-40 times
   the model's extent, whichever is larger; below it, the element integrals
   at one of them lose every digit */
double NodeResolution(void);

/* sign of the turn a -> b -> c, exactly: 1 left, -1 right, 0 in line */
int Orient(double ax, double ay, double bx, double by, double cx, double cy);

/* where (x, y) lies against the polygon of boundary b, exactly: 1 strictly
   inside, 0 on an element, -1 outside */
int LocatePoint(int b, double x, double y);

/* 1 if (x, y) is inside the polygon of n vertices X, Y, else 0 */
int PointInPolygon(const double *X, const double *Y, int n, double x, double y);

#endif

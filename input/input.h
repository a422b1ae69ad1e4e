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

/* 1 if (x, y) is inside the polygon of n vertices X, Y, else 0 */
int PointInPolygon(const double *X, const double *Y, int n, double x, double y);

#endif

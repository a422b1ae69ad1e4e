/* polygon.cpp: point-in-polygon test by crossings of a ray towards +x */
#include "input/input.h"

/* 1 if (x, y) is inside the closed polygon X, Y of n vertices, else 0 */
int PointInPolygon(const double *X, const double *Y, int n, double x, double y)
{
    int count = 0;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        /* the edge from vertex j to vertex i crosses the ray's line when
           exactly one of its ends lies strictly above the point */
        if ((y < Y[j]) == (y < Y[i]))
            continue;
        if (x < X[j] && x < X[i]) {
            count++;
            continue;
        }
        /* does it meet the line strictly right of the point? no division */
        double L = (X[i] - X[j]) * (y - Y[j]);
        double R = (Y[i] - Y[j]) * (x - X[j]);
        if (Y[j] < Y[i] ? L > R : L < R)
            count++;
    }
    return count % 2;
}

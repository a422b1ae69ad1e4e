/* fieldint.h: influence weights of one straight boundary element at an
 * interior field point, with their derivatives with respect to the point.
 *
 * The weights are those of ElementIntegrals (kernels ln(1/r) and its normal
 * derivative at the element point, no factor 1/(2*pi)); the derivatives are
 * the exact derivatives of the same closed forms in x and y.
 */
#ifndef KAVOR_FIELDINT_H
#define KAVOR_FIELDINT_H

/* G1, G2, H1, H2 of the element (x1,y1)-(x2,y2) at (x,y), each followed by
   its x- and y-derivative; NaN throughout at an end node of the element */
void FieldIntegrals(double x, double y, double x1, double y1, double x2,
                    double y2, double *G1, double *G1x, double *G1y,
                    double *G2, double *G2x, double *G2y, double *H1,
                    double *H1x, double *H1y, double *H2, double *H2x,
                    double *H2y);

#endif

/* integrals.h: closed-form influence weights of one straight boundary element.
 *
 * Along an element U and dU/dN vary linearly, so an element acts on a
 * collocation node through two single-layer weights (kernel ln(1/r)) and two
 * double-layer weights (kernel d/dn ln(1/r), normal at the element point),
 * one per end node.  The kernels carry no factor 1/(2*pi).
 */
#ifndef KAVOR_INTEGRALS_H
#define KAVOR_INTEGRALS_H

/* G1, G2, H1, H2 of the element (x1,y1)-(x2,y2) at the node (x,y); the node
   must not be an end node of the element (the results are then NaN) */
void ElementIntegrals(double x, double y, double x1, double y1, double x2,
                      double y2, double *G1, double *G2, double *H1,
                      double *H2);

/* single-layer weights of the element (x1,y1)-(x2,y2) at its own end node:
   Gnear for the node where the collocation node sits, Gfar for the other;
   ends the run (code 285) for an element shorter than 2^-52 */
void SelfIntegrals(double x1, double y1, double x2, double y2, double *Gnear,
                   double *Gfar);

#endif

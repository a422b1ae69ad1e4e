/* integrals.cpp: closed-form influence weights of one straight boundary
 * element, at a node off the element and at the element's own end node.
 *
 * One formula serves every position of the node: there is no near-field or
 * far-field branch.  Degenerate positions are left to IEEE arithmetic: with
 * the node on the element's line, c is zero, a/c and b/c are infinities and
 * their arctangents give the subtended angle exactly (0 outside the element,
 * pi on it).  This relies on no fused or reassociated floating-point
 * arithmetic and on infinities and NaN being honoured.
 */
#include "solver/integrals.h"

#include <cmath>

#include "driver/diag.h"
#include "solver/terms.h"

/* G1, G2, H1, H2 of the element (x1,y1)-(x2,y2) at the node (x,y) */
void ElementIntegrals(double x, double y, double x1, double y1, double x2,
                      double y2, double *G1, double *G2, double *H1,
                      double *H2)
{
    ElementConst e;
    NodeView n1, n2;
    ElementView w;
    ComputeElement(x1, y1, x2, y2, &e);
    ViewNode(x, y, x1, y1, &n1);
    ViewNode(x, y, x2, y2, &n2);
    ViewElement(&e, &n1, &w);
    WeightsFrom(&e, &n1, &n2, &w, G1, G2, H1, H2);
}

/* Gnear = integral of -ln(s)(1 - s/L), Gfar = integral of -ln(s) s/L, s in
   [0, L]: the single-layer weights with the node at the element's end */
void SelfIntegrals(double x1, double y1, double x2, double y2, double *Gnear,
                   double *Gfar)
{
    /* hypot: no overflow or underflow of the squares on extreme lengths */
    double L = std::hypot(x2 - x1, y2 - y1);
    /* an absolute threshold, the double-precision machine epsilon */
    if (L < 2.220446049250313e-16)
        ErrorExit(285, "adjacent boundary encountered coincident points");
    double lnL = std::log(L);
    *Gnear = (1.5 - lnL) * L * 0.5;
    *Gfar = (0.5 - lnL) * L * 0.5;
}

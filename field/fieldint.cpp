/* fieldint.cpp: the four element weights at an interior point and their
 * gradients, from one closed-form evaluation.
 *
 * The weights come from the same code as ElementIntegrals and agree with it
 * bit for bit; the derivatives reuse its square root, two logarithms and two
 * arctangents and need no further ones.  As there, degenerate positions are
 * left to IEEE infinities and NaN, with no branch: in line with the element,
 * outside it, every result is finite and equal to its limit.
 */
#include "field/fieldint.h"

#include "solver/terms.h"

/* G1, G2, H1, H2 of the element (x1,y1)-(x2,y2) at (x,y) and their x- and
   y-derivatives */
void FieldIntegrals(double x, double y, double x1, double y1, double x2,
                    double y2, double *G1, double *G1x, double *G1y,
                    double *G2, double *G2x, double *G2y, double *H1,
                    double *H1x, double *H1y, double *H2, double *H2x,
                    double *H2y)
{
    ElementConst e;
    NodeView n1, n2;
    ElementView w;
    Gradients d;
    ComputeElement(x1, y1, x2, y2, &e);
    ViewNodeGrad(x, y, x1, y1, &n1);
    ViewNodeGrad(x, y, x2, y2, &n2);
    ViewElement(&e, &n1, &w);
    WeightsFrom(&e, &n1, &n2, &w, G1, G2, H1, H2);
    GradientsFrom(&e, &n1, &n2, &w, &d);
    *G1x = d.G1x, *G1y = d.G1y, *G2x = d.G2x, *G2y = d.G2y;
    *H1x = d.H1x, *H1y = d.H1y, *H2x = d.H2x, *H2y = d.H2y;
}

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
    ElementTerms t;
    ComputeTerms(x, y, x1, y1, x2, y2, &t);
    ComputeWeights(&t, G1, G2, H1, H2);

    double ex = t.ex, ey = t.ey, dx = t.dx, dy = t.dy;
    double a = t.a, b = t.b, c = t.c, L2 = t.L2, Th = t.Theta;
    double L3 = L2 * t.L;
    double hDl = (t.lam2 - t.lam1) / 2.0; /* ln(r2/r1) */

    /* (P - node)/r^2 for both nodes, the gradients of ln r1 and ln r2;
       their difference turned a quarter turn is the gradient of Theta */
    double px1 = dx / t.r1s, py1 = dy / t.r1s;
    double px2 = (dx - ex) / t.r2s, py2 = (dy - ey) / t.r2s;
    double Thx = py1 - py2, Thy = px2 - px1;

    /* products shared by the derivatives of b*I0, a*I0 and L*I1 */
    double k1 = b * ex - c * ey, m1 = b * ey + c * ex;
    double k2 = a * ex + c * ey, m2 = a * ey - c * ex;

    *G1x = (k1 * hDl + m1 * Th - ex * L2) / L3;
    *G1y = (m1 * hDl - k1 * Th - ey * L2) / L3;
    *G2x = (k2 * hDl + m2 * Th + ex * L2) / L3;
    *G2y = (m2 * hDl - k2 * Th + ey * L2) / L3;

    /* the logarithms' share in the gradient of c*(lam2 - lam1)/(2 L2); it
       vanishes with c on the element's line */
    double Kx = (c / L2) * (px2 - px1), Ky = (c / L2) * (py2 - py1);

    *H1x = (ex * Th - b * Thx - ey * hDl) / L2 + Kx;
    *H1y = (ey * Th - b * Thy + ex * hDl) / L2 + Ky;
    *H2x = (-ex * Th - a * Thx + ey * hDl) / L2 - Kx;
    *H2y = (-ey * Th - a * Thy - ex * hDl) / L2 - Ky;
}

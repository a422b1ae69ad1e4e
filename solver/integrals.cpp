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

/* The quantities every weight of an element at a field point is built from.
   The interior evaluation needs the same ones, plus their derivatives. */
struct ElementTerms {
    double L2, L;     /* squared length and length of the element */
    double a, b;      /* L times the distances of the foot of the
                         perpendicular from the first and the second node */
    double c;         /* L times the signed distance from the element's line,
                         positive on its left */
    double r1s, r2s;  /* squared distances to the first and second node */
    double lam1, lam2; /* ln(r1s), ln(r2s) */
    double Theta;     /* angle subtended by the element, positive on its left */
};

/* the shared quantities of the element (x1,y1)-(x2,y2) seen from (x,y) */
static inline void ComputeTerms(double x, double y, double x1, double y1,
                                double x2, double y2, ElementTerms *t)
{
    double ex = x2 - x1, ey = y2 - y1;
    double dx = x - x1, dy = y - y1;
    t->L2 = ex * ex + ey * ey;
    t->L = std::sqrt(t->L2);
    t->a = ex * dx + ey * dy;
    t->b = t->L2 - t->a;
    t->c = ex * dy - ey * dx;
    t->r1s = dx * dx + dy * dy;
    t->r2s = (dx - ex) * (dx - ex) + (dy - ey) * (dy - ey);
    t->lam1 = std::log(t->r1s);
    t->lam2 = std::log(t->r2s);
    /* two one-argument arctangents, not atan2: at c = 0 the quotients are
       signed infinities and the sum is exactly 0 or +-pi */
    t->Theta = std::atan(t->a / t->c) + std::atan(t->b / t->c);
}

/* G1, G2, H1, H2 of the element (x1,y1)-(x2,y2) at the node (x,y) */
void ElementIntegrals(double x, double y, double x1, double y1, double x2,
                      double y2, double *G1, double *G2, double *H1,
                      double *H2)
{
    ElementTerms t;
    ComputeTerms(x, y, x1, y1, x2, y2, &t);

    /* integral of ln(1/r) over the element */
    double I0 = t.L - (t.a * t.lam1 + t.b * t.lam2) / (2.0 * t.L) -
                (t.c / t.L) * t.Theta;
    /* first moment of ln(1/r) about the foot of the perpendicular */
    double I1 = -(t.r2s * t.lam2 - t.r1s * t.lam1 - (t.b - t.a)) / 4.0;
    /* c times the log difference vanishes with c, whatever the distance */
    double q = (t.c / (2.0 * t.L2)) * (t.lam2 - t.lam1);

    *G1 = (t.b * I0 - t.L * I1) / t.L2;
    *G2 = (t.a * I0 + t.L * I1) / t.L2;
    *H1 = -(t.b / t.L2) * t.Theta + q;
    *H2 = -(t.a / t.L2) * t.Theta - q;
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

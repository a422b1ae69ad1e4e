/* terms.h: the intermediate quantities of one straight element seen from a
 * field point, and the four weights built from them.
 *
 * Shared by the boundary weights (solver/integrals.cpp) and the interior
 * weights with their derivatives (field/fieldint.cpp), so that both evaluate
 * the same expressions in the same order and give the same bits.
 */
#ifndef KAVOR_TERMS_H
#define KAVOR_TERMS_H

#include <cmath>

/* The quantities every weight of an element at a field point is built from.
   The interior evaluation needs the same ones, plus their derivatives. */
struct ElementTerms {
    double ex, ey;    /* element vector, second node minus first */
    double dx, dy;    /* field point minus first node */
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
    t->ex = ex;
    t->ey = ey;
    t->dx = dx;
    t->dy = dy;
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

/* G1, G2, H1, H2 from the shared quantities */
static inline void ComputeWeights(const ElementTerms *t, double *G1,
                                  double *G2, double *H1, double *H2)
{
    /* integral of ln(1/r) over the element */
    double I0 = t->L - (t->a * t->lam1 + t->b * t->lam2) / (2.0 * t->L) -
                (t->c / t->L) * t->Theta;
    /* first moment of ln(1/r) about the foot of the perpendicular */
    double I1 = -(t->r2s * t->lam2 - t->r1s * t->lam1 - (t->b - t->a)) / 4.0;
    /* c times the log difference vanishes with c, whatever the distance */
    double q = (t->c / (2.0 * t->L2)) * (t->lam2 - t->lam1);

    *G1 = (t->b * I0 - t->L * I1) / t->L2;
    *G2 = (t->a * I0 + t->L * I1) / t->L2;
    *H1 = -(t->b / t->L2) * t->Theta + q;
    *H2 = -(t->a / t->L2) * t->Theta - q;
}

#endif

/* terms.h: the intermediate quantities of one straight element seen from a
 * field point, and the four weights built from them.
 *
 * Shared by the boundary weights (solver/integrals.cpp) and the interior
 * weights with their derivatives (field/fieldint.cpp), so that both evaluate
 * the same expressions in the same order and give the same bits.
 *
 * The second half serves the loops over every element at one point: what
 * depends on the element alone is computed once per element, what depends
 * on a node alone (its offset from the point and the logarithm of its
 * squared distance) once per node, and each element combines the two of its
 * nodes.  The angle term is formed exactly as above, from the first node's
 * offset, so the degenerate positions come out the same; the rest is
 * regrouped and may differ from the single-element routines in the last
 * bits.
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

/* What an element is apart from the field point. */
struct ElementConst {
    double ex, ey;     /* element vector, second node minus first */
    double L2, L;      /* squared length and length */
    double iL, iL2;    /* 1/L and 1/L2 */
    double iL3;        /* 1/L^3 */
};

/* the constants of the element (x1,y1)-(x2,y2) */
static inline void ComputeElement(double x1, double y1, double x2, double y2, ElementConst *e)
{
    e->ex = x2 - x1;
    e->ey = y2 - y1;
    e->L2 = e->ex * e->ex + e->ey * e->ey;
    e->L = std::sqrt(e->L2);
    e->iL = 1.0 / e->L;
    e->iL2 = 1.0 / e->L2;
    e->iL3 = e->iL2 * e->iL;
}

/* What a field point sees of one node. */
struct NodeView {
    double dx, dy; /* field point minus node */
    double r2;     /* squared distance */
    double lam;    /* ln(r2) */
    double ir2;    /* 1/r2, set only by ViewNodeGrad */
};

/* the node (xn,yn) seen from (x,y) */
static inline void ViewNode(double x, double y, double xn, double yn, NodeView *v)
{
    v->dx = x - xn;
    v->dy = y - yn;
    v->r2 = v->dx * v->dx + v->dy * v->dy;
    v->lam = std::log(v->r2);
}

/* the same with 1/r2, which the gradients need */
static inline void ViewNodeGrad(double x, double y, double xn, double yn, NodeView *v)
{
    ViewNode(x, y, xn, yn, v);
    v->ir2 = 1.0 / v->r2;
}

/* The products that the weights of an element at a point share. */
struct ElementView {
    double a, b, c; /* as in ElementTerms */
    double Theta;   /* angle subtended, positive on the left */
};

/* a, b, c and Theta of element e from its first node's view n1 */
static inline void ViewElement(const ElementConst *e, const NodeView *n1, ElementView *w)
{
    w->a = e->ex * n1->dx + e->ey * n1->dy;
    w->b = e->L2 - w->a;
    w->c = e->ex * n1->dy - e->ey * n1->dx;
    w->Theta = std::atan(w->a / w->c) + std::atan(w->b / w->c);
}

/* G1, G2, H1, H2 of element e whose nodes are seen as n1 and n2 */
static inline void WeightsFrom(const ElementConst *e, const NodeView *n1, const NodeView *n2,
                               const ElementView *w, double *G1, double *G2, double *H1, double *H2)
{
    double a = w->a, b = w->b, c = w->c, Th = w->Theta;
    double I0 = e->L - ((a * n1->lam + b * n2->lam) * 0.5 + c * Th) * e->iL;
    double I1 = -(n2->r2 * n2->lam - n1->r2 * n1->lam - (b - a)) * 0.25;
    double q = (c * 0.5 * e->iL2) * (n2->lam - n1->lam);
    *G1 = (b * I0 - e->L * I1) * e->iL2;
    *G2 = (a * I0 + e->L * I1) * e->iL2;
    *H1 = -(b * e->iL2) * Th + q;
    *H2 = -(a * e->iL2) * Th - q;
}

/* The x- and y-derivatives of G1, G2, H1, H2, in the order of FieldIntegrals. */
struct Gradients {
    double G1x, G1y, G2x, G2y, H1x, H1y, H2x, H2y;
};

/* the derivatives of the weights of element e with respect to the point;
   n1 and n2 from ViewNodeGrad */
static inline void GradientsFrom(const ElementConst *e, const NodeView *n1, const NodeView *n2,
                                 const ElementView *w, Gradients *d)
{
    double ex = e->ex, ey = e->ey, L2 = e->L2;
    double a = w->a, b = w->b, c = w->c, Th = w->Theta;
    double hDl = (n2->lam - n1->lam) * 0.5;
    double px1 = n1->dx * n1->ir2, py1 = n1->dy * n1->ir2;
    double px2 = n2->dx * n2->ir2, py2 = n2->dy * n2->ir2;
    double Thx = py1 - py2, Thy = px2 - px1;
    double k1 = b * ex - c * ey, m1 = b * ey + c * ex;
    double k2 = a * ex + c * ey, m2 = a * ey - c * ex;
    d->G1x = (k1 * hDl + m1 * Th - ex * L2) * e->iL3;
    d->G1y = (m1 * hDl - k1 * Th - ey * L2) * e->iL3;
    d->G2x = (k2 * hDl + m2 * Th + ex * L2) * e->iL3;
    d->G2y = (m2 * hDl - k2 * Th + ey * L2) * e->iL3;
    double cL = c * e->iL2;
    double Kx = cL * (px2 - px1), Ky = cL * (py2 - py1);
    d->H1x = (ex * Th - b * Thx - ey * hDl) * e->iL2 + Kx;
    d->H1y = (ey * Th - b * Thy + ex * hDl) * e->iL2 + Ky;
    d->H2x = (-ex * Th - a * Thx + ey * hDl) * e->iL2 - Kx;
    d->H2y = (-ey * Th - a * Thy - ex * hDl) * e->iL2 - Ky;
}

#endif

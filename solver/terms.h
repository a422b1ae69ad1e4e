/* terms.h: the weights of one straight element seen from a field point,
 * built from three parts: what depends on the element alone (its vector and
 * length), what depends on one node alone (its offset from the point and the
 * logarithm of its squared distance) and what depends on both (the
 * projections and the angle the element subtends).
 *
 * The single-element routines (ElementIntegrals, FieldIntegrals) and the
 * loops over every element at one point (the assembly and the interior
 * field) evaluate the same expressions in the same order, so they give the
 * same bits; the loops merely take each part once, a node's view serving
 * both elements that meet there.
 *
 * The angle is formed from two one-argument arctangents of a/c and b/c: on
 * the element's line c is zero, the quotients are signed infinities and the
 * angle is exactly 0 outside the element and pi on it.
 */
#ifndef KAVOR_TERMS_H
#define KAVOR_TERMS_H

#include <cmath>

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
    double a; /* L times the distance from the first node, along the
                 element, to the foot of the perpendicular from the point */
    double b; /* the same measured back from the second node */
    double c; /* L times the signed distance from the element's line,
                 positive on its left */
    double Theta; /* angle subtended, positive on the left */
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
    /* integral of ln(1/r) over the element */
    double I0 = e->L - ((a * n1->lam + b * n2->lam) * 0.5 + c * Th) * e->iL;
    /* first moment of ln(1/r) about the foot of the perpendicular */
    double I1 = -(n2->r2 * n2->lam - n1->r2 * n1->lam - (b - a)) * 0.25;
    /* c times the log difference vanishes with c, whatever the distance */
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
    double hDl = (n2->lam - n1->lam) * 0.5; /* ln(r2/r1) */
    /* (P - node)/r^2 for both nodes, the gradients of ln r1 and ln r2;
       their difference turned a quarter turn is the gradient of Theta */
    double px1 = n1->dx * n1->ir2, py1 = n1->dy * n1->ir2;
    double px2 = n2->dx * n2->ir2, py2 = n2->dy * n2->ir2;
    double Thx = py1 - py2, Thy = px2 - px1;
    /* products shared by the derivatives of b*I0, a*I0 and L*I1 */
    double k1 = b * ex - c * ey, m1 = b * ey + c * ex;
    double k2 = a * ex + c * ey, m2 = a * ey - c * ex;
    d->G1x = (k1 * hDl + m1 * Th - ex * L2) * e->iL3;
    d->G1y = (m1 * hDl - k1 * Th - ey * L2) * e->iL3;
    d->G2x = (k2 * hDl + m2 * Th + ex * L2) * e->iL3;
    d->G2y = (m2 * hDl - k2 * Th + ey * L2) * e->iL3;
    /* the logarithms' share in the gradient of c*(lam2 - lam1)/(2 L2); it
       vanishes with c on the element's line */
    double cL = c * e->iL2;
    double Kx = cL * (px2 - px1), Ky = cL * (py2 - py1);
    d->H1x = (ex * Th - b * Thx - ey * hDl) * e->iL2 + Kx;
    d->H1y = (ey * Th - b * Thy + ex * hDl) * e->iL2 + Ky;
    d->H2x = (-ex * Th - a * Thx + ey * hDl) * e->iL2 - Kx;
    d->H2y = (-ey * Th - a * Thy - ex * hDl) * e->iL2 - Ky;
}

#endif

/* assemble.cpp: influence matrices, the system by boundary-condition class,
 * and the distribution of its solution.
 *
 * Collocation at node i gives sum_l H[i][l] U(l) - sum_l G[i][l] Q(l) = 0
 * with Q = dU/dN.  The unknowns, in column order: Q of every node of class
 * 0 or 2, then U of every class 1 node, then U of every class 2 node.  The
 * rows: collocation at the class 0 and 2 nodes, at the class 1 nodes, then
 * one tangential row per class 2 node.
 */
#include "solver/assemble.h"

#include "driver/diag.h"
#include "model/model.h"
#include "solver/elements.h"
#include "solver/integrals.h"
#include "solver/solve.h"

int InputPredecessor(int m)
{
    int b = Bou[m], s = Ibnd[b], e = Ibnd[b + 1] - 1;
    int n = Pnt[m] >= 0 ? m - 1 : m + 1;
    return n < s ? e : n > e ? s : n;
}

void AllocSystem(void)
{
    Neq = Nb + Ntan;
    PrintLabel(stdout, "number of simultaneous equations");
    Fprint(stdout, "%li\n", (long)Neq);
    PrintLabel(stdout, "allocating memory");
    size_t n = (size_t)Neq;
    Col = (int *)AllocArray(356, n, sizeof(int));
    Bvec = (double *)AllocArray(357, n, sizeof(double));
    Svec = (double *)AllocArray(358, n, sizeof(double));
    Amat = (double **)AllocArray(359, n, sizeof(double *));
    for (size_t r = 0; r < n; r++)
        Amat[r] = (double *)AllocArray(361, n, sizeof(double));
    PrintMemory();
}

/* the element j-k holds the collocation node i: its single-layer weights
   into row i of G; it has no double layer there */
static void AddSelf(double *Gi, int i, int j, int k)
{
    double gn, gf;
    SelfIntegrals(Xb[j], Yb[j], Xb[k], Yb[k], &gn, &gf);
    Gi[j] += j == i ? gn : gf;
    Gi[k] += j == i ? gf : gn;
}

/* the weights of the element j-k at the collocation node i into row i of G
   and H; the double layer also goes to the diagonal, so that the rows of H
   sum to zero */
static inline void AddElement(double *Gi, double *Hi, int i, int j, int k, double g1, double g2, double h1,
                              double h2)
{
    Hi[i] -= h1 + h2;
    Hi[j] += h1;
    Gi[j] += g1;
    Hi[k] += h2;
    Gi[k] += g2;
}

/* row i of G and H, element by element with the single-element routines:
   the way without working storage */
static void InfluenceRowPlain(int i)
{
    double x = Xb[i], y = Yb[i], *Gi = G[i], *Hi = H[i];
    for (int j = 0; j < Nb; j++) {
        int k = NextNode(j);
        if (j == i || k == i) {
            AddSelf(Gi, i, j, k);
            continue;
        }
        double g1, g2, h1, h2;
        ElementIntegrals(x, y, Xb[j], Yb[j], Xb[k], Yb[k], &g1, &g2, &h1, &h2);
        AddElement(Gi, Hi, i, j, k, g1, g2, h1, h2);
    }
}

/* row i of G and H: the view of each node once (it serves the element that
   ends there and the one that starts there), the angle of each element
   once, then the weights; the element constants come from the table */
static void InfluenceRow(const ElementLoop *L, int i)
{
    double x = Xb[i], y = Yb[i], *Gi = G[i], *Hi = H[i];
    const ElementConst *E = L->E;
    NodeView *V = L->V;
    ElementView *W = L->W;
    for (int j = 0; j < Nb; j++)
        ViewNode(x, y, Xb[j], Yb[j], &V[j]);
    for (int j = 0; j < Nb; j++)
        if (j != i && NextNode(j) != i)
            ViewElement(&E[j], &V[j], &W[j]);
    for (int j = 0; j < Nb; j++) {
        int k = NextNode(j);
        if (j == i || k == i) {
            AddSelf(Gi, i, j, k);
            continue;
        }
        double g1, g2, h1, h2;
        WeightsFrom(&E[j], &V[j], &V[k], &W[j], &g1, &g2, &h1, &h2);
        AddElement(Gi, Hi, i, j, k, g1, g2, h1, h2);
    }
}

/* G and H from every element at every collocation node */
void AssembleInfluence(void)
{
    const ElementLoop *L = PrepareElements();
    for (int i = 0; i < Nb; i++) {
        Fprint(stderr, "\rdetermining equation for node %li", (long)(i + 1));
        if (L)
            InfluenceRow(L, i);
        else
            InfluenceRowPlain(i);
    }
    Fprint(stderr, "\r");
    PrintLabel(stdout, "nodal point equations");
    Fprint(stdout, "%li\n", (long)Nb);
}

/* one collocation row r from row j of G and H; first pass writes Col */
static void CollocationRow(int r, int j, bool first)
{
    double *A = Amat[r], *Gj = G[j], *Hj = H[j];
    double b = 0;
    int c = 0;
    for (int l = 0; l < Nb; l++)
        if (Bc[l] % 3 != 1) {
            A[c++] = -Gj[l];
            if (Bc[l] % 3 == 0)
                b -= Hj[l] * Ub[l];
        }
    for (int l = 0; l < Nb; l++)
        if (Bc[l] % 3 == 1) {
            A[c] = Hj[l];
            b += Gj[l] * Ub[l];
            if (first)
                Col[l] = c;
            c++;
        }
    for (int l = 0; l < Nb; l++)
        if (Bc[l] % 3 == 2) {
            A[c] = Hj[l];
            if (first)
                Col[l] = c;
            c++;
        }
    Bvec[r] = b;
}

/* the rows below Nb: a tangential row per class 2 node, or the zero-net-flux
   row of a hole whose every node has dU/dT given */
static void TangentialRows(void)
{
    int r = Nb, u = 0; /* u: nodes of class 0 or 2 before the boundary */
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1] - 1, count = 0;
        for (int m = s; m <= e; m++) {
            if (Bc[m] % 3 != 2)
                continue;
            count++;
            if (b > 0 && m == e && count == e - s + 1) {
                Bvec[r] = 0;
                for (int p = s; p <= e; p++)
                    Amat[r][u + (p - s)] = Lb[p];
            } else {
                int n = InputPredecessor(m);
                Bvec[r] = Ub[m];
                if (Bc[n] % 3 == 0)
                    Bvec[r] += Ub[n] / Lb[m];
                else
                    Amat[r][Col[n]] = -1.0 / Lb[m];
                Amat[r][Col[m]] = 1.0 / Lb[m];
            }
            r++;
        }
        for (int p = s; p <= e; p++)
            if (Bc[p] % 3 != 1)
                u++;
    }
}

void ArrangeSystem(void)
{
    PrintLabel(stdout, "resorting boundary conditions");
    int r = 0;
    for (int j = 0; j < Nb; j++)
        if (Bc[j] % 3 != 1)
            CollocationRow(r++, j, true);
    for (int j = 0; j < Nb; j++)
        if (Bc[j] % 3 == 1)
            CollocationRow(r++, j, false);
    TangentialRows();
    Fprint(stdout, "OK\n");
}

/* Ub, dUdN and dUdT of every node from the given values and the solution */
void DistributeSolution(void)
{
    PrintLabel(stdout, "reordering solution set");
    for (int m = 0; m < Nb; m++) {
        if (Bc[m] % 3 == 1)
            dUdN[m] = Ub[m];
        else if (Bc[m] % 3 == 2)
            dUdT[m] = Ub[m];
    }
    int q = 0;
    for (int m = 0; m < Nb; m++)
        if (Bc[m] % 3 != 1)
            dUdN[m] = Svec[q++];
    for (int m = 0; m < Nb; m++)
        if (Bc[m] % 3 == 1)
            Ub[m] = Svec[q++];
    for (int m = 0; m < Nb; m++)
        if (Bc[m] % 3 == 2)
            Ub[m] = Svec[q++];
    Fprint(stdout, "OK\n");
    PrintLabel(stdout, "calculating tangentials");
    for (int m = 0; m < Nb; m++)
        if (Bc[m] % 3 != 2) {
            int n = InputPredecessor(m);
            dUdT[m] = (Ub[m] - Ub[n]) / Lb[m];
        }
    Fprint(stdout, "OK\n");
}

void AssembleAndSolve(void)
{
    AllocSystem();
    AssembleInfluence();
    ArrangeSystem();
    SolveLinear(Amat, Bvec, Svec, Neq);
    DistributeSolution();
}

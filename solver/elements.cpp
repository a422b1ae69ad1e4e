/* elements.cpp: the table of element constants for the current boundaries,
 * with the working storage of the loops that use it
 */
#include "solver/elements.h"

#include <cstdlib>

#include "model/model.h"

/* working storage of the loops, not model data: kept for the next call and
   never counted */
static ElementConst *Table;
static NodeView *Views;
static ElementView *Elems;
static int Size;
static ElementLoop Loop;

int NextNode(int j)
{
    return j + 1 < Ibnd[Bou[j] + 1] ? j + 1 : Ibnd[Bou[j]];
}

/* grows *p to n entries of size s */
static bool Grow(void **p, int n, size_t s)
{
    void *q = std::realloc(*p, (size_t)n * s);
    if (!q)
        return false;
    *p = q;
    return true;
}

const ElementLoop *PrepareElements(void)
{
    if (Nb > Size) {
        if (!Grow((void **)&Table, Nb, sizeof *Table) || !Grow((void **)&Views, Nb, sizeof *Views) ||
            !Grow((void **)&Elems, Nb, sizeof *Elems))
            return NULL;
        Size = Nb;
    }
    for (int j = 0; j < Nb; j++) {
        int k = NextNode(j);
        ComputeElement(Xb[j], Yb[j], Xb[k], Yb[k], &Table[j]);
    }
    Loop.E = Table;
    Loop.V = Views;
    Loop.W = Elems;
    return &Loop;
}

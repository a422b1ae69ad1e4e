/* elements.h: the constants of every boundary element and the working
 * storage of the loops that integrate all elements at many points (the
 * assembly and the interior field).
 *
 * Such a loop takes, at each point, first the view of every node (one
 * logarithm each), then the angle every element subtends (two arctangents
 * each), then the weights and their sums, which call no function: the
 * values live in memory between the passes instead of being saved around
 * every call.
 */
#ifndef KAVOR_ELEMENTS_H
#define KAVOR_ELEMENTS_H

#include "solver/terms.h"

/* working storage of the loops over all elements at one point */
struct ElementLoop {
    const ElementConst *E; /* the element from node j to NextNode(j) */
    NodeView *V;           /* the view of node j from the current point */
    ElementView *W;        /* element j seen from the current point */
};

/* the constants of every element of the current model, and room for the
   views of one point.  Rebuilt at every call, valid until the next; NULL
   when no memory can be had (the callers then integrate element by
   element). */
const ElementLoop *PrepareElements(void);

/* the successor of node j in the stored order of its boundary */
int NextNode(int j);

#endif

/* assemble.h: the boundary solution phase.
 *
 * AssembleAndSolve fills the influence matrices G and H, arranges one square
 * system by boundary-condition class, solves it and leaves U, dU/dN and dU/dT
 * of every boundary node in Ub, dUdN and dUdT.
 */
#ifndef KAVOR_ASSEMBLE_H
#define KAVOR_ASSEMBLE_H

void AssembleAndSolve(void);

/* the stages of AssembleAndSolve, in the order it runs them */
void AllocSystem(void);
void AssembleInfluence(void);
void ArrangeSystem(void);
void DistributeSolution(void);

/* position of the node that precedes node m in the input order of its boundary */
int InputPredecessor(int m);

#endif

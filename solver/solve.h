/* solve.h: the dense linear solver.
 *
 * SolveLinear solves one square system A x = b by Gaussian elimination with
 * full pivoting.  It knows nothing about boundaries; the boundary element
 * system is only its one caller.
 */
#ifndef KAVOR_SOLVE_H
#define KAVOR_SOLVE_H

/* solves A x = b for the n unknowns x, in the caller's order of the unknowns.
 * A is a table of n separately allocated rows of n doubles.  A and b are
 * destroyed: the row table is left permuted, the rows hold the reduced
 * triangle with columns permuted, b holds the permuted solution.  A singular
 * or empty system ends the run through ErrorExit (codes 137, 143, 175, 218). */
void SolveLinear(double **A, double *b, double *x, int n);

#endif

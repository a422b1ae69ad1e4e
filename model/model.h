/* model.h: the one body of data that every phase of a run shares.
 *
 * The boundary model (nodes, boundaries, internal points, influence
 * matrices), the linear system of the boundary solution and the evaluation
 * grid.  Positions are 0-based; numbers shown to the user are 1-based.
 * Every array is allocated zero-filled through AllocArray and lives until
 * the process ends.
 */
#ifndef KAVOR_MODEL_H
#define KAVOR_MODEL_H

/* counts */
extern int Nb;   /* boundary nodes, at least 3 */
extern int Ni;   /* >0 internal points, 0 none, <0 a grid of about -Ni points */
extern int Nbnd; /* boundaries, the exterior one included */
extern int Ness; /* class 0 (U given) nodes on the exterior boundary */
extern int Nnor; /* class 1 (dU/dN given) nodes */
extern int Ntan; /* class 2 (dU/dT given) nodes */

/* extents of the boundary nodes and the net area of the region */
extern double Xmin, Xmax, Ymin, Ymax, Anet;

/* input text */
extern char Title[61]; /* the title line, at most 60 characters */
extern char Line[128]; /* the current data line, at most 127 characters */
extern long Nline;     /* physical input lines read so far */

/* per node, Nb entries */
extern double *Xb, *Yb; /* coordinates */
extern int *Bc;         /* boundary-condition type 0..5; class is Bc % 3 */
extern double *Ub;      /* given value until solved, then U */
extern double *dUdN;    /* normal derivative, outward from the region */
extern double *dUdT;    /* tangential derivative, in input direction */
extern double *Lb;      /* length of the element from the input predecessor */
extern int *Bou;        /* boundary index of the node */
extern int *Pnt;        /* input number, negative on a reversed boundary */

/* per boundary */
extern int *Ibnd;    /* first position of boundary b; Ibnd[Nbnd] is Nb */
extern double *Abnd; /* enclosed area of boundary b */

/* internal points, Ni entries when Ni > 0 */
extern double *Xi, *Yi;

/* influence matrices, Nb separately allocated rows of Nb reals */
extern double **G, **H;

/* the linear system Amat * Svec = Bvec of Neq = Nb + Ntan equations */
extern int Neq;
extern int *Col; /* column of the unknown U of a class 1 or 2 node */
extern double **Amat, *Bvec, *Svec;

/* evaluation grid: point k = r*Nx + c in column c, row r */
extern int Nx, Ny;
extern double *Xg, *Yg, *Ug;
extern int *Ing; /* 1 where the grid point lies inside the region */

#endif

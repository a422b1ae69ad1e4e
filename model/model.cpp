/* model.cpp: storage of the shared boundary model, linear system and grid */
#include "model/model.h"

int Nb, Ni, Nbnd, Ness, Nnor, Ntan;
double Xmin, Xmax, Ymin, Ymax, Anet;

char Title[61];
char Line[128];
long Nline;

double *Xb, *Yb;
int *Bc;
double *Ub, *dUdN, *dUdT, *Lb;
int *Bou, *Pnt;

int *Ibnd;
double *Abnd;

double *Xi, *Yi;

double **G, **H;

int Neq;
int *Col;
double **Amat, *Bvec, *Svec;

int Nx, Ny;
double *Xg, *Yg, *Ug;
int *Ing;

/* field.h: potential and velocity inside the region */
#ifndef KAVOR_FIELD_H
#define KAVOR_FIELD_H

/* evaluates the listed internal points or the grid and writes the velocity
   file; does nothing when the input asked for neither */
void EvaluateField(const char *name);

/* 1 if (x, y) lies inside the exterior boundary and inside no hole */
int InsideRegion(double x, double y);

/* 1 if (x, y) is a boundary node, or closer to one than the model's
   resolution, where the field has no value */
int AtNode(double x, double y);

/* U and its gradient at (x, y) from the boundary solution */
void FieldAt(double x, double y, double *U, double *Ux, double *Uy);

/* counts the grid positions from lo to hi at spacing h by repeated addition;
   ends the run when h does not advance or the count passes 2147483647 */
int GridCount(double lo, double hi, double h);

#endif

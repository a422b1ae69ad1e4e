/* output.h: the result files written after the boundary solution */
#ifndef KAVOR_OUTPUT_H
#define KAVOR_OUTPUT_H

/* the results table: U, dU/dN and dU/dT of every boundary point in input order */
void WriteResults(const char *name);

/* the boundary outline: one closed polygon per boundary, in stored order */
void WriteBoundaries(const char *name);

#endif

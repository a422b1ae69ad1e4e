/* results.cpp: the results table and the boundary outline */
#include <cstdlib>

#include "driver/diag.h"
#include "model/model.h"
#include "output/output.h"

void WriteResults(const char *name)
{
    FILE *f = CreateOutput("results output file", name, 711);
    Fprint(f, "        BOUNDARY POINTS (* indicates boundary condition)\n");
    Fprint(f, "pnt bou      X          Y           U        dU/dN       dU/dT\n");
    for (int i = 0; i < Nb; i++) {
        int k = std::abs(Pnt[i]) - 1; /* the point read (i+1)-th */
        char mark[3] = {' ', ' ', ' '};
        mark[Bc[k] % 3] = '*';
        Fprint(f, "%3li %3li %10.2lE %10.2lE %10.2lE%c %10.2lE%c %10.2lE%c\n", (long)(i + 1), (long)Bou[k], Xb[k],
               Yb[k], Ub[k], mark[0], dUdN[k], mark[1], dUdT[k], mark[2]);
    }
    CloseOutput(f, 711);
}

void WriteBoundaries(const char *name)
{
    FILE *f = CreateOutput("boundary output file", name, 737);
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1];
        Fprint(f, "%.9lG %.9lG %li\n", Xb[e - 1], Yb[e - 1], (long)b);
        for (int p = s; p < e; p++)
            Fprint(f, "%.9lG %.9lG %li\n", Xb[p], Yb[p], (long)b);
    }
    CloseOutput(f, 737);
}

/* results.cpp: the results table and the boundary outline */
#include <cstdlib>

#include "driver/diag.h"
#include "model/model.h"
#include "output/output.h"

void WriteResults(const char *name)
{
    PrintLabel(stdout, "results output file");
    Fprint(stdout, "%s\n", name);
    FILE *f = OpenFile(name, "wb");
    if (!f)
        ErrorExit(711, "can't create output file");
    Fprint(f, "        BOUNDARY POINTS (* indicates boundary condition)\n");
    Fprint(f, "pnt bou      X          Y           U        dU/dN       dU/dT\n");
    for (int i = 0; i < Nb; i++) {
        int k = std::abs(Pnt[i]) - 1; /* the point read (i+1)-th */
        char mark[3] = {' ', ' ', ' '};
        mark[Bc[k] % 3] = '*';
        Fprint(f, "%3li %3li %10.2lE %10.2lE %10.2lE%c %10.2lE%c %10.2lE%c\n", (long)(i + 1), (long)Bou[k], Xb[k],
               Yb[k], Ub[k], mark[0], dUdN[k], mark[1], dUdT[k], mark[2]);
    }
    CloseFile(f);
}

void WriteBoundaries(const char *name)
{
    PrintLabel(stdout, "boundary output file");
    Fprint(stdout, "%s\n", name);
    FILE *f = OpenFile(name, "wb");
    if (!f)
        ErrorExit(737, "can't create output file");
    for (int b = 0; b < Nbnd; b++) {
        int s = Ibnd[b], e = Ibnd[b + 1];
        Fprint(f, "%.9lG %.9lG %li\n", Xb[e - 1], Yb[e - 1], (long)b);
        for (int p = s; p < e; p++)
            Fprint(f, "%.9lG %.9lG %li\n", Xb[p], Yb[p], (long)b);
    }
    CloseFile(f);
}

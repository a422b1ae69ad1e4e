/* main.cpp: the run of one input file, phase after phase */
#include "driver/diag.h"
#include "field/field.h"
#include "input/input.h"
#include "model/model.h"
#include "output/output.h"
#include "output/plots.h"
#include "solver/assemble.h"

static const char *Version = "2.31";

int main(int argc, char **argv)
{
    LimitMemory();
    Fprint(stdout, "KAVOR/%s: Boundary Element Method for Potential Fields\n", Version);
    Fprint(stdout, "  written by the KAVOR developers\n");
    if (argc != 2) {
        Fprint(stderr, "wrong number of parameters... try\nKAVOR d:\\path\\file.ext\n");
        return 1;
    }
    ReadInput(argv[1]);
    AssembleAndSolve();
    WriteResults("KAVOR.OUT");
    WriteBoundaries("KAVOR.P2D");
    EvaluateField("KAVOR.V2D");
    if (Nx != 0)
        WriteContours("KAVOR.TRI", "KAV0R.QM4");
    WriteVectorPlot("KAVOR.QM4");
    Fprint(stderr, "for velocity vectors run QM4 KAVOR.QM4\n");
    if (Nx != 0)
        Fprint(stderr, "for potential contours run QM4 KAV0R.QM4\n");
    return 0;
}

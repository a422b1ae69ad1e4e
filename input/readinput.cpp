/* readinput.cpp: the input file: title, counts and boundary lines.
 *
 * Lines end in LF or CR LF; a CR LF pair is one line end and counts as one
 * character towards the line limits, a lone CR is an ordinary character.
 * A line longer than its buffer is taken in pieces, each piece counted as a
 * line of its own.
 */
#include "input/input.h"

#include <climits>
#include <cmath>

#include "driver/diag.h"
#include "model/model.h"

void ReadLine(char *buf, int size, FILE *f)
{
    for (;;) {
        int n = 0;
        while (n < size - 1) {
            int c = getc(f);
            if (c == EOF)
                break;
            if (c == '\r') {
                int d = getc(f);
                if (d == '\n')
                    c = '\n';
                else if (d != EOF)
                    ungetc(d, f);
            }
            buf[n++] = (char)c;
            if (c == '\n')
                break;
        }
        if (n == 0)
            ErrorExit(1036, "unexpected end of input file at line %li", Nline);
        Nline++;
        if (buf[n - 1] == '\n')
            n--;
        buf[n] = '\0';
        if (n > 0 && buf[0] != '*')
            return;
    }
}

/* the counts line "Nb Ni"; both must fit a 32-bit count */
static void ReadCounts(FILE *f)
{
    long nb, ni;
    bool r1, r2;
    ReadLine(Line, sizeof Line, f);
    const char *p = ScanLong(Line, &nb, &r1);
    if (p)
        p = ScanLong(p, &ni, &r2);
    if (!p || !r1 || !r2 || nb < INT_MIN || nb > INT_MAX || ni < -INT_MAX || ni > INT_MAX)
        ErrorExit(1063, "scan error reading Nb,Ni");
    Nb = (int)nb;
    Ni = (int)ni;
}

/* every array of the boundary model, in a fixed order */
static void AllocModel(void)
{
    size_t n = (size_t)Nb;
    Bc = (int *)AllocArray(1074, n, sizeof(int));
    Pnt = (int *)AllocArray(1075, n, sizeof(int));
    Bou = (int *)AllocArray(1076, n, sizeof(int));
    Ibnd = (int *)AllocArray(1077, n, sizeof(int));
    Lb = (double *)AllocArray(1078, n, sizeof(double));
    Ub = (double *)AllocArray(1079, n, sizeof(double));
    dUdN = (double *)AllocArray(1080, n, sizeof(double));
    dUdT = (double *)AllocArray(1081, n, sizeof(double));
    Xb = (double *)AllocArray(1082, n, sizeof(double));
    Yb = (double *)AllocArray(1083, n, sizeof(double));
    G = (double **)AllocArray(1084, n, sizeof(double *));
    for (size_t i = 0; i < n; i++)
        G[i] = (double *)AllocArray(1086, n, sizeof(double));
    H = (double **)AllocArray(1087, n, sizeof(double *));
    for (size_t i = 0; i < n; i++)
        H[i] = (double *)AllocArray(1089, n, sizeof(double));
    if (Ni > 0) {
        Xi = (double *)AllocArray(1092, (size_t)Ni, sizeof(double));
        Yi = (double *)AllocArray(1093, (size_t)Ni, sizeof(double));
    }
}

/* the Nb boundary lines "x, y, type, value" */
static void ReadBoundaryPoints(FILE *f)
{
    for (int p = 0; p < Nb; p++) {
        ReadLine(Line, sizeof Line, f);
        long type = 0;
        bool range = true;
        const char *s = ScanReal(Line, &Xb[p]);
        if (s)
            s = ScanSep(s);
        if (s)
            s = ScanReal(s, &Yb[p]);
        if (s)
            s = ScanSep(s);
        if (s)
            s = ScanLong(s, &type, &range);
        if (s)
            s = ScanSep(s);
        if (s)
            s = ScanReal(s, &Ub[p]);
        if (!s)
            ErrorExit(1102, "scan error on Xb,Yb,Bc,Ub at line %li", Nline);
        if (!range || type < 0 || type > 5)
            ErrorExit(1104, "unexpected boundary condition type (expected 0-5)");
        Bc[p] = (int)type;
        Pnt[p] = p + 1;
    }
}

/* the Ni internal point lines "x, y" */
static void ReadInternalPoints(FILE *f)
{
    if (Ni <= 0)
        return;
    PrintLabel(stdout, "reading internal points");
    for (int k = 0; k < Ni; k++) {
        ReadLine(Line, sizeof Line, f);
        const char *s = ScanReal(Line, &Xi[k]);
        if (s)
            s = ScanSep(s);
        if (s)
            s = ScanReal(s, &Yi[k]);
        if (!s)
            ErrorExit(1259, "scan error on X,Y at line %li", Nline);
    }
    Fprint(stdout, "OK\n");
}

#ifdef KAVOR_FUZZ
/* The fuzzing build runs small problems only, so that a long computation is
   never taken for a hang: at most 300 boundary points, and at most two
   hundred thousand element evaluations at the internal or grid points. */
static const double FuzzWork = 2e5;

/* ends a run that is too large for the fuzzing build */
static void FuzzLimit(bool big)
{
    if (big)
        ErrorExit(99, "problem too large for the fuzzing build");
}
#endif

void ReadInput(const char *path)
{
    Fprint(stdout, "input file: %s\n", path);
    FILE *f = OpenFile(path, "rb");
    if (!f)
        ErrorExit(1055, "can't open input file");
    ReadLine(Title, sizeof Title, f);
    Fprint(stdout, "title: %s\n", Title);
    ReadCounts(f);
    PrintLabel(stdout, "number of boundary points");
    Fprint(stdout, "%li\n", (long)Nb);
    PrintLabel(stdout, "number of internal points");
    Fprint(stdout, "%li\n", (long)Ni);
    if (Nb < 3)
        ErrorExit(1071, "less than 3 boundary points");
#ifdef KAVOR_FUZZ
    FuzzLimit(Nb > 300 || (double)Ni * Nb > FuzzWork);
#endif
    PrintLabel(stdout, "allocating memory");
    AllocModel();
    PrintMemory();
    PrintLabel(stdout, "reading boundary points");
    ReadBoundaryPoints(f);
    Fprint(stdout, "OK\n");
    PrepareBoundaries();
#ifdef KAVOR_FUZZ
    if (Ni < 0) { /* the grid's points, counted as the field evaluation will */
        double h = std::sqrt(Anet / -(double)Ni);
        double nx = (Xmax - Xmin) / h + 1, ny = (Ymax - Ymin) / h + 1;
        FuzzLimit(!(nx * ny * Nb <= FuzzWork));
    }
#endif
    ReadInternalPoints(f);
    CloseFile(f);
}

/* rowkernels.h: the two inner loops of the elimination, one version per
 * instruction set, chosen at run time for the processor at hand.
 *
 * Every version computes each entry as one product followed by one
 * difference, each rounded on its own (never a fused multiply-add), so all of
 * them give the same bits; they differ only in how many entries they take at
 * once.  Magnitudes are compared as the plain scan does: a NaN never counts.
 */
#ifndef KAVOR_ROWKERNELS_H
#define KAVOR_ROWKERNELS_H

/* the instruction sets, from the plainest up */
enum { KernelScalar, KernelSSE2, KernelAVX2, KernelAVX512, KernelCount };

struct RowKernels {
    /* a[c] = a[c] - f*p[c] for c < m; returns the largest |a[c]| after the
       update, NaN left out, or -1 when every entry is NaN */
    double (*update)(double *a, const double *p, double f, int m);
    /* update for two rows a and b with the same p, multipliers f and g;
       their results to *ma and *mb (two streams at once keep more of the
       memory busy) */
    void (*update2)(double *a, double *b, const double *p, double f, double g, int m, double *ma, double *mb);
    /* the largest |a[c]| for c < m, NaN left out, or -1 when there is none */
    double (*max)(const double *a, int m);
    const char *name;
};

/* the set in use: the widest one the processor has, unless UseKernels chose */
const RowKernels *Kernels(void);

/* the set for an instruction set, or NULL when this processor or this build
   lacks it */
const RowKernels *KernelsFor(int isa);

/* puts the set of isa in use (tests and measurements compare them); returns
   0 and changes nothing when it is not available */
int UseKernels(int isa);

#endif

/* rowkernels.cpp: row update and row maximum of the elimination, plain and
 * with SSE2, AVX2 and AVX-512 vectors, and the choice among them.
 *
 * The vector versions multiply and then subtract as two instructions; the
 * build forbids contraction (-ffp-contract=off), which the target attributes
 * below do not change, so no fused multiply-add appears and every entry is
 * rounded exactly as in the plain loop.  The running maxima start at -1,
 * below every magnitude, and take a new value only where it is greater
 * (MAXPD keeps its second operand when the first is NaN), so a NaN never
 * enters them; the maximum of a set does not depend on the order in which
 * the lanes are combined.
 */
#include "solver/rowkernels.h"

#include <cmath>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define KAVOR_X86 1
#include <immintrin.h>
#endif

/* ---- plain ---- */

static double UpdateScalar(double *a, const double *p, double f, int m)
{
    double mx = -1.0;
    for (int c = 0; c < m; c++) {
        double t = f * p[c];
        double v = a[c] - t;
        a[c] = v;
        if (std::fabs(v) > mx)
            mx = std::fabs(v);
    }
    return mx;
}

static void Update2Scalar(double *a, double *b, const double *p, double f, double g, int m, double *ma,
                          double *mb)
{
    *ma = UpdateScalar(a, p, f, m);
    *mb = UpdateScalar(b, p, g, m);
}

static double MaxScalar(const double *a, int m)
{
    double mx = -1.0;
    for (int c = 0; c < m; c++)
        if (std::fabs(a[c]) > mx)
            mx = std::fabs(a[c]);
    return mx;
}

#ifdef KAVOR_X86

/* ---- SSE2: two entries at a time ---- */

__attribute__((target("sse2"))) static double Max128(__m128d v)
{
    return _mm_cvtsd_f64(_mm_max_sd(v, _mm_unpackhi_pd(v, v)));
}

__attribute__((target("sse2"))) static double UpdateSSE2(double *a, const double *p, double f, int m)
{
    const __m128d F = _mm_set1_pd(f), S = _mm_set1_pd(-0.0);
    __m128d M0 = _mm_set1_pd(-1.0), M1 = M0;
    int c = 0;
    for (; c + 4 <= m; c += 4) {
        __m128d v0 = _mm_sub_pd(_mm_loadu_pd(a + c), _mm_mul_pd(F, _mm_loadu_pd(p + c)));
        __m128d v1 = _mm_sub_pd(_mm_loadu_pd(a + c + 2), _mm_mul_pd(F, _mm_loadu_pd(p + c + 2)));
        _mm_storeu_pd(a + c, v0);
        _mm_storeu_pd(a + c + 2, v1);
        M0 = _mm_max_pd(_mm_andnot_pd(S, v0), M0);
        M1 = _mm_max_pd(_mm_andnot_pd(S, v1), M1);
    }
    double mx = Max128(_mm_max_pd(M0, M1));
    for (; c < m; c++) {
        double t = f * p[c];
        double v = a[c] - t;
        a[c] = v;
        if (std::fabs(v) > mx)
            mx = std::fabs(v);
    }
    return mx;
}

__attribute__((target("sse2"))) static void Update2SSE2(double *a, double *b, const double *p, double f, double g,
                                                        int m, double *ma, double *mb)
{
    const __m128d F = _mm_set1_pd(f), H = _mm_set1_pd(g), S = _mm_set1_pd(-0.0);
    __m128d M = _mm_set1_pd(-1.0), N = M;
    int c = 0;
    for (; c + 2 <= m; c += 2) {
        __m128d P = _mm_loadu_pd(p + c);
        __m128d v = _mm_sub_pd(_mm_loadu_pd(a + c), _mm_mul_pd(F, P));
        __m128d w = _mm_sub_pd(_mm_loadu_pd(b + c), _mm_mul_pd(H, P));
        _mm_storeu_pd(a + c, v);
        _mm_storeu_pd(b + c, w);
        M = _mm_max_pd(_mm_andnot_pd(S, v), M);
        N = _mm_max_pd(_mm_andnot_pd(S, w), N);
    }
    *ma = Max128(M);
    *mb = Max128(N);
    if (c < m) { /* the last entry */
        double v = a[c] - f * p[c], w = b[c] - g * p[c];
        a[c] = v;
        b[c] = w;
        if (std::fabs(v) > *ma)
            *ma = std::fabs(v);
        if (std::fabs(w) > *mb)
            *mb = std::fabs(w);
    }
}

__attribute__((target("sse2"))) static double MaxSSE2(const double *a, int m)
{
    const __m128d S = _mm_set1_pd(-0.0);
    __m128d M0 = _mm_set1_pd(-1.0), M1 = M0;
    int c = 0;
    for (; c + 4 <= m; c += 4) {
        M0 = _mm_max_pd(_mm_andnot_pd(S, _mm_loadu_pd(a + c)), M0);
        M1 = _mm_max_pd(_mm_andnot_pd(S, _mm_loadu_pd(a + c + 2)), M1);
    }
    double mx = Max128(_mm_max_pd(M0, M1));
    for (; c < m; c++)
        if (std::fabs(a[c]) > mx)
            mx = std::fabs(a[c]);
    return mx;
}

/* ---- AVX2: four entries at a time ---- */

__attribute__((target("avx2"))) static double Max256(__m256d v)
{
    __m128d h = _mm_max_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1));
    return _mm_cvtsd_f64(_mm_max_sd(h, _mm_unpackhi_pd(h, h)));
}

__attribute__((target("avx2"))) static double UpdateAVX2(double *a, const double *p, double f, int m)
{
    const __m256d F = _mm256_set1_pd(f), S = _mm256_set1_pd(-0.0);
    __m256d M0 = _mm256_set1_pd(-1.0), M1 = M0;
    int c = 0;
    for (; c + 8 <= m; c += 8) {
        __m256d v0 = _mm256_sub_pd(_mm256_loadu_pd(a + c), _mm256_mul_pd(F, _mm256_loadu_pd(p + c)));
        __m256d v1 = _mm256_sub_pd(_mm256_loadu_pd(a + c + 4), _mm256_mul_pd(F, _mm256_loadu_pd(p + c + 4)));
        _mm256_storeu_pd(a + c, v0);
        _mm256_storeu_pd(a + c + 4, v1);
        M0 = _mm256_max_pd(_mm256_andnot_pd(S, v0), M0);
        M1 = _mm256_max_pd(_mm256_andnot_pd(S, v1), M1);
    }
    double mx = Max256(_mm256_max_pd(M0, M1));
    for (; c < m; c++) {
        double t = f * p[c];
        double v = a[c] - t;
        a[c] = v;
        if (std::fabs(v) > mx)
            mx = std::fabs(v);
    }
    return mx;
}

__attribute__((target("avx2"))) static void Update2AVX2(double *a, double *b, const double *p, double f, double g,
                                                        int m, double *ma, double *mb)
{
    const __m256d F = _mm256_set1_pd(f), H = _mm256_set1_pd(g), S = _mm256_set1_pd(-0.0);
    __m256d M = _mm256_set1_pd(-1.0), N = M;
    int c = 0;
    for (; c + 4 <= m; c += 4) {
        __m256d P = _mm256_loadu_pd(p + c);
        __m256d v = _mm256_sub_pd(_mm256_loadu_pd(a + c), _mm256_mul_pd(F, P));
        __m256d w = _mm256_sub_pd(_mm256_loadu_pd(b + c), _mm256_mul_pd(H, P));
        _mm256_storeu_pd(a + c, v);
        _mm256_storeu_pd(b + c, w);
        M = _mm256_max_pd(_mm256_andnot_pd(S, v), M);
        N = _mm256_max_pd(_mm256_andnot_pd(S, w), N);
    }
    double x = Max256(M), y = Max256(N);
    for (; c < m; c++) {
        double v = a[c] - f * p[c], w = b[c] - g * p[c];
        a[c] = v;
        b[c] = w;
        if (std::fabs(v) > x)
            x = std::fabs(v);
        if (std::fabs(w) > y)
            y = std::fabs(w);
    }
    *ma = x;
    *mb = y;
}

__attribute__((target("avx2"))) static double MaxAVX2(const double *a, int m)
{
    const __m256d S = _mm256_set1_pd(-0.0);
    __m256d M0 = _mm256_set1_pd(-1.0), M1 = M0;
    int c = 0;
    for (; c + 8 <= m; c += 8) {
        M0 = _mm256_max_pd(_mm256_andnot_pd(S, _mm256_loadu_pd(a + c)), M0);
        M1 = _mm256_max_pd(_mm256_andnot_pd(S, _mm256_loadu_pd(a + c + 4)), M1);
    }
    double mx = Max256(_mm256_max_pd(M0, M1));
    for (; c < m; c++)
        if (std::fabs(a[c]) > mx)
            mx = std::fabs(a[c]);
    return mx;
}

/* ---- AVX-512: eight entries at a time, the ragged ends under a mask ---- */

/* GCC 12's own intrinsics fill unused lanes from a deliberately undefined
   vector and then warn about it */
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

/* the first n of eight lanes, n <= 8 */
__attribute__((target("avx512f"))) static __mmask8 Lanes(int n)
{
    return (__mmask8)((1u << n) - 1u);
}

__attribute__((target("avx512f"))) static double UpdateAVX512(double *a, const double *p, double f, int m)
{
    const __m512d F = _mm512_set1_pd(f);
    __m512d M0 = _mm512_set1_pd(-1.0), M1 = M0;
    int c = 0;
    /* first the entries up to a 64-byte boundary of a, so that the stores
       of the main loop never split a cache line */
    int lead = (int)((64 - ((uintptr_t)a & 63)) & 63) / 8;
    if (lead > m)
        lead = m;
    if (lead > 0) {
        __mmask8 k = Lanes(lead);
        __m512d v = _mm512_sub_pd(_mm512_maskz_loadu_pd(k, a), _mm512_mul_pd(F, _mm512_maskz_loadu_pd(k, p)));
        _mm512_mask_storeu_pd(a, k, v);
        M0 = _mm512_mask_max_pd(M0, k, _mm512_abs_pd(v), M0);
        c = lead;
    }
    for (; c + 16 <= m; c += 16) {
        __m512d v0 = _mm512_sub_pd(_mm512_load_pd(a + c), _mm512_mul_pd(F, _mm512_loadu_pd(p + c)));
        __m512d v1 = _mm512_sub_pd(_mm512_load_pd(a + c + 8), _mm512_mul_pd(F, _mm512_loadu_pd(p + c + 8)));
        _mm512_store_pd(a + c, v0);
        _mm512_store_pd(a + c + 8, v1);
        M0 = _mm512_max_pd(_mm512_abs_pd(v0), M0);
        M1 = _mm512_max_pd(_mm512_abs_pd(v1), M1);
    }
    for (; c < m; c += 8) {
        __mmask8 k = m - c >= 8 ? (__mmask8)0xFF : Lanes(m - c);
        __m512d v = _mm512_sub_pd(_mm512_maskz_loadu_pd(k, a + c), _mm512_mul_pd(F, _mm512_maskz_loadu_pd(k, p + c)));
        _mm512_mask_storeu_pd(a + c, k, v);
        M1 = _mm512_mask_max_pd(M1, k, _mm512_abs_pd(v), M1);
    }
    return _mm512_reduce_max_pd(_mm512_max_pd(M0, M1));
}

__attribute__((target("avx512f"))) static void Update2AVX512(double *a, double *b, const double *p, double f,
                                                             double g, int m, double *ma, double *mb)
{
    const __m512d F = _mm512_set1_pd(f), H = _mm512_set1_pd(g);
    __m512d M = _mm512_set1_pd(-1.0), N = M;
    for (int c = 0; c < m; c += 8) {
        __mmask8 k = m - c >= 8 ? (__mmask8)0xFF : Lanes(m - c);
        __m512d P = _mm512_maskz_loadu_pd(k, p + c);
        __m512d v = _mm512_sub_pd(_mm512_maskz_loadu_pd(k, a + c), _mm512_mul_pd(F, P));
        __m512d w = _mm512_sub_pd(_mm512_maskz_loadu_pd(k, b + c), _mm512_mul_pd(H, P));
        _mm512_mask_storeu_pd(a + c, k, v);
        _mm512_mask_storeu_pd(b + c, k, w);
        M = _mm512_mask_max_pd(M, k, _mm512_abs_pd(v), M);
        N = _mm512_mask_max_pd(N, k, _mm512_abs_pd(w), N);
    }
    *ma = _mm512_reduce_max_pd(M);
    *mb = _mm512_reduce_max_pd(N);
}

__attribute__((target("avx512f"))) static double MaxAVX512(const double *a, int m)
{
    __m512d M0 = _mm512_set1_pd(-1.0), M1 = M0;
    int c = 0;
    for (; c + 16 <= m; c += 16) {
        M0 = _mm512_max_pd(_mm512_abs_pd(_mm512_loadu_pd(a + c)), M0);
        M1 = _mm512_max_pd(_mm512_abs_pd(_mm512_loadu_pd(a + c + 8)), M1);
    }
    for (; c < m; c += 8) {
        __mmask8 k = m - c >= 8 ? (__mmask8)0xFF : Lanes(m - c);
        M0 = _mm512_mask_max_pd(M0, k, _mm512_abs_pd(_mm512_maskz_loadu_pd(k, a + c)), M0);
    }
    return _mm512_reduce_max_pd(_mm512_max_pd(M0, M1));
}

#endif /* KAVOR_X86 */

static const RowKernels Sets[KernelCount] = {
    {UpdateScalar, Update2Scalar, MaxScalar, "scalar"},
#ifdef KAVOR_X86
    {UpdateSSE2, Update2SSE2, MaxSSE2, "SSE2"},
    {UpdateAVX2, Update2AVX2, MaxAVX2, "AVX2"},
    {UpdateAVX512, Update2AVX512, MaxAVX512, "AVX-512"},
#else
    {NULL, NULL, NULL, "SSE2"},
    {NULL, NULL, NULL, "AVX2"},
    {NULL, NULL, NULL, "AVX-512"},
#endif
};

/* whether the processor runs the instructions of isa */
static int Has(int isa)
{
#ifdef KAVOR_X86
    __builtin_cpu_init();
    switch (isa) {
    case KernelScalar:
        return 1;
    case KernelSSE2:
        return __builtin_cpu_supports("sse2");
    case KernelAVX2:
        return __builtin_cpu_supports("avx2");
    case KernelAVX512:
        return __builtin_cpu_supports("avx512f");
    }
    return 0;
#else
    return isa == KernelScalar;
#endif
}

static const RowKernels *Current;

const RowKernels *KernelsFor(int isa)
{
    if (isa < 0 || isa >= KernelCount || !Has(isa))
        return NULL;
    return &Sets[isa];
}

const RowKernels *Kernels(void)
{
    if (!Current)
        for (int isa = KernelCount - 1; isa >= 0 && !Current; isa--)
            Current = KernelsFor(isa);
    return Current;
}

int UseKernels(int isa)
{
    const RowKernels *k = KernelsFor(isa);
    if (!k)
        return 0;
    Current = k;
    return 1;
}

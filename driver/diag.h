/* diag.h: fatal errors, counted allocation, progress labels, open files.
 *
 * Every failure of a run ends in ErrorExit with a fixed code; every array is
 * obtained zero-filled through AllocArray, which counts the bytes in Nbytes.
 */
#ifndef KAVOR_DIAG_H
#define KAVOR_DIAG_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "driver/format.h"

extern uint64_t Nbytes; /* bytes obtained through counted allocations */

/* prints the numbered message to stderr, closes every open file, exits 1 */
[[noreturn]] void ErrorExit(int code, const char *fmt, ...) KAVOR_PRINTF(2, 3);

/* count*size zero bytes, counted in Nbytes; ErrorExit(code) if they don't fit */
void *AllocArray(int code, size_t count, size_t size);

/* releases a counted block; Nbytes keeps counting it */
void FreeArray(void *p);

/* prints a label and its dot leader so that the value starts in column 52 */
void PrintLabel(FILE *f, const char *fmt, ...) KAVOR_PRINTF(2, 3);

/* Nbytes in whole kilobytes, rounded up */
uint64_t KBytes(uint64_t n);

/* prints the memory report "%lu KB" of everything allocated so far */
void PrintMemory(void);

/* opens a file that ErrorExit will close; NULL on failure */
FILE *OpenFile(const char *name, const char *mode);
void CloseFile(FILE *f);

/* prints the label and the name of an output file, then creates it;
   ErrorExit(code) when it cannot be created */
FILE *CreateOutput(const char *label, const char *name, int code);

/* completes an output file; ErrorExit(code) when any of its writes, the
   flush or the close failed, so that a full disk is never taken for success */
void CloseOutput(FILE *f, int code);

/* caps the address space at the physical memory, so that an allocation the
   machine cannot back fails at once instead of the system killing the run */
void LimitMemory(void);

#endif

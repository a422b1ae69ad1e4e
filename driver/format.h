/* format.h: printf-style output with exponents of at least three digits.
 *
 * Every %E, %e, %G and %g conversion the program prints goes through these
 * routines, so 1 reads 1.00E+000 in a "%10.2lE" field and 0.00001 reads
 * 1E-005 in "%.9lG", on the console and in the files alike.  Lines written
 * to a file (any stream but stdout and stderr) end in "\r\n".
 */
#ifndef KAVOR_FORMAT_H
#define KAVOR_FORMAT_H

#include <cstdarg>
#include <cstdio>
#include <string>

#define KAVOR_PRINTF(f, a) __attribute__((format(printf, f, a)))

/* appends the formatted text to out; returns the number of characters added */
size_t Vformat(std::string &out, const char *fmt, va_list ap);
std::string Format(const char *fmt, ...) KAVOR_PRINTF(1, 2);

/* writes the formatted text to f; a file gets "\r\n" for every "\n" */
void Vfprint(FILE *f, const char *fmt, va_list ap);
void Fprint(FILE *f, const char *fmt, ...) KAVOR_PRINTF(2, 3);

#endif

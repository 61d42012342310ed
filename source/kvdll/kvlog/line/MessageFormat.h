// The caller's printf-style format rendered by hand, for the conversions that log messages use:
// flags "-+ 0", widths and precisions (also "*"), the lengths hh, h, l, ll and z, and the
// conversions d, i, u, o, x, X, c, s, f, F, e, E, g, G and "%%". Numbers with a fraction are
// rendered exactly, as the C library renders them.
#pragma once

#include <cstdarg>

// Writes the text and a terminating zero into the buffer and returns its length; -1 when the
// format holds anything else ("#", "%p", "%n", wide texts, a null text, a blank flag on an
// unsigned conversion, a value that is not a finite number, a locale whose decimal point is no
// ".") or the text does not fit. The caller then formats with vsnprintf, whose result this equals
// wherever it returns a length.
int FormatMessageByHand(char* buffer, int size, const char* format, va_list args);

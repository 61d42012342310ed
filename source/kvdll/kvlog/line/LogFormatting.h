// printf-style formatting into an existing text, reusing its storage so that steady logging
// does not allocate.
#pragma once

#include "CString.h"

#include <cstdarg>

// False when the C library rejects the format; the target is then empty.
bool FormatInto(CString& target, const char* format, ...) KV_PRINTF_FORMAT(2, 3);
bool FormatIntoV(CString& target, const char* format, va_list args);

// How the C library writes numbers in the program's current locale.
#pragma once

namespace os
{
// True when the C library's decimal point is ".", as in the "C" locale.
bool IsDecimalPointDot();
} // namespace os

// Level masks as an operator writes and reads them: a number (hexadecimal with "0x", else
// decimal) or level names joined by "|" ("Error|Warning|Debug"), ignoring letter case.
#pragma once

#include "CString.h"

// False, leaving mask alone, when the text is neither a 32-bit number nor a list of known names.
bool ParseLevel(const char* text, unsigned long& mask);
// "0x0000800F (Error|Warning|Information|Success|Debug)"; bits without a name as "0x10".
CString DescribeLevel(unsigned long mask);

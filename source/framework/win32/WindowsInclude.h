// The one place that includes <windows.h>; framework Win32 sources include it before anything
// else, so that the framework's own declarations of the same types defer to the system's.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

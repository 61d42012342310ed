// The nine-line banners through which the logging machinery reports its own errors and warnings
// on the debugger output.
#pragma once

#include "CString.h"

enum class LogBanner
{
    kCalledTwice,
    kCalledAfterFirstLog,
    kUsingApplicationName,
    kCouldNotOpenLogfile
};

// Nine LF-ended lines: eight of 78 characters and a last one of 39 backslashes.
CString BannerText(LogBanner banner);
void WriteBanner(LogBanner banner);

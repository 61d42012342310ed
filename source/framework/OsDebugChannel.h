// The platform's raw debugger channel, beneath the capture of OsDebugOutput.h.
#pragma once

namespace os
{
void WriteDebugChannel(const char* text);
} // namespace os

// The platform's raw debugger channel, beneath the capture of OsDebugOutput.h.
#pragma once

namespace os
{
// Writes the text in one piece where the platform allows. On POSIX, when standard error is a
// terminal, a text with a colour (0x00RRGGBB, 0 for none) is written in it as a 24-bit ANSI
// escape, reset before the final line feed; NO_COLOR (non-empty) turns colours off, and
// CLICOLOR_FORCE (non-empty, not "0") turns them on without a terminal, NO_COLOR winning. The
// choice is made once, at the first coloured text. The Windows debugger output shows no colour.
void WriteDebugChannel(const char* text, unsigned long colour);
} // namespace os

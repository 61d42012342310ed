// The debugger channel. On Windows it is OutputDebugStringA; on POSIX the text goes to standard
// error byte for byte. A capture installed by a test takes the text instead, in-process.
#pragma once

#include "CString.h"

namespace os
{
void OutputDebugStringA(const char* text);
// A line of the log in its colour (0x00RRGGBB, 0 for none). Only a terminal shows the colour
// (see WriteDebugChannel); a capture receives the text alone.
void OutputDebugLine(const char* text, unsigned long colour);
// Across a fork the channel's lock is held, so that a child finds it free whichever thread of
// the parent was writing; the try fails at once while another thread holds it.
bool TryLockDebugOutputForFork();
void UnlockDebugOutputAfterFork();

// While an instance lives, every text sent to the debugger channel is appended to it instead of
// reaching the channel. Instances nest; the newest one receives. Thread-safe.
class DebugOutputCapture
{
public:
    DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;
    ~DebugOutputCapture();

    CString GetText() const;
    void Clear();

private:
    friend void OutputDebugLine(const char* text, unsigned long colour);
    void Append(const char* text);

    DebugOutputCapture* m_previous;
    CString m_text;
};
} // namespace os

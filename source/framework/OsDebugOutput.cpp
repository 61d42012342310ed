#include "OsDebugOutput.h"

#include "OsDebugChannel.h"

#include <mutex>

namespace os
{
namespace
{
std::mutex g_captureMutex;
DebugOutputCapture* g_capture = nullptr;
} // namespace

void OutputDebugStringA(const char* text)
{
    OutputDebugLine(text, 0);
}

void OutputDebugLine(const char* text, unsigned long colour)
{
    if (text == nullptr)
        return;
    std::lock_guard<std::mutex> lock(g_captureMutex);
    if (g_capture != nullptr)
        g_capture->Append(text);
    else
        WriteDebugChannel(text, colour);
}

bool TryLockDebugOutputForFork()
{
    return g_captureMutex.try_lock();
}

void UnlockDebugOutputAfterFork()
{
    g_captureMutex.unlock();
}

DebugOutputCapture::DebugOutputCapture()
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    m_previous = g_capture;
    g_capture = this;
}

DebugOutputCapture::~DebugOutputCapture()
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    g_capture = m_previous;
}

CString DebugOutputCapture::GetText() const
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    return m_text;
}

void DebugOutputCapture::Clear()
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    m_text.Empty();
}

void DebugOutputCapture::Append(const char* text)
{
    m_text += text;
}
} // namespace os

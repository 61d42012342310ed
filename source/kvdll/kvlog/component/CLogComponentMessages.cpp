// The printf-style entry points of a component: each formats under the component's lock into
// the growing message buffer and hands the message to the open composed line or the controller.
#include "controller/CLineLock.h"
#include "controller/CLogControl.h"
#include "kvlog.h"
#include "line/LogFormatting.h"
#include "line/MessageFormat.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace
{
// Ends a message that was cut because no memory was left for the whole text.
const char kCutMark[] = "[...]";
const std::size_t kLocalMessageSize = 1024;

const char* OrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}
} // namespace

void CLogComponent::Log(const char* file, unsigned long line, const char* function,
                        unsigned long level, const char* levelString, const char* format, ...)
{
    if (!IsLevelEnabled(level))
        return;
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, nullptr, kPlainMessage, nullptr, format,
            args);
    va_end(args);
}

void CLogComponent::LogID(const char* file, unsigned long line, const char* function,
                          unsigned long level, const char* levelString, const char* id,
                          const char* format, ...)
{
    if (!IsLevelEnabled(level))
        return;
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, id, kPlainMessage, nullptr, format, args);
    va_end(args);
}

void CLogComponent::LogID(const char* file, unsigned long line, const char* function,
                          unsigned long level, const char* levelString, unsigned long id,
                          const char* format, ...)
{
    if (!IsLevelEnabled(level))
        return;
    CLineLock lock(m_lock);
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, hlpFormatId(id), kPlainMessage, nullptr,
            format, args);
    va_end(args);
}

void CLogComponent::LogFunc(const char* file, unsigned long line, const char* function,
                            unsigned long level, const char* levelString, const char* format, ...)
{
    if (!IsLevelEnabled(level))
        return;
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, nullptr, kFunctionMessage, nullptr, format,
            args);
    va_end(args);
}

void CLogComponent::LogFuncID(const char* file, unsigned long line, const char* function,
                              unsigned long level, const char* levelString, const char* id,
                              const char* format, ...)
{
    if (!IsLevelEnabled(level))
        return;
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, id, kFunctionMessage, nullptr, format, args);
    va_end(args);
}

void CLogComponent::LogFuncID(const char* file, unsigned long line, const char* function,
                              unsigned long level, const char* levelString, unsigned long id,
                              const char* format, ...)
{
    if (!IsLevelEnabled(level))
        return;
    CLineLock lock(m_lock);
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, hlpFormatId(id), kFunctionMessage, nullptr,
            format, args);
    va_end(args);
}

void CLogComponent::LogText(const char* file, unsigned long line, const char* function,
                            unsigned long level, const char* levelString, const char* id,
                            const char* text)
{
    if (!IsLevelEnabled(level))
        return;
    CLineLock lock(m_lock);
    try
    {
        hlpLogMapper(file, line, function, level, levelString, id, OrEmpty(text));
    }
    catch (...)
    {
        // Out of memory in a composed line: the message is dropped, the caller goes on.
    }
}

void CLogComponent::LogText(const char* file, unsigned long line, const char* function,
                            unsigned long level, const char* levelString, unsigned long id,
                            const char* text)
{
    if (!IsLevelEnabled(level))
        return;
    CLineLock lock(m_lock);
    LogText(file, line, function, level, levelString, hlpFormatId(id), text);
}

void CLogComponent::LogAssert(const char* file, unsigned long line, const char* function,
                              unsigned long level, const char* levelString, const char* expression,
                              const char* format, ...)
{
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, nullptr, kAssertMessage, expression, format,
            args);
    va_end(args);
}

void CLogComponent::LogAssertID(const char* file, unsigned long line, const char* function,
                                unsigned long level, const char* levelString,
                                const char* expression, const char* id, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, id, kAssertMessage, expression, format, args);
    va_end(args);
}

void CLogComponent::LogAssertID(const char* file, unsigned long line, const char* function,
                                unsigned long level, const char* levelString,
                                const char* expression, unsigned long id, const char* format, ...)
{
    CLineLock lock(m_lock);
    va_list args;
    va_start(args, format);
    hlpLogV(file, line, function, level, levelString, hlpFormatId(id), kAssertMessage, expression,
            format, args);
    va_end(args);
}

void CLogComponent::LogEvent(const char*, unsigned long, const char*, unsigned long level,
                             const char* levelString, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    hlpEventV(level, levelString, format, args);
    va_end(args);
}

void CLogComponent::hlpEventV(unsigned long level, const char* levelString, const char* format,
                              va_list args)
{
    CLineLock lock(m_lock);
    CLogControl* controller = CLogControl::PeekInstance();
    if (controller == nullptr)
        return;
    try
    {
        const char* text = hlpFormatV(format, args);
        controller->LogEvent(level, CString(levelString), CString(text));
    }
    catch (...)
    {
        // An event that cannot be delivered is dropped; the caller is never disturbed.
    }
}

void CLogComponent::OldWriteLoggingInfo(const char* file, unsigned long line, const char* function,
                                        unsigned long level, const char* message)
{
    CLogControl* controller = CLogControl::PeekInstance();
    if (controller == nullptr)
        return;
    try
    {
        controller->OutputLine(nullptr, file, line, function, level, nullptr, nullptr, 0,
                               OrEmpty(message));
    }
    catch (...)
    {
    }
}

const char* CLogComponent::hlpFormatId(unsigned long id)
{
    // The ID is shown as the signed 32-bit number, so 4294967295 is "-1".
    CString text;
    AppendSignedDecimal(text, static_cast<int>(static_cast<unsigned int>(id)));
    std::memcpy(m_idText, text.GetString(), static_cast<std::size_t>(text.GetLength()) + 1);
    return m_idText;
}

void CLogComponent::hlpAppendPlace(const char* function, unsigned long line)
{
    m_prefixedMessage += OrEmpty(function);
    m_prefixedMessage += '(';
    AppendSignedDecimal(m_prefixedMessage, static_cast<int>(line));
    m_prefixedMessage += ')';
}

void CLogComponent::hlpLogV(const char* file, unsigned long line, const char* function,
                            unsigned long level, const char* levelString, const char* id,
                            MessageKind kind, const char* expression, const char* format,
                            va_list args)
{
    // A message that the hand formatter renders into this buffer on the caller's stack is
    // formatted before the lock is taken, so that threads format side by side; a longer one, or
    // one with a conversion left to the C library, goes to the component's buffer.
    char local[kLocalMessageSize];
    const int written =
        format != nullptr
            ? FormatMessageByHand(local, static_cast<int>(sizeof(local)), format, args)
            : -1;
    CLineLock lock(m_lock);
    try
    {
        const char* text = written >= 0 ? local : hlpFormatV(format, args);
        const char* message = hlpBuildMessage(function, line, kind, expression, text);
        hlpLogMapper(file, line, function, level, levelString, id, message);
    }
    catch (...)
    {
        // Out of memory while formatting: the message is dropped, the caller goes on.
    }
}

// One call of the C library's formatter for a message that the buffer holds, so the buffer is
// never smaller than the stack buffer; a second one only when the first has measured a longer
// message, which the grown buffer then keeps for the next ones.
const char* CLogComponent::hlpFormatV(const char* format, va_list args)
{
    if (format == nullptr)
        return "";
    if (m_messageBufferSize < kLocalMessageSize)
        hlpIncreaseBuffer(kLocalMessageSize);
    for (;;)
    {
        if (m_messageBuffer == nullptr)
            return format;
        if (FormatMessageByHand(m_messageBuffer, static_cast<int>(m_messageBufferSize), format,
                                args) >= 0)
            return m_messageBuffer;
        va_list attempt;
        va_copy(attempt, args);
        const int written = std::vsnprintf(m_messageBuffer, m_messageBufferSize, format, attempt);
        va_end(attempt);
        // A format the C library rejects is logged as written rather than retried forever.
        if (written < 0)
            return format;
        if (static_cast<unsigned long>(written) < m_messageBufferSize)
            return m_messageBuffer;
        if (!hlpIncreaseBuffer(static_cast<unsigned long>(written) + 1))
            return hlpMarkCut();
    }
}

const char* CLogComponent::hlpBuildMessage(const char* function, unsigned long line,
                                           MessageKind kind, const char* expression,
                                           const char* text)
{
    if (kind == kAssertMessage)
    {
        m_prefixedMessage = "ASSERT(";
        m_prefixedMessage += OrEmpty(expression);
        m_prefixedMessage += ") failed: ";
        hlpAppendPlace(function, line);
        m_prefixedMessage += ":  ";
        m_prefixedMessage += text;
        return m_prefixedMessage;
    }
    if (kind == kPlainMessage)
        return text;
    CLogControl* controller = CLogControl::PeekInstance();
    if (controller == nullptr || controller->HasFunctionField() != 0)
        return text;
    m_prefixedMessage.Empty();
    hlpAppendPlace(function, line);
    m_prefixedMessage += ' ';
    m_prefixedMessage += text;
    return m_prefixedMessage;
}

void CLogComponent::hlpLogMapper(const char* file, unsigned long line, const char* function,
                                 unsigned long level, const char* levelString, const char* id,
                                 const char* message)
{
    if (m_composing != 0)
    {
        m_composedLevel = level;
        m_composedLevelString = levelString;
        if (id != nullptr)
            m_composedId = id;
        m_composedText += message;
        return;
    }
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->OutputLine(m_registration, file, line, function, level, levelString, id,
                               hlpColourOf(level), message);
}

// The buffer only grows, and is kept for the next messages, so that a program's usual messages
// cost no allocation once it has seen its longest.
bool CLogComponent::hlpIncreaseBuffer(unsigned long neededSize)
{
    const unsigned long doubled = m_messageBufferSize * 2;
    const unsigned long grownSize = neededSize > doubled ? neededSize : doubled;
    char* grown = new (std::nothrow) char[grownSize];
    if (grown == nullptr)
        return false;
    delete[] m_messageBuffer;
    m_messageBuffer = grown;
    m_messageBufferSize = grownSize;
    return true;
}

const char* CLogComponent::hlpMarkCut()
{
    const unsigned long markLength = sizeof(kCutMark) - 1;
    if (m_messageBufferSize > markLength)
        std::memcpy(m_messageBuffer + m_messageBufferSize - 1 - markLength, kCutMark, markLength);
    return m_messageBuffer;
}

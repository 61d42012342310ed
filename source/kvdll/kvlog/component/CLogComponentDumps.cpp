// The dump members of CLogComponent: hex dumps of memory with an optional message.
#include "controller/CLineLock.h"
#include "controller/CLogControl.h"
#include "kvlog.h"

#include <cstdarg>

#define KVLOG_DUMP_BODY(id, prefixed)                                                              \
    if (!IsLevelEnabled(level))                                                                    \
        return;                                                                                    \
    CLineLock lock(m_lock);                                                                        \
    va_list args;                                                                                  \
    va_start(args, format);                                                                        \
    hlpDumpV(file, line, function, level, levelString, (id), data, length, (prefixed), format,     \
             args);                                                                                \
    va_end(args)

void CLogComponent::LogDump(const char* file, unsigned long line, const char* function,
                            unsigned long level, const char* levelString, const void* data,
                            unsigned long length, const char* format, ...)
{
    KVLOG_DUMP_BODY(nullptr, false);
}

void CLogComponent::LogDumpID(const char* file, unsigned long line, const char* function,
                              unsigned long level, const char* levelString, const char* id,
                              const void* data, unsigned long length, const char* format, ...)
{
    KVLOG_DUMP_BODY(id, false);
}

void CLogComponent::LogDumpID(const char* file, unsigned long line, const char* function,
                              unsigned long level, const char* levelString, unsigned long id,
                              const void* data, unsigned long length, const char* format, ...)
{
    KVLOG_DUMP_BODY(hlpFormatId(id), false);
}

void CLogComponent::LogFuncDump(const char* file, unsigned long line, const char* function,
                                unsigned long level, const char* levelString, const void* data,
                                unsigned long length, const char* format, ...)
{
    KVLOG_DUMP_BODY(nullptr, true);
}

void CLogComponent::LogFuncDumpID(const char* file, unsigned long line, const char* function,
                                  unsigned long level, const char* levelString, const char* id,
                                  const void* data, unsigned long length, const char* format, ...)
{
    KVLOG_DUMP_BODY(id, true);
}

void CLogComponent::LogFuncDumpID(const char* file, unsigned long line, const char* function,
                                  unsigned long level, const char* levelString, unsigned long id,
                                  const void* data, unsigned long length, const char* format, ...)
{
    KVLOG_DUMP_BODY(hlpFormatId(id), true);
}

#undef KVLOG_DUMP_BODY

void CLogComponent::hlpDumpV(const char* file, unsigned long line, const char* function,
                             unsigned long level, const char* levelString, const char* id,
                             const void* data, unsigned long length, bool prefixed,
                             const char* format, va_list args)
{
    try
    {
        const char* message = format == nullptr ? nullptr : hlpFormatV(format, args);
        if (prefixed)
        {
            m_prefixedMessage.Empty();
            hlpAppendPlace(function, line);
            if (message != nullptr)
            {
                m_prefixedMessage += ' ';
                m_prefixedMessage += message;
            }
            message = m_prefixedMessage;
        }
        hlpLogDumpMapper(file, line, function, level, levelString, id, data, length, message);
    }
    catch (...)
    {
        // Out of memory while formatting: the dump is dropped, the caller goes on.
    }
}

void CLogComponent::hlpLogDumpMapper(const char* file, unsigned long line, const char* function,
                                     unsigned long level, const char* levelString, const char* id,
                                     const void* data, unsigned long length, const char* message)
{
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->OutputDump(m_registration, file, line, function, level, levelString, id, data,
                               length, hlpColourOf(level), message);
}

// The road from the C interface into a component: each va_list call reaches the members that the
// component's own variadic calls use, with the same level test and lock.
#pragma once

#include "kvlog.h"

#include <cstdarg>

class CLogComponentForwarder
{
public:
    enum MessageKind
    {
        kPlainMessage = CLogComponent::kPlainMessage,
        kFunctionMessage = CLogComponent::kFunctionMessage,
        kAssertMessage = CLogComponent::kAssertMessage
    };

    // Asserts skip the level test; the others act only when the level passes the mask.
    static void Message(CLogComponent& component, const char* file, unsigned long line,
                        const char* function, unsigned long level, const char* levelString,
                        const char* id, MessageKind kind, const char* expression,
                        const char* format, va_list args);
    static void NumberedMessage(CLogComponent& component, const char* file, unsigned long line,
                                const char* function, unsigned long level, const char* levelString,
                                unsigned long id, MessageKind kind, const char* expression,
                                const char* format, va_list args);
    // prefixed: the func forms, whose message starts with the function and line.
    static void Dump(CLogComponent& component, const char* file, unsigned long line,
                     const char* function, unsigned long level, const char* levelString,
                     const char* id, const void* data, unsigned long length, bool prefixed,
                     const char* format, va_list args);
    static void NumberedDump(CLogComponent& component, const char* file, unsigned long line,
                             const char* function, unsigned long level, const char* levelString,
                             unsigned long id, const void* data, unsigned long length,
                             bool prefixed, const char* format, va_list args);
    static void Event(CLogComponent& component, unsigned long level, const char* levelString,
                      const char* format, va_list args);
};

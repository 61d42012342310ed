// The message and dump entry points of the C interface. Each variadic function hands its
// arguments to its _v twin, which forwards them into the component.
#include "capi/CLogComponentForwarder.h"
#include "capi/CallGuard.h"

#include <cstdarg>

using kvlog_capi::WithComponent;
using Forwarder = CLogComponentForwarder;

// The level selector as parameters and as arguments.
#define KVLOG_C_SELECTOR                                                                           \
    const char *file, unsigned long line, const char *function, unsigned long level,               \
        const char *levelString
#define KVLOG_C_SELECTED file, line, function, level, levelString

#define KVLOG_C_VARIADIC(twin, ...)                                                                \
    va_list args;                                                                                  \
    va_start(args, format);                                                                        \
    twin(__VA_ARGS__, args);                                                                       \
    va_end(args)

namespace
{
void Message(kvlog_component* component, KVLOG_C_SELECTOR, const char* id,
             Forwarder::MessageKind kind, const char* expression, const char* format,
             va_list args) noexcept
{
    WithComponent(
        component, [&](CLogComponent& target)
        { Forwarder::Message(target, KVLOG_C_SELECTED, id, kind, expression, format, args); });
}

void NumberedMessage(kvlog_component* component, KVLOG_C_SELECTOR, unsigned long id,
                     Forwarder::MessageKind kind, const char* expression, const char* format,
                     va_list args) noexcept
{
    WithComponent(component,
                  [&](CLogComponent& target) {
                      Forwarder::NumberedMessage(target, KVLOG_C_SELECTED, id, kind, expression,
                                                 format, args);
                  });
}

void Dump(kvlog_component* component, KVLOG_C_SELECTOR, const char* id, const void* data,
          unsigned long length, bool prefixed, const char* format, va_list args) noexcept
{
    WithComponent(
        component, [&](CLogComponent& target)
        { Forwarder::Dump(target, KVLOG_C_SELECTED, id, data, length, prefixed, format, args); });
}

void NumberedDump(kvlog_component* component, KVLOG_C_SELECTOR, unsigned long id, const void* data,
                  unsigned long length, bool prefixed, const char* format, va_list args) noexcept
{
    WithComponent(component,
                  [&](CLogComponent& target) {
                      Forwarder::NumberedDump(target, KVLOG_C_SELECTED, id, data, length, prefixed,
                                              format, args);
                  });
}
} // namespace

void kvlog_log_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* format, va_list args)
{
    Message(c, KVLOG_C_SELECTED, nullptr, Forwarder::kPlainMessage, nullptr, format, args);
}

void kvlog_log_id_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const char* format,
                    va_list args)
{
    Message(c, KVLOG_C_SELECTED, id, Forwarder::kPlainMessage, nullptr, format, args);
}

void kvlog_log_id_num_v(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id, const char* format,
                        va_list args)
{
    NumberedMessage(c, KVLOG_C_SELECTED, id, Forwarder::kPlainMessage, nullptr, format, args);
}

void kvlog_log_func_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* format, va_list args)
{
    Message(c, KVLOG_C_SELECTED, nullptr, Forwarder::kFunctionMessage, nullptr, format, args);
}

void kvlog_log_func_id_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const char* format,
                         va_list args)
{
    Message(c, KVLOG_C_SELECTED, id, Forwarder::kFunctionMessage, nullptr, format, args);
}

void kvlog_log_func_id_num_v(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id,
                             const char* format, va_list args)
{
    NumberedMessage(c, KVLOG_C_SELECTED, id, Forwarder::kFunctionMessage, nullptr, format, args);
}

void kvlog_log_assert_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* expression,
                        const char* format, va_list args)
{
    Message(c, KVLOG_C_SELECTED, nullptr, Forwarder::kAssertMessage, expression, format, args);
}

void kvlog_log_assert_id_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* expression,
                           const char* id, const char* format, va_list args)
{
    Message(c, KVLOG_C_SELECTED, id, Forwarder::kAssertMessage, expression, format, args);
}

void kvlog_log_assert_id_num_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* expression,
                               unsigned long id, const char* format, va_list args)
{
    NumberedMessage(c, KVLOG_C_SELECTED, id, Forwarder::kAssertMessage, expression, format, args);
}

void kvlog_log_event_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* format, va_list args)
{
    (void)file, (void)line, (void)function;
    WithComponent(c, [&](CLogComponent& target)
                  { Forwarder::Event(target, level, levelString, format, args); });
}

void kvlog_log_dump_v(kvlog_component* c, KVLOG_C_SELECTOR, const void* data, unsigned long length,
                      const char* format, va_list args)
{
    Dump(c, KVLOG_C_SELECTED, nullptr, data, length, false, format, args);
}

void kvlog_log_dump_id_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const void* data,
                         unsigned long length, const char* format, va_list args)
{
    Dump(c, KVLOG_C_SELECTED, id, data, length, false, format, args);
}

void kvlog_log_dump_id_num_v(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id,
                             const void* data, unsigned long length, const char* format,
                             va_list args)
{
    NumberedDump(c, KVLOG_C_SELECTED, id, data, length, false, format, args);
}

void kvlog_log_func_dump_v(kvlog_component* c, KVLOG_C_SELECTOR, const void* data,
                           unsigned long length, const char* format, va_list args)
{
    Dump(c, KVLOG_C_SELECTED, nullptr, data, length, true, format, args);
}

void kvlog_log_func_dump_id_v(kvlog_component* c, KVLOG_C_SELECTOR, const char* id,
                              const void* data, unsigned long length, const char* format,
                              va_list args)
{
    Dump(c, KVLOG_C_SELECTED, id, data, length, true, format, args);
}

void kvlog_log_func_dump_id_num_v(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id,
                                  const void* data, unsigned long length, const char* format,
                                  va_list args)
{
    NumberedDump(c, KVLOG_C_SELECTED, id, data, length, true, format, args);
}

void kvlog_log(kvlog_component* c, KVLOG_C_SELECTOR, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_v, c, KVLOG_C_SELECTED, format);
}

void kvlog_log_id(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_id_v, c, KVLOG_C_SELECTED, id, format);
}

void kvlog_log_id_num(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id, const char* format,
                      ...)
{
    KVLOG_C_VARIADIC(kvlog_log_id_num_v, c, KVLOG_C_SELECTED, id, format);
}

void kvlog_log_func(kvlog_component* c, KVLOG_C_SELECTOR, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_func_v, c, KVLOG_C_SELECTED, format);
}

void kvlog_log_func_id(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const char* format,
                       ...)
{
    KVLOG_C_VARIADIC(kvlog_log_func_id_v, c, KVLOG_C_SELECTED, id, format);
}

void kvlog_log_func_id_num(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id,
                           const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_func_id_num_v, c, KVLOG_C_SELECTED, id, format);
}

void kvlog_log_assert(kvlog_component* c, KVLOG_C_SELECTOR, const char* expression,
                      const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_assert_v, c, KVLOG_C_SELECTED, expression, format);
}

void kvlog_log_assert_id(kvlog_component* c, KVLOG_C_SELECTOR, const char* expression,
                         const char* id, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_assert_id_v, c, KVLOG_C_SELECTED, expression, id, format);
}

void kvlog_log_assert_id_num(kvlog_component* c, KVLOG_C_SELECTOR, const char* expression,
                             unsigned long id, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_assert_id_num_v, c, KVLOG_C_SELECTED, expression, id, format);
}

void kvlog_log_event(kvlog_component* c, KVLOG_C_SELECTOR, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_event_v, c, KVLOG_C_SELECTED, format);
}

void kvlog_log_dump(kvlog_component* c, KVLOG_C_SELECTOR, const void* data, unsigned long length,
                    const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_dump_v, c, KVLOG_C_SELECTED, data, length, format);
}

void kvlog_log_dump_id(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const void* data,
                       unsigned long length, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_dump_id_v, c, KVLOG_C_SELECTED, id, data, length, format);
}

void kvlog_log_dump_id_num(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id, const void* data,
                           unsigned long length, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_dump_id_num_v, c, KVLOG_C_SELECTED, id, data, length, format);
}

void kvlog_log_func_dump(kvlog_component* c, KVLOG_C_SELECTOR, const void* data,
                         unsigned long length, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_func_dump_v, c, KVLOG_C_SELECTED, data, length, format);
}

void kvlog_log_func_dump_id(kvlog_component* c, KVLOG_C_SELECTOR, const char* id, const void* data,
                            unsigned long length, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_func_dump_id_v, c, KVLOG_C_SELECTED, id, data, length, format);
}

void kvlog_log_func_dump_id_num(kvlog_component* c, KVLOG_C_SELECTOR, unsigned long id,
                                const void* data, unsigned long length, const char* format, ...)
{
    KVLOG_C_VARIADIC(kvlog_log_func_dump_id_num_v, c, KVLOG_C_SELECTED, id, data, length, format);
}

void kvlog_old_write_logging_info(const char* file, unsigned long line, const char* function,
                                  unsigned long level, const char* message)
{
    kvlog_capi::Guarded(
        [&] { CLogComponent::OldWriteLoggingInfo(file, line, function, level, message); });
}

// Typed {} messages through a component pointer, formatted with the {fmt} library:
//
//     KVLOG_ERROR(motorLog, "moved {:.2f} mm", mm);
//     KVLOG_WARNING_ID(motorLog, "AX-3", "limit {} reached by {}", limit, axisName);
//
// The format is checked when the program is compiled (a wrong argument does not compile), the
// level is tested inline before anything is formatted, and a text of up to 1 KiB is formatted on
// the caller's stack; a longer one goes to the heap. The finished text reaches the component
// unchanged. A null component pointer logs nothing. Any type with a fmt::formatter is accepted.
// The program links {fmt} (CMake fmt::fmt, or -lfmt) or defines FMT_HEADER_ONLY.
#pragma once

#include "kvlog.h"

#include <fmt/format.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

namespace kvlog
{
// The text of one message. A temporary: it lives until the end of the statement that logs it.
class CFormattedText
{
public:
    // The longest text formatted on the caller's stack.
    enum
    {
        kLocalLength = 1024
    };

    // The format comes twice: as checked when compiled, and as written, which is logged as it
    // stands should an argument's formatter fail at run time.
    template <typename Format, typename... Args>
    CFormattedText(const Format& format, const char* written, Args&&... args) noexcept
        : m_text(written)
    {
        FMT_TRY
        {
            // fmt only reads its arguments, so handing them on twice is safe.
            const auto local =
                fmt::format_to_n(m_local, kLocalLength, format, std::forward<Args>(args)...);
            *local.out = '\0';
            m_text = m_local;
            if (local.size <= kLocalLength)
                return;
            // Should the heap fail, the first part stands, marked as cut.
            std::memcpy(m_local + kLocalLength - (sizeof(kCutMark) - 1), kCutMark,
                        sizeof(kCutMark) - 1);
            m_long = fmt::format(format, std::forward<Args>(args)...);
            m_text = m_long.c_str();
        }
        FMT_CATCH(...)
        {
            // The caller goes on; the text logged is what was there before the failure.
        }
    }
    CFormattedText(const CFormattedText&) = delete;
    CFormattedText& operator=(const CFormattedText&) = delete;

    operator const char*() const noexcept { return m_text; }

private:
    static constexpr char kCutMark[] = "[...]";

    const char* m_text;
    char m_local[kLocalLength + 1];
    std::string m_long;
};

// An ID as the component takes it: a text, or a number shown in decimal.
inline const char* IdOf(const char* id) noexcept
{
    return id;
}
inline const char* IdOf(const std::string& id) noexcept
{
    return id.c_str();
}
template <typename Number, typename = std::enable_if_t<std::is_integral<Number>::value>>
unsigned long IdOf(Number id) noexcept
{
    return static_cast<unsigned long>(id);
}
} // namespace kvlog

// The C interface names its level selectors KVLOG_ERROR and so on: a source file includes this
// header or kvlog_c.h (kvlog_c.hpp), whose classes these macros do not serve anyway.
#ifdef KVLOG_ERROR
#error "kvlog_fmt.h cannot share a source file with kvlog_c.h or kvlog_c.hpp"
#endif

// The first of the arguments is the format; taking it apart needs no empty variadic list.
#define KVLOG_FORMAT_OF(...) KVLOG_FORMAT_OF_(__VA_ARGS__, unused)
#define KVLOG_FORMAT_OF_(Format, ...) Format
#define KVLOG_FORMATTED(...)                                                                       \
    kvlog::CFormattedText(FMT_STRING(KVLOG_FORMAT_OF(__VA_ARGS__)), __VA_ARGS__)

// Any level selector: KVLOG_MESSAGE(motorLog, LOG_SUCCESS, "homed in {} ms", ms).
#define KVLOG_MESSAGE(ComponentPointer, Level, ...)                                                \
    KVLOG_IF_ENABLED(ComponentPointer, CLogComponent::LevelOf(Level),                              \
                     LogText(Level, nullptr, KVLOG_FORMATTED(__VA_ARGS__)))
#define KVLOG_MESSAGE_ID(ComponentPointer, Level, Id, ...)                                         \
    KVLOG_IF_ENABLED(ComponentPointer, CLogComponent::LevelOf(Level),                              \
                     LogText(Level, kvlog::IdOf(Id), KVLOG_FORMATTED(__VA_ARGS__)))

#define KVLOG_ERROR(ComponentPointer, ...) KVLOG_MESSAGE(ComponentPointer, LOG_ERROR, __VA_ARGS__)
#define KVLOG_WARNING(ComponentPointer, ...)                                                       \
    KVLOG_MESSAGE(ComponentPointer, LOG_WARNING, __VA_ARGS__)
#define KVLOG_INFORMATION(ComponentPointer, ...)                                                   \
    KVLOG_MESSAGE(ComponentPointer, LOG_INFORMATION, __VA_ARGS__)
#define KVLOG_SUCCESS(ComponentPointer, ...)                                                       \
    KVLOG_MESSAGE(ComponentPointer, LOG_SUCCESS, __VA_ARGS__)
#define KVLOG_DEBUG(ComponentPointer, ...) KVLOG_MESSAGE(ComponentPointer, LOG_DEBUG, __VA_ARGS__)

#define KVLOG_ERROR_ID(ComponentPointer, Id, ...)                                                  \
    KVLOG_MESSAGE_ID(ComponentPointer, LOG_ERROR, Id, __VA_ARGS__)
#define KVLOG_WARNING_ID(ComponentPointer, Id, ...)                                                \
    KVLOG_MESSAGE_ID(ComponentPointer, LOG_WARNING, Id, __VA_ARGS__)
#define KVLOG_INFORMATION_ID(ComponentPointer, Id, ...)                                            \
    KVLOG_MESSAGE_ID(ComponentPointer, LOG_INFORMATION, Id, __VA_ARGS__)
#define KVLOG_SUCCESS_ID(ComponentPointer, Id, ...)                                                \
    KVLOG_MESSAGE_ID(ComponentPointer, LOG_SUCCESS, Id, __VA_ARGS__)
#define KVLOG_DEBUG_ID(ComponentPointer, Id, ...)                                                  \
    KVLOG_MESSAGE_ID(ComponentPointer, LOG_DEBUG, Id, __VA_ARGS__)

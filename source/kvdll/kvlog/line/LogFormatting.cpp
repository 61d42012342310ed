#include "line/LogFormatting.h"

#include <cstdio>

bool FormatInto(CString& target, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool formatted = FormatIntoV(target, format, args);
    va_end(args);
    return formatted;
}

bool FormatIntoV(CString& target, const char* format, va_list args)
{
    target.Empty();
    if (format == nullptr)
        return false;
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return length == 0;
    // The string keeps its capacity when shortened, so the same text never allocates twice.
    char* buffer = target.GetBufferSetLength(length);
    std::vsnprintf(buffer, static_cast<std::size_t>(length) + 1, format, args);
    target.ReleaseBuffer(length);
    return true;
}

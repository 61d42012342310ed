#include "capi/TextOut.h"

#include <cstring>

namespace kvlog_capi
{
std::size_t CopyOut(const char* text, char* buffer, std::size_t size) noexcept
{
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    if (buffer == nullptr || size == 0)
        return length;
    const std::size_t copied = length < size ? length : size - 1;
    if (copied != 0)
        std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    return length;
}
} // namespace kvlog_capi

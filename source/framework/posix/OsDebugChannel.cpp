#include "OsDebugChannel.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace os
{
void WriteDebugChannel(const char* text)
{
    // One write per text where possible, so that lines of several threads do not interleave.
    std::size_t remaining = std::strlen(text);
    while (remaining > 0)
    {
        const ssize_t written = ::write(STDERR_FILENO, text, remaining);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        remaining -= static_cast<std::size_t>(written);
    }
}
} // namespace os

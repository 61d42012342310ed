#include "OsDebugChannel.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/uio.h>
#include <unistd.h>

namespace os
{
namespace
{
const char kReset[] = "\x1b[0m\n";

bool IsNonEmpty(const char* value)
{
    return value != nullptr && value[0] != '\0';
}

// The conventions of no-color.org and of CLICOLOR_FORCE.
bool ShowsColours()
{
    if (IsNonEmpty(std::getenv("NO_COLOR")))
        return false;
    const char* force = std::getenv("CLICOLOR_FORCE");
    if (IsNonEmpty(force) && std::strcmp(force, "0") != 0)
        return true;
    return ::isatty(STDERR_FILENO) == 1;
}

bool ColoursShown()
{
    static const bool shown = ShowsColours();
    return shown;
}

void WriteAll(const char* text, std::size_t length)
{
    while (length > 0)
    {
        const ssize_t written = ::write(STDERR_FILENO, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

// One system call where the descriptor takes the pieces whole, so that the line does not mix
// with another process's output; what a signal cut short follows piece by piece.
void WritePieces(const iovec (&pieces)[3])
{
    const ssize_t written = ::writev(STDERR_FILENO, pieces, 3);
    std::size_t done = written > 0 ? static_cast<std::size_t>(written) : 0;
    for (const iovec& piece : pieces)
    {
        const std::size_t skipped = done < piece.iov_len ? done : piece.iov_len;
        WriteAll(static_cast<const char*>(piece.iov_base) + skipped, piece.iov_len - skipped);
        done -= skipped;
    }
}
} // namespace

void WriteDebugChannel(const char* text, unsigned long colour)
{
    const std::size_t length = std::strlen(text);
    if (colour == 0 || !ColoursShown())
    {
        WriteAll(text, length);
        return;
    }
    char escape[24];
    const int escapeLength =
        std::snprintf(escape, sizeof(escape), "\x1b[38;2;%lu;%lu;%lum", (colour >> 16) & 0xFF,
                      (colour >> 8) & 0xFF, colour & 0xFF);
    // The colour ends before the line feed, so that nothing after the line inherits it.
    const bool endsLine = length > 0 && text[length - 1] == '\n';
    const iovec pieces[3] = {{escape, static_cast<std::size_t>(escapeLength)},
                             {const_cast<char*>(text), length - (endsLine ? 1 : 0)},
                             {const_cast<char*>(kReset), sizeof(kReset) - (endsLine ? 1 : 2)}};
    WritePieces(pieces);
}
} // namespace os

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

// One system call where the descriptor takes the pieces whole, so that lines of several threads
// do not interleave.
void WritePieces(iovec* pieces, int count)
{
    while (count > 0)
    {
        const ssize_t written = ::writev(STDERR_FILENO, pieces, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        std::size_t done = static_cast<std::size_t>(written);
        for (; count > 0 && done >= pieces->iov_len; ++pieces, --count)
            done -= pieces->iov_len;
        if (count > 0)
        {
            pieces->iov_base = static_cast<char*>(pieces->iov_base) + done;
            pieces->iov_len -= done;
        }
    }
}
} // namespace

void WriteDebugChannel(const char* text, unsigned long colour)
{
    const std::size_t length = std::strlen(text);
    iovec pieces[3] = {};
    pieces[1] = {const_cast<char*>(text), length};
    if (colour == 0 || !ColoursShown())
    {
        WritePieces(&pieces[1], 1);
        return;
    }
    char escape[24];
    const int escapeLength =
        std::snprintf(escape, sizeof(escape), "\x1b[38;2;%lu;%lu;%lum", (colour >> 16) & 0xFF,
                      (colour >> 8) & 0xFF, colour & 0xFF);
    // The colour ends before the line feed, so that nothing after the line inherits it.
    const bool endsLine = length > 0 && text[length - 1] == '\n';
    pieces[0] = {escape, static_cast<std::size_t>(escapeLength)};
    pieces[1].iov_len = length - (endsLine ? 1 : 0);
    pieces[2] = {const_cast<char*>(kReset), sizeof(kReset) - (endsLine ? 1 : 2)};
    WritePieces(pieces, 3);
}
} // namespace os

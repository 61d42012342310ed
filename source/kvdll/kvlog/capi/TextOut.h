// Text handed out through a caller's buffer, as snprintf hands it out.
#pragma once

#include <cstddef>

namespace kvlog_capi
{
// Copies as much of the text as fits with a terminating zero (nothing when size is 0) and
// returns the text's whole length. A null text counts as empty.
std::size_t CopyOut(const char* text, char* buffer, std::size_t size) noexcept;
} // namespace kvlog_capi

// Small executable images built byte by byte, so that the version reader meets layouts that no
// compiler produced for the committed fixture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvtest
{
using Bytes = std::vector<std::uint8_t>;

// An image (PE32 or PE32+) with the given number of sections whose last one holds a resource
// directory leading to the version block. Each section ends exactly where the next begins, and
// every section lies in the file at its own address.
Bytes MakeVersionImage(const Bytes& versionBlock, bool pe32, std::size_t sections);
// A version tree that declares the same translation count times, and no strings.
Bytes MakeTranslationBlock(std::size_t count, std::uint16_t language, std::uint16_t codePage);
} // namespace kvtest

// The version resource of a Windows executable image (PE file), read without the operating
// system: finds the resource in the image's resource directory and looks up values in its
// VS_VERSIONINFO tree. Every offset and length taken from the image is checked against the data
// actually present, so truncated or hostile files give "not found", never a read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace pe
{
// Reads size bytes at offset into destination; false when the source does not hold them all.
using ByteReader = std::function<bool(std::uint64_t offset, std::size_t size, void* destination)>;

// The VS_VERSIONINFO block of the image, trimmed to the length its root node declares. An image
// with more than 96 sections is refused, as the Windows loader refuses it.
bool FindVersionResource(const ByteReader& image, std::vector<std::uint8_t>& resource);
bool FindVersionResource(const std::uint8_t* image, std::size_t size,
                         std::vector<std::uint8_t>& resource);
// The same for a file; false when it cannot be opened or holds no version resource.
bool ReadVersionResource(const char* path, std::vector<std::uint8_t>& resource);

// A value of the version tree, as offsets into the block.
struct VersionValue
{
    std::size_t offset;
    // In bytes; for text, UTF-16 code units times two.
    std::size_t size;
    bool isText;
};

// Looks up a value by a path of keys separated by backslashes, as in
// "\\StringFileInfo\\040904B0\\CompanyName"; "\\" names the root's own value. Keys compare
// without regard to ASCII case.
bool FindVersionValue(const std::uint8_t* block, std::size_t size, const char* subBlock,
                      VersionValue& value);
} // namespace pe

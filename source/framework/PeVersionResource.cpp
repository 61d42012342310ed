#include "PeVersionResource.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace pe
{
namespace
{
constexpr std::uint32_t kVersionResourceType = 16;
constexpr std::uint32_t kVersionResourceName = 1;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr std::uint32_t kNamedEntryFlag = 0x80000000u;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::size_t kSectionHeaderSize = 40;
// The Windows loader refuses an image with more sections, so no genuine file has them.
constexpr std::size_t kMaxSections = 96;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kNodeHeaderSize = 6;
// A version tree's length is a 16-bit field, so no genuine resource is larger.
constexpr std::uint32_t kMaxResourceSize = 0x10000;

std::uint16_t ReadU16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::size_t AlignTo4(std::size_t offset)
{
    return (offset + 3) & ~static_cast<std::size_t>(3);
}

bool ReadBytes(const ByteReader& image, std::uint64_t offset, std::size_t size,
               std::vector<std::uint8_t>& bytes)
{
    bytes.assign(size, 0);
    return size == 0 || image(offset, size, bytes.data());
}

struct Section
{
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

// The parts of the headers that lead to the resources.
struct ImageLayout
{
    std::uint32_t resourceRva = 0;
    std::vector<Section> sections;
};

// Where a relative virtual address lies in the file and how many bytes of its section follow it.
bool MapRva(const ImageLayout& layout, std::uint32_t rva, std::uint64_t& fileOffset,
            std::uint64_t& available)
{
    for (const Section& section : layout.sections)
    {
        if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize)
            continue;
        const std::uint32_t delta = rva - section.virtualAddress;
        fileOffset = static_cast<std::uint64_t>(section.rawOffset) + delta;
        available = section.rawSize - delta;
        return true;
    }
    return false;
}

bool ReadResourceDirectoryRva(const ByteReader& image, std::uint64_t optionalHeader,
                              std::size_t optionalSize, std::uint32_t& rva)
{
    std::vector<std::uint8_t> header;
    if (optionalSize < 2 || !ReadBytes(image, optionalHeader, optionalSize, header))
        return false;
    const std::uint16_t magic = ReadU16(header.data());
    std::size_t countOffset = 0;
    if (magic == 0x10B)
        countOffset = 92;
    else if (magic == 0x20B)
        countOffset = 108;
    else
        return false;
    const std::size_t directoryOffset = countOffset + 4 + kResourceDirectoryIndex * 8;
    if (optionalSize < directoryOffset + 8 ||
        ReadU32(header.data() + countOffset) <= kResourceDirectoryIndex)
        return false;
    rva = ReadU32(header.data() + directoryOffset);
    return rva != 0 && ReadU32(header.data() + directoryOffset + 4) != 0;
}

bool ReadImageLayout(const ByteReader& image, ImageLayout& layout)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadBytes(image, 0, 64, bytes) || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    const std::uint64_t peHeader = ReadU32(bytes.data() + 0x3C);
    if (!ReadBytes(image, peHeader, 24, bytes) || std::memcmp(bytes.data(), "PE\0\0", 4) != 0)
        return false;
    const std::size_t sectionCount = ReadU16(bytes.data() + 6);
    const std::size_t optionalSize = ReadU16(bytes.data() + 20);
    const std::uint64_t optionalHeader = peHeader + 24;
    if (sectionCount > kMaxSections ||
        !ReadResourceDirectoryRva(image, optionalHeader, optionalSize, layout.resourceRva))
        return false;
    if (!ReadBytes(image, optionalHeader + optionalSize, sectionCount * kSectionHeaderSize, bytes))
        return false;
    for (std::size_t index = 0; index < sectionCount; ++index)
    {
        const std::uint8_t* header = bytes.data() + index * kSectionHeaderSize;
        layout.sections.push_back(
            {ReadU32(header + 12), ReadU32(header + 16), ReadU32(header + 20)});
    }
    return true;
}

// The resource directory tree, addressed by offsets from its start, bounded by its section.
class ResourceTree
{
public:
    ResourceTree(const ByteReader& image, const ImageLayout& layout) : m_image(image)
    {
        m_valid = MapRva(layout, layout.resourceRva, m_start, m_available);
    }

    bool IsValid() const { return m_valid; }

    // The data offset of the entry with the id, or of the first entry when anyId is set and no
    // entry has the id.
    bool FindEntry(std::uint32_t directory, std::uint32_t id, bool anyId, std::uint32_t& data) const
    {
        std::vector<std::uint8_t> entries;
        if (!ReadEntries(directory, entries) || entries.empty())
            return false;
        for (std::size_t at = 0; at < entries.size(); at += kDirectoryEntrySize)
        {
            const std::uint32_t name = ReadU32(entries.data() + at);
            if ((name & kNamedEntryFlag) == 0 && name == id)
            {
                data = ReadU32(entries.data() + at + 4);
                return true;
            }
        }
        data = ReadU32(entries.data() + 4);
        return anyId;
    }

    bool Read(std::uint32_t offset, std::size_t size, std::vector<std::uint8_t>& bytes) const
    {
        return offset <= m_available && size <= m_available - offset &&
               ReadBytes(m_image, m_start + offset, size, bytes);
    }

private:
    bool ReadEntries(std::uint32_t directory, std::vector<std::uint8_t>& entries) const
    {
        std::vector<std::uint8_t> header;
        if (!Read(directory, kDirectoryHeaderSize, header))
            return false;
        const std::size_t count =
            static_cast<std::size_t>(ReadU16(header.data() + 12)) + ReadU16(header.data() + 14);
        return Read(directory + static_cast<std::uint32_t>(kDirectoryHeaderSize),
                    count * kDirectoryEntrySize, entries);
    }

    const ByteReader& m_image;
    std::uint64_t m_start = 0;
    std::uint64_t m_available = 0;
    bool m_valid = false;
};

// Type, then name, then language: the first two levels lead to subdirectories, the last to the
// data entry.
bool FindVersionDataEntry(const ResourceTree& tree, std::uint32_t& dataEntry)
{
    std::uint32_t names = 0;
    std::uint32_t languages = 0;
    if (!tree.FindEntry(0, kVersionResourceType, false, names) || (names & kSubdirectoryFlag) == 0)
        return false;
    if (!tree.FindEntry(names & ~kSubdirectoryFlag, kVersionResourceName, true, languages) ||
        (languages & kSubdirectoryFlag) == 0)
        return false;
    return tree.FindEntry(languages & ~kSubdirectoryFlag, 0, true, dataEntry) &&
           (dataEntry & kSubdirectoryFlag) == 0;
}

// The version tree's own length bounds the resource; a data entry shorter than that is damaged.
bool TrimToRootLength(std::vector<std::uint8_t>& resource)
{
    if (resource.size() < kNodeHeaderSize)
        return false;
    const std::size_t rootLength = ReadU16(resource.data());
    if (rootLength < kNodeHeaderSize || rootLength > resource.size())
        return false;
    resource.resize(rootLength);
    return true;
}

// One node of a VS_VERSIONINFO tree: length, value length, type, UTF-16 key, value, children.
struct Node
{
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t keyOffset = 0;
    std::size_t keyUnits = 0;
    VersionValue value = {0, 0, false};
    std::size_t children = 0;
};

bool ParseNode(const std::uint8_t* block, std::size_t limit, std::size_t start, Node& node)
{
    if (start > limit || limit - start < kNodeHeaderSize)
        return false;
    const std::size_t length = ReadU16(block + start);
    if (length < kNodeHeaderSize || length > limit - start)
        return false;
    node.start = start;
    node.end = start + length;
    node.keyOffset = start + kNodeHeaderSize;
    std::size_t at = node.keyOffset;
    while (at + 2 <= node.end && ReadU16(block + at) != 0)
        at += 2;
    if (at + 2 > node.end)
        return false;
    node.keyUnits = (at - node.keyOffset) / 2;
    const bool isText = ReadU16(block + start + 4) == 1;
    const std::size_t declared = ReadU16(block + start + 2) * (isText ? 2u : 1u);
    const std::size_t valueOffset = std::min(AlignTo4(at + 2), node.end);
    node.value = {valueOffset, std::min(declared, node.end - valueOffset), isText};
    node.children = std::min(AlignTo4(valueOffset + node.value.size), node.end);
    return true;
}

char FoldAscii(unsigned value)
{
    return static_cast<char>(value >= 'A' && value <= 'Z' ? value + ('a' - 'A') : value);
}

bool KeyEquals(const std::uint8_t* block, const Node& node, const char* key, std::size_t length)
{
    if (node.keyUnits != length)
        return false;
    for (std::size_t index = 0; index < length; ++index)
    {
        const unsigned unit = ReadU16(block + node.keyOffset + index * 2);
        if (unit > 0x7F || FoldAscii(unit) != FoldAscii(static_cast<unsigned char>(key[index])))
            return false;
    }
    return true;
}

bool FindChild(const std::uint8_t* block, const Node& parent, const char* key, std::size_t length,
               Node& child)
{
    // Every node is at least a header long, so the walk always moves on.
    for (std::size_t at = parent.children; ParseNode(block, parent.end, at, child);
         at = AlignTo4(child.end))
    {
        if (KeyEquals(block, child, key, length))
            return true;
    }
    return false;
}

bool ReadFromFile(std::ifstream& file, std::uint64_t offset, std::size_t size, void* destination)
{
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(static_cast<char*>(destination), static_cast<std::streamsize>(size));
    return file.good() && static_cast<std::size_t>(file.gcount()) == size;
}
} // namespace

bool FindVersionResource(const ByteReader& image, std::vector<std::uint8_t>& resource)
{
    resource.clear();
    ImageLayout layout;
    if (!ReadImageLayout(image, layout))
        return false;
    const ResourceTree tree(image, layout);
    std::uint32_t dataEntry = 0;
    std::vector<std::uint8_t> entry;
    if (!tree.IsValid() || !FindVersionDataEntry(tree, dataEntry) ||
        !tree.Read(dataEntry, 16, entry))
        return false;
    const std::uint32_t size = ReadU32(entry.data() + 4);
    std::uint64_t offset = 0;
    std::uint64_t available = 0;
    if (size > kMaxResourceSize || !MapRva(layout, ReadU32(entry.data()), offset, available) ||
        size > available || !ReadBytes(image, offset, size, resource) ||
        !TrimToRootLength(resource))
    {
        resource.clear();
        return false;
    }
    return true;
}

bool FindVersionResource(const std::uint8_t* image, std::size_t size,
                         std::vector<std::uint8_t>& resource)
{
    const ByteReader reader =
        [image, size](std::uint64_t offset, std::size_t count, void* destination)
    {
        if (image == nullptr || offset > size || count > size - offset)
            return false;
        std::memcpy(destination, image + offset, count);
        return true;
    };
    return FindVersionResource(reader, resource);
}

bool ReadVersionResource(const char* path, std::vector<std::uint8_t>& resource)
{
    resource.clear();
    if (path == nullptr)
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const ByteReader reader = [&file](std::uint64_t offset, std::size_t size, void* destination)
    { return ReadFromFile(file, offset, size, destination); };
    return FindVersionResource(reader, resource);
}

bool FindVersionValue(const std::uint8_t* block, std::size_t size, const char* subBlock,
                      VersionValue& value)
{
    Node node;
    if (block == nullptr || subBlock == nullptr || !ParseNode(block, size, 0, node))
        return false;
    const char* key = subBlock;
    while (*key != '\0')
    {
        if (*key == '\\')
        {
            ++key;
            continue;
        }
        const std::size_t length = std::strcspn(key, "\\");
        Node child;
        if (!FindChild(block, node, key, length, child))
            return false;
        node = child;
        key += length;
    }
    value = node.value;
    return true;
}
} // namespace pe

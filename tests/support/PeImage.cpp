#include "PeImage.h"

#include <algorithm>
#include <string>

namespace kvtest
{
namespace
{
constexpr std::size_t kPeHeader = 0x40;
constexpr std::size_t kSectionSize = 0x10;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDataDirectories = 16;
// The resource directory: type, name and language levels of one entry each, then the data entry.
constexpr std::size_t kResourceDataEntry = 72;
constexpr std::size_t kResourceData = 88;

void Put(Bytes& bytes, std::size_t at, std::uint64_t value, std::size_t width)
{
    if (bytes.size() < at + width)
        bytes.resize(at + width);
    for (std::size_t index = 0; index < width; ++index)
        bytes[at + index] = static_cast<std::uint8_t>(value >> (8 * index));
}

// A directory level with one id entry.
void PutDirectory(Bytes& image, std::size_t at, std::uint32_t id, std::uint32_t data)
{
    Put(image, at + 14, 1, 2);
    Put(image, at + 16, id, 4);
    Put(image, at + 20, data, 4);
}

void PutNodeHeader(Bytes& block, std::size_t at, std::size_t length, std::size_t valueLength,
                   const std::string& key)
{
    Put(block, at, length, 2);
    Put(block, at + 2, valueLength, 2);
    Put(block, at + 4, 0, 2);
    for (std::size_t index = 0; index <= key.size(); ++index)
        Put(block, at + 6 + index * 2, index < key.size() ? key[index] : 0, 2);
}

std::size_t HeaderEnd(const std::string& key)
{
    return (6 + (key.size() + 1) * 2 + 3) & ~std::size_t{3};
}
} // namespace

Bytes MakeVersionImage(const Bytes& versionBlock, bool pe32, std::size_t sections)
{
    const std::size_t optionalSize = (pe32 ? 96 : 112) + kDataDirectories * 8;
    const std::size_t sectionTable = kPeHeader + 24 + optionalSize;
    const std::size_t first = (sectionTable + sections * kSectionHeaderSize + 0x1FF) & ~0x1FFu;
    const std::size_t resource = first + (sections - 1) * kSectionSize;
    const std::size_t resourceSize = (kResourceData + versionBlock.size() + 3) & ~std::size_t{3};
    Bytes image(resource + resourceSize, 0);
    image[0] = 'M';
    image[1] = 'Z';
    Put(image, 0x3C, kPeHeader, 4);
    Put(image, kPeHeader, 0x4550, 4);
    Put(image, kPeHeader + 4, pe32 ? 0x14C : 0x8664, 2);
    Put(image, kPeHeader + 6, sections, 2);
    Put(image, kPeHeader + 20, optionalSize, 2);
    Put(image, kPeHeader + 22, pe32 ? 0x2102 : 0x2022, 2);
    const std::size_t optional = kPeHeader + 24;
    Put(image, optional, pe32 ? 0x10B : 0x20B, 2);
    Put(image, optional + (pe32 ? 28 : 24), 0x10000000, pe32 ? 4 : 8);
    Put(image, optional + 32, kSectionSize, 4); // section alignment
    Put(image, optional + 36, kSectionSize, 4); // file alignment
    Put(image, optional + 40, 4, 2);            // operating system version
    Put(image, optional + 48, 4, 2);            // subsystem version
    Put(image, optional + 56, image.size(), 4); // image size
    Put(image, optional + 60, first, 4);        // header size
    Put(image, optional + 68, 2, 2);            // subsystem: GUI
    const std::size_t count = optional + (pe32 ? 92 : 108);
    Put(image, count, kDataDirectories, 4);
    Put(image, count + 4 + 2 * 8, resource, 4);
    Put(image, count + 8 + 2 * 8, resourceSize, 4);
    for (std::size_t index = 0; index < sections; ++index)
    {
        const std::size_t header = sectionTable + index * kSectionHeaderSize;
        const std::size_t address = first + index * kSectionSize;
        const std::size_t size = index + 1 < sections ? kSectionSize : resourceSize;
        image[header] = '.';
        image[header + 1] = index + 1 < sections ? 'd' : 'r';
        Put(image, header + 8, size, 4);
        Put(image, header + 12, address, 4);
        Put(image, header + 16, size, 4);
        Put(image, header + 20, address, 4);
        Put(image, header + 36, 0x40000040, 4); // initialised data, readable
    }
    PutDirectory(image, resource, 16, 0x80000000u | 24);
    PutDirectory(image, resource + 24, 1, 0x80000000u | 48);
    PutDirectory(image, resource + 48, 0x0409, kResourceDataEntry);
    Put(image, resource + kResourceDataEntry, resource + kResourceData, 4);
    Put(image, resource + kResourceDataEntry + 4, versionBlock.size(), 4);
    std::copy(versionBlock.begin(), versionBlock.end(),
              image.begin() + static_cast<std::ptrdiff_t>(resource + kResourceData));
    return image;
}

Bytes MakeTranslationBlock(std::size_t count, std::uint16_t language, std::uint16_t codePage)
{
    const std::size_t root = HeaderEnd("VS_VERSION_INFO");
    const std::size_t var = root + HeaderEnd("VarFileInfo");
    const std::size_t values = var + HeaderEnd("Translation");
    Bytes block(values + count * 4, 0);
    PutNodeHeader(block, 0, block.size(), 0, "VS_VERSION_INFO");
    PutNodeHeader(block, root, block.size() - root, 0, "VarFileInfo");
    PutNodeHeader(block, var, block.size() - var, count * 4, "Translation");
    for (std::size_t index = 0; index < count; ++index)
    {
        Put(block, values + index * 4, language, 2);
        Put(block, values + index * 4 + 2, codePage, 2);
    }
    return block;
}
} // namespace kvtest

#include "PeVersionResource.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

const char* const kFixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";
const char* const kPaths[] = {
    "\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904B0\\CompanyName",
    "\\StringFileInfo\\040704E4\\ProductVersion", "\\StringFileInfo\\040904B0\\LegalCopyright"};

Bytes FixtureImage()
{
    const std::string content = kvtest::ReadWholeFile(kFixture);
    return Bytes(content.begin(), content.end());
}

Bytes FixtureResource()
{
    Bytes resource;
    EXPECT_TRUE(pe::ReadVersionResource(kFixture, resource));
    return resource;
}

std::string TextOf(const Bytes& block, const pe::VersionValue& value)
{
    std::string text;
    for (std::size_t at = value.offset; at + 1 < value.offset + value.size; at += 2)
        if (block[at] != 0)
            text += static_cast<char>(block[at]);
    return text;
}

// Every lookup on the (possibly damaged) block stays inside it.
void ExpectLookupsInside(const Bytes& block)
{
    for (const char* path : kPaths)
    {
        pe::VersionValue value = {0, 0, false};
        if (pe::FindVersionValue(block.data(), block.size(), path, value))
        {
            ASSERT_LE(value.offset, block.size()) << path;
            ASSERT_LE(value.size, block.size() - value.offset) << path;
        }
    }
}

// A node with its key and a value, lengths as given.
Bytes Node(std::uint16_t length, std::uint16_t valueLength, std::uint16_t type, const char* key)
{
    Bytes node = {
        static_cast<std::uint8_t>(length),      static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(valueLength), static_cast<std::uint8_t>(valueLength >> 8),
        static_cast<std::uint8_t>(type),        0};
    for (const char* at = key; *at != '\0'; ++at)
        node.insert(node.end(), {static_cast<std::uint8_t>(*at), 0});
    node.insert(node.end(), {0, 0});
    return node;
}
} // namespace

TEST(PeVersionResource, FindsTheFixturesValues)
{
    const Bytes block = FixtureResource();
    ASSERT_GE(block.size(), 6u);
    EXPECT_EQ(block.size(), static_cast<std::size_t>(block[0] | (block[1] << 8)));

    pe::VersionValue value = {0, 0, false};
    ASSERT_TRUE(pe::FindVersionValue(block.data(), block.size(), "\\", value));
    ASSERT_EQ(value.size, 52u);
    std::uint32_t fixed[4] = {};
    std::memcpy(fixed, block.data() + value.offset, sizeof(fixed));
    EXPECT_EQ(fixed[0], 0xFEEF04BDu);
    EXPECT_EQ(fixed[2], 0x00010002u);
    EXPECT_EQ(fixed[3], 0x00030004u);

    ASSERT_TRUE(pe::FindVersionValue(block.data(), block.size(),
                                     "stringfileinfo\\\\040704e4\\companyname\\", value));
    EXPECT_TRUE(value.isText);
    EXPECT_EQ(TextOf(block, value), "Beispielgeraete GmbH");

    ASSERT_TRUE(
        pe::FindVersionValue(block.data(), block.size(), "\\VarFileInfo\\Translation", value));
    EXPECT_FALSE(value.isText);
    EXPECT_EQ(Bytes(block.begin() + value.offset, block.begin() + value.offset + value.size),
              (Bytes{0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xE4, 0x04}));

    EXPECT_FALSE(pe::FindVersionValue(block.data(), block.size(),
                                      "\\StringFileInfo\\040704E4\\LegalCopyright", value));
    EXPECT_FALSE(pe::FindVersionValue(block.data(), block.size(), "\\StringFileInfo\\0409", value));
    EXPECT_FALSE(pe::FindVersionValue(nullptr, 0, "\\", value));
}

TEST(PeVersionResource, TruncatedImagesFailUntilTheResourceIsComplete)
{
    const Bytes image = FixtureImage();
    const Bytes expected = FixtureResource();
    bool found = false;
    for (std::size_t length = 0; length <= image.size(); ++length)
    {
        // An exact-size copy, so that a read past the end is caught by the sanitizers.
        const Bytes copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
        Bytes resource;
        const bool success = pe::FindVersionResource(copy.data(), copy.size(), resource);
        // Once everything the resource needs is present, every longer copy finds it too.
        ASSERT_TRUE(success || !found) << length;
        found = success;
        if (success)
        {
            ASSERT_EQ(resource, expected) << length;
        }
    }
    EXPECT_TRUE(found);
}

TEST(PeVersionResource, CorruptedImagesAndBlocksStayInBounds)
{
    const Bytes image = FixtureImage();
    for (std::size_t at = 0; at < image.size(); ++at)
    {
        for (int damage : {0x00, 0x7F, 0xFF})
        {
            Bytes copy = image;
            copy[at] = static_cast<std::uint8_t>(damage);
            Bytes resource;
            if (pe::FindVersionResource(copy.data(), copy.size(), resource))
                ExpectLookupsInside(resource);
        }
    }

    const Bytes block = FixtureResource();
    for (std::size_t at = 0; at < block.size(); ++at)
    {
        for (int damage : {0x00, 0x01, 0x80, 0xFF})
        {
            Bytes copy = block;
            copy[at] = static_cast<std::uint8_t>(damage);
            ExpectLookupsInside(copy);
        }
    }
}

TEST(PeVersionResource, HostileVersionTrees)
{
    pe::VersionValue value = {0, 0, false};
    // A length shorter than a node's header would never move the walk on.
    Bytes zeroLength = Node(0, 0, 1, "VS_VERSION_INFO");
    EXPECT_FALSE(pe::FindVersionValue(zeroLength.data(), zeroLength.size(), "\\", value));

    // A key without its terminating zero inside the node.
    Bytes unterminated = Node(12, 0, 1, "KEY");
    unterminated.resize(12);
    EXPECT_FALSE(pe::FindVersionValue(unterminated.data(), unterminated.size(), "\\", value));

    // A value claiming more than its node holds is cut at the node's end.
    Bytes root = Node(0, 200, 1, "ROOT");
    root.resize(24);
    root[0] = static_cast<std::uint8_t>(root.size());
    ASSERT_TRUE(pe::FindVersionValue(root.data(), root.size(), "\\", value));
    EXPECT_EQ(value.offset + value.size, root.size());

    // A child claiming more than its parent holds is not followed.
    Bytes parent = Node(0, 0, 1, "ROOT");
    const Bytes child = Node(0x7FFF, 0, 1, "CHILD");
    parent.insert(parent.end(), child.begin(), child.end());
    parent[0] = static_cast<std::uint8_t>(parent.size());
    EXPECT_FALSE(pe::FindVersionValue(parent.data(), parent.size(), "\\CHILD", value));
    parent[16] = static_cast<std::uint8_t>(child.size());
    parent[17] = 0;
    EXPECT_TRUE(pe::FindVersionValue(parent.data(), parent.size(), "\\CHILD", value));

    EXPECT_FALSE(pe::FindVersionResource(nullptr, 100, zeroLength));
    EXPECT_FALSE(pe::ReadVersionResource(KVLOG_TEST_DATA_DIR "/missing.dll", zeroLength));
    EXPECT_FALSE(pe::ReadVersionResource(nullptr, zeroLength));
}

#include "PeVersionResource.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The fixture's values, the lookup rules and missing files are checked through the file version
// API and the utility's version reader; these tests feed the reader damaged input.
namespace
{
using Bytes = std::vector<std::uint8_t>;
const char kFixture[] = KVLOG_TEST_DATA_DIR "/versionfixture.dll";

bool Find(const Bytes& block, const char* path, pe::VersionValue& value)
{
    return pe::FindVersionValue(block.data(), block.size(), path, value);
}

// Every lookup on the (possibly damaged) block stays inside it.
void ExpectLookupsInside(const Bytes& block)
{
    pe::VersionValue value = {0, 0, false};
    for (const char* path :
         {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040704E4\\ProductVersion"})
        ASSERT_TRUE(!Find(block, path, value) ||
                    (value.offset <= block.size() && value.size <= block.size() - value.offset))
            << path;
}

// Writes a 16-bit little-endian field at, growing the bytes when needed.
void Put16(Bytes& bytes, std::size_t at, std::size_t value)
{
    if (bytes.size() < at + 2)
        bytes.resize(at + 2);
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A text node with its key, lengths as given.
Bytes Node(std::size_t length, std::size_t valueLength, const char* key)
{
    Bytes node;
    for (std::size_t field : {length, valueLength, std::size_t{1}})
        Put16(node, node.size(), field);
    for (const char letter : std::string(key) + '\0') // the key with its terminating zero
        Put16(node, node.size(), static_cast<unsigned char>(letter));
    return node;
}
} // namespace

// Cut and damaged copies of the fixture fail or stay in bounds. Changed headers: a 32-bit
// optional header, whose directories start 16 bytes earlier; the section before the resources
// (.idata at 0x6000) ending where they begin; as many sections as the loader takes, or one more,
// which is refused.
TEST(PeVersionResource, ChangedCopiesOfTheFixture)
{
    const std::string content = kvtest::ReadWholeFile(kFixture);
    const Bytes image(content.begin(), content.end());
    Bytes expected;
    ASSERT_TRUE(pe::ReadVersionResource(kFixture, expected));
    bool found = false;
    for (std::size_t length = 0; length < image.size(); ++length)
    {
        // An exact-size copy, so that a read past the end is caught by the sanitizers.
        const Bytes copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
        Bytes resource;
        const bool success = pe::FindVersionResource(copy.data(), copy.size(), resource);
        // Once everything the resource needs is present, every longer copy finds it too.
        ASSERT_TRUE(success || !found) << length;
        found = success;
        ASSERT_TRUE(!success || resource == expected) << length;
    }
    // Damage inside the resource reaches the lookups through the block found in the image.
    for (std::size_t at = 0; at < image.size(); ++at)
        for (int damage : {0x00, 0x01, 0x80, 0xFF})
        {
            Bytes copy = image;
            copy[at] = static_cast<std::uint8_t>(damage);
            Bytes resource;
            if (pe::FindVersionResource(copy.data(), copy.size(), resource))
                ExpectLookupsInside(resource);
        }
    const std::size_t optional = 0x80 + 24;
    for (const bool pe32 : {true, false})
        for (const std::size_t sections : {96, 97})
        {
            SCOPED_TRACE(std::to_string(pe32) + " " + std::to_string(sections));
            Bytes copy = image;
            Put16(copy, 0x80 + 6, sections);
            Put16(copy, optional + 240 + 5 * 40 + 16, 0x1000);
            if (pe32)
            {
                Put16(copy, optional, 0x10B);
                std::copy(copy.begin() + optional + 108, copy.begin() + optional + 240,
                          copy.begin() + optional + 92);
            }
            Bytes resource = {1};
            EXPECT_EQ(sections <= 96, pe::FindVersionResource(copy.data(), copy.size(), resource));
            EXPECT_EQ(resource, sections <= 96 ? expected : Bytes());
        }
}

TEST(PeVersionResource, HostileVersionTrees)
{
    pe::VersionValue value = {0, 0, false};
    // A length shorter than a node's header would never move the walk on.
    Bytes zeroLength = Node(0, 0, "VS_VERSION_INFO");
    EXPECT_FALSE(Find(zeroLength, "\\", value));

    // A key without its terminating zero inside the node.
    Bytes unterminated = Node(12, 0, "KEY");
    unterminated.resize(12);
    EXPECT_FALSE(Find(unterminated, "\\", value));

    // A value claiming more than its node holds is cut at the node's end.
    Bytes root = Node(24, 200, "ROOT");
    root.resize(24);
    ASSERT_TRUE(Find(root, "\\", value));
    EXPECT_EQ(value.offset + value.size, root.size());

    // A child claiming more than its parent holds is not followed; once it fits, it is.
    Bytes parent = Node(0, 0, "ROOT");
    const Bytes child = Node(0x7FFF, 0, "CHILD");
    parent.insert(parent.end(), child.begin(), child.end());
    Put16(parent, 0, parent.size());
    EXPECT_FALSE(Find(parent, "\\CHILD", value));
    Put16(parent, 16, child.size());
    EXPECT_TRUE(Find(parent, "\\CHILD", value));

    EXPECT_FALSE(pe::FindVersionResource(nullptr, 100, zeroLength));
}

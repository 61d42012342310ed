#include "PeVersionResource.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The fixture's values and missing files are checked through the utility's version reader; here
// the reader meets changed copies of the fixture.
namespace
{
using Bytes = std::vector<std::uint8_t>;
const char kFixture[] = KVLOG_TEST_DATA_DIR "/versionfixture.dll";

// Every lookup on the (possibly damaged) block stays inside it.
void ExpectLookupsInside(const Bytes& block)
{
    pe::VersionValue value = {0, 0, false};
    for (const char* path :
         {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040704E4\\ProductVersion"})
        ASSERT_TRUE(!pe::FindVersionValue(block.data(), block.size(), path, value) ||
                    (value.offset <= block.size() && value.size <= block.size() - value.offset))
            << path;
}

void Put16(Bytes& bytes, std::size_t at, std::size_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
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

#include "OsFileVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The same expectations hold for the system's version API and for the POSIX reader of the file.
// The fixture's translations and texts are checked through the utility's version reader; here
// what it does not ask: the root, lengths, and how keys match.
TEST(OsFileVersion, QueriesTheFixture)
{
    const char* const fixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";
    DWORD handle = 77;
    const DWORD size = os::GetFileVersionInfoSizeA(fixture, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(size != 0 && os::GetFileVersionInfoA(fixture, handle, size, block.data()));

    void* value = nullptr;
    unsigned length = 0;
    ASSERT_TRUE(os::VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, 52u);
    // Keys match in any case, empty parts are passed over, and the length counts the zero.
    ASSERT_TRUE(os::VerQueryValueA(block.data(), "stringfileinfo\\\\040904b0\\COMPANYNAME\\",
                                   &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Example Instruments Ltd");
    EXPECT_EQ(length, 24u);
    // Keys match whole: a shortened language is no table.
    EXPECT_FALSE(
        os::VerQueryValueA(block.data(), "\\StringFileInfo\\0409\\CompanyName", &value, &length));
}
